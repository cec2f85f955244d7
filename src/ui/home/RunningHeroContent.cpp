#include "ui/home/RunningHeroContent.h"

#include "ui/kit/DialTickCalculator.h"

#include <algorithm>
#include <cstdlib>

namespace {

// The remaining time drops a whole second at each tick while `now` runs on smoothly, and a tick comes a
// little early or late: now plus the remaining time wanders within about a second of the real end. Readings
// that close are one end, so the line does not step between two minutes; a pause, an added length or a
// moved clock changes it by more.
constexpr qint64 kSameEndMs = 2000;

QDateTime endOf(const TimerItem& timer, const QDateTime& now, const std::optional<QDateTime>& shownEnd) {
    // A new alarm holds its length truncated until a tick sets the seconds to its target rounded up; read
    // that way at once, or the end falls short of the target and the line names the minute before.
    const qint64 remaining = timer.isAlarm && timer.alarmTargetTime
                                 ? TimerItem::alarmRemaining(*timer.alarmTargetTime, now)
                                 : timer.remaining;
    const QDateTime end = now.addSecs(remaining);
    if (shownEnd && std::abs(shownEnd->msecsTo(end)) < kSameEndMs) {
        return *shownEnd;
    }
    return end;
}

} // namespace

RunningHeroContent RunningHeroContent::make(const TimerItem& timer, bool isLive, bool showsSkip,
                                            const QDateTime& now, const std::optional<QDateTime>& shownEnd) {
    RunningHeroContent content;
    content.title = timer.title;
    content.displayTime = timer.displayTime();
    content.stateLabel = stateLabelFor(timer.state);
    content.isRunning = timer.isRunning();
    content.isLive = isLive;
    content.showsSkip = showsSkip;
    if (content.isRunning && timer.remaining >= 1) {
        content.endsAt = endOf(timer, now, shownEnd);
    }
    content.primaryIcon =
        isLive && content.isRunning ? QStringLiteral("pause.fill") : QStringLiteral("play.fill");
    content.tickCount = DialTickCalculator::elapsedTickCount(timer.totalDuration, timer.remaining);
    if (timer.totalDuration >= 1) {
        const double elapsed = double(timer.totalDuration - timer.remaining) / double(timer.totalDuration);
        content.progress = std::clamp(elapsed, 0.0, 1.0);
    }
    content.litOpacity = timer.isPaused() ? pausedLitOpacity : 1.0;
    return content;
}

QString RunningHeroContent::stateLabelFor(TimerState state) {
    switch (state) {
    case TimerState::running:
        return QStringLiteral("FOCUS");
    case TimerState::paused:
        return QStringLiteral("PAUSED");
    case TimerState::finished:
        return QStringLiteral("DONE");
    case TimerState::idle:
        break;
    }
    return QStringLiteral("READY");
}

QString RunningHeroContent::endsAtText(const QLocale& locale) const {
    if (!endsAt) {
        return {};
    }
    return tr("Ends at") + QLatin1Char(' ') +
           locale.toString(endsAt->toLocalTime().time(), QLocale::ShortFormat);
}

QString RunningHeroContent::accessibleLabel() const {
    return title.isEmpty() ? displayTime : title;
}

QString RunningHeroContent::accessibleValue() const {
    //: The hero card's remaining time, then its state caption.
    return tr("%1, %2").arg(displayTime, stateLabel);
}

QString RunningHeroContent::primaryAccessibleLabel() const {
    if (!isLive) {
        return tr("Start");
    }
    return isRunning ? tr("Pause") : tr("Resume");
}
