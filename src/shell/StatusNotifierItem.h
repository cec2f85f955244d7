#pragma once
// One item of the desktop's panel over D-Bus (the freedesktop/KDE item protocol): publishes its object,
// takes a bus name of its own, registers with org.kde.StatusNotifierWatcher and again whenever the watcher
// restarts, serves its properties and forwards the panel's clicks. A watcher that has not listed the item a
// few seconds after taking it is asked again (panels can drop an item while they set it up). Every bus call
// it makes is asynchronous.

#include "shell/PanelDBusTypes.h"

#include <QDBusConnection>
#include <QDBusObjectPath>
#include <QObject>
#include <QPoint>
#include <QString>

#include <functional>
#include <optional>

class QDBusPendingCallWatcher;
class QDBusServiceWatcher;
class StatusNotifierItemObject;

class StatusNotifierItem : public QObject {
    Q_OBJECT
public:
    static constexpr auto objectPath = "/StatusNotifierItem";
    static constexpr auto interfaceName = "org.kde.StatusNotifierItem";
    static constexpr auto watcherService = "org.kde.StatusNotifierWatcher";
    static constexpr auto watcherPath = "/StatusNotifierWatcher";

    // How far the item has come in being shown.
    enum class Registration {
        pending,   // not yet answered
        noWatcher, // no watcher on the bus, or it refused the item
        noHost,    // registered, but the watcher knows no panel that shows items
        shown,     // registered, and some panel shows items
    };
    Q_ENUM(Registration)

    // `id` names the application to panels; the connection is not owned.
    StatusNotifierItem(QDBusConnection connection, const QString& id, QObject* parent = nullptr);
    ~StatusNotifierItem() override;

    // Publishes the object and starts registering. Call once, after the properties are set.
    void start();
    Registration registration() const { return m_registration; }
    // The bus name given to the watcher (empty before start()).
    QString serviceName() const { return m_serviceName; }

    // How long after a registration the watcher's list is checked for the item, and how many times the
    // item registers again when it is missing there.
    static constexpr int takenCheckMs = 3000;
    static constexpr int takenRetries = 3;
    void setTakenCheckDelay(int ms) { m_takenCheckMs = ms; }

    // Properties; each setter sends its change signal only when the value differs.
    QString id() const { return m_id; }
    QString title() const { return m_title; }
    void setTitle(const QString& title);
    QString status() const { return m_status; }
    void setStatus(const QString& status);
    PanelToolTip toolTip() const { return m_toolTip; }
    void setToolTip(const PanelToolTip& toolTip);
    QString label() const { return m_label; }
    QString labelGuide() const { return m_labelGuide; }
    void setLabel(const QString& label, const QString& guide);
    QDBusObjectPath menu() const { return m_menu; }
    void setMenu(const QDBusObjectPath& menu);

    // A named icon of the item's own theme, drawn by the panel itself where it can. Setting it sends
    // nothing: invalidateIcon() tells the panels once, for the name and the pictures together.
    QString iconName() const { return m_iconName; }
    void setIconName(const QString& name) { m_iconName = name; }
    QString iconThemePath() const { return m_iconThemePath; }
    void setIconThemePath(const QString& path);

    // The pictures are made only when a panel reads them and kept until invalidateIcon(), which tells the
    // panels that the picture changed; call it only when it did.
    void setIconSource(std::function<PanelIconPixmapList()> source);
    void invalidateIcon();
    PanelIconPixmapList iconPixmaps();

signals:
    void registrationChanged(StatusNotifierItem::Registration registration);
    // A watcher took the item: whoever draws it may ask what kind of panel that watcher serves.
    void registeredWithWatcher();
    // The panel's requests, at the point of the screen where they happened.
    void activateRequested(QPoint screenPoint);
    void secondaryActivateRequested(QPoint screenPoint);
    void contextMenuRequested(QPoint screenPoint);

private:
    friend class StatusNotifierItemObject;
    void setRegistration(Registration registration);
    void requestName();
    void registerWithWatcher();
    void askForHost();
    void checkTaken(int attempt);
    // Reads a property of the watcher and hands it over (null when the watcher did not answer), unless the
    // item registered again meanwhile.
    void readWatcherProperty(const QString& name, std::function<void(const QVariant*)> handle);

private slots:
    // The watcher's word that a panel came or went.
    void onHostRegistered();
    void onHostUnregistered();

private:
    QDBusConnection m_connection;
    StatusNotifierItemObject* m_object = nullptr; // owned as a child
    QDBusServiceWatcher* m_watcherWatcher = nullptr;
    Registration m_registration = Registration::pending;
    bool m_started = false;
    // Bumped on each registration attempt, so a late answer to an older one is ignored.
    int m_attempt = 0;
    int m_takenCheckMs = takenCheckMs;
    int m_retriesLeft = takenRetries;
    QString m_serviceName;
    QString m_id;
    QString m_title;
    QString m_status = QStringLiteral("Active");
    PanelToolTip m_toolTip;
    QString m_label;
    QString m_labelGuide;
    QString m_iconName;
    QString m_iconThemePath;
    QDBusObjectPath m_menu{QStringLiteral("/NO_DBUSMENU")};
    std::function<PanelIconPixmapList()> m_iconSource;
    std::optional<PanelIconPixmapList> m_iconCache;
};
