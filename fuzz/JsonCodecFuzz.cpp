// Feeds arbitrary bytes to every stored-list decoder and to the preferences file reader. Besides crashes,
// hangs and sanitizer reports, a finding is anything that decodes but does not come back the same after
// writing it out and reading it again.
#include "core/ScheduledTimer.h"
#include "core/TimerHistoryEntry.h"
#include "core/TimerItem.h"
#include "core/TimerPreset.h"
#include "platform/Preferences.h"

#include <QByteArray>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

template <class Record> void checkRoundTrip(const QByteArray& bytes) {
    const auto decoded = Record::decodeList(bytes);
    if (!decoded) {
        return;
    }
    const auto encoded = Record::encodeList(*decoded);
    if (!encoded) {
        return; // some dates read fine but have no stored form; saving them is refused and logged
    }
    const auto again = Record::decodeList(*encoded);
    if (!again || *again != *decoded) {
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));

    checkRoundTrip<TimerItem>(bytes);
    checkRoundTrip<TimerPreset>(bytes);
    checkRoundTrip<TimerSequence>(bytes);
    checkRoundTrip<ScheduledTimer>(bytes);
    checkRoundTrip<TimerHistoryEntry>(bytes);

    if (const auto values = Preferences::deserialize(bytes)) {
        const auto again = Preferences::deserialize(Preferences::serialize(*values));
        if (!again || *again != *values) {
            std::abort();
        }
    }
    return 0;
}
