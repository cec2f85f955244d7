// The timers tab in the real program: opened from the panel item, a time typed into the quick-add bar and
// confirmed on the keyboard starts a timer that the hero card then counts down.
#include "ProgramFixture.h"

#include "support/TestPanelHost.h"

#include <QDBusMessage>
#include <QImage>
#include <QTest>

#include <gtest/gtest.h>

namespace {

class TimersTabDesktopTest : public ProgramFixture {
protected:
    TimersTabDesktopTest() : ProgramFixture({QStringLiteral("xdotool")}) {}

    // Saves a picture of the window among the build's test artifacts and reads it back.
    QImage picture(const QString& window, const QString& name) const {
        screenshot(window, name);
        return QImage(artifactPath(name));
    }
};

// The smallest rectangle holding every pixel that differs between two pictures of the same size.
QRect changedArea(const QImage& a, const QImage& b) {
    QRect area;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            if (a.pixel(x, y) != b.pixel(x, y)) {
                area |= QRect(x, y, 1, 1);
            }
        }
    }
    return area;
}

} // namespace

TEST_F(TimersTabDesktopTest, TypingATimeAndConfirmingItTwiceStartsATimerTheHeroCountsDown) {
    startWatcher();
    writePreferences({{QStringLiteral("bl.hasSeenOnboarding"), true},
                      {QStringLiteral("bl.appLanguage"), QStringLiteral("en")}});
    Program program;
    program.start(environment());
    ASSERT_TRUE(program.waitFor(kReady)) << program.log().toStdString();
    const QString service = waitForItemService();
    ASSERT_FALSE(service.isEmpty());

    // A click on the panel item, as a panel passes it on.
    TestPanelHost panel(newConnection(QStringLiteral("panel")), service);
    const QDBusMessage reply =
        panel.call(QStringLiteral("/StatusNotifierItem"), QStringLiteral("org.kde.StatusNotifierItem"),
                   QStringLiteral("Activate"), {1200, 10});
    ASSERT_NE(reply.type(), QDBusMessage::ErrorMessage) << reply.errorMessage().toStdString();
    const QString window = waitForWindow(QStringLiteral("440x720"));
    ASSERT_FALSE(window.isEmpty()) << program.log().toStdString();
    QTest::qWait(500); // the popover takes the keyboard once it is mapped

    // A click into the quick-add bar's field, then the time typed at whatever window holds the keyboard.
    ASSERT_TRUE(clickAt(windowOrigin(window) + QPoint(197, 391)));
    QTest::qWait(200);
    ASSERT_TRUE(xdotool(
        {QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("60"), QStringLiteral("25m")}));
    ASSERT_TRUE(xdotool({QStringLiteral("key"), QStringLiteral("Return")}));
    QTest::qWait(500); // the confirmation card opens with its Start button focused
    ASSERT_TRUE(xdotool({QStringLiteral("key"), QStringLiteral("Return")}));

    QTest::qWait(1200);
    const QImage before = picture(window, QStringLiteral("timers-tab-running"));
    QTest::qWait(2200);
    const QImage after = picture(window, QStringLiteral("timers-tab-running-later"));
    ASSERT_FALSE(before.isNull());
    ASSERT_EQ(before.size(), after.size());
    // Only the hero changes between two ticks: its digits and its dial, in the top part of the tab.
    const QRect changed = changedArea(before, after);
    EXPECT_FALSE(changed.isEmpty()) << "the hero counts down";
    EXPECT_TRUE(QRect(100, 0, 240, 360).contains(changed))
        << "changed " << changed.x() << "," << changed.y() << " " << changed.width() << "x"
        << changed.height();

    ASSERT_NO_FATAL_FAILURE(stop(program));
    const auto saved = savedTimers();
    ASSERT_TRUE(saved.has_value()) << program.log().toStdString();
    ASSERT_EQ(saved->size(), 1) << "one timer, started once";
    EXPECT_EQ(saved->first().totalDuration, 1500);
    EXPECT_EQ(saved->first().state, TimerState::running);
    EXPECT_LT(saved->first().remaining, 1500) << "it has counted down";
    EXPECT_GT(saved->first().remaining, 1400);
    EXPECT_TRUE(saved->first().title.isEmpty());
}
