#pragma once
// Posts the program's desktop notifications over org.freedesktop.Notifications, never waiting on the bus.

#include "core/NotificationServiceProtocol.h"

#include <QDBusConnection>
#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>

class NotificationService : public QObject, public NotificationServiceProtocol {
    Q_OBJECT
public:
    static constexpr const char* kService = "org.freedesktop.Notifications";
    static constexpr const char* kPath = "/org/freedesktop/Notifications";
    static constexpr const char* kInterface = "org.freedesktop.Notifications";
    // The vendor hint that carries a notification's identifier ("timer.<UUID>"); the protocol has no other
    // place.
    static constexpr const char* kIdentifierHint = "x-tarvolintimer-identifier";
    static constexpr int kPomodoroDelayMs = 100;

    explicit NotificationService(QDBusConnection connection, QObject* parent = nullptr);

    // The service on the session bus, made on first use.
    static NotificationService& shared();

    // "Permission" here is a notification server answering; when none does, the denial is logged.
    void requestAuthorization() override;
    void postTimerComplete(const QString& title, qint64 duration, bool isAlarm) override;
    void postScheduleActivated(const QString& memo, const QString& formattedDuration) override;
    void scheduleQueueChainCompleted(const QString& chainName) override;
    void postPomodoroPhaseStart(PomodoroPhase phase) override;

signals:
    // After each answer to the capability question, or its failure (tests wait on it).
    void capabilitiesAnswered(bool serverAnswered);

private:
    // A notification before it is sent: what the server is told, and how long to wait first.
    struct Request {
        QString identifier;
        QString body;
        int delayMs = 0;
    };

    // The requests the operations post, each with a new identifier.
    static Request timerComplete(const QString& title, qint64 duration, bool isAlarm);
    static Request scheduleActivated(const QString& memo, const QString& formattedDuration);
    static Request queueChainCompleted(const QString& chainName);
    static Request pomodoroPhaseStart(PomodoroPhase phase);

    void post(const Request& request);
    void send(const Request& request, bool bodyMarkup);
    // Asks the server what it can do, then runs `then` with whether it reads markup in bodies.
    void askCapabilities(bool reportDenial, std::function<void(bool bodyMarkup)> then);

    QDBusConnection m_connection;
};
