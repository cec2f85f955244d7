#pragma once
// What may stand at the path of a stored file instead of the file: each makes its thing at `path` and says
// whether it could. Stored files are read by the program at start, so each of these must be set aside unread.

#include <QByteArray>
#include <QFile>
#include <QString>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace HostileFiles {

// An ordinary open of a FIFO with no writer blocks for ever.
inline bool makeFifo(const QString& path) {
    return ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0;
}

// Reading it never ends, nor fits in memory.
inline bool linkToEndlessDevice(const QString& path) {
    return ::symlink("/dev/zero", QFile::encodeName(path).constData()) == 0;
}

// Sparse: it uses no disk, but reading it would take `size` bytes of memory.
inline bool makeSparseFile(const QString& path, qint64 size) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT, 0600);
    const bool made = fd >= 0 && ::ftruncate(fd, size) == 0;
    if (fd >= 0) {
        ::close(fd);
    }
    return made;
}

} // namespace HostileFiles
