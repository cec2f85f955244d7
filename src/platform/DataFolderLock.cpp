#include "platform/DataFolderLock.h"

#include "platform/FaultPoint.h"
#include "platform/SystemError.h"

#include <QFile>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Tries a few times when the file is removed or replaced between its opening and its locking.
constexpr int kAttempts = 5;

bool sameFile(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

QString notARegularFile(const char* kind) {
    return QStringLiteral("it is %1, not a regular file").arg(QLatin1String(kind));
}

// Why what stands at the lock's place is no lock of this user's; empty when it is one. A file put there by
// someone else could keep every copy out, whoever held it; anything but a plain file is no lock file.
QString notOwnFile(const struct stat& file) {
    if (!S_ISREG(file.st_mode)) {
        const char* kind = S_ISDIR(file.st_mode)    ? "a folder"
                           : S_ISFIFO(file.st_mode) ? "a FIFO"
                           : S_ISSOCK(file.st_mode) ? "a socket"
                           : S_ISLNK(file.st_mode)  ? "a symlink"
                                                    : "a device";
        return notARegularFile(kind);
    }
    if (file.st_uid != ::geteuid()) {
        return QStringLiteral("it is not a file of this user's (owner %1)").arg(file.st_uid);
    }
    return {};
}

} // namespace

DataFolderLock::DataFolderLock(const QString& folder)
    : m_path(folder + QLatin1Char('/') + QLatin1String(fileName)) {}

DataFolderLock::~DataFolderLock() {
    release();
}

DataFolderLock::State DataFolderLock::take(QString* error) {
    if (m_fd >= 0) {
        return State::taken;
    }
    const auto unavailable = [&](const QString& why) {
        if (error) {
            *error = QStringLiteral("Cannot lock %1: %2").arg(m_path, why);
        }
        return State::unavailable;
    };
    const QByteArray name = QFile::encodeName(m_path);
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        // What stands there is looked at before it is opened, so a device is never opened at all.
        struct stat there {};
        if (::lstat(name.constData(), &there) == 0) {
            if (const QString why = notOwnFile(there); !why.isEmpty()) {
                return unavailable(why);
            }
        }
        FaultPoint::reached("folder-lock.looked");
        // Never blocking: a FIFO put there meanwhile would hold the open, and the start, for ever.
        constexpr int kFlags = O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC;
        int fd = ::open(name.constData(), O_RDWR | O_CREAT | kFlags, S_IRUSR | S_IWUSR);
        if (fd < 0) {
            const int number = errno;
            // A folder that cannot be written may still hold the file from an earlier run: a lock needs
            // no writing.
            if (number == EROFS || number == EACCES) {
                fd = ::open(name.constData(), O_RDONLY | kFlags);
            }
            if (fd < 0) {
                // The first refusal is the cause; the second open only says the file is not there.
                const int cause = errno == ENOENT ? number : errno;
                // A symlink put there since the look is refused by O_NOFOLLOW as a loop.
                return unavailable(cause == ELOOP ? notARegularFile("a symlink")
                                                  : systemError("open", cause));
            }
        }
        struct stat opened {};
        if (::fstat(fd, &opened) != 0) {
            const QString why = systemError("fstat");
            ::close(fd);
            return unavailable(why);
        }
        if (const QString why = notOwnFile(opened); !why.isEmpty()) {
            ::close(fd);
            return unavailable(why);
        }
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            const int number = errno;
            ::close(fd);
            if (number == EWOULDBLOCK || number == EINTR) {
                return State::held;
            }
            return unavailable(systemError("flock", number));
        }
        // Removed or replaced meanwhile: a lock on a file no longer there keeps nobody out.
        struct stat named {};
        if (::stat(name.constData(), &named) == 0 && sameFile(opened, named)) {
            m_fd = fd;
            return State::taken;
        }
        ::close(fd);
    }
    return unavailable(QStringLiteral("it is replaced as soon as it is locked"));
}

void DataFolderLock::release() {
    if (m_fd >= 0) {
        ::close(m_fd); // the lock goes with it
        m_fd = -1;
    }
}
