#include "platform/LocalSocketFile.h"

#include "platform/SystemError.h"

#include <QFile>
#include <QFileInfo>

#include <cstring>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

using LocalSocketFile::Identity;
using LocalSocketFile::Placement;

bool sameFile(const struct stat& file, const Identity& identity) {
    return file.st_dev == identity.device && file.st_ino == identity.inode;
}

// What a path holds, found by connecting to it.
struct Found {
    enum class Kind { nothing, live, dead, unknown } kind = Kind::unknown;
    Identity identity; // dead: the file no one listens on
    QString text;      // live: who listens; unknown: why it cannot be told
};

Found probe(const QString& path) {
    Found found;
    struct stat file {};
    if (::lstat(QFile::encodeName(path).constData(), &file) != 0) {
        found.kind = errno == ENOENT ? Found::Kind::nothing : Found::Kind::unknown;
        found.text = systemError("lstat");
        return found;
    }
    found.identity = {file.st_dev, file.st_ino};
    sockaddr_un address;
    LocalSocketFile::address(path, address);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0) {
        found.text = systemError("socket");
        return found;
    }
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) == 0) {
        found.kind = Found::Kind::live;
        ucred peer{};
        socklen_t size = sizeof(peer);
        found.text = ::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &peer, &size) == 0 && peer.pid > 0
                         ? QStringLiteral("process %1").arg(peer.pid)
                         : QStringLiteral("process unknown");
    } else if (errno == EAGAIN || errno == EINPROGRESS) {
        found.kind = Found::Kind::live; // its queue is full: busy, but there
        found.text = QStringLiteral("process unknown");
    } else if (errno == ECONNREFUSED) {
        found.kind = Found::Kind::dead; // a socket no one listens on, or not a socket at all
    } else if (errno == ENOENT) {
        found.kind = Found::Kind::nothing;
    } else {
        found.text = systemError("connect");
    }
    ::close(fd);
    return found;
}

// Links the made socket to `path`, which never replaces a file there; one that no one listens on is
// removed first. A few tries, as another process may be doing the same.
Placement linkInPlace(const QByteArray& made, const QString& path) {
    Placement result;
    const QByteArray name = QFile::encodeName(path);
    for (int attempt = 0; attempt < 3; ++attempt) {
        if (::link(made.constData(), name.constData()) == 0) {
            result.outcome = Placement::Outcome::placed;
            return result;
        }
        if (errno != EEXIST) {
            result.error = systemError("link");
            return result;
        }
        const Found found = probe(path);
        switch (found.kind) {
        case Found::Kind::live:
            result.outcome = Placement::Outcome::taken;
            result.error = found.text;
            return result;
        case Found::Kind::unknown:
            result.error = found.text;
            return result;
        case Found::Kind::nothing:
            break; // gone in between
        case Found::Kind::dead: {
            // Unless something else was put there in between.
            struct stat file {};
            if (::lstat(name.constData(), &file) == 0 && sameFile(file, found.identity) &&
                ::unlink(name.constData()) != 0 && errno != ENOENT) {
                result.error = systemError("unlink");
                return result;
            }
            break;
        }
        }
    }
    result.error = QStringLiteral("a file kept taking its place");
    return result;
}

} // namespace

bool LocalSocketFile::address(const QString& path, sockaddr_un& out) {
    const QByteArray name = QFile::encodeName(path);
    out = {};
    out.sun_family = AF_UNIX;
    if (name.size() >= qsizetype(sizeof(out.sun_path))) {
        return false;
    }
    std::memcpy(out.sun_path, name.constData(), size_t(name.size()));
    return true;
}

bool LocalSocketFile::holds(const QString& path, const Identity& identity) {
    struct stat file {};
    return ::lstat(QFile::encodeName(path).constData(), &file) == 0 && sameFile(file, identity);
}

Placement LocalSocketFile::place(const QString& path) {
    Placement result;
    sockaddr_un target;
    if (!address(path, target)) {
        result.error = QStringLiteral("the path is too long for a socket");
        return result;
    }
    // Made in a folder of its own and only then linked into place, so no one else can reach it even for a
    // moment before it is the user's alone and listening.
    QByteArray folder = QFile::encodeName(QFileInfo(path).path()) + "/.ttXXXXXX";
    if (!::mkdtemp(folder.data())) {
        result.error = systemError("mkdtemp");
        return result;
    }
    const QByteArray made = folder + "/s";
    sockaddr_un madeAddress;
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    struct stat file {};
    if (fd < 0) {
        result.error = systemError("socket");
    } else if (!address(QFile::decodeName(made), madeAddress) ||
               ::bind(fd, reinterpret_cast<const sockaddr*>(&madeAddress), sizeof(madeAddress)) != 0) {
        result.error = systemError("bind");
    } else if (::chmod(made.constData(), S_IRUSR | S_IWUSR) != 0) {
        result.error = systemError("chmod");
    } else if (::lstat(made.constData(), &file) != 0) {
        result.error = systemError("lstat");
    } else if (::listen(fd, SOMAXCONN) != 0) {
        result.error = systemError("listen");
    } else {
        result = linkInPlace(made, path);
    }
    ::unlink(made.constData());
    ::rmdir(folder.constData());
    if (result.outcome != Placement::Outcome::placed) {
        if (fd >= 0) {
            ::close(fd);
        }
        return result;
    }
    result.fd = fd;
    result.identity = {file.st_dev, file.st_ino};
    return result;
}
