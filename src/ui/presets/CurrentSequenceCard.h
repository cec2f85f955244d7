#pragma once
// The card of the current sequence: its name with Edit, one chip per step (wrapping onto a second line
// when there are more than fit), the number of steps and minutes, and Use (or "Active" when it is the
// active one).

#include "core/TimerPreset.h"
#include "ui/kit/SurfaceWidget.h"

#include <QColor>
#include <QList>

class ElidedLabel;
class LabelButton;
class PresetsScreenModel;
class SequenceStepChip;
class StepChipFlow;
class TokenLabel;

class CurrentSequenceCard : public SurfaceWidget {
    Q_OBJECT
public:
    CurrentSequenceCard(PresetsScreenModel& model, const QColor& accent, QWidget* parent = nullptr);

    // Shows the sequence; `active` decides between Use and a disabled "Active".
    void setSequence(const TimerSequence& sequence, bool active);
    const TimerSequence& sequence() const { return m_sequence; }
    void setAccent(const QColor& accent);
    // Marks the chip the keyboard selected.
    void refreshSelection();
    QList<SequenceStepChip*> chips() const;

protected:
    void changeEvent(QEvent* event) override;

private:
    void retranslate();
    void refreshUseButton();

    PresetsScreenModel& m_model;
    QColor m_accent;
    TimerSequence m_sequence;
    bool m_active = false;
    TokenLabel* m_caption;
    ElidedLabel* m_name;
    LabelButton* m_edit;
    StepChipFlow* m_chips;
    TokenLabel* m_footer;
    LabelButton* m_use;
};
