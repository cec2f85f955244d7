#pragma once
// The running copy's half of the hand-over: reads each accepted client's message, answers no more of them
// than it can wait on for their confirmation, and reports a message only once its sender confirmed.

#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <deque>
#include <memory>

class HandOverServer : public QObject {
    Q_OBJECT
public:
    struct Limits {
        // How long a client may take to send its whole message and, once answered, to confirm.
        int clientTimeoutMs = 5000;
        // How many clients may wait unanswered: one more cuts the oldest, which was promised nothing, so a
        // flood of idle connections cannot take the descriptors the program needs for itself.
        int maxWaiting = 32;
        // How many answered clients may wait for their confirmation. An answered client is never cut before
        // its time (its sender may already have reported success): while all are taken, whole messages wait
        // unanswered, and their senders give up in time.
        int maxAnswered = 32;
    };

    explicit HandOverServer(Limits limits, QObject* parent = nullptr);
    ~HandOverServer() override;

    // Takes `fd`, a connected non-blocking socket, and serves it.
    void serve(int fd);
    // Takes no more messages: those confirmed already are reported now, and from here on a confirmation
    // fails at its sender, which so reports no success for a message that is not acted on.
    void finish();

signals:
    void messageReceived(const QByteArray& message);

private:
    struct Client;
    using Clients = std::deque<std::unique_ptr<Client>>;

    void readable(quint64 id);
    // Answers the oldest whole messages while there is room among the answered.
    void answerWaiting();
    void cutExpired();
    void armDeadline();
    static QString droppedLine(const Client& client, const char* why);
    static void dropped(const Client& client, const char* why);
    // Stops `client` reading, so a later confirmation fails at its sender; whether one came before.
    static bool confirmedBeforeShutdown(const Client& client);

    Limits m_limits;
    Clients m_waiting;  // unanswered, oldest first: still sending, or whole and waiting for room
    Clients m_answered; // answered and not confirmed yet, oldest first
    quint64 m_nextId = 0;
    QElapsedTimer m_clock;
    QTimer m_deadline;      // when the first waiting or answered client's time is up
    bool m_cutting = false; // cutting the oldest waiting has been logged since the wait last emptied
    bool m_full = false;    // holding whole messages back has been logged since it last stopped
    bool m_finished = false;
};
