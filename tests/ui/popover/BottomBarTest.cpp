// The bottom bar: where its tabs sit, what it tells the root, and how its selection moves.
#include "ui/popover/BottomBar.h"

#include "platform/ReduceMotion.h"
#include "support/AccessibleReading.h"
#include "support/ManualAnimationClock.h"
#include "support/PixelProbe.h"
#include "theme/QvColor.h"
#include "ui/popover/BottomBarTabButton.h"

#include <QEnterEvent>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

namespace {

using Tab = TarvolinTimerTab;

class ReduceMotionFor {
public:
    explicit ReduceMotionFor(bool on) { ReduceMotion::setEnabled(on); }
    ~ReduceMotionFor() { ReduceMotion::setEnabled(false); }
};

// What the root does with a choice: it shows the tab, which the bar then reflects.
void followChoices(BottomBar& bar) {
    QObject::connect(&bar, &BottomBar::tabActivated, &bar, [&bar](Tab t) { bar.setSelected(t); });
}

} // namespace

TEST(BottomBarTest, ThreeTabsShareThePillExactlyInTheirOrder) {
    BottomBar bar(Tab::timers);
    EXPECT_EQ(bar.size(), QSize(440, 70));
    EXPECT_EQ(bar.barRect(), QRect(18, 0, 404, 54));
    int left = bar.barRect().left();
    for (Tab t : allTarvolinTimerTabs()) {
        const QRect frame = bar.button(t)->geometry();
        EXPECT_EQ(frame.left(), left) << toRaw(t).toStdString();
        EXPECT_NEAR(frame.width(), 404.0 / 3.0, 1.0);
        EXPECT_EQ(frame.height(), 54);
        EXPECT_EQ(bar.button(t)->toolTip(), title(t));
        left = frame.right() + 1;
    }
    EXPECT_EQ(left, bar.barRect().right() + 1) << "no gap and no overlap at the pill's end";
}

TEST(BottomBarTest, OnlyTheSelectedTabShowsItsTitleAndCapsule) {
    BottomBar bar(Tab::presets);
    bar.show();
    for (Tab t : allTarvolinTimerTabs()) {
        BottomBarTabButton* b = bar.button(t);
        const bool selected = t == Tab::presets;
        EXPECT_EQ(b->isSelected(), selected);
        EXPECT_DOUBLE_EQ(b->titleLevel(), selected ? 1.0 : 0.0);
        // Symbol alone: 12 + 18 + 12; with the title, wider, and never wider than its third of the pill.
        if (selected) {
            EXPECT_GT(b->labelRect().width(), 42);
            EXPECT_LE(b->labelRect().width(), b->width());
        } else {
            EXPECT_DOUBLE_EQ(b->labelRect().width(), 42);
        }
    }
    const QImage picture = bar.grab().toImage();
    const BottomBarTabButton* selected = bar.button(Tab::presets);
    const QPoint insideCapsule =
        selected->geometry().topLeft() +
        QPoint(int(selected->labelRect().left()) + 4, int(selected->labelRect().center().y()));
    const QColor muted = QvColor::qvSurfaceMuted().resolve(ColorScheme::light);
    EXPECT_LE(PixelProbe::distance(picture.pixelColor(insideCapsule), muted), 3);
    EXPECT_EQ(selected->inkColor(), QvColor::qvInkAction().resolve(ColorScheme::light));
    EXPECT_EQ(bar.button(Tab::timers)->inkColor(), QvColor::qvTextSecondary().resolve(ColorScheme::light));
}

TEST(BottomBarTest, AClickAsksForTheTabWithoutKeepingIt) {
    BottomBar bar(Tab::timers);
    QSignalSpy chosen(&bar, &BottomBar::tabActivated);
    QTest::mouseClick(bar.button(Tab::settings), Qt::LeftButton);
    ASSERT_EQ(chosen.count(), 1);
    EXPECT_EQ(chosen.first().first().value<Tab>(), Tab::settings);
    EXPECT_EQ(bar.selected(), Tab::timers) << "the root decides what is shown";
    EXPECT_EQ(bar.button(Tab::settings)->focusPolicy(), Qt::TabFocus) << "a click does not take the focus";
}

TEST(BottomBarTest, TheCapsuleSlidesOnlyForTheUsersOwnClick) {
    const struct {
        const char* name;
        bool click;
        bool reduceMotion;
        int duration; // 0: no slide
    } rows[] = {
        {"a click slides along a spring", true, false, BottomBar::slideDurationMs},
        {"under Reduce Motion a click slides briefly", true, true, BottomBar::reducedMotionSlideDurationMs},
        {"a change from the keyboard moves at once", false, false, 0},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        ReduceMotionFor motion(r.reduceMotion);
        ManualAnimationClock clock;
        BottomBar bar(Tab::timers);
        followChoices(bar);
        bar.show();
        if (r.click) {
            QTest::mouseClick(bar.button(Tab::settings), Qt::LeftButton);
        } else {
            bar.setSelected(Tab::settings);
        }
        EXPECT_EQ(bar.selected(), Tab::settings);
        if (r.duration == 0) {
            EXPECT_FALSE(bar.slidingCapsule().isValid());
            EXPECT_DOUBLE_EQ(bar.button(Tab::settings)->titleLevel(), 1.0);
            continue;
        }
        clock.advanceBy(r.duration / 4);
        const QRectF moving = bar.slidingCapsule();
        ASSERT_TRUE(moving.isValid());
        const double start = bar.button(Tab::timers)->geometry().center().x();
        const double end = bar.button(Tab::settings)->geometry().center().x();
        EXPECT_GT(moving.center().x(), start + 10) << "on its way";
        EXPECT_LT(moving.center().x(), end + 20);
        clock.advanceBy(r.duration);
        EXPECT_FALSE(bar.slidingCapsule().isValid()) << "the tab draws its own capsule again";
        EXPECT_DOUBLE_EQ(bar.button(Tab::settings)->titleLevel(), 1.0);
        EXPECT_DOUBLE_EQ(bar.button(Tab::timers)->titleLevel(), 0.0);
    }
}

TEST(BottomBarTest, HoverTintsAnUnselectedTabAndFadesAway) {
    ManualAnimationClock clock;
    BottomBar bar(Tab::timers);
    bar.show();
    BottomBarTabButton* presets = bar.button(Tab::presets);
    QEnterEvent enter(QPointF(10, 10), QPointF(10, 10), QPointF(10, 10));
    QCoreApplication::sendEvent(presets, &enter);
    clock.advanceBy(BottomBarTabButton::hoverDurationMs + 1);
    EXPECT_TRUE(presets->isHovered());
    EXPECT_DOUBLE_EQ(presets->hoverLevel(), 1.0);
    EXPECT_EQ(presets->inkColor(), QvColor::qvInkAction().resolve(ColorScheme::light));
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(presets, &leave);
    clock.advanceBy(BottomBarTabButton::hoverDurationMs / 2);
    EXPECT_GT(presets->hoverLevel(), 0.0);
    EXPECT_LT(presets->hoverLevel(), 1.0);
    clock.advanceBy(BottomBarTabButton::hoverDurationMs);
    EXPECT_DOUBLE_EQ(presets->hoverLevel(), 0.0);
    EXPECT_EQ(presets->inkColor(), QvColor::qvTextSecondary().resolve(ColorScheme::light));
}

TEST(BottomBarTest, ReadsAsPageTabsWithOnlyTheChosenOneSelected) {
    BottomBar bar(Tab::timers);
    followChoices(bar);
    bar.setSelected(Tab::presets);
    EXPECT_EQ(AccessibleReading::role(&bar), QAccessible::PageTabList);
    for (Tab t : allTarvolinTimerTabs()) {
        SCOPED_TRACE(toRaw(t).toStdString());
        BottomBarTabButton* tab = bar.button(t);
        EXPECT_EQ(AccessibleReading::role(tab), QAccessible::PageTab);
        EXPECT_EQ(AccessibleReading::name(tab), title(t));
        EXPECT_TRUE(AccessibleReading::description(tab).isEmpty()) << "the tooltip repeats the name";
        EXPECT_TRUE(AccessibleReading::state(tab).selectable);
        EXPECT_EQ(AccessibleReading::state(tab).selected, t == Tab::presets);
    }
}
