#include "services/NotificationService.h"

#include "core/TarvolinTimerError.h"
#include "core/TimerItem.h"
#include "platform/TarvolinTimerLogger.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QTimer>
#include <QUuid>
#include <QVariantMap>

namespace {

const QString kContext = QStringLiteral("NotificationService");
const QString kTitle = QStringLiteral("TarvolinTimer");

QString identifier(const char* prefix) {
    return QLatin1String(prefix) + QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper();
}

} // namespace

NotificationService::NotificationService(QDBusConnection connection, QObject* parent)
    : QObject(parent), m_connection(std::move(connection)) {}

NotificationService& NotificationService::shared() {
    static NotificationService instance(QDBusConnection::sessionBus());
    return instance;
}

void NotificationService::requestAuthorization() {
    askCapabilities(true, {});
}

void NotificationService::postTimerComplete(const QString& title, qint64 duration, bool isAlarm) {
    post(timerComplete(title, duration, isAlarm));
}

void NotificationService::postScheduleActivated(const QString& memo, const QString& formattedDuration) {
    post(scheduleActivated(memo, formattedDuration));
}

void NotificationService::scheduleQueueChainCompleted(const QString& chainName) {
    post(queueChainCompleted(chainName));
}

void NotificationService::postPomodoroPhaseStart(PomodoroPhase phase) {
    post(pomodoroPhaseStart(phase));
}

NotificationService::Request NotificationService::timerComplete(const QString& title, qint64 duration,
                                                                bool isAlarm) {
    const QString name = title.isEmpty() ? TimerItem::formatDuration(duration) : title;
    return {identifier("timer."),
            name + (isAlarm ? QStringLiteral(" - alarm done") : QStringLiteral(" - timer done"))};
}

NotificationService::Request NotificationService::scheduleActivated(const QString& memo,
                                                                    const QString& formattedDuration) {
    const QString body =
        memo.isEmpty() ? QStringLiteral("Scheduled timer started (") + formattedDuration + QLatin1Char(')')
                       : memo + QStringLiteral(" — scheduled timer started");
    return {identifier("schedule."), body};
}

NotificationService::Request NotificationService::queueChainCompleted(const QString& chainName) {
    const QString name = chainName.isEmpty() ? QStringLiteral("Chained timers") : chainName;
    return {identifier("queueChain."), name + QStringLiteral(" - chain complete")};
}

NotificationService::Request NotificationService::pomodoroPhaseStart(PomodoroPhase phase) {
    const QString body = phase == PomodoroPhase::work ? QStringLiteral("Focus time — let's go!")
                                                      : QStringLiteral("Break time");
    return {identifier("pomodoro."), body, kPomodoroDelayMs};
}

void NotificationService::post(const Request& request) {
    if (request.delayMs > 0) {
        QTimer::singleShot(request.delayMs, Qt::PreciseTimer, this, [this, request] {
            post({request.identifier, request.body, 0});
        });
        return;
    }
    // Whether the body is escaped depends on the server of the moment, which may have changed since the
    // last post; one small question per notification keeps that right.
    askCapabilities(false, [this, request](bool bodyMarkup) { send(request, bodyMarkup); });
}

void NotificationService::send(const Request& request, bool bodyMarkup) {
    QVariantMap hints;
    hints.insert(QLatin1String(kIdentifierHint), request.identifier);
    QDBusMessage call = QDBusMessage::createMethodCall(QLatin1String(kService), QLatin1String(kPath),
                                                       QLatin1String(kInterface), QStringLiteral("Notify"));
    call << kTitle                                                     // app_name
         << 0u                                                         // replaces_id: never replace another
         << QString()                                                  // app_icon
         << kTitle                                                     // summary
         << (bodyMarkup ? request.body.toHtmlEscaped() : request.body) // body
         << QStringList()                                              // actions
         << hints << -1;                                               // expire_timeout: the server's choice
    // Delivery is not observed; asyncCall only queues the message.
    m_connection.asyncCall(call);
}

void NotificationService::askCapabilities(bool reportDenial, std::function<void(bool)> then) {
    if (!m_connection.isConnected()) {
        // With no bus at all a pending call never finishes: answer "no server" now, but after returning,
        // as an answer over the bus would come.
        QMetaObject::invokeMethod(
            this,
            [this, reportDenial, then] {
                if (reportDenial) {
                    TT_LOG_ERROR(
                        kContext,
                        TarvolinTimerError(TarvolinTimerError::notificationDenied{}).errorDescription());
                }
                if (then) {
                    then(false);
                }
                emit capabilitiesAnswered(false);
            },
            Qt::QueuedConnection);
        return;
    }
    const QDBusMessage call =
        QDBusMessage::createMethodCall(QLatin1String(kService), QLatin1String(kPath),
                                       QLatin1String(kInterface), QStringLiteral("GetCapabilities"));
    auto* watcher = new QDBusPendingCallWatcher(m_connection.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, watcher, reportDenial, then] {
        watcher->deleteLater();
        const QDBusPendingReply<QStringList> reply = *watcher;
        const bool answered = !reply.isError();
        if (!answered && reportDenial) {
            TT_LOG_ERROR(kContext,
                         TarvolinTimerError(TarvolinTimerError::notificationDenied{}).errorDescription());
        }
        if (then) {
            // With no answer, plain text is the safe form.
            then(answered && reply.value().contains(QStringLiteral("body-markup")));
        }
        emit capabilitiesAnswered(answered);
    });
}
