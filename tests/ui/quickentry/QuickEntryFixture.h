#pragma once
// A timer manager on recording services and a frozen clock, holding the number of presets a test asks
// for, and a record of the requests sent to confirmation.

#include "core/TimerManagerFixture.h"
#include "services/QStringPrinting.h"

#include <QList>

class QuickEntryFixture : public TimerManagerFixture {
public:
    QList<TimerStartRequest> prepared;

    // Presets "P1" … "Pn" of n minutes each.
    void makeWithPresets(qsizetype count) {
        persistence.presets.clear();
        for (qsizetype i = 1; i <= count; ++i) {
            persistence.presets << TimerPreset{QUuid::createUuid(), QStringLiteral("P%1").arg(i), i * 60};
        }
        make();
    }
    auto recorder() {
        return [this](const TimerStartRequest& request) { prepared << request; };
    }
    void setClock(int hour, int minute) { now = QDateTime(now.date(), QTime(hour, minute), Qt::LocalTime); }
};
