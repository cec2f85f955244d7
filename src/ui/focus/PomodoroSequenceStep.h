#pragma once
// One tile of the Pomodoro row: the step's title and minutes on a sage (focus) or plain (break) face, its
// ordinal in the corner, an orange ring and dot on the session's current step. Dimmed while it may not be
// clicked, unless it is the current step.

#include "ui/focus/PomodoroCardModel.h"
#include "ui/kit/PressableButton.h"

class HoverFade;

class PomodoroSequenceStep : public PressableButton {
    Q_OBJECT
public:
    static constexpr int tileWidth = 74;
    static constexpr int tileHeight = 58;
    // Above the tile, where it lifts to under the pointer.
    static constexpr int liftRoom = 1;
    static constexpr double disabledOpacity = 0.55;
    static constexpr double focusRingOpacity = 0.45;

    PomodoroSequenceStep(const PomodoroSequenceStepData& step, QWidget* parent = nullptr);

    const PomodoroSequenceStepData& step() const { return m_step; }
    void setStep(const PomodoroSequenceStepData& step);
    bool isRunning() const { return m_running; }
    void setRunning(bool running);
    bool isHovered() const;
    // What the face is drawn at, before any press dimming.
    double restOpacity() const;
    // Up by one pixel while hovered, unless motion is reduced.
    int lift() const;
    // The tile's shape in widget coordinates, at rest.
    QRectF tileRect() const;

protected:
    void paintFace(QPainter& painter) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void setHovered(bool hovered);
    void retranslate();

    PomodoroSequenceStepData m_step;
    bool m_running = false;
    HoverFade* m_hover;
    bool m_pointerInside = false;
};
