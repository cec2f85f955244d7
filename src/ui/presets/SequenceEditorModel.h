#pragma once
// The sequence editor's working copy: a name and one to eight focus or break steps of 1 to 999 minutes,
// checked before they are handed back. Nothing reaches the engine from here; the host turns a save into
// engine calls. Every step keeps its id through every edit, so a saved sequence keeps the ids of the steps
// that stayed.

#include "core/TimerPreset.h"
#include "ui/presets/SequenceEditorTarget.h"

#include <QList>
#include <QObject>
#include <QString>

#include <functional>

class SequenceEditorModel : public QObject {
    Q_OBJECT
public:
    static constexpr qsizetype maxSteps = 8;
    static constexpr qint64 minMinutes = SequenceStep::minMinutes;
    static constexpr qint64 maxMinutes = SequenceStep::maxMinutes;
    static constexpr qint64 focusMinutes = 25;
    static constexpr qint64 breakMinutes = 5;

    using OnSave = std::function<void(const QString& name, const QList<SequenceStep>& steps)>;

    // Starts from the target's sequence as it is carried, out-of-range values included.
    SequenceEditorModel(SequenceEditorTarget target, OnSave onSave, std::function<void()> onCancel,
                        QObject* parent = nullptr);

    const SequenceEditorTarget& target() const { return m_target; }
    bool isNew() const { return m_target.kind() == SequenceEditorTarget::Kind::add; }

    const QString& name() const { return m_name; }
    void setName(const QString& name);
    const QList<SequenceStep>& steps() const { return m_steps; }

    // A name beyond white space, 1 to 8 steps, every step 1 to 999 minutes.
    bool canSave() const;
    bool canAddStep() const { return m_steps.size() < maxSteps; }
    bool canRemoveStep() const { return m_steps.size() >= 2; }

    // A step after the last: a 5-minute break after a focus step, else a 25-minute focus step.
    void addStep();
    // Swaps the step with its neighbour `offset` away; nothing when either position is outside the list.
    void moveStep(qsizetype index, qsizetype offset);
    // Only while two or more steps remain.
    void removeStep(qsizetype index);
    // Focus becomes break and break focus; minutes and id stay.
    void toggleKind(qsizetype index);
    // The step's minutes; 1 for a position outside the list.
    qint64 minutes(qsizetype index) const;
    // Held to 1…999; ignored for a position outside the list.
    void setMinutes(qsizetype index, qint64 minutes);

    // Hands the trimmed name and the steps back when they can be saved; otherwise nothing.
    void save();
    void cancel();

signals:
    void nameChanged();
    void stepsChanged();

private:
    bool isValid(qsizetype index) const { return index >= 0 && index < m_steps.size(); }

    SequenceEditorTarget m_target;
    OnSave m_onSave;
    std::function<void()> m_onCancel;
    QString m_name;
    QList<SequenceStep> m_steps;
};
