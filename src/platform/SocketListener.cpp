#include "platform/SocketListener.h"

#include "platform/FolderWatch.h"
#include "platform/SystemError.h"
#include "platform/TarvolinTimerLogger.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSocketNotifier>

#include <algorithm>

#include <sys/socket.h>
#include <unistd.h>

namespace {

const QLatin1String kContext("SingleInstance");
// Accepted in one go before the event loop gets its turn again, so a flood cannot hold it.
constexpr int kAcceptsPerWake = 64;

} // namespace

SocketListener::SocketListener(const QString& socketPath, std::function<void(int fd)> clients,
                               std::function<void()> beforePlacing, QObject* parent)
    : QObject(parent), m_path(socketPath), m_clients(std::move(clients)),
      m_beforePlacing(std::move(beforePlacing)) {
    m_retryTimer.setSingleShot(true);
    connect(&m_retryTimer, &QTimer::timeout, this, &SocketListener::retry);
}

SocketListener::~SocketListener() {
    if (isListening() && LocalSocketFile::holds(m_path, m_identity)) {
        ::unlink(QFile::encodeName(m_path).constData());
    }
    closeListener();
}

LocalSocketFile::Placement::Outcome SocketListener::place(QString* why) {
    if (m_beforePlacing) {
        m_beforePlacing();
    }
    const LocalSocketFile::Placement placement = LocalSocketFile::place(m_path);
    *why = placement.error;
    if (placement.outcome == LocalSocketFile::Placement::Outcome::placed) {
        closeListener();
        m_fd = placement.fd;
        m_identity = placement.identity;
    }
    return placement.outcome;
}

bool SocketListener::serve(QString* error) {
    if (m_serving) {
        return isListening();
    }
    m_serving = true;
    m_watch = new FolderWatch(QFileInfo(m_path).path(), QFileInfo(m_path).fileName(), this);
    connect(m_watch, &FolderWatch::changed, this, &SocketListener::folderChanged);
    if (!isListening()) {
        return placeAgain({}, error);
    }
    watchFolder();
    startAccepting();
    folderChanged(); // in case it went since it was made
    return true;
}

bool SocketListener::placeAgain(const QString& event, QString* error) {
    using Outcome = LocalSocketFile::Placement::Outcome;
    const QString folder = QFileInfo(m_path).path();
    // A removed folder is made again first, and watched before the socket is in it, so no removal is missed.
    QString why = QStringLiteral("cannot make the folder %1").arg(folder);
    Outcome outcome = Outcome::failed;
    if (QDir().mkpath(folder)) {
        watchFolder();
        outcome = place(&why);
    }
    if (error) {
        *error = why;
    }
    switch (outcome) {
    case Outcome::placed:
        if (!event.isEmpty()) {
            TT_LOG_WARNING(kContext, QStringLiteral("%1; made it again").arg(event));
            m_failing = false; // said already
        }
        recovered();
        startAccepting();
        return true;
    case Outcome::taken:
        // Another live copy listens there: taking the place back would only start a fight over it.
        m_retryTimer.stop();
        if (!m_leftToOther) {
            m_leftToOther = true;
            TT_LOG_WARNING(
                kContext,
                event.isEmpty()
                    ? QStringLiteral("Another copy (%1) serves %2; leaving it to that copy").arg(why, m_path)
                    : QStringLiteral("%1, and another copy (%2) serves it now; leaving it "
                                     "to that copy")
                          .arg(event, why));
        }
        return false;
    case Outcome::failed:
        break;
    }
    retryAfter(event.isEmpty() ? QStringLiteral("Could not listen on %1: %2").arg(m_path, why)
                               : QStringLiteral("%1 and could not be made again: %2").arg(event, why));
    return false;
}

void SocketListener::watchFolder() {
    QString why;
    if (m_watch->watch(&why)) {
        m_watchFailing = false;
        return;
    }
    if (!m_watchFailing) {
        m_watchFailing = true;
        TT_LOG_WARNING(kContext, QStringLiteral("Cannot watch %1 (%2): if the socket file is removed, later "
                                                "launches cannot reach this copy")
                                     .arg(QFileInfo(m_path).path(), why));
    }
}

void SocketListener::folderChanged() {
    if (isListening() && LocalSocketFile::holds(m_path, m_identity)) {
        return;
    }
    if (!isListening() && m_retryTimer.isActive()) {
        return; // failing: the next try makes it
    }
    QString event;
    if (isListening()) {
        event = QFileInfo(QFileInfo(m_path).path()).isDir()
                    ? QStringLiteral("The socket file %1 was removed or replaced").arg(m_path)
                    : QStringLiteral("The folder of the socket %1 was removed").arg(m_path);
        // Whoever connected before it went is served; after that no one can reach the old socket.
        acceptClients();
        if (!isListening()) {
            return; // accepting failed, and the next try makes it
        }
        closeListener();
    }
    placeAgain(event);
}

void SocketListener::startAccepting() {
    if (!m_serving || m_notifier) {
        return;
    }
    m_notifier = new QSocketNotifier(m_fd, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &SocketListener::acceptClients);
    acceptClients(); // those who queued while the program was starting
}

void SocketListener::acceptClients() {
    for (int accepted = 0; accepted < kAcceptsPerWake && isListening(); ++accepted) {
        const int fd = ::accept4(m_fd, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
        if (fd >= 0) {
            recovered();
            m_clients(fd);
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
        case EMFILE:
        case ENFILE:
        case ENOBUFS:
        case ENOMEM: {
            // Out of descriptors or memory for now: the listener stays, its queue waits for the next try.
            const QString why = systemError("accept");
            m_notifier->setEnabled(false);
            retryAfter(QStringLiteral("Could not accept a connection on %1: %2").arg(m_path, why));
            return;
        }
        default: {
            const QString why = systemError("accept");
            closeListener();
            retryAfter(QStringLiteral("Stopped listening on %1: %2").arg(m_path, why));
            return;
        }
        }
    }
}

void SocketListener::closeListener() {
    if (m_notifier) {
        m_notifier->setEnabled(false);
        m_notifier->deleteLater();
        m_notifier = nullptr;
    }
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
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
    if (isListening()) {
        m_notifier->setEnabled(true);
        acceptClients();
        return;
    }
    placeAgain({});
}

void SocketListener::recovered() {
    m_retryMs = firstRetryMs;
    if (m_failing || m_leftToOther) {
        TT_LOG_INFO(kContext, QStringLiteral("Serving %1 again").arg(m_path));
    }
    m_failing = false;
    m_leftToOther = false;
}
