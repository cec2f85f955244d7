#pragma once
// Keeps one running copy of the program per user and data folder. A launch tries to take the door (see
// Door.h): where it can, it is the running copy and serves the door for later launches for as long as it
// runs; where another process holds it, the launch hands its message (a URL, or "show yourself") to that
// process, if it is one of this user's, and ends.

#include <QByteArray>
#include <QObject>
#include <QString>

#include <memory>

#include <sys/types.h>
#include <unistd.h>

class HandOverServer;
class SocketListener;

class SingleInstance : public QObject {
    Q_OBJECT
public:
    enum class Claim {
        primary,    // this process is the running copy: it holds the door
        handedOver, // the running copy answered, and this process confirmed it: the message will be acted on
        // Neither within the time allowed, or the door is held by another user (the message will not be
        // acted on); see the error text.
        failed,
        // No door can be made at all (no socket to be had) and no running copy answered: the process runs on
        // without the guard rather than not at all; see the error text.
        unguarded,
    };

    // The door of `user` (the process's own, but for tests) for the data folder `dataDirectory`.
    explicit SingleInstance(const QString& dataDirectory, uid_t user = ::geteuid(),
                            QObject* parent = nullptr);
    ~SingleInstance() override; // lets the door go: keep this object until the last save is done

    QByteArray doorName() const { return m_doorName; }

    // Takes the door, or else hands `message` to the running copy. A copy that has only just started, or is
    // held up, may not answer yet, so this tries again until `timeoutMs` has passed. Blocks; meant for the
    // very start, before any window.
    Claim claim(const QByteArray& message, int timeoutMs, QString* error = nullptr);
    // After claim() gave primary: serves the door from now on (clients that came meanwhile waited); false,
    // with `error`, when this process holds no door.
    bool listen(QString* error = nullptr);
    bool isListening() const;
    // For the end of the program, while it can still act on messages: takes no more launches (they wait for
    // this copy to end, then start their own), reports the messages confirmed so far, and lets any later
    // confirmation fail at its sender. The door stays held until this object goes.
    void finish();

signals:
    // Each message a later launch handed over and confirmed after it had the answer.
    void messageReceived(const QByteArray& message);

private:
    QByteArray m_doorName;
    uid_t m_user = 0;
    std::unique_ptr<HandOverServer> m_server;
    // Declared after the server, so it goes first: no client reaches a server that is gone.
    std::unique_ptr<SocketListener> m_listener;
};
