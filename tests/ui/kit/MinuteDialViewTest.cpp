// The minute dial: where the arc and the dot go for a given progress, which ticks are lit in the drawn
// picture, and the completion bump's life.
#include "ui/kit/MinuteDialView.h"

#include "platform/ReduceMotion.h"
#include "support/ManualAnimationClock.h"
#include "support/PixelProbe.h"
#include "theme/QvColor.h"
#include "ui/kit/DialTickCalculator.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace {

constexpr int kScale = 4; // drawn four times larger, so thin lines cover whole pixels
const QColor kBehind(255, 255, 255);

class ReduceMotionFor {
public:
    explicit ReduceMotionFor(bool on) { ReduceMotion::setEnabled(on); }
    ~ReduceMotionFor() { ReduceMotion::setEnabled(false); }
};

QImage drawn(MinuteDialView& dial) {
    QImage image(dial.size() * kScale, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(kScale);
    image.fill(kBehind);
    dial.render(&image);
    return image;
}

QColor at(const QImage& image, const QPointF& logical) {
    return image.pixelColor(
        QPoint(int(std::floor(logical.x() * kScale)), int(std::floor(logical.y() * kScale))));
}

QColor over(const QColor& color, double opacity, const QColor& behind) {
    const auto channel = [&](int c, int b) { return int(std::lround(c * opacity + b * (1 - opacity))); };
    return QColor(channel(color.red(), behind.red()), channel(color.green(), behind.green()),
                  channel(color.blue(), behind.blue()));
}

const QColor& lit() {
    static const QColor c = QvColor::qvSageEnabled().resolve(ColorScheme::light);
    return c;
}
QColor unlit(int tick) {
    return (tick % 5 == 0 ? QvColor::qvTextTertiary() : QvColor::qvStroke()).resolve(ColorScheme::light);
}

} // namespace

TEST(MinuteDialViewTest, ArcTrailsTheCurrentPositionByAnEighth) {
    using Span = MinuteDialView::ArcSpan;
    const struct {
        const char* name;
        double progress;
        Span span;
    } rows[] = {
        {"negative progress draws nothing", -0.2, {0, 0}},
        {"at the start nothing is drawn yet", 0, {0, 0}},
        {"early on the arc grows from twelve o'clock", 0.05, {0, 0.05}},
        {"exactly an eighth draws from twelve either way", 0.125, {0, 0.125}},
        {"past an eighth the arc keeps its length", 0.5, {0.375, 0.5}},
        {"the end draws the last eighth", 1.0, {0.875, 1.0}},
        {"beyond the end still draws the last eighth", 1.7, {0.875, 1.0}},
    };
    for (const auto& row : rows) {
        const Span span = MinuteDialView::trailingArc(row.progress);
        EXPECT_DOUBLE_EQ(span.from, row.span.from) << row.name;
        EXPECT_DOUBLE_EQ(span.to, row.span.to) << row.name;
    }
}

TEST(MinuteDialViewTest, DotTravelsClockwiseFromTwelveOClock) {
    constexpr double pi = std::numbers::pi;
    const struct {
        const char* name;
        double progress;
        double angle;
    } rows[] = {
        {"negative progress waits at twelve", -1, -pi / 2},
        {"the start is twelve", 0, -pi / 2},
        {"a quarter is three o'clock", 0.25, 0},
        {"half is six o'clock", 0.5, pi / 2},
        {"the end is twelve again, a full turn on", 1, 3 * pi / 2},
        {"past the end stays there", 2, 3 * pi / 2},
    };
    for (const auto& row : rows) {
        EXPECT_NEAR(MinuteDialView::dotAngle(row.progress), row.angle, 1e-12) << row.name;
    }
}

TEST(MinuteDialViewTest, RadiiFollowTheSize) {
    const MinuteDialView hero(228);
    EXPECT_DOUBLE_EQ(hero.tickRadius(), 107.5);
    EXPECT_DOUBLE_EQ(hero.arcRadius(), 99);
    const MinuteDialView card(190);
    EXPECT_DOUBLE_EQ(card.tickRadius(), 88.5);
    EXPECT_DOUBLE_EQ(card.arcRadius(), 80);
}

TEST(MinuteDialViewTest, KeepsRoomForTheBumpedDotAroundTheDial) {
    MinuteDialView dial(228);
    // At the top of the bump the dot's far edge is 1.45 × (99 + 4) from the centre.
    const double reach = 1.45 * 99 + 1.45 * 4;
    EXPECT_GE(dial.overflow() + 114, reach);
    EXPECT_LT(dial.overflow() + 114, reach + 1);
    EXPECT_EQ(dial.size(), QSize(228 + 2 * dial.overflow(), 228 + 2 * dial.overflow()));
    EXPECT_EQ(dial.dialRect(), QRect(dial.overflow(), dial.overflow(), 228, 228));
    dial.setOverflow(0);
    EXPECT_EQ(dial.size(), QSize(228, 228));
    EXPECT_EQ(dial.tickCentre(0), QPointF(114, 6.5)) << "tick 0 stands at twelve, 6.5 px inside the edge";
}

TEST(MinuteDialViewTest, DrawsLitTicksAndTheArcForTheTimeLeft) {
    const qint64 total = 1500;
    const struct {
        const char* name;
        qint64 remaining;
    } rows[] = {
        {"a fresh timer", 1500},
        {"one tick in", 1470},
        {"a tenth in, the arc still growing", 1350},
        {"half way", 750},
        {"one second before the end", 1},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const int ticks = DialTickCalculator::elapsedTickCount(total, row.remaining);
        const double progress = double(total - row.remaining) / double(total);
        MinuteDialView dial(228, ticks, progress);
        const QImage image = drawn(dial);

        // Ticks before the count are lit; the rest keep their major or minor colour.
        for (int i = 0; i < 60; ++i) {
            const QColor want = i < ticks ? lit() : unlit(i);
            EXPECT_LE(PixelProbe::distance(at(image, dial.tickCentre(i)), want), 3) << "tick " << i;
        }

        const QColor arc = QvColor::qvDialArc().resolve(ColorScheme::light);
        const MinuteDialView::ArcSpan span = MinuteDialView::trailingArc(progress);
        // Inside the arc, well away from the dot at its head.
        if (span.to - span.from > 0.06) {
            const QPointF inside = dial.pointOnArcCircle(span.to - 0.05);
            EXPECT_LE(PixelProbe::distance(at(image, inside), arc), 3);
        }
        // Before its tail and past its head the circle is empty.
        if (span.from > 0.03) {
            EXPECT_EQ(at(image, dial.pointOnArcCircle(span.from - 0.02)), kBehind);
        }
        EXPECT_EQ(at(image, dial.pointOnArcCircle(std::fmod(progress + 0.05, 1.0))), kBehind);
        // The dot sits at the head.
        const QColor dot = QvColor::qvOrangeLive().resolve(ColorScheme::light);
        EXPECT_LE(PixelProbe::distance(at(image, dial.pointOnArcCircle(progress)), dot), 3);
    }
}

TEST(MinuteDialViewTest, PausedTimerShowsLitTicksAtHalfStrength) {
    MinuteDialView dial(228, 30, 0.5, 0.5);
    const QImage image = drawn(dial);
    EXPECT_LE(PixelProbe::distance(at(image, dial.tickCentre(10)), over(lit(), 0.5, kBehind)), 3);
    // Dark ticks are not dimmed with them.
    EXPECT_LE(PixelProbe::distance(at(image, dial.tickCentre(40)), unlit(40)), 3);
}

TEST(MinuteDialViewTest, TicksFadeIntoTheirNewStateOverTheChangeTime) {
    const struct {
        const char* name;
        bool reduceMotion;
        int duration;
    } rows[] = {
        {"with motion a quarter second", false, MinuteDialView::changeDurationMs},
        {"under Reduce Motion a tenth", true, MinuteDialView::reducedMotionChangeDurationMs},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        ReduceMotionFor motion(row.reduceMotion);
        ManualAnimationClock clock;
        MinuteDialView dial(228, 10, 10.0 / 60);
        dial.show();
        dial.setState(11, 11.0 / 60);
        clock.advanceBy(row.duration / 2);
        EXPECT_NEAR(dial.tickLevel(10), 0.5, 0.1);
        EXPECT_DOUBLE_EQ(dial.tickLevel(9), 1.0) << "an unchanged tick does not move";
        clock.advanceBy(row.duration / 2 + 1);
        EXPECT_DOUBLE_EQ(dial.tickLevel(10), 1.0);
        EXPECT_NEAR(dial.shownDotProgress(), 11.0 / 60, 1e-9);
    }
}

TEST(MinuteDialViewTest, DotBumpsOnlyWhenTheLastTickLightsOnScreen) {
    const struct {
        const char* name;
        bool reduceMotion;
        bool shownFirst;
        int from;
        int to;
        bool bumps;
    } rows[] = {
        {"59 to 60 on screen bumps", false, true, 59, 60, true},
        {"under Reduce Motion nothing bumps", true, true, 59, 60, false},
        {"a change before the dial is seen does not bump", false, false, 59, 60, false},
        {"any other change does not bump", false, true, 30, 31, false},
        {"going down from 60 does not bump", false, true, 60, 59, false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        ReduceMotionFor motion(row.reduceMotion);
        ManualAnimationClock clock;
        MinuteDialView dial(228, row.from, row.from / 60.0);
        if (row.shownFirst) {
            dial.show();
        }
        dial.setState(row.to, row.to / 60.0);
        clock.advanceBy(MinuteDialView::bumpLegMs);
        if (row.bumps) {
            EXPECT_NEAR(dial.completionDotScale(), MinuteDialView::bumpScale, 1e-6);
            clock.advanceBy(MinuteDialView::bumpLegMs / 2);
            EXPECT_GT(dial.completionDotScale(), 1.0);
            EXPECT_LT(dial.completionDotScale(), MinuteDialView::bumpScale);
            clock.advanceBy(MinuteDialView::bumpLegMs / 2 + 1);
        }
        EXPECT_DOUBLE_EQ(dial.completionDotScale(), 1.0);
    }
}

TEST(MinuteDialViewTest, DialCreatedAtSixtyShowsNoBump) {
    ManualAnimationClock clock;
    MinuteDialView dial(228, 60, 1.0);
    dial.show();
    clock.advanceBy(MinuteDialView::bumpLegMs / 2);
    EXPECT_DOUBLE_EQ(dial.completionDotScale(), 1.0);
}

TEST(MinuteDialViewTest, BumpedDotMovesOutWithItsScale) {
    ManualAnimationClock clock;
    MinuteDialView dial(228, 59, 1.0);
    dial.show();
    dial.setState(60, 1.0);
    clock.advanceBy(MinuteDialView::bumpLegMs);
    // At the top of the bump the dot, scaled about the dial's centre, sits 1.45 times as far out at twelve.
    const QPointF centre = QRectF(dial.dialRect()).center();
    const QPointF dot = dial.dotCentre();
    EXPECT_NEAR(dot.x(), centre.x(), 1e-6);
    EXPECT_NEAR(dot.y(), centre.y() - 99 * MinuteDialView::bumpScale, 1e-6);
    const QImage image = drawn(dial);
    const QColor orange = QvColor::qvOrangeLive().resolve(ColorScheme::light);
    EXPECT_LE(PixelProbe::distance(at(image, dot), orange), 3);
    EXPECT_GT(PixelProbe::distance(at(image, centre - QPointF(0, 99)), orange), 40)
        << "the dot has left its resting place";
}
