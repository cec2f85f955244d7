#include "platform/SingleInstance.h"

#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QThread>
#include <QTimer>
#include <QtEndian>

#include <cerrno>
#include <cstring>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

// A message is its length (4 bytes, big-endian) and its bytes; the server answers one byte once it has it.
constexpr char kAcknowledgement = '\x06';
constexpr int kRetryPauseMs = 50;

QByteArray frame(const QByteArray& message) {
    QByteArray out(4, '\0');
    qToBigEndian(quint32(message.size()), out.data());
    return out + message;
}

// The remaining part of a budget that started at `timer`, never negative.
int remainingMs(const QElapsedTimer& timer, int budgetMs) {
    return int(std::max<qint64>(0, budgetMs - timer.elapsed()));
}

// Waits for `events` on `fd` within the budget; false on timeout or error.
bool waitFor(int fd, short events, const QElapsedTimer& timer, int budgetMs) {
    for (;;) {
        pollfd p{fd, events, 0};
        const int ready = ::poll(&p, 1, remainingMs(timer, budgetMs));
        if (ready > 0) {
            return true;
        }
        if (ready == 0 || errno != EINTR) {
            return false;
        }
    }
}

QString systemError(const char* what) {
    return QString::fromLatin1(what) + QStringLiteral(": ") + QString::fromLocal8Bit(std::strerror(errno));
}

} // namespace

SingleInstance::SingleInstance(const QString& directory, const QString& key, QObject* parent)
    : QObject(parent), m_lockPath(directory + QStringLiteral("/") + key + QStringLiteral(".lock")),
      m_socketPath(directory + QStringLiteral("/") + key + QStringLiteral(".socket")), m_lock(m_lockPath) {
    QDir().mkpath(directory);
    // Held for the life of the process: only a holder that no longer runs makes the lock stale, never age.
    m_lock.setStaleLockTime(0);
}

SingleInstance::~SingleInstance() {
    if (m_server) {
        m_server->close();
    }
    m_lock.unlock();
}

SingleInstance::Claim SingleInstance::claim(const QByteArray& message, int timeoutMs, QString* error) {
    QElapsedTimer timer;
    timer.start();
    QString lastError;
    for (;;) {
        if (m_lock.tryLock(0)) {
            return Claim::primary;
        }
        if (m_lock.error() != QLockFile::LockFailedError) {
            // No lock can be taken at all; a copy that is already running still gets the message.
            if (send(m_socketPath, message, remainingMs(timer, timeoutMs), &lastError)) {
                return Claim::handedOver;
            }
            if (error) {
                *error = QStringLiteral("Cannot create the lock file %1").arg(m_lockPath);
            }
            return Claim::unguarded;
        }
        if (send(m_socketPath, message, remainingMs(timer, timeoutMs), &lastError)) {
            return Claim::handedOver;
        }
        if (timer.elapsed() >= timeoutMs) {
            break;
        }
        QThread::msleep(kRetryPauseMs);
    }
    if (error) {
        *error = lastError;
    }
    return Claim::failed;
}

bool SingleInstance::listen(QString* error) {
    if (!m_server) {
        m_server = new QLocalServer(this);
        m_server->setSocketOptions(QLocalServer::UserAccessOption);
        connect(m_server, &QLocalServer::newConnection, this, &SingleInstance::accept);
    }
    // We hold the lock, so a socket file here is a crashed holder's.
    QLocalServer::removeServer(m_socketPath);
    if (!m_server->listen(m_socketPath)) {
        if (error) {
            *error = m_server->errorString();
        }
        return false;
    }
    return true;
}

bool SingleInstance::isListening() const {
    return m_server && m_server->isListening();
}

void SingleInstance::accept() {
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        socket->setParent(this);
        // A client that never finishes its message is dropped; the timer goes with the socket.
        auto* deadline = new QTimer(socket);
        deadline->setSingleShot(true);
        connect(deadline, &QTimer::timeout, socket, &QLocalSocket::abort);
        deadline->start(clientTimeoutMs);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { readFrom(socket); });
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        readFrom(socket); // data may have arrived with the connection
    }
}

void SingleInstance::readFrom(QLocalSocket* socket) {
    if (socket->property("tt_done").toBool() || socket->bytesAvailable() < 4) {
        return;
    }
    char header[4];
    socket->peek(header, 4);
    const quint32 length = qFromBigEndian<quint32>(header);
    if (qint64(length) > maxMessageBytes) {
        socket->abort();
        return;
    }
    if (socket->bytesAvailable() < 4 + qint64(length)) {
        return;
    }
    socket->read(4);
    const QByteArray message = socket->read(length);
    socket->setProperty("tt_done", true);
    socket->write(&kAcknowledgement, 1);
    socket->flush();
    socket->disconnectFromServer();
    emit messageReceived(message);
}

bool SingleInstance::send(const QString& socketPath, const QByteArray& message, int timeoutMs,
                          QString* error) {
    QElapsedTimer timer;
    timer.start();
    const QByteArray path = QFile::encodeName(socketPath);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.size() >= qsizetype(sizeof(address.sun_path))) {
        if (error) {
            *error = QStringLiteral("Socket path too long: %1").arg(socketPath);
        }
        return false;
    }
    std::memcpy(address.sun_path, path.constData(), size_t(path.size()));

    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0) {
        if (error) {
            *error = systemError("socket");
        }
        return false;
    }
    const auto fail = [&](const QString& why) {
        if (error) {
            *error = why;
        }
        ::close(fd);
        return false;
    };
    // The socket lives in a folder of the user's own; a local connect either succeeds or fails at once.
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) != 0 &&
        errno != EINPROGRESS) {
        return fail(systemError("connect"));
    }
    const QByteArray bytes = frame(message);
    qsizetype sent = 0;
    while (sent < bytes.size()) {
        if (!waitFor(fd, POLLOUT, timer, timeoutMs)) {
            return fail(QStringLiteral("Timed out handing the message over"));
        }
        const ssize_t n = ::send(fd, bytes.constData() + sent, size_t(bytes.size() - sent), MSG_NOSIGNAL);
        if (n < 0) {
            if (errno == EAGAIN || errno == EINTR) {
                continue;
            }
            return fail(systemError("send"));
        }
        sent += n;
    }
    char answer = 0;
    for (;;) {
        if (!waitFor(fd, POLLIN, timer, timeoutMs)) {
            return fail(QStringLiteral("The running copy did not answer"));
        }
        const ssize_t n = ::recv(fd, &answer, 1, 0);
        if (n < 0 && (errno == EAGAIN || errno == EINTR)) {
            continue;
        }
        if (n != 1 || answer != kAcknowledgement) {
            return fail(QStringLiteral("The running copy closed the connection"));
        }
        break;
    }
    ::close(fd);
    return true;
}

QString SingleInstance::defaultDirectory(const QString& dataDirectory) {
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QFileInfo(runtime).isDir()) {
        return runtime;
    }
    return dataDirectory;
}

QString SingleInstance::keyFor(const QString& dataDirectory) {
    const QByteArray digest = QCryptographicHash::hash(
        QDir::cleanPath(QDir(dataDirectory).absolutePath()).toUtf8(), QCryptographicHash::Sha256);
    return QStringLiteral("tarvolintimer-") + QString::fromLatin1(digest.toHex().left(16));
}
