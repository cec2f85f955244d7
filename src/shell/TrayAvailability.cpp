#include "shell/TrayAvailability.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusVariant>
#include <QGuiApplication>

#include <xcb/xcb.h>

#include <cstdlib>
#include <memory>

TrayAvailability::TrayAvailability(QDBusConnection bus, QObject* parent)
    : QObject(parent), m_bus(std::move(bus)) {}

bool TrayAvailability::queryXEmbedTray() {
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    xcb_connection_t* c = x11 ? x11->connection() : nullptr;
    if (!c) {
        return false;
    }
    // The tray of screen N owns the selection "_NET_SYSTEM_TRAY_S<N>"; N is what follows the dot of the
    // display name, 0 when nothing does.
    const QByteArray display = qgetenv("DISPLAY");
    const qsizetype dot = display.lastIndexOf('.');
    const qsizetype colon = display.lastIndexOf(':');
    const QByteArray screen = dot > colon ? display.mid(dot + 1) : QByteArray("0");
    const QByteArray name = "_NET_SYSTEM_TRAY_S" + screen;
    std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> atom(
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 1, uint16_t(name.size()), name.constData()), nullptr),
        &std::free);
    if (!atom || atom->atom == XCB_ATOM_NONE) {
        return false; // nobody ever made the name, so nobody owns it
    }
    std::unique_ptr<xcb_get_selection_owner_reply_t, decltype(&std::free)> owner(
        xcb_get_selection_owner_reply(c, xcb_get_selection_owner(c, atom->atom), nullptr), &std::free);
    return owner && owner->owner != XCB_WINDOW_NONE;
}

void TrayAvailability::refresh() {
    const quint64 generation = ++m_generation;
    m_xembed = queryXEmbedTray();
    if (!m_bus.isConnected()) {
        finish(generation, false);
        return;
    }
    QDBusMessage ask = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("NameHasOwner"));
    ask << QString::fromLatin1(kWatcherService);
    auto* watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(ask, kAnswerTimeoutMs), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, generation](QDBusPendingCallWatcher* call) {
                call->deleteLater();
                const QDBusPendingReply<bool> reply = *call;
                if (reply.isError() || !reply.value()) {
                    finish(generation, false);
                } else {
                    askHostRegistered(generation);
                }
            });
}

void TrayAvailability::askHostRegistered(quint64 generation) {
    // A watcher with no host shows nothing; one that cannot say is taken at its word.
    QDBusMessage ask = QDBusMessage::createMethodCall(
        QString::fromLatin1(kWatcherService), QString::fromLatin1(kWatcherPath),
        QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
    ask << QString::fromLatin1(kWatcherService) << QStringLiteral("IsStatusNotifierHostRegistered");
    auto* watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(ask, kAnswerTimeoutMs), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, generation](QDBusPendingCallWatcher* call) {
                call->deleteLater();
                const QDBusPendingReply<QDBusVariant> reply = *call;
                finish(generation, reply.isError() || reply.value().variant().toBool());
            });
}

void TrayAvailability::finish(quint64 generation, bool watcher) {
    if (generation != m_generation) {
        return; // a later refresh is under way
    }
    report(watcher, m_xembed);
}

void TrayAvailability::report(bool watcher, bool xembed) {
    m_watcher = watcher;
    m_xembed = xembed;
    m_determined = true;
    emit determined(isAvailable());
}
