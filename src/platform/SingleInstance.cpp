#include "platform/SingleInstance.h"

#include "platform/TarvolinTimerLogger.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QList>
#include <QSocketNotifier>
#include <QThread>
#include <QtEndian>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/inotify.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

// A frame opens with these bytes, then the message's length (4 bytes, big-endian) and the message. Read as a
// length they are far above the largest message, so a sender or server of another kind refuses them at once.
constexpr char kGreeting[] = {'T', 'T', 'v', '2'};
constexpr qsizetype kGreetingSize = qsizetype(sizeof(kGreeting));
constexpr qsizetype kHeaderSize = kGreetingSize + 4;
constexpr int kRetryPauseMs = 50;
// Accepted in one go before the event loop gets its turn again, so a flood cannot hold it.
constexpr int kAcceptsPerWake = 64;
// A client's message is read in pieces of at most this size, so memory follows what actually arrived.
constexpr qsizetype kReadPiece = 64 * 1024;

const QLatin1String kContext("SingleInstance");

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

QString systemError(const char* what, int number = errno) {
    return QString::fromLatin1(what) + QStringLiteral(": ") + QString::fromLocal8Bit(std::strerror(number));
}

// The address of a socket file; false when the path is too long for one.
bool socketAddress(const QByteArray& path, sockaddr_un& address) {
    address = {};
    address.sun_family = AF_UNIX;
    if (path.size() >= qsizetype(sizeof(address.sun_path))) {
        return false;
    }
    std::memcpy(address.sun_path, path.constData(), size_t(path.size()));
    return true;
}

} // namespace

QByteArray SingleInstance::frame(const QByteArray& message) {
    QByteArray out(kGreeting, kGreetingSize);
    out.resize(kHeaderSize);
    qToBigEndian(quint32(message.size()), out.data() + kGreetingSize);
    return out + message;
}

SingleInstance::SingleInstance(const QString& dataDirectory, const QString& directory, const QString& key,
                               QObject* parent)
    : QObject(parent), m_dataDirectory(dataDirectory),
      m_lockFilePath(directory + QStringLiteral("/") + key + QStringLiteral(".lock")),
      m_socketPath(directory + QStringLiteral("/") + key + QStringLiteral(".socket")) {
    QDir().mkpath(dataDirectory);
    QDir().mkpath(directory);
    m_clock.start();
    m_deadline.setSingleShot(true);
    connect(&m_deadline, &QTimer::timeout, this, &SingleInstance::cutExpiredClients);
    m_retryTimer.setSingleShot(true);
    connect(&m_retryTimer, &QTimer::timeout, this, &SingleInstance::retry);
}

// One connected client: its descriptor, its message (whole once it has been answered), and when its time
// is up.
struct SingleInstance::Client {
    int fd = -1;
    quint64 id = 0;
    qint64 cutAtMs = 0;
    QByteArray received;
    QSocketNotifier* notifier = nullptr;

    ~Client() {
        if (notifier) {
            // Off before the descriptor closes; deleted later, as this may run inside its own signal.
            notifier->setEnabled(false);
            notifier->deleteLater();
        }
        ::close(fd);
    }
};

SingleInstance::~SingleInstance() {
    if (m_watchFd >= 0) {
        m_watchNotifier->setEnabled(false);
        ::close(m_watchFd);
    }
    m_waiting.clear();
    m_answered.clear();
    if (isListening() && socketFileIsOurs()) {
        ::unlink(QFile::encodeName(m_socketPath).constData());
    }
    closeListener();
    if (m_lockFd >= 0) {
        ::close(m_lockFd); // the lock goes with it
    }
}

SingleInstance::Claim SingleInstance::claim(const QByteArray& message, int timeoutMs, QString* error) {
    QElapsedTimer timer;
    timer.start();
    QString lastError;
    for (;;) {
        QString lockError;
        const Lock lock = tryLock(&lockError);
        if (lock == Lock::taken) {
            return Claim::primary;
        }
        if (lock == Lock::unavailable) {
            // No lock can be taken at all; a copy that is already running still gets the message.
            if (send(m_socketPath, message, remainingMs(timer, timeoutMs), &lastError)) {
                return Claim::handedOver;
            }
            if (error) {
                *error = lockError;
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

SingleInstance::Lock SingleInstance::tryLock(QString* error) {
    // The data folder itself: removing a file cannot undo a lock on a folder, as it undoes a lock file's.
    int fd = ::open(QFile::encodeName(m_dataDirectory).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    QString folderError;
    if (fd < 0) {
        folderError = systemError("open");
    } else if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
        m_lockFd = fd; // held, with the lock, for the life of the process
        return Lock::taken;
    } else {
        const int number = errno;
        ::close(fd);
        if (number == EWOULDBLOCK || number == EINTR) {
            return Lock::held;
        }
        folderError = systemError("flock", number);
    }
    // A folder that cannot be opened or locked (some network file systems lock no folders): a lock file
    // beside the socket stands in for it.
    const QByteArray lockFile = QFile::encodeName(m_lockFilePath);
    fd = ::open(lockFile.constData(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, S_IRUSR | S_IWUSR);
    if (fd < 0 || ::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int number = errno;
        if (fd >= 0) {
            ::close(fd);
            if (number == EWOULDBLOCK || number == EINTR) {
                return Lock::held;
            }
        }
        *error = QStringLiteral("Cannot lock %1 (%2) nor %3 (%4)")
                     .arg(m_dataDirectory, folderError, m_lockFilePath,
                          systemError(fd < 0 ? "open" : "flock", number));
        return Lock::unavailable;
    }
    // Locked, but only worth anything while it is still the file of that name: one removed or replaced in
    // between is left to the next try.
    struct stat opened {};
    struct stat named {};
    if (::fstat(fd, &opened) == 0 && ::stat(lockFile.constData(), &named) == 0 &&
        opened.st_dev == named.st_dev && opened.st_ino == named.st_ino) {
        m_lockFd = fd;
        return Lock::taken;
    }
    ::close(fd);
    return Lock::held;
}

bool SingleInstance::listen(QString* error) {
    if (isListening()) {
        return true;
    }
    QString why;
    if (openListener(&why)) {
        return true;
    }
    if (error) {
        *error = why;
    }
    retryAfter(QStringLiteral("Could not listen on %1: %2").arg(m_socketPath, why));
    return false;
}

bool SingleInstance::openListener(QString* error) {
    const QByteArray path = QFile::encodeName(m_socketPath);
    sockaddr_un address;
    if (!socketAddress(path, address)) {
        *error = QStringLiteral("Socket path too long: %1").arg(m_socketPath);
        return false;
    }
    // Before the file is there, so its removal is never missed.
    watchFolder();
    // Made in a folder of its own and then moved into place, so no one else can reach it even for a
    // moment; the move replaces a socket file a crashed holder left behind (we hold the lock, so it is ours).
    QByteArray folder = QFile::encodeName(QFileInfo(m_socketPath).path()) + "/.ttXXXXXX";
    if (!::mkdtemp(folder.data())) {
        *error = systemError("mkdtemp");
        return false;
    }
    const QByteArray made = folder + "/s";
    sockaddr_un madeAddress;
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    QString failure;
    struct stat file {};
    if (fd < 0) {
        failure = systemError("socket");
    } else if (!socketAddress(made, madeAddress) ||
               ::bind(fd, reinterpret_cast<const sockaddr*>(&madeAddress), sizeof(madeAddress)) != 0) {
        failure = systemError("bind");
    } else if (::chmod(made.constData(), S_IRUSR | S_IWUSR) != 0) {
        failure = systemError("chmod");
    } else if (::lstat(made.constData(), &file) != 0) {
        failure = systemError("lstat");
    } else if (::listen(fd, SOMAXCONN) != 0) {
        failure = systemError("listen");
    } else if (::rename(made.constData(), path.constData()) != 0) {
        failure = systemError("rename");
    }
    ::unlink(made.constData()); // gone already when it was moved
    ::rmdir(folder.constData());
    if (!failure.isEmpty()) {
        if (fd >= 0) {
            ::close(fd);
        }
        *error = failure;
        return false;
    }
    m_listener = fd;
    m_socketDevice = file.st_dev;
    m_socketInode = file.st_ino;
    m_listenerNotifier = new QSocketNotifier(fd, QSocketNotifier::Read, this);
    connect(m_listenerNotifier, &QSocketNotifier::activated, this, &SingleInstance::acceptClients);
    return true;
}

void SingleInstance::closeListener() {
    if (m_listener < 0) {
        return;
    }
    m_listenerNotifier->setEnabled(false);
    m_listenerNotifier->deleteLater();
    m_listenerNotifier = nullptr;
    ::close(m_listener);
    m_listener = -1;
}

bool SingleInstance::socketFileIsOurs() const {
    struct stat named {};
    return ::lstat(QFile::encodeName(m_socketPath).constData(), &named) == 0 &&
           named.st_dev == m_socketDevice && named.st_ino == m_socketInode;
}

void SingleInstance::watchFolder() {
    if (m_watchFd < 0) {
        m_watchFd = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
        if (m_watchFd >= 0) {
            m_watchNotifier = new QSocketNotifier(m_watchFd, QSocketNotifier::Read, this);
            connect(m_watchNotifier, &QSocketNotifier::activated, this, &SingleInstance::folderChanged);
        }
    }
    // Added at every making of the socket: a folder removed and made anew is another folder to watch. Only
    // removals and moves, which are rare in the folder, wake the program.
    const QString folder = QFileInfo(m_socketPath).path();
    if (m_watchFd >= 0 && ::inotify_add_watch(m_watchFd, QFile::encodeName(folder).constData(),
                                              IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO | IN_DELETE_SELF |
                                                  IN_MOVE_SELF | IN_ONLYDIR) >= 0) {
        return;
    }
    const QString why = systemError(m_watchFd < 0 ? "inotify_init1" : "inotify_add_watch");
    if (!m_watchFailureLogged) {
        m_watchFailureLogged = true;
        TT_LOG_WARNING(
            kContext,
            QStringLiteral("Cannot watch %1 (%2): a removed socket file is not made again").arg(folder, why));
    }
}

void SingleInstance::folderChanged() {
    const QByteArray name = QFile::encodeName(QFileInfo(m_socketPath).fileName());
    bool aboutTheSocket = false;
    alignas(inotify_event) char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(m_watchFd, buffer, sizeof(buffer));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            break;
        }
        for (ssize_t at = 0; at < n;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
            // The socket's own name, the folder itself gone or moved, or events lost.
            if ((event->len > 0 && name == event->name) ||
                (event->mask & (IN_DELETE_SELF | IN_MOVE_SELF | IN_IGNORED | IN_Q_OVERFLOW))) {
                aboutTheSocket = true;
            }
            at += ssize_t(sizeof(inotify_event) + event->len);
        }
    }
    if (!aboutTheSocket || !isListening() || socketFileIsOurs()) {
        return; // while not listening, the retry makes the socket anyway
    }
    TT_LOG_WARNING(
        kContext,
        QStringLiteral("The socket file %1 was removed or replaced; making it again").arg(m_socketPath));
    // Whoever connected before it went is served; after that no one can reach the old socket.
    acceptClients();
    if (!isListening()) {
        return; // accepting failed, and the retry makes the socket
    }
    closeListener();
    QString why;
    if (!openListener(&why)) {
        retryAfter(QStringLiteral("Could not listen on %1: %2").arg(m_socketPath, why));
    }
}

void SingleInstance::acceptClients() {
    for (int accepted = 0; accepted < kAcceptsPerWake && isListening(); ++accepted) {
        const int fd = ::accept4(m_listener, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
        if (fd >= 0) {
            recovered();
            serve(fd);
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
            m_listenerNotifier->setEnabled(false);
            retryAfter(QStringLiteral("Could not accept a connection on %1: %2").arg(m_socketPath, why));
            return;
        }
        default: {
            const QString why = systemError("accept");
            closeListener();
            retryAfter(QStringLiteral("Stopped listening on %1: %2").arg(m_socketPath, why));
            return;
        }
        }
    }
}

void SingleInstance::retryAfter(const QString& what) {
    if (!m_failing) {
        m_failing = true;
        TT_LOG_WARNING(kContext, QStringLiteral("%1; trying again in %2 ms").arg(what).arg(m_retryMs));
    }
    m_retryTimer.start(m_retryMs);
    m_retryMs = std::min(m_retryMs * 2, maxRetryMs);
}

void SingleInstance::retry() {
    if (isListening()) {
        m_listenerNotifier->setEnabled(true);
        acceptClients();
        return;
    }
    QString why;
    if (!openListener(&why)) {
        retryAfter(QStringLiteral("Could not listen on %1: %2").arg(m_socketPath, why));
        return;
    }
    recovered();
}

void SingleInstance::recovered() {
    m_retryMs = firstRetryMs;
    if (m_failing) {
        m_failing = false;
        TT_LOG_INFO(kContext, QStringLiteral("Serving %1 again").arg(m_socketPath));
    }
}

void SingleInstance::serve(int fd) {
    auto client = std::make_unique<Client>();
    client->fd = fd;
    client->id = ++m_nextClientId;
    client->cutAtMs = m_clock.elapsed() + clientTimeoutMs;
    // A later launch sends its whole message with its connection: it is answered at once and never waits.
    const Reading reading = readMessage(*client);
    if (reading == Reading::done) {
        answerClient(std::move(client));
        return;
    }
    if (reading == Reading::refused) {
        return;
    }
    client->notifier = new QSocketNotifier(fd, QSocketNotifier::Read, this);
    connect(client->notifier, &QSocketNotifier::activated, this,
            [this, id = client->id] { clientReadable(id); });
    m_waiting.push_back(std::move(client));
    if (qsizetype(m_waiting.size()) > maxWaitingClients) {
        if (!m_cutting) {
            m_cutting = true;
            TT_LOG_WARNING(kContext, QStringLiteral("More than %1 clients waiting on %2; cutting the oldest")
                                         .arg(maxWaitingClients)
                                         .arg(m_socketPath));
        }
        m_waiting.pop_front();
    }
    armDeadline();
}

SingleInstance::Reading SingleInstance::readMessage(Client& client) {
    QByteArray& received = client.received;
    for (;;) {
        // The header first, then exactly the message it announces: nothing beyond it is ever read.
        qsizetype whole = kHeaderSize;
        if (received.size() >= kHeaderSize) {
            const quint32 length = qFromBigEndian<quint32>(received.constData() + kGreetingSize);
            if (qint64(length) > maxMessageBytes) {
                return Reading::refused;
            }
            whole = kHeaderSize + qsizetype(length);
            if (received.size() == whole) {
                break;
            }
        }
        const qsizetype had = received.size();
        received.resize(had + std::min(whole - had, kReadPiece));
        const ssize_t n = ::recv(client.fd, received.data() + had, size_t(received.size() - had), 0);
        received.resize(had + std::max<qsizetype>(n, 0));
        // A client of another kind or version is refused as soon as its first bytes tell.
        if (std::memcmp(received.constData(), kGreeting, size_t(std::min(received.size(), kGreetingSize))) !=
            0) {
            return Reading::refused;
        }
        if (n > 0) {
            continue;
        }
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            return Reading::incomplete;
        }
        return Reading::refused; // hung up before the whole message, or failed
    }
    received.remove(0, kHeaderSize);
    return Reading::done;
}

SingleInstance::Reading SingleInstance::readConfirmation(Client& client) {
    for (;;) {
        char byte = 0;
        const ssize_t n = ::recv(client.fd, &byte, 1, 0);
        if (n == 1) {
            return byte == confirmation ? Reading::done : Reading::refused;
        }
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            return Reading::incomplete;
        }
        return Reading::refused; // the sender gave up, or failed
    }
}

void SingleInstance::answerClient(std::unique_ptr<Client> client) {
    // The socket's buffer is empty (the sender writes nothing more before the answer), so one byte fits. A
    // sender that already gave up is gone: the answer fails, and nothing is done for it.
    if (::send(client->fd, &answer, 1, MSG_NOSIGNAL | MSG_DONTWAIT) != 1) {
        dropUnconfirmed(*client, "its sender had already given up");
        armDeadline();
        return;
    }
    client->cutAtMs = m_clock.elapsed() + clientTimeoutMs;
    if (!client->notifier) {
        client->notifier = new QSocketNotifier(client->fd, QSocketNotifier::Read, this);
        connect(client->notifier, &QSocketNotifier::activated, this,
                [this, id = client->id] { clientReadable(id); });
    }
    // Kept apart from those still sending, so a flood of silent connections cannot cut a message that is
    // only waiting for its confirmation.
    m_answered.push_back(std::move(client));
    if (qsizetype(m_answered.size()) > maxWaitingClients) {
        dropUnconfirmed(*m_answered.front(), "too many messages are waiting for their confirmation");
        m_answered.pop_front();
    }
    armDeadline();
}

void SingleInstance::clientReadable(quint64 id) {
    const auto byId = [id](const std::unique_ptr<Client>& client) { return client->id == id; };
    if (const auto at = std::find_if(m_waiting.begin(), m_waiting.end(), byId); at != m_waiting.end()) {
        const Reading reading = readMessage(**at);
        if (reading == Reading::incomplete) {
            return;
        }
        std::unique_ptr<Client> client = std::move(*at);
        m_waiting.erase(at);
        if (reading == Reading::done) {
            answerClient(std::move(client));
        } else {
            armDeadline();
        }
        return;
    }
    const auto at = std::find_if(m_answered.begin(), m_answered.end(), byId);
    if (at == m_answered.end()) {
        return; // already cut
    }
    const Reading reading = readConfirmation(**at);
    if (reading == Reading::incomplete) {
        return;
    }
    const std::unique_ptr<Client> client = std::move(*at);
    m_answered.erase(at);
    armDeadline();
    if (reading == Reading::done) {
        emit messageReceived(client->received);
    } else {
        dropUnconfirmed(*client, "its sender did not confirm the answer");
    }
}

void SingleInstance::dropUnconfirmed(const Client& client, const char* why) {
    TT_LOG_WARNING(kContext, QStringLiteral("Dropped a handed-over message of %1 bytes: %2")
                                 .arg(client.received.size())
                                 .arg(QLatin1String(why)));
}

void SingleInstance::cutExpiredClients() {
    const qint64 now = m_clock.elapsed();
    while (!m_waiting.empty() && m_waiting.front()->cutAtMs <= now) {
        m_waiting.pop_front();
    }
    QList<QByteArray> confirmed;
    while (!m_answered.empty() && m_answered.front()->cutAtMs <= now) {
        const std::unique_ptr<Client> client = std::move(m_answered.front());
        m_answered.pop_front();
        // A confirmation that came just as the time ran out still counts.
        if (readConfirmation(*client) == Reading::done) {
            confirmed << client->received;
        } else {
            dropUnconfirmed(*client, "its sender did not confirm the answer in time");
        }
    }
    armDeadline();
    for (const QByteArray& message : confirmed) {
        emit messageReceived(message);
    }
}

void SingleInstance::armDeadline() {
    if (m_waiting.empty()) {
        m_cutting = false;
    }
    qint64 next = -1;
    for (const Clients* clients : {&m_waiting, &m_answered}) {
        // Each list is in the order of its deadlines, so its first client's time is up first.
        if (!clients->empty() && (next < 0 || clients->front()->cutAtMs < next)) {
            next = clients->front()->cutAtMs;
        }
    }
    if (next < 0) {
        m_deadline.stop();
        return;
    }
    m_deadline.start(int(std::max<qint64>(0, next - m_clock.elapsed())));
}

bool SingleInstance::send(const QString& socketPath, const QByteArray& message, int timeoutMs,
                          QString* error) {
    QElapsedTimer timer;
    timer.start();
    sockaddr_un address;
    if (!socketAddress(QFile::encodeName(socketPath), address)) {
        if (error) {
            *error = QStringLiteral("Socket path too long: %1").arg(socketPath);
        }
        return false;
    }

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
        ::close(fd); // unconfirmed: the running copy drops the message
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
    for (;;) {
        if (!waitFor(fd, POLLIN, timer, timeoutMs)) {
            return fail(QStringLiteral("The running copy did not answer"));
        }
        char byte = 0;
        const ssize_t n = ::recv(fd, &byte, 1, 0);
        if (n < 0 && (errno == EAGAIN || errno == EINTR)) {
            continue;
        }
        if (n != 1 || byte != answer) {
            return fail(QStringLiteral("The running copy closed the connection"));
        }
        break;
    }
    if (timer.elapsed() > timeoutMs) {
        return fail(QStringLiteral("The running copy answered too late"));
    }
    // The running copy acts on the message once it reads this, and only then: success is reported only
    // when it is written.
    if (::send(fd, &confirmation, 1, MSG_NOSIGNAL | MSG_DONTWAIT) != 1) {
        return fail(systemError("send"));
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
