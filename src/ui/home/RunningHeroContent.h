#pragma once
// What the hero card shows for one timer at one moment: texts, the dial's inputs and the round button's
// face. Worked out afresh at every redraw, so the card itself only paints.

#include "core/TimerItem.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QLocale>
#include <QString>

#include <optional>

struct RunningHeroContent {
    Q_DECLARE_TR_FUNCTIONS(RunningHeroView)

public:
    static constexpr double pausedLitOpacity = 0.5;

    QString title;
    QString displayTime;
    // "FOCUS", "PAUSED", "DONE" or "READY", shown as written in every language.
    QString stateLabel;
    // While the timer runs with a second or more left: the moment it ends, now plus the remaining time (for
    // an alarm, the seconds to its target rounded up, as its tick sets them).
    std::optional<QDateTime> endsAt;
    bool isRunning = false;
    bool isLive = false;
    bool showsSkip = false;
    // "pause.fill" while live and running, else "play.fill".
    QString primaryIcon;
    int tickCount = 0;
    double progress = 0; // held within 0…1
    double litOpacity = 1.0;

    // `shownEnd` is the end the card showed a moment ago for this same timer, if any: an end read now within
    // a couple of seconds of it is the same end, and keeps it.
    static RunningHeroContent make(const TimerItem& timer, bool isLive, bool showsSkip, const QDateTime& now,
                                   const std::optional<QDateTime>& shownEnd = std::nullopt);
    static QString stateLabelFor(TimerState state);

    // "Ends at" and the end time as the given locale writes hours and minutes; empty without an end.
    QString endsAtText(const QLocale& locale) const;
    // What the dial block is announced as: the title, or the remaining time when there is none.
    QString accessibleLabel() const;
    // The remaining time and the state caption, announced together.
    QString accessibleValue() const;
    // The round button: "Start" unless live, then "Pause" while running or "Resume".
    QString primaryAccessibleLabel() const;

    bool operator==(const RunningHeroContent&) const = default;
};
