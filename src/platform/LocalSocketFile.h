#pragma once
// A socket file at a path: its address, and putting a listening socket of ours there, reachable by our user
// only, without ever replacing one that a live process listens on. That last rule is what keeps two copies
// from taking the socket from each other.

#include <QString>

#include <sys/types.h>

struct sockaddr_un;

namespace LocalSocketFile {

// Which file a path held, so ours is told apart from one put in its place.
struct Identity {
    dev_t device = 0;
    ino_t inode = 0;
};

// The address of a socket file; false when the path is too long for one.
bool address(const QString& path, sockaddr_un& out);

// Whether the file at `path` is still `identity`.
bool holds(const QString& path, const Identity& identity);

struct Placement {
    enum class Outcome { placed, taken, failed } outcome = Outcome::failed;
    int fd = -1;       // placed: the listening socket (non-blocking, close-on-exec), now the caller's
    Identity identity; // placed: its file
    QString error;     // taken: which process serves the socket there ("process 123"); failed: why
};

// Binds and listens in a private folder beside `path` (whose folder must exist), then links the socket into
// place. A file there that no one listens on (one a crashed copy left, or any other file) is replaced.
Placement place(const QString& path);

} // namespace LocalSocketFile
