#pragma once
// The settings tab's on/off switch: a capsule track in the accent colour while on, with a knob that slides
// between the ends. It never flips itself: a click asks for the other state, and the switch shows whatever
// its owner then sets, so a refused change (a login registration, say) never leaves it showing a lie.

#include "ui/kit/PressableButton.h"

#include <QVariantAnimation>

class AccentSwitch : public PressableButton {
    Q_OBJECT
public:
    static constexpr int trackWidth = 38;
    static constexpr int trackHeight = 22;
    static constexpr int knobSide = 18;
    static constexpr int slideMs = 150;

    explicit AccentSwitch(QWidget* parent = nullptr);

    bool isOn() const { return m_on; }
    // Shows the state; slides the knob when the switch is on screen.
    void setOn(bool on);
    // Where the knob is drawn now: 0 at the leading end, 1 at the trailing end.
    double knobPosition() const { return m_position; }

    QSize sizeHint() const override { return {44, 44}; }
    QSize minimumSizeHint() const override { return sizeHint(); }

signals:
    // The user asked for this state.
    void toggleRequested(bool on);

protected:
    void paintFace(QPainter& painter) override;

private:
    bool m_on = false;
    double m_position = 0;
    QVariantAnimation m_slide;
};
