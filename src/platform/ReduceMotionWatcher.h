#pragma once
// Keeps the process-wide ReduceMotion value in step with the desktop: reads the settings portal once at
// start and follows its change signal. Every call is asynchronous; with no portal motion stays allowed.

#include <QDBusConnection>
#include <QDBusVariant>
#include <QObject>
#include <QString>

#include <optional>

class QDBusPendingCallWatcher;

class ReduceMotionWatcher : public QObject {
    Q_OBJECT
public:
    static constexpr const char* kService = "org.freedesktop.portal.Desktop";
    static constexpr const char* kPath = "/org/freedesktop/portal/desktop";
    static constexpr const char* kInterface = "org.freedesktop.portal.Settings";
    // The desktop-neutral setting (a number: 1 asks for reduced motion), where the portal offers it.
    static constexpr const char* kAppearanceNamespace = "org.freedesktop.appearance";
    static constexpr const char* kReducedMotionKey = "reduced-motion";
    // GNOME's switch, read where the neutral one is missing: animations off means reduced motion.
    static constexpr const char* kGnomeNamespace = "org.gnome.desktop.interface";
    static constexpr const char* kAnimationsKey = "enable-animations";

    // Listens on `bus`; nothing is read before start().
    explicit ReduceMotionWatcher(QDBusConnection bus, QObject* parent = nullptr);

    // Subscribes to changes and asks for both settings; the answers set ReduceMotion as they come.
    void start();

    // What the desktop asks for, from what has answered so far.
    bool reduceMotion() const;
    // True once both first reads have been answered (with a value or an error).
    bool hasSettled() const { return m_pendingReads == 0 && m_started; }

signals:
    // Both first reads have been answered.
    void settled();

private slots:
    void onSettingChanged(const QString& settingNamespace, const QString& key, const QDBusVariant& value);

private:
    enum class Source { appearance, gnome };

    void read(Source source, bool withReadOne);
    void onReadFinished(QDBusPendingCallWatcher* call, Source source, bool withReadOne);
    void take(Source source, const QVariant& value);
    void apply();

    QDBusConnection m_bus;
    bool m_started = false;
    int m_pendingReads = 0;
    // Empty while the desktop has not given that setting (or gave something unreadable).
    std::optional<bool> m_appearanceReduced;
    std::optional<bool> m_gnomeAnimations;
};
