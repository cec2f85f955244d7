#pragma once
// The one press look of every screen: while held, a button's face shrinks about its centre and dims,
// eased out; under Reduce Motion it only dims. Subclasses draw the face.

#include <QAbstractButton>
#include <QVariantAnimation>

class QPainter;

class PressableButton : public QAbstractButton {
    Q_OBJECT
public:
    static constexpr double pressedOpacity = 0.86;
    static constexpr int durationMs = 80;
    // A little slower when nothing moves, so the dimming alone still reads as a response.
    static constexpr int reducedMotionDurationMs = 100;

    // `pressedScale` is the face's scale while fully held; each screen gives its own.
    explicit PressableButton(double pressedScale, QWidget* parent = nullptr);

    double pressedScale() const { return m_pressedScale; }
    // 0 at rest, 1 fully held, eased between.
    double pressProgress() const { return m_progress; }
    // What the face is drawn at now.
    double faceScale() const;
    double faceOpacity() const;

protected:
    // Sets the painter up with the press transform and opacity, then calls paintFace.
    void paintEvent(QPaintEvent* event) final;
    // Draws the face in widget coordinates; the painter is already scaled and faded.
    virtual void paintFace(QPainter& painter) = 0;

private:
    // Starts an animation towards the held or the rest state whenever the button's down state changed.
    void followDownState();

    double m_pressedScale;
    double m_progress = 0;
    bool m_animatingToDown = false;
    QVariantAnimation m_animation;
};
