#pragma once
// Whether the desktop has anywhere to show the program's panel item: a StatusNotifierWatcher with a host on
// the session bus, or an XEmbed system tray on the X display. The bus is asked without waiting; the answer
// arrives through determined().

#include <QDBusConnection>
#include <QObject>

class TrayAvailability : public QObject {
    Q_OBJECT
public:
    static constexpr const char* kWatcherService = "org.kde.StatusNotifierWatcher";
    static constexpr const char* kWatcherPath = "/StatusNotifierWatcher";
    // A bus that does not answer within this long counts as having no watcher.
    static constexpr int kAnswerTimeoutMs = 3000;

    explicit TrayAvailability(QDBusConnection bus, QObject* parent = nullptr);

    ~TrayAvailability() override = default;

    // Asks again; determined() follows once both answers are in (at once when there is no bus).
    virtual void refresh();

    bool isDetermined() const { return m_determined; }
    // A watcher is on the bus and has a host (or does not say whether it has one).
    bool hasStatusNotifierWatcher() const { return m_watcher; }
    // An XEmbed tray owns the display's system-tray selection.
    bool hasXEmbedTray() const { return m_xembed; }
    bool isAvailable() const { return m_watcher || m_xembed; }

    // Asks the X server directly whether a tray owns the selection; false off X11.
    static bool queryXEmbedTray();

signals:
    // After each refresh, with isAvailable().
    void determined(bool available);

protected:
    // Records an answer and announces it (subclasses that know the answer report it here).
    void report(bool watcher, bool xembed);

private:
    void askHostRegistered(quint64 generation);
    void finish(quint64 generation, bool watcher);

    QDBusConnection m_bus;
    quint64 m_generation = 0;
    bool m_determined = false;
    bool m_watcher = false;
    bool m_xembed = false;
};
