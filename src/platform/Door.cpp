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

// Netlink's messages and their attributes start on four-byte boundaries.
size_t aligned(size_t length) {
    return (length + 3) & ~size_t(3);
}

size_t wholeLength(const nlmsghdr& header) {
    return header.nlmsg_len;
}
size_t wholeLength(const rtattr& header) {
    return header.rta_len;
}

// Walks records that each open with a header giving their whole length (netlink's messages, and the
// attributes of one), as far as they lie whole in the `size` bytes at `data`: `visit(header, payload,
// payloadSize)` for each, until it returns false.
template <typename Header, typename Visit> void forEachRecord(const char* data, size_t size, Visit visit) {
    for (size_t at = 0; at + sizeof(Header) <= size;) {
        Header header{};
        std::memcpy(&header, data + at, sizeof header);
        const size_t whole = wholeLength(header);
        if (whole < aligned(sizeof header) || whole > size - at ||
            !visit(header, data + at + aligned(sizeof header), whole - aligned(sizeof header))) {
            return;
        }
        at += aligned(whole);
    }
}

// One socket of the kernel's list: whether it is a stream socket bound to the name wanted, and whose it is.
struct Entry {
    bool named = false;
    std::optional<uid_t> user; // none where the kernel does not say
    Door::Holder holder;
};

Entry readEntry(const char* data, size_t length, const QByteArray& wanted) {
    Entry out;
    unix_diag_msg head{};
    if (length < sizeof head) {
        return out;
    }
    std::memcpy(&head, data, sizeof head);
    if (head.udiag_type != SOCK_STREAM) {
        return out; // a datagram socket's names are apart from a stream socket's
    }
    out.holder.listening = head.udiag_state == TCP_LISTEN;
    const size_t first = std::min(length, aligned(sizeof head));
    forEachRecord<rtattr>(
        data + first, length - first, [&](const rtattr& attribute, const char* payload, size_t size) {
            if (attribute.rta_type == UNIX_DIAG_NAME) {
                out.named = QByteArrayView(payload, qsizetype(size)) == wanted;
            } else if (attribute.rta_type == UNIX_DIAG_UID && size >= sizeof(quint32)) {
                quint32 uid = 0;
                std::memcpy(&uid, payload, sizeof uid);
                out.user = uid_t(uid);
            } else if (attribute.rta_type == UNIX_DIAG_RQLEN && size >= sizeof(unix_diag_rqlen)) {
                unix_diag_rqlen queue{};
                std::memcpy(&queue, payload, sizeof queue);
                out.holder.waiting = queue.udiag_rqueue;
            }
            return true;
        });
    return out;
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
    const auto fail = [error](const QString& why) -> std::optional<Holder> {
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
    char buffer[32 * 1024];
    for (;;) {
        const ssize_t got = ::recv(fd, buffer, sizeof buffer, 0);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            return fail(got < 0 ? systemError("recv") : QStringLiteral("recv: the kernel closed the list"));
        }
        // Set once the list has answered: the holder, or why there is none.
        std::optional<std::optional<Holder>> answer;
        forEachRecord<nlmsghdr>(
            buffer, size_t(got), [&](const nlmsghdr& message, const char* payload, size_t length) {
                if (message.nlmsg_type == NLMSG_DONE) {
                    answer = fail(QStringLiteral("no socket holds the name now"));
                } else if (message.nlmsg_type == NLMSG_ERROR) {
                    nlmsgerr refusal{};
                    std::memcpy(&refusal, payload, std::min(length, sizeof refusal));
                    answer = fail(systemError("sock_diag", -refusal.error));
                } else if (message.nlmsg_type == SOCK_DIAG_BY_FAMILY) {
                    const Entry entry = readEntry(payload, length, wanted);
                    if (entry.named && !entry.user) {
                        answer = fail(QStringLiteral("the kernel does not tell whose a socket is"));
                    } else if (entry.named) {
                        Holder found = entry.holder;
                        found.user = *entry.user;
                        answer = found;
                    }
                }
                return !answer;
            });
        if (answer) {
            return *answer;
        }
    }
}
