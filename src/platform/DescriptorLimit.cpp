#include "platform/DescriptorLimit.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <poll.h>
#include <sys/resource.h>

namespace {
// The kernel refuses more than its own ceiling (fs.nr_open, 2^20 by default) even under an unlimited hard
// limit; that ceiling is then asked for instead.
constexpr rlim_t kUnlimitedStandIn = rlim_t(1) << 20;
// Descriptors looked at per call when counting the free ones.
constexpr int kCountingWindow = 256;
} // namespace

bool DescriptorLimit::raiseToHardLimit(QString* report) {
    rlimit limit{};
    if (::getrlimit(RLIMIT_NOFILE, &limit) != 0) {
        *report = QStringLiteral("Could not read the open-file limit: %1")
                      .arg(QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    const rlim_t target = limit.rlim_max == RLIM_INFINITY ? kUnlimitedStandIn : limit.rlim_max;
    if (limit.rlim_cur == RLIM_INFINITY || limit.rlim_cur >= target) {
        report->clear();
        return true;
    }
    const rlim_t before = limit.rlim_cur;
    limit.rlim_cur = target;
    if (::setrlimit(RLIMIT_NOFILE, &limit) != 0) {
        *report = QStringLiteral("Could not raise the open-file limit from %1 to %2: %3")
                      .arg(quint64(before))
                      .arg(quint64(target))
                      .arg(QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    *report =
        QStringLiteral("Raised the open-file limit from %1 to %2").arg(quint64(before)).arg(quint64(target));
    return true;
}

int DescriptorLimit::freeDescriptors(int upTo) {
    rlimit limit{};
    if (::getrlimit(RLIMIT_NOFILE, &limit) != 0) {
        return upTo; // cannot be told: as before there was a count
    }
    const rlim_t end = std::min<rlim_t>(limit.rlim_cur, kUnlimitedStandIn);
    // A descriptor number that is not open polls as invalid; the table is read a window at a time, lowest
    // first, where nearly every descriptor in use lies.
    pollfd window[kCountingWindow];
    int free = 0;
    for (rlim_t start = 0; start < end && free < upTo;) {
        const int count = int(std::min<rlim_t>(kCountingWindow, end - start));
        for (int i = 0; i < count; ++i) {
            window[i] = pollfd{int(start + rlim_t(i)), 0, 0};
        }
        if (::poll(window, nfds_t(count), 0) < 0) {
            if (errno == EINTR) {
                continue;
            }
            return upTo;
        }
        for (int i = 0; i < count; ++i) {
            free += (window[i].revents & POLLNVAL) != 0 ? 1 : 0;
        }
        start += rlim_t(count);
    }
    return std::min(free, upTo);
}

qint64 DescriptorLimit::softLimit() {
    rlimit limit{};
    if (::getrlimit(RLIMIT_NOFILE, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY) {
        return -1;
    }
    return qint64(limit.rlim_cur);
}
