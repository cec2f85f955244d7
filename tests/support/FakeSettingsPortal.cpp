#include "support/FakeSettingsPortal.h"

#include <QDBusError>
#include <QDBusMessage>

namespace {
const QString kService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString kPath = QStringLiteral("/org/freedesktop/portal/desktop");
} // namespace

FakeSettingsPortal::FakeSettingsPortal(QDBusConnection connection, uint version)
    : m_connection(std::move(connection)), m_version(version) {
    m_registered =
        m_connection.registerObject(kPath, this,
                                    QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllSignals |
                                        QDBusConnection::ExportAllProperties) &&
        m_connection.registerService(kService); // a test may block
}

FakeSettingsPortal::~FakeSettingsPortal() {
    if (m_registered) {
        m_connection.unregisterService(kService);
    }
    m_connection.unregisterObject(kPath);
}

void FakeSettingsPortal::setValue(const QString& settingNamespace, const QString& key,
                                  const QVariant& value) {
    m_values.insert({settingNamespace, key}, value);
}

void FakeSettingsPortal::change(const QString& settingNamespace, const QString& key, const QVariant& value) {
    setValue(settingNamespace, key, value);
    emit SettingChanged(settingNamespace, key, QDBusVariant(value));
}

QVariant FakeSettingsPortal::lookUp(const QString& settingNamespace, const QString& key) {
    ++m_reads;
    const auto found = m_values.constFind({settingNamespace, key});
    if (found == m_values.cend()) {
        sendErrorReply(QStringLiteral("org.freedesktop.portal.Error.NotFound"),
                       QStringLiteral("Requested setting not found"));
        return {};
    }
    return *found;
}

QDBusVariant FakeSettingsPortal::Read(const QString& settingNamespace, const QString& key) {
    // Read wraps the value in one more variant, as the portal has always done.
    return QDBusVariant(QVariant::fromValue(QDBusVariant(lookUp(settingNamespace, key))));
}

QDBusVariant FakeSettingsPortal::ReadOne(const QString& settingNamespace, const QString& key) {
    if (m_version < 2) {
        sendErrorReply(QDBusError::UnknownMethod, QStringLiteral("No such method ReadOne"));
        return {};
    }
    return QDBusVariant(lookUp(settingNamespace, key));
}
