#pragma once
// The small pop-up above a Pomodoro tile that says what the step is; it closes on any click outside it.

#include "ui/focus/PomodoroCardModel.h"
#include "ui/kit/ShapedWindow.h"

class SequenceStepPreview : public ShapedWindow {
    Q_OBJECT
public:
    static constexpr int previewWidth = 160;
    static constexpr double cornerRadius = 12;

    // A pop-up window of its own, owned by `parent`.
    SequenceStepPreview(const PomodoroSequenceStepData& step, QWidget* parent);

    const PomodoroSequenceStepData& step() const { return m_step; }
    // Places it centred above `anchor`'s top edge and shows it.
    void popUpAbove(const QWidget& anchor);

signals:
    // Whatever closed it: a click outside, Escape, or the owner.
    void closed();

protected:
    QPainterPath outline(const QRectF& bounds) const override;
    QColor edgeColor() const override;
    void paintShape(QPainter& painter) override;
    void hideEvent(QHideEvent* event) override;

private:
    PomodoroSequenceStepData m_step;
};
