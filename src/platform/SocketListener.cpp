#include "platform/SocketListener.h"

#include "platform/DescriptorLimit.h"
#include "platform/Door.h"
#include "platform/SystemError.h"
#include "platform/TarvolinTimerLogger.h"

#include <QSocketNotifier>

#include <algorithm>

#include <sys/socket.h>
#include <unistd.h>

namespace {

const QLatin1String kContext("SingleInstance");
// Accepted in one go before the event loop gets its turn again, so a flood cannot hold it.
constexpr int kAcceptsPerWake = 64;

} // namespace

SocketListener::SocketListener(int fd, uid_t user, std::function<void(int fd)> clients, int reserve,
                               QObject* parent)
    : QObject(parent), m_fd(fd), m_user(user), m_reserve(reserve), m_clients(std::move(clients)) {
    m_retryTimer.setSingleShot(true);
    connect(&m_retryTimer, &QTimer::timeout, this, &SocketListener::retry);
}

SocketListener::~SocketListener() {
    stop();
    ::close(m_fd); // the door's name is free from here on
}

void SocketListener::serve() {
    if (m_notifier) {
        return;
    }
    m_notifier = new QSocketNotifier(m_fd, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &SocketListener::acceptClients);
    acceptClients(); // those who queued while the program was starting
}

void SocketListener::stop() {
    m_retryTimer.stop();
    if (m_notifier) {
        m_notifier->setEnabled(false);
        m_notifier->deleteLater(); // this may run inside its own signal
        m_notifier = nullptr;
    }
}

void SocketListener::acceptClients() {
    for (int accepted = 0; accepted < kAcceptsPerWake && m_notifier; ++accepted) {
        // Launches wait in the queue rather than take what the program needs to save and draw; one not let
        // in within its own time gives up, and its link is never carried out.
        if (DescriptorLimit::freeDescriptors(m_reserve + 1) <= m_reserve) {
            m_notifier->setEnabled(false);
            retryAfter(
                QStringLiteral("Not letting launches in at the door while fewer than %1 descriptors are "
                               "free (the open-file limit is %2): they wait, and fail if not let in in "
                               "time")
                    .arg(m_reserve + 1)
                    .arg(DescriptorLimit::softLimit()));
            return;
        }
        const int fd = ::accept4(m_fd, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
        if (fd >= 0) {
            // Progress, but the run of failures ends only with the queue drained: it is said once.
            m_retryMs = firstRetryMs;
            if (admitted(fd)) {
                m_clients(fd);
            }
            continue;
        }
        switch (errno) {
        case EINTR:
        case ECONNABORTED:
        case EPROTO:
            continue; // that one client is gone; the next may be waiting
        case EAGAIN:
            recovered();
            return;
        default: {
            // Out of descriptors or memory for now, or worse: the socket stays, and holds the door, and its
            // queue waits for the next try.
            const QString why = systemError("accept");
            m_notifier->setEnabled(false);
            retryAfter(QStringLiteral("Could not accept a connection at the door: %1").arg(why));
            return;
        }
        }
    }
}

bool SocketListener::admitted(int fd) {
    const std::optional<Door::Peer> peer = Door::peer(fd);
    if (peer && peer->user == m_user) {
        return true;
    }
    // Hung up on unanswered: a process of another user is told nothing, and its message is never read.
    ::close(fd);
    const uid_t user = peer ? peer->user : uid_t(-1);
    if (!m_refusedUsers.contains(user)) {
        m_refusedUsers.insert(user);
        TT_LOG_WARNING(kContext,
                       QStringLiteral("Refused a connection at the door from %1: only this user's launches "
                                      "are served")
                           .arg(peer ? Door::describe(*peer) : QStringLiteral("an unknown process")));
    }
    return false;
}

void SocketListener::retryAfter(const QString& what) {
    if (!m_failing) {
        m_failing = true;
        TT_LOG_WARNING(kContext, QStringLiteral("%1; trying again in %2 ms").arg(what).arg(m_retryMs));
    }
    m_retryTimer.start(m_retryMs);
    m_retryMs = std::min(m_retryMs * 2, maxRetryMs);
}

void SocketListener::retry() {
    if (m_notifier) {
        m_notifier->setEnabled(true);
        acceptClients();
    }
}

void SocketListener::recovered() {
    m_retryMs = firstRetryMs;
    if (m_failing) {
        TT_LOG_INFO(kContext, QStringLiteral("Accepting at the door again"));
    }
    m_failing = false;
}
