#pragma once
// Stands in for the desktop's notification server on a test bus: owns org.freedesktop.Notifications,
// records every call it gets, and announces "body-markup" or not, as the test chooses.

#include <QDBusConnection>
#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariantMap>

class FakeNotificationServer : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
public:
    struct Notification {
        QString appName;
        uint replacesId = 0;
        QString appIcon;
        QString summary;
        QString body;
        QStringList actions;
        QVariantMap hints;
        int expireTimeout = 0;
        qint64 receivedAtMs = 0; // on the server's monotonic clock, see clock()
    };

    // Registers on `connection` (which it does not own); see isRegistered().
    explicit FakeNotificationServer(QDBusConnection connection, bool announceBodyMarkup = false);
    ~FakeNotificationServer() override;

    bool isRegistered() const { return m_registered; }
    const QList<Notification>& notifications() const { return m_notifications; }
    int capabilityRequests() const { return m_capabilityRequests; }
    // Started at construction; receivedAtMs counts from here.
    const QElapsedTimer& clock() const { return m_clock; }

public slots:
    // The server's half of the protocol, called over the bus.
    QStringList GetCapabilities();
    uint Notify(const QString& appName, uint replacesId, const QString& appIcon, const QString& summary,
                const QString& body, const QStringList& actions, const QVariantMap& hints, int expireTimeout);
    void CloseNotification(uint id);
    QString GetServerInformation(QString& vendor, QString& version, QString& specVersion);

signals:
    void notified();

private:
    QDBusConnection m_connection;
    bool m_announceBodyMarkup;
    bool m_registered = false;
    QList<Notification> m_notifications;
    int m_capabilityRequests = 0;
    QElapsedTimer m_clock;
};
