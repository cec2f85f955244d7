#pragma once
// Keeps one running copy of the program per data folder. Two guards stand together: the door (see Door.h),
// through which a later launch hands its message (a URL, or "show yourself") to the running copy, if that
// is one of this user's; and a lock on the data folder itself (DataFolderLock), which keeps out a copy that
// cannot see the door (another network or user namespace) and lets the program run where another user
// holds the door's name.

#include "platform/DataFolderLock.h"

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
        primary,    // this process is the running copy: it holds the door (and the folder lock, where any)
        handedOver, // the running copy answered, and this process confirmed it: the message will be acted on
        // Neither within the time allowed: a copy that does not answer, one the door does not reach, or a
        // door held by another user where the folder cannot be locked (the message will not be acted on);
        // see the error text.
        failed,
        // This process is the running copy, kept alone by the folder lock only: the door is held by a
        // process that is not this user's copy, or cannot be had, so later launches cannot reach this one;
        // see the error text.
        lockedOnly,
        // Neither the door nor the folder lock can be had and no running copy answered: the process runs on
        // without any guard rather than not at all; see the error text.
        unguarded,
    };

    // The door of `user` (the process's own, but for tests) for the data folder `dataDirectory`, which is
    // made when it is missing, so that every path to it names one door.
    explicit SingleInstance(const QString& dataDirectory, uid_t user = ::geteuid(),
                            QObject* parent = nullptr);
    ~SingleInstance() override; // lets the door and the lock go: keep it until the last save is done

    QByteArray doorName() const { return m_doorName; }
    // Why the folder lock cannot be had, once claim() found so; the door alone decides then.
    QString lockError() const { return m_lockError; }

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
    QString m_folder;
    QByteArray m_doorName;
    uid_t m_user = 0;
    QString m_lockError;
    // Declared first, so it goes last: the folder stays locked until the door is let go.
    DataFolderLock m_lock;
    std::unique_ptr<HandOverServer> m_server;
    // Declared after the server, so it goes first: no client reaches a server that is gone.
    std::unique_ptr<SocketListener> m_listener;
};
