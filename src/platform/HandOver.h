#pragma once
// What travels on the single-instance socket, and the later launch's half of it. The launch writes
// frame(message); the running copy answers once it has the whole message; the launch then writes the
// confirmation, and only a confirmed message is acted on. So a launch reports success exactly when its
// message will be acted on, once.

#include <QByteArray>
#include <QString>

#include <sys/types.h>

namespace HandOver {

// A message longer than this is refused (a client that claims more is cut off).
inline constexpr qint64 maxMessageBytes = 1 << 20;
inline constexpr char answer = '\x06';
inline constexpr char confirmation = '\x17';

QByteArray frame(const QByteArray& message);

enum class Reading {
    incomplete,
    done,
    refused,
    hungUp, // readConfirmation() only: the sender closed without a byte
};

// Reads one frame from a non-blocking socket as its bytes come, never beyond its end; memory follows what
// actually arrived, whatever length the frame claims.
class FrameReader {
public:
    // Refused: a client of another kind or version, a message too long, or a hang-up before its end.
    Reading readFrom(int fd);
    bool isDone() const { return m_done; }
    // The message, once done.
    const QByteArray& message() const { return m_received; }

private:
    QByteArray m_received;
    bool m_done = false;
};

// The sender's confirmation: done; incomplete while nothing came; refused for another byte; hungUp when the
// sender closed instead (it gave up).
Reading readConfirmation(int fd);

enum class Delivery {
    confirmed, // answered and confirmed: the running copy acts on it
    // No process listens at the door (none holds it, or its holder does not listen yet), or no socket could
    // be had to try.
    noListener,
    // A process listens, but its queue is full, so the connection was not made and the connection cannot
    // tell whose process it is: this user's copy held up, or anyone's (Door::holder asks the kernel).
    full,
    notTaken, // a process listens but did not take it (busy, stopped, or it cut the connection)
    foreign,  // a process of another user holds the door: nothing was sent to it
};

// Connects to the door `doorName`, and only where a process of `user` listens there sends `message`, waits
// for the answer and confirms it, all within `timeoutMs`; on anything but confirmed the message is not acted
// on, and `error` says why. Plain sockets: it needs no application object.
Delivery send(const QByteArray& doorName, const QByteArray& message, uid_t user, int timeoutMs,
              QString* error);

} // namespace HandOver
