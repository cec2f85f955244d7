#include "platform/DataFolderLock.h"

#include "platform/SystemError.h"

#include <QFile>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool sameFile(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// Opens and locks the folder, or the lock file (made when missing); -1 with errno and `what` failed on
// failure. A lock file removed or replaced in between is no lock: that reads as held, for the next try.
int lockAt(const QString& path, bool file, const char** what) {
    const QByteArray name = QFile::encodeName(path);
    const int fd =
        file ? ::open(name.constData(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, S_IRUSR | S_IWUSR)
             : ::open(name.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        *what = "open";
        return -1;
    }
    struct stat opened {};
    struct stat named {};
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int number = errno;
        ::close(fd);
        *what = "flock";
        errno = number == EINTR ? EWOULDBLOCK : number;
        return -1;
    }
    if (file &&
        (::fstat(fd, &opened) != 0 || ::stat(name.constData(), &named) != 0 || !sameFile(opened, named))) {
        ::close(fd);
        *what = "flock";
        errno = EWOULDBLOCK;
        return -1;
    }
    return fd;
}

} // namespace

DataFolderLock::DataFolderLock(const QString& dataDirectory, const QString& lockFilePath)
    : m_dataDirectory(dataDirectory), m_lockFilePath(lockFilePath) {}

DataFolderLock::~DataFolderLock() {
    release();
}

DataFolderLock::Result DataFolderLock::take(QString* error) {
    // The data folder itself: removing a file cannot undo a lock on a folder, as it undoes a lock file's.
    const char* what = nullptr;
    int fd = lockAt(m_dataDirectory, false, &what);
    if (fd < 0 && errno == EWOULDBLOCK) {
        return Result::held;
    }
    const QString folderError = fd < 0 ? systemError(what) : QString();
    // A folder that cannot be opened or locked (some network file systems lock no folders): the lock file.
    const bool onFile = fd < 0;
    if (onFile) {
        fd = lockAt(m_lockFilePath, true, &what);
    }
    if (fd < 0) {
        if (errno == EWOULDBLOCK) {
            return Result::held;
        }
        *error = QStringLiteral("Cannot lock %1 (%2) nor %3 (%4)")
                     .arg(m_dataDirectory, folderError, m_lockFilePath, systemError(what));
        return Result::unavailable;
    }
    release();
    m_fd = fd;
    m_onFile = onFile;
    return Result::taken;
}

void DataFolderLock::release() {
    if (m_fd >= 0) {
        ::close(m_fd); // the lock goes with it
        m_fd = -1;
    }
}

DataFolderLock::Result DataFolderLock::renew() {
    if (m_fd < 0) {
        return Result::unavailable;
    }
    const QString path = m_onFile ? m_lockFilePath : m_dataDirectory;
    struct stat locked {};
    struct stat named {};
    if (::fstat(m_fd, &locked) != 0) {
        return Result::taken;
    }
    if (::stat(QFile::encodeName(path).constData(), &named) == 0 ? sameFile(locked, named) : !m_onFile) {
        return Result::taken; // still the one locked, or a folder not made again yet
    }
    const char* what = nullptr;
    const int fd = lockAt(path, m_onFile, &what);
    if (fd < 0) {
        return errno == EWOULDBLOCK ? Result::held : Result::unavailable;
    }
    ::close(m_fd);
    m_fd = fd;
    return Result::taken;
}
