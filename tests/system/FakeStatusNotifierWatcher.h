#pragma once
// Stands in for the desktop's tray on a test bus: owns org.kde.StatusNotifierWatcher and says that a host
// is registered, so the program believes it has a tray.

#include <QDBusConnection>
#include <QObject>
#include <QStringList>

class FakeStatusNotifierWatcher : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierWatcher")
    Q_PROPERTY(bool IsStatusNotifierHostRegistered READ isHostRegistered)
    Q_PROPERTY(QStringList RegisteredStatusNotifierItems READ items)
    Q_PROPERTY(int ProtocolVersion READ protocolVersion)
public:
    explicit FakeStatusNotifierWatcher(QDBusConnection connection) : m_connection(std::move(connection)) {
        m_registered = m_connection.registerObject(QStringLiteral("/StatusNotifierWatcher"), this,
                                                   QDBusConnection::ExportAllContents) &&
                       m_connection.registerService(QStringLiteral("org.kde.StatusNotifierWatcher"));
    }
    ~FakeStatusNotifierWatcher() override {
        m_connection.unregisterService(QStringLiteral("org.kde.StatusNotifierWatcher"));
        m_connection.unregisterObject(QStringLiteral("/StatusNotifierWatcher"));
    }

    bool isRegistered() const { return m_registered; }
    bool isHostRegistered() const { return true; }
    QStringList items() const { return {}; }
    int protocolVersion() const { return 0; }

public slots:
    void RegisterStatusNotifierItem(const QString&) {}
    void RegisterStatusNotifierHost(const QString&) {}

private:
    QDBusConnection m_connection;
    bool m_registered = false;
};
