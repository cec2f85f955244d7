#pragma once
// Where one running copy per user and data folder is found: a name in Linux's abstract socket namespace,
// made from the user id and the data folder's path and held by the running copy's listening socket for its
// whole life. No file stands for it, so removing files or folders cannot undo it, and every launch finds it
// whatever state the runtime folder is in. Anyone may bind or reach such a name, so both ends check whose
// process is at the other end before they trust it.

#include <QByteArray>
#include <QString>

#include <optional>

#include <sys/socket.h>
#include <sys/types.h>
#include <sys/un.h>

namespace Door {

// The folder a path names, as one path however it is written (symlinks, "." and "..", trailing slashes):
// its canonical path, where only a part of it exists, that part's followed by the rest.
QString folder(const QString& dataDirectory);

// The door's name (without the leading zero byte) for this user and data folder: one for each folder,
// through folder(), whether it exists or not.
QByteArray name(const QString& dataDirectory, uid_t user);

struct Address {
    sockaddr_un address{};
    socklen_t size = 0; // an abstract name is exactly its bytes: no padding may follow it
};
Address address(const QByteArray& name);

struct Opening {
    enum class Outcome { opened, inUse, failed } outcome = Outcome::failed;
    int fd = -1;   // opened: the listening socket (non-blocking, close-on-exec), now the caller's
    QString error; // failed: why
};
// Binds the name and listens on it; inUse while any process, of any user, holds it.
Opening open(const QByteArray& name);

struct Peer {
    uid_t user = 0;
    pid_t process = 0;
};
// The process at the other end of a connected socket, as the kernel recorded it when it connected or
// listened; nullopt when it cannot be told.
std::optional<Peer> peer(int fd);

// "process 123 of user 65534", for log lines.
QString describe(const Peer& peer);

// The socket that holds a name, as the kernel's socket diagnostics list it.
struct Holder {
    uid_t user = 0;         // who made the socket
    bool listening = false; // else it is only bound
    quint32 waiting = 0;    // listening: connections in its queue, not yet taken
};
// Whose socket holds `name` in this process's network namespace, asked of the kernel with no connection
// made, so that a holder that takes none, or one whose queue is full, can still be told. nullopt, with
// `error`, when the kernel gives no answer, or no socket holds the name (any more).
std::optional<Holder> holder(const QByteArray& name, QString* error = nullptr);

} // namespace Door
