#pragma once
// One step of the current sequence: its kind ("Focus" or "Break", as written in every language), its
// minutes and its number, on a sage ground for focus; outlined while the keyboard selects it.

#include "core/TimerPreset.h"

#include <QWidget>

class SequenceStepChip : public QWidget {
    Q_OBJECT
public:
    static constexpr int chipWidth = 68;
    static constexpr int chipHeight = 54;

    SequenceStepChip(const SequenceStep& step, int ordinal, QWidget* parent = nullptr);

    const SequenceStep& step() const { return m_step; }
    void setSelected(bool selected);
    bool isSelected() const { return m_selected; }
    // "Focus" or "Break".
    QString kindLabel() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void retranslate();

    SequenceStep m_step;
    int m_ordinal;
    bool m_selected = false;
};
