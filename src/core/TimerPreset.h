#pragma once
// Saved timer lengths (presets) and focus/break rhythms (sequences), with their stored JSON forms.

#include "core/AppLanguage.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QUuid>

#include <optional>

struct RecordListReading;

struct TimerPreset {
    QUuid id;
    QString name;
    qint64 durationInSeconds = 0;

    bool operator==(const TimerPreset& other) const = default;

    // "25m", "45m", "60m", with fixed ids so a hotkey given to a default preset survives a restart.
    static const QList<TimerPreset>& defaultPresets();
    // What a timer of this length suits, as a fixed text in the given language.
    QString purposeDescription(AppLanguage language) const;

    static std::optional<QByteArray> encodeList(const QList<TimerPreset>& presets, QString* error = nullptr);
    // None unless the whole list reads cleanly.
    static std::optional<QList<TimerPreset>> decodeList(const QByteArray& data);
    // Every preset of the list that reads, in order; `reading` says what did not.
    static QList<TimerPreset> readList(const QByteArray& data, RecordListReading& reading);
};

enum class SequenceStepKind { focus, breakTime };

QString toRaw(SequenceStepKind kind);
std::optional<SequenceStepKind> sequenceStepKindFromRaw(const QString& raw);

struct SequenceStep {
    // The lengths a step may have, as the sequence editor offers them.
    static constexpr qint64 minMinutes = 1;
    static constexpr qint64 maxMinutes = 999;

    QUuid id;
    SequenceStepKind kind = SequenceStepKind::focus;
    qint64 minutes = 0;

    bool operator==(const SequenceStep& other) const = default;
};

struct TimerSequence {
    QUuid id;
    QString name;
    QList<SequenceStep> steps;

    bool operator==(const TimerSequence& other) const = default;

    // "Pomodoro", "Deep Work", "Review Sprint", with fixed ids for the sequences and their steps, so an
    // applied default sequence is still the active one after a restart.
    static const QList<TimerSequence>& defaultSequences();
    // A new sequence: fresh ids, empty name, focus 25 then break 5.
    static TimerSequence blank();

    QString stepsSummary() const;
    std::optional<qint64> firstFocusMinutes() const;
    std::optional<qint64> firstBreakMinutes() const;

    static std::optional<QByteArray> encodeList(const QList<TimerSequence>& sequences, QString* error = nullptr);
    // None unless the whole list reads cleanly.
    static std::optional<QList<TimerSequence>> decodeList(const QByteArray& data);
    // Every sequence of the list that reads whole, in order; `reading` says what did not.
    static QList<TimerSequence> readList(const QByteArray& data, RecordListReading& reading);
};
