#pragma once
// Stands in for the desktop's panel-item watcher on a test bus: owns org.kde.StatusNotifierWatcher,
// records every item that registers (and who sent it), and says whether a panel is there to show items.

#include <QDBusConnection>
#include <QDBusContext>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

class FakeStatusNotifierWatcher : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierWatcher")
    // Listed in the introspection data, as Qt's own tray icon reads them from there.
    Q_PROPERTY(QStringList RegisteredStatusNotifierItems READ registeredItems)
    Q_PROPERTY(bool IsStatusNotifierHostRegistered READ isHostRegistered)
    Q_PROPERTY(int ProtocolVersion READ protocolVersion)
public:
    struct Registration {
        QString service; // as the item gave it
        QString sender;  // the connection it came from
    };

    // Registers on `connection` (which it does not own); see isRegistered().
    explicit FakeStatusNotifierWatcher(QDBusConnection connection, bool hostRegistered = true);
    ~FakeStatusNotifierWatcher() override;

    bool isRegistered() const { return m_registered; }
    const QList<Registration>& registrations() const { return m_registrations; }
    QStringList registeredItems() const;
    bool isHostRegistered() const { return m_hostRegistered; }
    // The next `count` items that register are taken but not listed, as a panel that drops an item while
    // it sets it up.
    void setDroppedRegistrations(int count) { m_dropped = count; }
    // Announces a panel coming or going.
    void setHostRegistered(bool registered);
    int protocolVersion() const { return 0; }

public slots:
    void RegisterStatusNotifierItem(const QString& service);
    void RegisterStatusNotifierHost(const QString& service);

signals:
    void StatusNotifierItemRegistered(const QString& service);
    void StatusNotifierItemUnregistered(const QString& service);
    void StatusNotifierHostRegistered();
    void StatusNotifierHostUnregistered();

private:
    QDBusConnection m_connection;
    bool m_registered = false;
    bool m_hostRegistered;
    QList<Registration> m_registrations;
    QStringList m_listed;
    int m_dropped = 0;
};
