// The menu-bar label model: what it shows, and that it signals only when that differs.
#include "ui/kit/MenuBarLabelModel.h"

#include "core/TimerManagerFixture.h"

#include <QSignalSpy>

#include <functional>

namespace {

using Mode = MenuBarDisplayMode;

class MenuBarLabelModelTest : public TimerManagerFixture {};

TEST_F(MenuBarLabelModelTest, SignalsExactlyWhenTheShownContentOrTooltipDiffers) {
    make();
    MenuBarLabelModel label(*manager, settings);
    EXPECT_FALSE(label.content().isActive); // no timer: the icon alone
    EXPECT_EQ(label.toolTip(), QString());

    const QDateTime target = now.addMSecs(30'500);
    QUuid alarm, tea;
    // The alarm's text under the given wording, with its seconds left.
    const auto alarmText = [&](TimeDisplayStyle style, qint64 left) {
        return menuBarAlarm(style, target, left, MenuBarAlarmFormat::targetAndRemaining,
                            MenuBarRemainingDetail::seconds);
    };
    // The steps run in order, each on the state the previous ones left.
    const struct {
        const char* name;
        std::function<void()> step;
        int signalCount;
        Mode mode;
        bool isActive;
        bool isPaused;
        std::function<QString()> toolTip;
    } steps[] = {
        {"an alarm becomes the main timer",
         [&] { alarm = manager->addAlarm(QStringLiteral("call"), target)->id; }, 1, Mode::timeOnly, true,
         false, [&] { return alarmText(TimeDisplayStyle::japanese, 30); }},
        {"a countdown behind it shows nothing new", [&] { tea = add("tea", 90).id; }, 0, Mode::timeOnly, true,
         false, [&] { return alarmText(TimeDisplayStyle::japanese, 30); }},
        {"a tick that changes the alarm's second", [&] { tick(); }, 1, Mode::timeOnly, true, false,
         [&] { return alarmText(TimeDisplayStyle::japanese, 31); }},
        {"a tick that changes only the countdown behind it",
         [&] {
             advance(300);
             tick();
         },
         0, Mode::timeOnly, true, false, [&] { return alarmText(TimeDisplayStyle::japanese, 31); }},
        {"a setting the label does not read", [&] { settings.setSoundEnabled(false); }, 0, Mode::timeOnly,
         true, false, [&] { return alarmText(TimeDisplayStyle::japanese, 31); }},
        {"a wording that alters the alarm's text",
         [&] { settings.setDisplayStyleRaw(QStringLiteral("symbol")); }, 1, Mode::timeOnly, true, false,
         [&] { return alarmText(TimeDisplayStyle::symbol, 31); }},
        {"icon only: the content changes, the tooltip keeps the whole text",
         [&] { settings.setMenuBarDisplayModeRaw(QStringLiteral("iconOnly")); }, 1, Mode::iconOnly, true,
         false, [&] { return alarmText(TimeDisplayStyle::symbol, 31); }},
        {"a mode that names no choice reads as time only",
         [&] { settings.setMenuBarDisplayModeRaw(QStringLiteral("sideways")); }, 1, Mode::timeOnly, true,
         false, [&] { return alarmText(TimeDisplayStyle::symbol, 31); }},
        {"the countdown takes over when the alarm goes", [&] { manager->removeTimer(alarm); }, 1,
         Mode::timeOnly, true, false, [] { return QStringLiteral("01:28"); }},
        {"the wording leaves a countdown's text alone",
         [&] { settings.setDisplayStyleRaw(QStringLiteral("english")); }, 0, Mode::timeOnly, true, false,
         [] { return QStringLiteral("01:28"); }},
        {"pausing marks the label", [&] { manager->pause(tea); }, 1, Mode::timeOnly, true, true,
         [] { return QStringLiteral("01:28"); }},
        {"no main timer left: the icon alone, no tooltip", [&] { manager->reset(tea); }, 1, Mode::timeOnly,
         false, false, [] { return QString(); }},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.name);
        QSignalSpy spy(&label, &MenuBarLabelModel::changed);
        step.step();
        EXPECT_EQ(spy.count(), step.signalCount);
        const MenuBarDisplayContent& content = label.content();
        EXPECT_EQ(content.mode, step.mode);
        EXPECT_EQ(content.isActive, step.isActive);
        EXPECT_EQ(content.isPaused, step.isPaused);
        EXPECT_EQ(label.toolTip(), step.toolTip());
        if (step.isActive) {
            EXPECT_EQ(content.timeText, label.toolTip());
        }
    }
}

TEST_F(MenuBarLabelModelTest, StartsFromTheStoredSettingsAndTheRunningTimer) {
    settings.setMenuBarDisplayModeRaw(QStringLiteral("iconAndTime"));
    settings.setMenuBarIconStyleRaw(QStringLiteral("minimal"));
    makeWith({stored(TimerState::paused, 600, 65)});
    const MenuBarLabelModel label(*manager, settings);
    EXPECT_EQ(label.content().mode, Mode::iconAndTime);
    EXPECT_EQ(label.content().iconStyle, MenuBarIconStyle::minimal);
    EXPECT_TRUE(label.content().isPaused);
    EXPECT_EQ(label.toolTip(), QStringLiteral("01:05"));
}

} // namespace
