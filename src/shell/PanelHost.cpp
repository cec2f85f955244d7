#include "shell/PanelHost.h"

#include "platform/TarvolinTimerLogger.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QFile>
#include <QMetaEnum>
#include <QProcessEnvironment>

namespace {

const QString kLog = QStringLiteral("PanelItem");

QString currentDesktop() {
    return QProcessEnvironment::systemEnvironment().value(QStringLiteral("XDG_CURRENT_DESKTOP"));
}

} // namespace

PanelHostKind PanelHost::kindFor(const QString& watcherCommand, const QString& desktop) {
    if (!watcherCommand.isEmpty()) {
        return watcherCommand == QLatin1String("gnome-shell") ? PanelHostKind::label : PanelHostKind::square;
    }
    const QStringList names = desktop.split(QLatin1Char(':'), Qt::SkipEmptyParts);
    const bool gnome = std::any_of(names.begin(), names.end(), [](const QString& name) {
        return name.compare(QLatin1String("GNOME"), Qt::CaseInsensitive) == 0;
    });
    return gnome ? PanelHostKind::label : PanelHostKind::square;
}

QString PanelHost::processCommand(quint32 pid) {
    QFile file(QStringLiteral("/proc/%1/comm").arg(pid));
    if (pid == 0 || !file.open(QIODevice::ReadOnly)) {
        return {};
    }
    return QString::fromUtf8(file.read(64)).trimmed();
}

PanelHostProbe::PanelHostProbe(QDBusConnection connection, QObject* parent)
    : QObject(parent), m_connection(std::move(connection)),
      m_kind(PanelHost::kindFor(QString(), currentDesktop())) {}

void PanelHostProbe::probe() {
    if (!m_connection.isConnected()) {
        return;
    }
    const int request = ++m_request;
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("GetConnectionUnixProcessID"));
    call << QStringLiteral("org.kde.StatusNotifierWatcher");
    auto* pending = new QDBusPendingCallWatcher(m_connection.asyncCall(call), this);
    connect(pending, &QDBusPendingCallWatcher::finished, this, [this, request](QDBusPendingCallWatcher* w) {
        w->deleteLater();
        if (request != m_request) {
            return;
        }
        const QDBusPendingReply<quint32> reply = *w;
        if (reply.isError()) {
            // No watcher now: the next one to come is probed when it does.
            return;
        }
        const QString command = PanelHost::processCommand(reply.value());
        const PanelHostKind kind = PanelHost::kindFor(command, currentDesktop());
        TT_LOG_INFO(kLog, QStringLiteral("Panel host \"%1\" draws %2")
                              .arg(command.isEmpty() ? QStringLiteral("?") : command,
                                   kind == PanelHostKind::label ? QStringLiteral("labels")
                                                                : QStringLiteral("square pictures")));
        setKind(kind);
    });
}

void PanelHostProbe::setKind(PanelHostKind kind) {
    if (kind != m_kind) {
        m_kind = kind;
        emit kindChanged(kind);
    }
}
