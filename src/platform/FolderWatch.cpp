#include "platform/FolderWatch.h"

#include "platform/SystemError.h"

#include <QFile>
#include <QSocketNotifier>

#include <sys/inotify.h>
#include <unistd.h>

FolderWatch::FolderWatch(const QString& folder, const QString& entry, QObject* parent)
    : QObject(parent), m_folder(folder), m_entry(QFile::encodeName(entry)) {}

FolderWatch::~FolderWatch() {
    if (m_fd >= 0) {
        m_notifier->setEnabled(false);
        ::close(m_fd);
    }
}

bool FolderWatch::watch(QString* error) {
    if (m_fd < 0) {
        m_fd = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
        if (m_fd < 0) {
            *error = systemError("inotify_init1");
            return false;
        }
        m_notifier = new QSocketNotifier(m_fd, QSocketNotifier::Read, this);
        connect(m_notifier, &QSocketNotifier::activated, this, &FolderWatch::readEvents);
    }
    // The same folder keeps its watch; a new one gets its own.
    if (::inotify_add_watch(m_fd, QFile::encodeName(m_folder).constData(),
                            IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO | IN_DELETE_SELF | IN_MOVE_SELF |
                                IN_ONLYDIR) < 0) {
        *error = systemError("inotify_add_watch");
        return false;
    }
    return true;
}

void FolderWatch::readEvents() {
    bool changes = false;
    alignas(inotify_event) char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(m_fd, buffer, sizeof(buffer));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            break;
        }
        for (ssize_t at = 0; at < n;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
            changes = changes ||
                      (event->mask & (IN_DELETE_SELF | IN_MOVE_SELF | IN_IGNORED | IN_Q_OVERFLOW)) ||
                      (event->len > 0 && m_entry == event->name);
            at += ssize_t(sizeof(inotify_event) + event->len);
        }
    }
    if (changes) {
        emit changed();
    }
}
