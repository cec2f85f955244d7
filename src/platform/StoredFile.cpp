#include "platform/StoredFile.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <optional>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Enough numbers for any user; past it something is wrong with the folder, and trying on would only spin.
constexpr int kMaxNumber = 10'000;

QString errnoText(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

// Where the name lives, so the new name itself is on disk before anyone relies on it.
void syncFolderOf(const QByteArray& name) {
    const QByteArray folder = QFile::encodeName(QFileInfo(QFile::decodeName(name)).absolutePath());
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

bool exists(const QByteArray& name) {
    struct stat info = {};
    return ::lstat(name.constData(), &info) == 0;
}

// Reads up to `size` bytes, fewer only at the end of the file; -1 on an error.
ssize_t readUpTo(int fd, char* into, size_t size) {
    size_t got = 0;
    while (got < size) {
        const ssize_t n = ::read(fd, into + got, size - got);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            return -1;
        }
        if (n == 0) {
            break;
        }
        got += size_t(n);
    }
    return ssize_t(got);
}

qint64 sizeOf(const StoredFile::Content& content) {
    qint64 size = 0;
    content([&size](const char*, qsizetype n) {
        size += n;
        return true;
    });
    return size;
}

// Whether `name` is a regular file holding exactly the `size` bytes of `content`. When it does it is synced,
// as it now stands for a copy about to be relied on (the run that made it may have ended before its sync).
bool holdsExactly(const QByteArray& name, qint64 size, const StoredFile::Content& content) {
    const int fd = ::open(name.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    struct stat info = {};
    bool same = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size == size;
    if (same) {
        char stored[64 * 1024];
        same = content([&](const char* bytes, qsizetype n) {
            while (same && n > 0) {
                const size_t piece = std::min(size_t(n), sizeof stored);
                same =
                    readUpTo(fd, stored, piece) == ssize_t(piece) && std::memcmp(stored, bytes, piece) == 0;
                bytes += piece;
                n -= qsizetype(piece);
            }
            return same;
        });
        char more = 0;
        same = same && readUpTo(fd, &more, 1) == 0 && ::fsync(fd) == 0;
    }
    ::close(fd);
    return same;
}

} // namespace

namespace StoredFile {

Read readRegular(const QString& path, qint64 maxBytes) {
    const QByteArray native = QFile::encodeName(path);
    const int fd = ::open(native.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        const int error = errno;
        if (error == ENOENT) {
            return {Read::absent, {}, {}};
        }
        return {Read::failed, {}, errnoText(error)};
    }
    struct stat info = {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return {Read::notRegular, {}, QStringLiteral("not a regular file")};
    }
    const QString tooLarge = QStringLiteral("larger than %1 bytes").arg(maxBytes);
    if (info.st_size > maxBytes) {
        ::close(fd);
        return {Read::tooLarge, {}, tooLarge};
    }
    // Sized by what fstat saw; a file that grows meanwhile is read on, up to one byte past the limit.
    QByteArray bytes(qsizetype(info.st_size), Qt::Uninitialized);
    qsizetype size = 0;
    char more[64 * 1024];
    for (;;) {
        const bool full = size == bytes.size();
        char* const into = full ? more : bytes.data() + size;
        const size_t room = full ? sizeof more : size_t(bytes.size() - size);
        const ssize_t n = ::read(fd, into, room);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            const int error = errno;
            ::close(fd);
            return {Read::failed, {}, errnoText(error)};
        }
        if (n == 0) {
            break;
        }
        if (full) {
            if (size + n > maxBytes) {
                ::close(fd);
                return {Read::tooLarge, {}, tooLarge};
            }
            bytes.append(more, qsizetype(n));
        }
        size += qsizetype(n);
    }
    ::close(fd);
    bytes.truncate(size);
    return {Read::read, std::move(bytes), {}};
}

QString numberedName(const QString& stem, const QString& suffix, int number) {
    return number <= 1 ? stem + suffix : stem + QLatin1Char('.') + QString::number(number) + suffix;
}

QString moveAside(const QString& path, const QString& suffix, QString* error) {
    const QByteArray from = QFile::encodeName(path);
    for (int n = 1; n <= kMaxNumber; ++n) {
        const QString name = numberedName(path, suffix, n);
        const QByteArray to = QFile::encodeName(name);
        int result = ::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE);
        if (result != 0 && (errno == EINVAL || errno == ENOSYS)) {
            // A file system that cannot rename without replacing: look first, then rename.
            if (exists(to)) {
                continue;
            }
            result = ::rename(from.constData(), to.constData());
        }
        if (result == 0) {
            syncFolderOf(to);
            return name;
        }
        if (errno != EEXIST) {
            *error = errnoText(errno);
            return {};
        }
    }
    *error = QStringLiteral("no free name");
    return {};
}

QString writeAside(const QString& stem, const QString& suffix, const Content& content, QString* error) {
    std::optional<qint64> size; // measured once a name is taken
    for (int n = 1; n <= kMaxNumber; ++n) {
        const QString name = numberedName(stem, suffix, n);
        const QByteArray native = QFile::encodeName(name);
        // Created, never opened over anything: an earlier copy (or a link planted at the name) stays as it
        // is.
        const int fd = ::open(native.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd < 0) {
            if (errno != EEXIST) {
                *error = errnoText(errno);
                return {};
            }
            if (!size) {
                size = sizeOf(content);
            }
            if (holdsExactly(native, *size, content)) {
                syncFolderOf(native); // its name, too, may not have reached the disk before that run ended
                return name;
            }
            continue;
        }
        QFile file;
        if (!file.open(fd, QIODevice::WriteOnly, QFileDevice::AutoCloseHandle)) {
            ::close(fd);
            ::unlink(native.constData());
            *error = file.errorString();
            return {};
        }
        bool ok = content([&file](const char* bytes, qsizetype length) {
                      return file.write(bytes, length) == length;
                  }) &&
                  file.flush();
        QString why =
            file.error() != QFileDevice::NoError ? file.errorString() : QStringLiteral("short write");
        if (ok && ::fsync(file.handle()) != 0) {
            ok = false;
            why = errnoText(errno);
        }
        file.close();
        if (!ok) {
            ::unlink(native.constData());
            *error = why;
            return {};
        }
        syncFolderOf(native);
        return name;
    }
    *error = QStringLiteral("no free name");
    return {};
}

} // namespace StoredFile
