#include "platform/DataFolderLock.h"

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
        int fd = ::open(name.constData(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, S_IRUSR | S_IWUSR);
        if (fd < 0 && (errno == EROFS || errno == EACCES)) {
            // A folder that cannot be written may still hold the file from an earlier run: a lock needs
            // no writing.
            fd = ::open(name.constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
        }
        if (fd < 0) {
            return unavailable(systemError("open"));
        }
        struct stat opened {};
        if (::fstat(fd, &opened) != 0) {
            const QString why = systemError("fstat");
            ::close(fd);
            return unavailable(why);
        }
        // A file put there by someone else is no lock of this user's: whoever holds it could keep every
        // copy out.
        if (!S_ISREG(opened.st_mode) || opened.st_uid != ::geteuid()) {
            ::close(fd);
            return unavailable(
                QStringLiteral("it is not a file of this user's (owner %1)").arg(opened.st_uid));
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
