#include "support/FakeNotificationServer.h"

namespace {
const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
} // namespace

FakeNotificationServer::FakeNotificationServer(QDBusConnection connection, bool announceBodyMarkup)
    : m_connection(std::move(connection)), m_announceBodyMarkup(announceBodyMarkup) {
    m_clock.start();
    m_registered = m_connection.registerObject(kPath, this, QDBusConnection::ExportAllSlots) &&
                   m_connection.registerService(kService);
}

FakeNotificationServer::~FakeNotificationServer() {
    m_connection.unregisterService(kService);
    m_connection.unregisterObject(kPath);
}

QStringList FakeNotificationServer::GetCapabilities() {
    ++m_capabilityRequests;
    QStringList capabilities = {QStringLiteral("body"), QStringLiteral("actions")};
    if (m_announceBodyMarkup) {
        capabilities << QStringLiteral("body-markup");
    }
    return capabilities;
}

uint FakeNotificationServer::Notify(const QString& appName, uint replacesId, const QString& appIcon,
                                    const QString& summary, const QString& body, const QStringList& actions,
                                    const QVariantMap& hints, int expireTimeout) {
    m_notifications.push_back(
        {appName, replacesId, appIcon, summary, body, actions, hints, expireTimeout, m_clock.elapsed()});
    emit notified();
    return static_cast<uint>(m_notifications.size());
}

void FakeNotificationServer::CloseNotification(uint) {}

QString FakeNotificationServer::GetServerInformation(QString& vendor, QString& version,
                                                     QString& specVersion) {
    vendor = QStringLiteral("tests");
    version = QStringLiteral("1");
    specVersion = QStringLiteral("1.2");
    return QStringLiteral("FakeNotificationServer");
}
