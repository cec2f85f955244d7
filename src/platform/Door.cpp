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

#include <linux/netlink.h>
#include <linux/rtnetlink.h>
#include <linux/sock_diag.h>
#include <linux/unix_diag.h>
#include <netinet/tcp.h>
#include <sys/time.h>
#include <unistd.h>

namespace {

// How long the kernel may take to list the sockets; it answers at once, but nothing waits for ever.
constexpr int kDiagnosticsTimeoutMs = 1000;

// What follows a netlink message's header (the kernel's macro for it casts in the old style).
const char* payloadOf(const nlmsghdr* message) {
    return reinterpret_cast<const char*>(message) + NLMSG_HDRLEN;
}

} // namespace

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

std::optional<Door::Holder> Door::holder(const QByteArray& name, QString* error) {
    const auto fail = [error](const QString& why) {
        if (error) {
            *error = why;
        }
        return std::nullopt;
    };
    const int fd = ::socket(AF_NETLINK, SOCK_DGRAM | SOCK_CLOEXEC, NETLINK_SOCK_DIAG);
    if (fd < 0) {
        return fail(systemError("socket"));
    }
    struct Closer {
        int fd;
        ~Closer() { ::close(fd); }
    } closer{fd};
    const timeval timeout{kDiagnosticsTimeoutMs / 1000, (kDiagnosticsTimeoutMs % 1000) * 1000};
    ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);

    // Only a bound socket that listens, or has not connected, holds a name: a connection taken from a
    // listener shares its name but not its owner.
    struct {
        nlmsghdr header;
        unix_diag_req request;
    } ask{};
    ask.header.nlmsg_len = sizeof ask;
    ask.header.nlmsg_type = SOCK_DIAG_BY_FAMILY;
    ask.header.nlmsg_flags = NLM_F_REQUEST | NLM_F_DUMP;
    ask.request.sdiag_family = AF_UNIX;
    ask.request.udiag_states = (1u << TCP_LISTEN) | (1u << TCP_CLOSE);
    ask.request.udiag_show = UDIAG_SHOW_NAME | UDIAG_SHOW_UID | UDIAG_SHOW_RQLEN;
    sockaddr_nl kernel{};
    kernel.nl_family = AF_NETLINK;
    if (::sendto(fd, &ask, sizeof ask, 0, reinterpret_cast<const sockaddr*>(&kernel), sizeof kernel) !=
        ssize_t(sizeof ask)) {
        return fail(systemError("sendto"));
    }
    const QByteArray wanted = QByteArray(1, '\0') + name;
    alignas(nlmsghdr) char buffer[32 * 1024];
    for (;;) {
        ssize_t got = ::recv(fd, buffer, sizeof buffer, 0);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            return fail(got < 0 ? systemError("recv") : QStringLiteral("recv: the kernel closed the list"));
        }
        int left = int(got);
        for (auto* message = reinterpret_cast<nlmsghdr*>(buffer); NLMSG_OK(message, left);
             message = NLMSG_NEXT(message, left)) {
            if (message->nlmsg_type == NLMSG_DONE) {
                return fail(QStringLiteral("no socket holds the name now"));
            }
            if (message->nlmsg_type == NLMSG_ERROR) {
                const auto* answer = reinterpret_cast<const nlmsgerr*>(payloadOf(message));
                return fail(systemError("sock_diag", -answer->error));
            }
            if (message->nlmsg_type != SOCK_DIAG_BY_FAMILY ||
                message->nlmsg_len < NLMSG_LENGTH(sizeof(unix_diag_msg))) {
                continue;
            }
            const auto* entry = reinterpret_cast<const unix_diag_msg*>(payloadOf(message));
            if (entry->udiag_type != SOCK_STREAM) {
                continue; // a datagram socket's names are apart from a stream socket's
            }
            bool named = false;
            std::optional<uid_t> user;
            Holder found;
            found.listening = entry->udiag_state == TCP_LISTEN;
            int attributesLeft = int(message->nlmsg_len - NLMSG_LENGTH(sizeof(unix_diag_msg)));
            for (auto* attribute =
                     reinterpret_cast<const rtattr*>(payloadOf(message) + NLMSG_ALIGN(sizeof(unix_diag_msg)));
                 RTA_OK(attribute, attributesLeft); attribute = RTA_NEXT(attribute, attributesLeft)) {
                const auto* payload = static_cast<const char*>(RTA_DATA(attribute));
                const auto size = RTA_PAYLOAD(attribute);
                if (attribute->rta_type == UNIX_DIAG_NAME) {
                    named = QByteArrayView(payload, qsizetype(size)) == wanted;
                } else if (attribute->rta_type == UNIX_DIAG_UID && size >= sizeof(quint32)) {
                    quint32 uid = 0;
                    std::memcpy(&uid, payload, sizeof uid);
                    user = uid_t(uid);
                } else if (attribute->rta_type == UNIX_DIAG_RQLEN && size >= sizeof(unix_diag_rqlen)) {
                    unix_diag_rqlen queue{};
                    std::memcpy(&queue, payload, sizeof queue);
                    found.waiting = queue.udiag_rqueue;
                }
            }
            if (!named) {
                continue;
            }
            if (!user) {
                return fail(QStringLiteral("the kernel does not tell whose a socket is"));
            }
            found.user = *user;
            return found;
        }
    }
}
