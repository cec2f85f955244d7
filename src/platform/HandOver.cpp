#include "platform/HandOver.h"

#include "platform/FaultPoint.h"
#include "platform/Door.h"
#include "platform/SystemError.h"

#include <QElapsedTimer>
#include <QtEndian>

#include <algorithm>
#include <cstring>

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

// A frame opens with these bytes, then the message's length (4 bytes, big-endian) and the message. Read as a
// length they are far above the largest message, so a sender or server of another kind refuses them at once.
constexpr char kGreeting[] = {'T', 'T', 'v', '2'};
constexpr qsizetype kGreetingSize = qsizetype(sizeof(kGreeting));
constexpr qsizetype kHeaderSize = kGreetingSize + 4;
constexpr qsizetype kReadPiece = 64 * 1024;

// Waits for `events` on `fd` within what is left of the budget; false on timeout or error.
bool waitFor(int fd, short events, const QElapsedTimer& timer, int budgetMs) {
    for (;;) {
        pollfd p{fd, events, 0};
        const int ready = ::poll(&p, 1, int(std::max<qint64>(0, budgetMs - timer.elapsed())));
        if (ready > 0) {
            return true;
        }
        if (ready == 0 || errno != EINTR) {
            return false;
        }
    }
}

} // namespace

QByteArray HandOver::frame(const QByteArray& message) {
    QByteArray out(kGreeting, kGreetingSize);
    out.resize(kHeaderSize);
    qToBigEndian(quint32(message.size()), out.data() + kGreetingSize);
    return out + message;
}

HandOver::Reading HandOver::FrameReader::readFrom(int fd) {
    if (m_done) {
        return Reading::done;
    }
    for (;;) {
        // The header first, then exactly the message it announces.
        qsizetype whole = kHeaderSize;
        if (m_received.size() >= kHeaderSize) {
            const quint32 length = qFromBigEndian<quint32>(m_received.constData() + kGreetingSize);
            if (qint64(length) > maxMessageBytes) {
                return Reading::refused;
            }
            whole = kHeaderSize + qsizetype(length);
            if (m_received.size() == whole) {
                break;
            }
        }
        const qsizetype had = m_received.size();
        m_received.resize(had + std::min(whole - had, kReadPiece));
        const ssize_t n = ::recv(fd, m_received.data() + had, size_t(m_received.size() - had), 0);
        const int number = errno;
        m_received.resize(had + std::max<qsizetype>(n, 0));
        if (std::memcmp(m_received.constData(), kGreeting,
                        size_t(std::min(m_received.size(), kGreetingSize))) != 0) {
            return Reading::refused;
        }
        if (n > 0 || (n < 0 && number == EINTR)) {
            continue;
        }
        return n < 0 && (number == EAGAIN || number == EWOULDBLOCK) ? Reading::incomplete : Reading::refused;
    }
    m_received.remove(0, kHeaderSize);
    m_done = true;
    return Reading::done;
}

HandOver::Reading HandOver::readConfirmation(int fd) {
    for (;;) {
        char byte = 0;
        const ssize_t n = ::recv(fd, &byte, 1, 0);
        if (n == 1) {
            return byte == confirmation ? Reading::done : Reading::refused;
        }
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n == 0) {
            return Reading::hungUp;
        }
        return errno == EAGAIN || errno == EWOULDBLOCK ? Reading::incomplete : Reading::refused;
    }
}

HandOver::Delivery HandOver::send(const QByteArray& doorName, const QByteArray& message, uid_t user,
                                  int timeoutMs, QString* error) {
    QElapsedTimer timer;
    timer.start();
    const auto fail = [error](Delivery delivery, const QString& why) {
        if (error) {
            *error = why;
        }
        return delivery;
    };
    const Door::Address door = Door::address(doorName);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0) {
        // No socket to try with: as far as this process can tell, no one listens.
        return fail(Delivery::noListener, systemError("socket"));
    }
    // Closing without the confirmation is what tells the running copy to drop the message.
    const auto closeAndFail = [&](Delivery delivery, const QString& why) {
        ::close(fd);
        return fail(delivery, why);
    };
    // A local connect either succeeds or fails at once.
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&door.address), door.size) != 0 &&
        errno != EINPROGRESS) {
        return closeAndFail(errno == EAGAIN ? Delivery::full : Delivery::noListener, systemError("connect"));
    }
    // Anyone can hold a name in the abstract namespace: the message goes to this user's own process only.
    const std::optional<Door::Peer> peer = Door::peer(fd);
    if (!peer) {
        return closeAndFail(Delivery::notTaken, systemError("getsockopt"));
    }
    if (peer->user != user) {
        return closeAndFail(Delivery::foreign,
                            QStringLiteral("the door @%1 is held by %2, not by this user (%3); nothing was "
                                           "sent to it")
                                .arg(QString::fromLatin1(doorName), Door::describe(*peer))
                                .arg(user));
    }
    const QByteArray bytes = frame(message);
    for (qsizetype sent = 0; sent < bytes.size();) {
        if (!waitFor(fd, POLLOUT, timer, timeoutMs)) {
            return closeAndFail(Delivery::notTaken, QStringLiteral("Timed out handing the message over"));
        }
        const ssize_t n = ::send(fd, bytes.constData() + sent, size_t(bytes.size() - sent), MSG_NOSIGNAL);
        if (n < 0 && errno != EAGAIN && errno != EINTR) {
            return closeAndFail(Delivery::notTaken, systemError("send"));
        }
        sent += std::max<ssize_t>(n, 0);
    }
    FaultPoint::reached("hand-over.sent");
    for (;;) {
        if (!waitFor(fd, POLLIN, timer, timeoutMs)) {
            return closeAndFail(Delivery::notTaken, QStringLiteral("The running copy did not answer"));
        }
        char byte = 0;
        const ssize_t n = ::recv(fd, &byte, 1, 0);
        if (n < 0 && (errno == EAGAIN || errno == EINTR)) {
            continue;
        }
        if (n != 1 || byte != answer) {
            return closeAndFail(Delivery::notTaken, QStringLiteral("The running copy closed the connection"));
        }
        break;
    }
    if (timer.elapsed() > timeoutMs) {
        return closeAndFail(Delivery::notTaken, QStringLiteral("The running copy answered too late"));
    }
    // The running copy acts on the message once it reads this byte, and stops reading before it gives up on
    // it: written, it will be acted on; refused, it will not.
    if (::send(fd, &confirmation, 1, MSG_NOSIGNAL | MSG_DONTWAIT) != 1) {
        return closeAndFail(Delivery::notTaken, systemError("send"));
    }
    ::close(fd);
    return Delivery::confirmed;
}
