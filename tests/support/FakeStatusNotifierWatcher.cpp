#include "support/FakeStatusNotifierWatcher.h"

#include <QDBusMessage>

namespace {
const QString kService = QStringLiteral("org.kde.StatusNotifierWatcher");
const QString kPath = QStringLiteral("/StatusNotifierWatcher");
} // namespace

FakeStatusNotifierWatcher::FakeStatusNotifierWatcher(QDBusConnection connection, bool hostRegistered)
    : m_connection(std::move(connection)), m_hostRegistered(hostRegistered) {
    m_registered =
        m_connection.registerObject(kPath, this,
                                    QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllSignals |
                                        QDBusConnection::ExportAllProperties) &&
        m_connection.registerService(kService); // a test may block
}

FakeStatusNotifierWatcher::~FakeStatusNotifierWatcher() {
    if (m_registered) {
        m_connection.unregisterService(kService);
    }
    m_connection.unregisterObject(kPath);
}

QStringList FakeStatusNotifierWatcher::registeredItems() const {
    return m_listed;
}

void FakeStatusNotifierWatcher::setHostRegistered(bool registered) {
    if (registered == m_hostRegistered) {
        return;
    }
    m_hostRegistered = registered;
    if (registered) {
        emit StatusNotifierHostRegistered();
    } else {
        emit StatusNotifierHostUnregistered();
    }
}

void FakeStatusNotifierWatcher::RegisterStatusNotifierItem(const QString& service) {
    const QString sender = calledFromDBus() ? message().service() : QString();
    m_registrations.push_back({service, sender});
    if (m_dropped > 0) {
        --m_dropped;
    } else if (!m_listed.contains(service)) {
        m_listed << service;
    }
    emit StatusNotifierItemRegistered(service);
}

void FakeStatusNotifierWatcher::RegisterStatusNotifierHost(const QString& service) {
    Q_UNUSED(service);
    setHostRegistered(true);
}
