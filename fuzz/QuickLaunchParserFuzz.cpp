// Feeds arbitrary bytes, read as UTF-8, to the typed-time parser and checks what it promises about
// its results; any crash, hang, sanitizer report or broken promise is a finding.
#include "core/QuickLaunchParser.h"

#include <QString>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <ctime>

namespace {

// A day with a daylight-saving gap at 02:00, so the gap handling is reachable from the input.
QDateTime fixedNow() {
    return QDateTime(QDate(2024, 3, 10), QTime(0, 30), Qt::LocalTime);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    setenv("TZ", "America/New_York", 1);
    tzset();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    const QDateTime now = fixedNow();
    const QuickLaunchParseResult result = QuickLaunchParser::parse(text, now);

    if (const auto* parsed = std::get_if<ParsedQuickLaunch>(&result)) {
        if (const auto* d = std::get_if<ParsedQuickLaunch::duration>(&parsed->value())) {
            // Whole, positive and no more than every unit at its bound.
            if (!(d->seconds > 0) || std::floor(d->seconds) != d->seconds || d->seconds > 999999.0 * 90061) {
                std::abort();
            }
        } else {
            const QDateTime& date = std::get<ParsedQuickLaunch::alarm>(parsed->value()).date;
            if (!date.isValid() || date <= now || date > now.addDays(2)) {
                std::abort();
            }
        }
    } else {
        const QuickLaunchParseError& error = std::get<QuickLaunchParseError>(result);
        if (error.message().isEmpty()) {
            std::abort();
        }
    }
    return 0;
}
