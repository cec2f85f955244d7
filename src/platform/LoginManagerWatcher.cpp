#include "platform/LoginManagerWatcher.h"

LoginManagerWatcher::LoginManagerWatcher(QDBusConnection bus, QObject* parent) : QObject(parent) {
    if (!bus.isConnected()) {
        return;
    }
    // No service name: naming one makes Qt look its owner up with a call that waits for the answer. The
    // match rule on path and interface is enough, and adding it does not wait either.
    const QString path = QString::fromLatin1(kPath);
    const QString interface = QString::fromLatin1(kInterface);
    const bool sleep = bus.connect(QString(), path, interface, QStringLiteral("PrepareForSleep"), this,
                                   SLOT(onPrepareForSleep(bool)));
    const bool shutdown = bus.connect(QString(), path, interface, QStringLiteral("PrepareForShutdown"), this,
                                      SLOT(onPrepareForShutdown(bool)));
    m_listening = sleep && shutdown;
}

void LoginManagerWatcher::onPrepareForSleep(bool starting) {
    if (starting) {
        emit aboutToSleep();
    } else {
        emit resumed();
    }
}

void LoginManagerWatcher::onPrepareForShutdown(bool starting) {
    // False means a shutdown was called off: nothing to do.
    if (starting) {
        emit aboutToShutDown();
    }
}
