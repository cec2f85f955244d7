#include "platform/Door.h"

#include "platform/FaultPoint.h"
#include "platform/SystemError.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>

#include <algorithm>
#include <cstddef>
#include <cstdlib>
#include <cstring>

#include <unistd.h>

QString Door::folder(const QString& dataDirectory) {
    // As written, not cleaned: ".." after a symlink leads where the kernel takes it, not where the text does.
    QString path = dataDirectory;
    if (!path.startsWith(QLatin1Char('/'))) {
        path.prepend(QDir::currentPath() + QLatin1Char('/'));
    }
    // The deepest part that exists, resolved, and the rest (not there yet) as written.
    QString rest;
    for (;;) {
        if (char* resolved = ::realpath(QFile::encodeName(path).constData(), nullptr)) {
            const QString canonical = QFile::decodeName(resolved);
            std::free(resolved);
            return QDir::cleanPath(canonical + rest);
        }
        while (path.endsWith(QLatin1Char('/')) && path.size() > 1) {
            path.chop(1);
        }
        const qsizetype cut = path.lastIndexOf(QLatin1Char('/'));
        if (cut <= 0) {
            return QDir::cleanPath(QLatin1Char('/') + path.mid(1) + rest);
        }
        rest.prepend(path.mid(cut));
        path.truncate(cut);
    }
}

QByteArray Door::name(const QString& dataDirectory, uid_t user) {
    const QByteArray digest =
        QCryptographicHash::hash(folder(dataDirectory).toUtf8(), QCryptographicHash::Sha256);
    return "tarvolintimer-" + QByteArray::number(user) + '-' + digest.toHex().left(32);
}

Door::Address Door::address(const QByteArray& name) {
    Address out;
    out.address.sun_family = AF_UNIX;
    // The first byte stays zero: that is what puts the name in the abstract namespace.
    const size_t length = std::min(size_t(name.size()), sizeof(out.address.sun_path) - 1);
    std::memcpy(out.address.sun_path + 1, name.constData(), length);
    out.size = socklen_t(offsetof(sockaddr_un, sun_path) + 1 + length);
    return out;
}

Door::Opening Door::open(const QByteArray& name) {
    Opening result;
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0) {
        result.error = systemError("socket");
        return result;
    }
    const Address at = address(name);
    if (::bind(fd, reinterpret_cast<const sockaddr*>(&at.address), at.size) != 0) {
        const int number = errno;
        ::close(fd);
        if (number == EADDRINUSE) {
            result.outcome = Opening::Outcome::inUse;
        } else {
            result.error = systemError("bind", number);
        }
        return result;
    }
    FaultPoint::reached("door.bound");
    if (::listen(fd, SOMAXCONN) != 0) {
        result.error = systemError("listen");
        ::close(fd);
        return result;
    }
    result.outcome = Opening::Outcome::opened;
    result.fd = fd;
    return result;
}

std::optional<Door::Peer> Door::peer(int fd) {
    ucred credentials{};
    socklen_t size = sizeof(credentials);
    if (::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &credentials, &size) != 0 || size != sizeof(credentials)) {
        return std::nullopt;
    }
    return Peer{credentials.uid, credentials.pid};
}

QString Door::describe(const Peer& peer) {
    return QStringLiteral("process %1 of user %2").arg(peer.process).arg(peer.user);
}
