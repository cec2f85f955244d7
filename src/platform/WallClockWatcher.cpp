#include "platform/WallClockWatcher.h"

#include "platform/TarvolinTimerLogger.h"

#include <QSocketNotifier>

#include <cerrno>
#include <cstdint>
#include <limits>
#include <ctime>
#include <sys/timerfd.h>
#include <unistd.h>

WallClockWatcher::WallClockWatcher(QObject* parent) : QObject(parent) {
    m_fd = ::timerfd_create(CLOCK_REALTIME, TFD_NONBLOCK | TFD_CLOEXEC);
    if (m_fd < 0 || !arm()) {
        TT_LOG_WARNING(QStringLiteral("WallClockWatcher"),
                       QStringLiteral("Cannot watch the wall clock; a clock change is noticed later"));
        if (m_fd >= 0) {
            ::close(m_fd);
            m_fd = -1;
        }
        return;
    }
    m_notifier = new QSocketNotifier(m_fd, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &WallClockWatcher::onReadable);
}

WallClockWatcher::~WallClockWatcher() {
    delete m_notifier;
    if (m_fd >= 0) {
        ::close(m_fd);
    }
}

bool WallClockWatcher::arm() {
    // An absolute expiry far in the future: it never expires, it only gets cancelled by a clock change.
    itimerspec spec{};
    spec.it_value.tv_sec = std::numeric_limits<time_t>::max() / 2;
    return ::timerfd_settime(m_fd, TFD_TIMER_ABSTIME | TFD_TIMER_CANCEL_ON_SET, &spec, nullptr) == 0;
}

void WallClockWatcher::onReadable() {
    std::uint64_t expirations = 0;
    const ssize_t n = ::read(m_fd, &expirations, sizeof(expirations));
    if (n < 0 && errno == ECANCELED) {
        // A cancelled timer stays readable until it is armed again.
        arm();
        emit clockChanged();
    } else if (n < 0 && errno == EAGAIN) {
        return;
    } else {
        arm();
    }
}
