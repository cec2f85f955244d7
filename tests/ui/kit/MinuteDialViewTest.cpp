// The minute dial: where the arc and the dot go for a given progress, which ticks are lit in the drawn
// picture, the completion bump's life, and how little each frame of its motion repaints.
#include "ui/kit/MinuteDialView.h"

#include "platform/ReduceMotion.h"
#include "support/ManualAnimationClock.h"
#include "support/PaintRecorder.h"
#include "support/PixelProbe.h"
#include "theme/QvColor.h"
#include "ui/kit/DialTickCalculator.h"

#include <QImage>
#include <QPainter>
#include <QPalette>

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

// A dial on a plain window of its own, shown, with what it repaints recorded.
struct DialOnScreen {
    QWidget window;
    MinuteDialView* dial;
    std::unique_ptr<PaintRecorder> recorder;

    DialOnScreen(int ticks, double progress, double opacity = 1.0) {
        window.setAutoFillBackground(true);
        QPalette palette = window.palette();
        palette.setColor(QPalette::Window, kBehind);
        window.setPalette(palette);
        dial = new MinuteDialView(228, ticks, progress, opacity, &window);
        window.resize(dial->size());
        window.show();
        PaintRecorder::flush();
        recorder = std::make_unique<PaintRecorder>(*dial);
    }
    // How far what the window shows differs from a full repaint of the dial as it is now: pixels a frame
    // should have repainted and did not.
    int staleness() {
        const QImage shown = PaintRecorder::onScreen(window);
        window.repaint();
        return PaintRecorder::largestDifference(shown, PaintRecorder::onScreen(window));
    }
};

constexpr int kFrameMs = 16;

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

TEST(MinuteDialViewTest, AHiddenDialTakesEachChangeAtOnce) {
    const struct {
        const char* name;
        bool hideWindow; // else the dial itself
    } rows[] = {
        {"the dial hidden after it was seen", false},
        {"its window closed", true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        ManualAnimationClock clock;
        QWidget window;
        auto* dial = new MinuteDialView(228, 59, 59.0 / 60, 1.0, &window);
        window.show();
        (row.hideWindow ? static_cast<QWidget*>(&window) : dial)->hide();
        dial->setState(60, 1.0);
        EXPECT_DOUBLE_EQ(dial->tickLevel(59), 1.0);
        EXPECT_DOUBLE_EQ(dial->shownDotProgress(), 1.0);
        clock.advanceBy(MinuteDialView::bumpLegMs);
        EXPECT_DOUBLE_EQ(dial->completionDotScale(), 1.0) << "no bump nobody sees";
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

TEST(MinuteDialViewTest, EachFrameRepaintsOnlyWhatItMoves) {
    const struct {
        const char* name;
        int ticks;
        double progress;
        int nextTicks;
        double nextProgress;
    } rows[] = {
        {"the dot moving on", 10, 10.0 / 60, 10, 10.5 / 60},
        {"a tick fading in as the dot moves", 10, 10.0 / 60, 11, 11.0 / 60},
        {"the arc's tail leaving twelve o'clock", 7, 7.0 / 60, 8, 8.0 / 60},
        {"the last tick lighting and the dot bumping", 59, 59.0 / 60, 60, 1.0},
    };
    const double dialArea = 228.0 * 228.0;
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        ManualAnimationClock clock;
        DialOnScreen screen(row.ticks, row.progress);
        MinuteDialView& dial = *screen.dial;
        PaintRecorder& recorder = *screen.recorder;

        // The change itself: the arc's ends and the places of what starts to move.
        recorder.clear();
        dial.setState(row.nextTicks, row.nextProgress);
        PaintRecorder::flush();
        EXPECT_LT(PaintRecorder::area(recorder.region()), dialArea / 8);

        for (int frame = 0; frame < 20; ++frame) {
            SCOPED_TRACE(frame);
            const double dotBefore = dial.shownDotProgress();
            const double scaleBefore = dial.completionDotScale();
            std::array<double, 60> levelsBefore{};
            for (int i = 0; i < 60; ++i) {
                levelsBefore[size_t(i)] = dial.tickLevel(i);
            }
            recorder.clear();
            clock.advanceBy(kFrameMs);
            PaintRecorder::flush();

            // The dot where it was and where it is; moving and growing at once, it may pass through either
            // mix of the two.
            const double dotAfter = dial.shownDotProgress();
            const double scaleAfter = dial.completionDotScale();
            QRegion moved = QRegion(dial.dotBounds(dotBefore, scaleBefore)) |
                            dial.dotBounds(dotAfter, scaleAfter) | dial.dotBounds(dotBefore, scaleAfter) |
                            dial.dotBounds(dotAfter, scaleBefore);
            for (int i = 0; i < 60; ++i) {
                if (dial.tickLevel(i) != levelsBefore[size_t(i)]) {
                    moved |= dial.tickBounds(i);
                }
            }
            EXPECT_TRUE(recorder.region().subtracted(moved).isEmpty())
                << "repainted " << PaintRecorder::area(recorder.region()) << " px beyond what moved";
            EXPECT_LT(PaintRecorder::area(recorder.region()), dialArea / 50);
            EXPECT_LE(screen.staleness(), 2) << "what is left on screen is what the dial now shows";
        }
        // All still again: a dial made in this state looks the same.
        MinuteDialView fresh(228, row.nextTicks, row.nextProgress);
        EXPECT_LE(PaintRecorder::largestDifference(drawn(dial), drawn(fresh)), 2);
    }
}

TEST(MinuteDialViewTest, DotStepsOnlyAsFarAsShows) {
    const struct {
        const char* name;
        qint64 total;
        bool reduceMotion;
        int fewestFrames;
        int mostFrames;
    } rows[] = {
        // One second of a half-hour timer moves the dot a third of a pixel: nothing to animate.
        {"a third of a pixel goes at once", 1800, false, 0, 0},
        // One second of a one-minute timer moves it ten pixels: every frame shows a step.
        {"ten pixels move on every frame", 60, false, 14, 16},
        {"ten pixels under Reduce Motion, every frame of the shorter move", 60, true, 5, 7},
        // One second of a five-minute timer: two pixels, in steps of at least half of one.
        {"two pixels move in a few visible steps", 300, false, 2, 5},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        ReduceMotionFor motion(row.reduceMotion);
        ManualAnimationClock clock;
        const double before = 10.0 / double(row.total);
        const double after = 11.0 / double(row.total);
        DialOnScreen screen(0, before);
        MinuteDialView& dial = *screen.dial;
        dial.setState(0, after);
        PaintRecorder::flush();
        if (row.mostFrames == 0) {
            EXPECT_DOUBLE_EQ(dial.shownDotProgress(), after) << "drawn at its new place at once";
        }
        screen.recorder->clear();
        int frames = 0;
        double last = dial.shownDotProgress();
        for (int frame = 0; frame < 20; ++frame) {
            clock.advanceBy(kFrameMs);
            PaintRecorder::flush();
            if (screen.recorder->paints() > 0) {
                ++frames;
                screen.recorder->clear();
                const double travel = std::abs(dial.shownDotProgress() - last) * 2 * std::numbers::pi * 99;
                if (dial.shownDotProgress() != after) {
                    EXPECT_GE(travel, MinuteDialView::minDotStep) << "frame " << frame;
                }
                last = dial.shownDotProgress();
            }
        }
        EXPECT_GE(frames, row.fewestFrames);
        EXPECT_LE(frames, row.mostFrames);
        EXPECT_DOUBLE_EQ(dial.shownDotProgress(), after);
    }
}

TEST(MinuteDialViewTest, StillTicksAreDrawnAgainOnlyWhenALitStateOrTheOpacityChanges) {
    ManualAnimationClock clock;
    DialOnScreen screen(10, 10.0 / 60);
    MinuteDialView& dial = *screen.dial;
    const auto settle = [&clock] {
        for (int i = 0; i < 20; ++i) {
            clock.advanceBy(kFrameMs);
            PaintRecorder::flush();
        }
    };
    const int first = dial.faceDraws();
    EXPECT_GE(first, 1);

    for (int second = 1; second <= 5; ++second) {
        dial.setState(10, (10.0 + second * 0.1) / 60);
        settle();
    }
    EXPECT_EQ(dial.faceDraws(), first) << "the dot and the arc moved, no tick changed";

    dial.setState(11, 11.0 / 60);
    settle();
    const int afterFade = dial.faceDraws();
    EXPECT_GT(afterFade, first);
    EXPECT_LE(afterFade, first + 2) << "once as the tick starts to fade, once as it is lit";

    dial.setState(11, 11.0 / 60, 0.5);
    PaintRecorder::flush();
    EXPECT_EQ(dial.faceDraws(), afterFade + 1);
    EXPECT_LE(screen.staleness(), 2);
}
