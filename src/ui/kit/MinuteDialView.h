#pragma once
// The minute dial: sixty ticks that light clockwise from twelve o'clock as a timer elapses, a short arc
// trailing the current position, and a dot travelling the dial that bumps when the last tick lights. It
// knows nothing of timers: its owner passes the lit tick count and the elapsed fraction. A screen reader
// skips it; its owner says in words what it shows.
//
// It stays cheap while a timer runs: the still ticks are drawn once into a cached picture, and each frame
// of a fade, of the dot's move or of the bump repaints only the few pixels it touches.

#include "theme/ColorScheme.h"

#include <QImage>
#include <QPainterPath>
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
    // The dot is redrawn once it has moved this far (device pixels) or has arrived; a whole move shorter
    // than this is drawn at once, as finer steps would not show.
    static constexpr double minDotStep = 0.5;

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

    // The first state is shown as given, without animation; so is every change made while the dial is not
    // shown (before it is first shown, or while it or its window is hidden), which keeps a closed window
    // from running animations nobody sees.
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
    // What each layer covers, in widget coordinates, with room for its soft edge: the rectangles a change
    // of that layer repaints.
    QRect tickBounds(int index) const;
    QRect dotBounds(double dotProgress, double scale) const;
    QRect arcBounds(double progress) const;
    // How many times the still ticks have been drawn into the cached picture.
    int faceDraws() const { return m_faceDraws; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    // The cached picture is drawn for one set of these; any change draws it again.
    struct FaceKey {
        double scale = 0; // device pixels per widget pixel
        QPointF offset;   // where the picture starts within its first device pixel
        ColorScheme scheme = ColorScheme::light;
        double activeOpacity = 0;
        // Each tick's level if it is still (0 or 1), else -1: a fading tick is drawn live, not cached.
        std::array<double, 60> levels{};
        bool operator==(const FaceKey&) const = default;
    };

    void animateTicks(int duration);
    void stepTicks(double t);
    void animateDot(double target, int duration);
    void moveDotTo(double dotProgress);
    void setDotScale(double scale);
    void bump();
    // Device pixels the dot travels between two places on its path.
    double dotTravel(double from, double to) const;

    QPointF centre() const;
    QRect faceArea() const;

    // The trailing arc at `progress` as a path; empty when there is none to draw.
    QPainterPath arcPath(double progress) const;
    static void paintArc(QPainter& painter, ColorScheme scheme, const QPainterPath& arc);
    // What an arc touches: half the line and its round cap on every side, and a pixel for the soft edge.
    static QRect arcReach(const QPainterPath& arc);
    // Draws the ticks `which` picks, each at its current level.
    template <typename Which> void paintTicks(QPainter& painter, ColorScheme scheme, Which which) const;
    // Draws the still ticks from the cached picture, drawing it first when it is stale; false when the
    // painter's transform turns or skews, which a picture cannot follow.
    bool paintFace(QPainter& painter, ColorScheme scheme);

    int m_size;
    int m_overflow;
    int m_activeTickCount;
    double m_progress;
    double m_activeOpacity;

    std::array<double, 60> m_levels{};
    std::array<double, 60> m_levelsFrom{};
    QVariantAnimation m_tickAnimation;
    double m_dotProgress = 0;
    double m_dotTarget = 0;
    QVariantAnimation m_dotAnimation;
    double m_dotScale = 1.0;
    QSequentialAnimationGroup m_bump;

    QImage m_face;
    FaceKey m_faceKey;
    int m_faceDraws = 0;
};
