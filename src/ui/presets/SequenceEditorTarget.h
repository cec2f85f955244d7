#pragma once
// What the sequence editor edits: a new sequence not saved yet, or a saved one as it was when the editor
// opened.

#include "core/TimerPreset.h"

#include <QString>

class SequenceEditorTarget {
public:
    enum class Kind { add, edit };

    static SequenceEditorTarget add(const TimerSequence& sequence) { return {Kind::add, sequence}; }
    static SequenceEditorTarget edit(const TimerSequence& sequence) { return {Kind::edit, sequence}; }

    Kind kind() const { return m_kind; }
    const TimerSequence& sequence() const { return m_sequence; }
    // "add-" or "edit-" and the sequence's upper-case id: an add and an edit of one sequence differ.
    QString id() const;

    bool operator==(const SequenceEditorTarget& other) const = default;

private:
    SequenceEditorTarget(Kind kind, TimerSequence sequence) : m_kind(kind), m_sequence(std::move(sequence)) {}

    Kind m_kind;
    TimerSequence m_sequence;
};
