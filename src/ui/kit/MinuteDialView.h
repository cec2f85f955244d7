#pragma once
// The minute dial: sixty ticks that light clockwise from twelve o'clock as a timer elapses, a short arc
// trailing the current position, and a dot travelling the dial that bumps when the last tick lights. It
// knows nothing of timers: its owner passes the lit tick count and the elapsed fraction.

#include <QPointF>
#include <QSequentialAnimationGroup>
#include <QVariantAnimation>
#include <QWidget>

#include <array>

class MinuteDialView : public QWidget {
    Q_OBJECT
public:
    static constexpr double tickInset = 6.5; // from the dial's edge to each tick's centre
    static constexpr double arcInset = 15;   // from the dial's edge to the arc and the dot's path
    static constexpr double arcLineWidth = 3;
    static constexpr double dotDiameter = 8;
    static constexpr double bumpScale = 1.45;
    static constexpr double trailLength = 0.125; // the arc's constant length, as a fraction of the circle
    static constexpr int changeDurationMs = 250;
    static constexpr int reducedMotionChangeDurationMs = 100;
    static constexpr int bumpLegMs = 120;

    // The part of the circle the arc covers, as fractions of the outline measured clockwise from twelve
    // o'clock; from == to draws nothing.
    struct ArcSpan {
        double from = 0;
        double to = 0;
        bool operator==(const ArcSpan&) const = default;
    };
    static ArcSpan trailingArc(double progress);
    // Where the dot sits, in radians with y pointing down: twelve o'clock is -π/2.
    static double dotAngle(double progress);

    // The first state is shown as given, without animation; so is every change made before the dial is
    // first shown.
    explicit MinuteDialView(int size, int activeTickCount = 0, double progress = 0,
                            double activeOpacity = 1.0, QWidget* parent = nullptr);

    // The bump scales the dot about the dial's centre, which carries it out past the dial's edge; the
    // widget keeps this much room on every side so it is drawn whole. Owners place the dial square itself
    // (dialRect) where they want it.
    static int bumpOverflow(int size);
    // Room kept around the dial square; bumpOverflow by default. A dial that never bumps can do without.
    void setOverflow(int overflow);
    int overflow() const { return m_overflow; }
    // The dial's own square inside the widget.
    QRect dialRect() const { return QRect(m_overflow, m_overflow, m_size, m_size); }

    int dialSize() const { return m_size; }
    double tickRadius() const { return m_size / 2.0 - tickInset; }
    double arcRadius() const { return (m_size - 2 * arcInset) / 2.0; }

    int activeTickCount() const { return m_activeTickCount; }
    double progress() const { return m_progress; }
    double activeOpacity() const { return m_activeOpacity; }
    // One redraw's inputs. A changed tick fades over 250 ms (100 ms under Reduce Motion); the dot moves to
    // its new place over the same time; the count arriving at 60 bumps the dot, except under Reduce Motion.
    void setState(int activeTickCount, double progress, double activeOpacity = 1.0);

    // What is drawn now, animations included: how lit a tick is (0…1), the dot's place on its path and its
    // scale.
    double tickLevel(int index) const { return m_levels.at(size_t(index)); }
    double shownDotProgress() const { return m_dotProgress; }
    double completionDotScale() const { return m_dotScale; }
    // Where a tick's centre and the dot's centre are, in widget coordinates.
    QPointF tickCentre(int index) const;
    QPointF dotCentre() const;
    // A point on the arc's circle at a fraction of the outline, clockwise from twelve o'clock.
    QPointF pointOnArcCircle(double fraction) const;

protected:
    void showEvent(QShowEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void animateTicks(int duration);
    void animateDot(double target, int duration);
    void bump();

    QPointF centre() const;

    int m_size;
    int m_overflow;
    int m_activeTickCount;
    double m_progress;
    double m_activeOpacity;
    bool m_shown = false;

    std::array<double, 60> m_levels{};
    std::array<double, 60> m_levelsFrom{};
    QVariantAnimation m_tickAnimation;
    double m_dotProgress = 0;
    QVariantAnimation m_dotAnimation;
    double m_dotScale = 1.0;
    QSequentialAnimationGroup m_bump;
};
