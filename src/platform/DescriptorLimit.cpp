#include "platform/DescriptorLimit.h"

#include <cerrno>
#include <cstring>
#include <sys/resource.h>

namespace {
// The kernel refuses more than its own ceiling (fs.nr_open, 2^20 by default) even under an unlimited hard
// limit; that ceiling is then asked for instead.
constexpr rlim_t kUnlimitedStandIn = rlim_t(1) << 20;
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
