#include "services/LoginItemManager.h"

#include "platform/TarvolinTimerLogger.h"
#include "services/XdgAutostartControl.h"

#include <utility>

LoginItemManager::LoginItemManager(QObject* parent)
    : LoginItemManager(std::make_unique<XdgAutostartControl>(), parent) {}

LoginItemManager::LoginItemManager(std::unique_ptr<LoginItemControlling> control, QObject* parent)
    : QObject(parent), m_control(std::move(control)) {
    m_isEnabled = m_control->isRegistered();
}

LoginItemManager::~LoginItemManager() = default;

void LoginItemManager::setEnabled(bool enabled) {
    const bool registered = m_control->isRegistered();
    QString error;
    bool ok = true;
    if (enabled && !registered) {
        ok = m_control->registerItem(&error);
    } else if (!enabled && registered) {
        ok = m_control->unregisterItem(&error);
    }
    if (!ok) {
        TT_LOG_ERROR(QStringLiteral("LoginItem"), QStringLiteral("login item toggle failed: ") + error);
    }
    publish();
}

void LoginItemManager::refresh() {
    publish();
}

void LoginItemManager::publish() {
    m_isEnabled = m_control->isRegistered();
    emit isEnabledChanged(m_isEnabled);
}
