// The first-run guide in the real program, on a display and buses of the test's own: a fresh start opens
// it under the program's name, a click walks it to its end, and a start after that does not open it again;
// closing it with the window's close button leaves it for the next start. A picture of every page is saved
// for people to see.
#include "ProgramFixture.h"

#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>

namespace {

const QString kGuideSize = QStringLiteral("440x560");
// Long enough for a page's slide and a repaint to finish before a picture or the next click.
constexpr int kSettleMs = 700;

// Where a user clicks, in the guide's own coordinates: the centres of the English tile (below the
// language page's dial and question), of the primary button above "Skip", and of the last page's lone
// primary button (both 24 pixels above the bottom edge, 44 high, 8 apart).
const QPoint kEnglishTile(305, 435);
const QPoint kPrimaryAboveSkip(220, 560 - 24 - 44 - 8 - 22);
const QPoint kLonePrimary(220, 560 - 24 - 22);

class OnboardingDesktopTest : public ProgramFixture {
public:
    OnboardingDesktopTest() : ProgramFixture({QStringLiteral("xdotool")}) {}

    void SetUp() override {
        ProgramFixture::SetUp();
        if (IsSkipped() || HasFatalFailure()) {
            return;
        }
        // A fresh start: no preferences at all.
        ASSERT_TRUE(QFile::remove(preferencesPath()));
        // A tray, so the guide is the only window a start opens.
        startWatcher();
    }

    QStringList guideWindows() const { return windowsOfSize(kGuideSize); }

    // A click at a point of the window, then time for the page to settle.
    void click(const QString& window, const QPoint& at) const {
        clickAt(windowOrigin(window) + at);
        QTest::qWait(kSettleMs);
    }

    // A start that opens no guide: it comes up, and a while later still no guide window is mapped.
    void expectStartWithoutGuide() {
        Program program;
        program.start(environment());
        ASSERT_TRUE(program.waitFor(kReady)) << program.log().toStdString();
        QTest::qWait(1500);
        EXPECT_TRUE(guideWindows().isEmpty());
        stop(program);
    }
};

} // namespace

TEST_F(OnboardingDesktopTest, AFreshStartOpensTheGuideAndAStartAfterFinishingItDoesNot) {
    {
        Program first;
        first.start(environment());
        ASSERT_TRUE(first.waitFor(kReady)) << first.log().toStdString();
        const QString guide = waitForWindow(kGuideSize);
        ASSERT_FALSE(guide.isEmpty()) << first.log().toStdString();
        const QList<ProgramWindow> named = windowsTitled(QStringLiteral("TarvolinTimer"));
        EXPECT_TRUE(std::any_of(named.cbegin(), named.cend(), [&](const ProgramWindow& w) {
            return w.id == guide;
        })) << "untitled itself, the guide is listed under the program's name";
        QTest::qWait(kSettleMs);
        screenshot(guide, QStringLiteral("onboarding-1-language"));

        click(guide, kEnglishTile);
        screenshot(guide, QStringLiteral("onboarding-2-quickStart"));
        click(guide, kPrimaryAboveSkip);
        screenshot(guide, QStringLiteral("onboarding-3-input"));
        click(guide, kPrimaryAboveSkip);
        screenshot(guide, QStringLiteral("onboarding-4-done"));
        click(guide, kLonePrimary);
        EXPECT_TRUE(QTest::qWaitFor([&] { return guideWindows().isEmpty(); }, kWaitMs))
            << "the last page's button closes the guide";
        ASSERT_TRUE(first.running()) << "closing the guide does not quit";
        ASSERT_NO_FATAL_FAILURE(stop(first));
    }
    const QVariantMap stored = readPreferences();
    EXPECT_EQ(stored.value(QStringLiteral("bl.hasSeenOnboarding")), QVariant(true));
    EXPECT_EQ(stored.value(QStringLiteral("bl.appLanguage")), QVariant(QStringLiteral("en")));
    const auto timers =
        TimerItem::decodeList(stored.value(QStringLiteral("quorvane.activeTimers")).toByteArray());
    ASSERT_TRUE(timers.has_value());
    ASSERT_EQ(timers->size(), 1);
    EXPECT_EQ(timers->first().title, QStringLiteral("Focus"));
    EXPECT_EQ(timers->first().totalDuration, 1500);

    expectStartWithoutGuide();
}

TEST_F(OnboardingDesktopTest, ClosingTheGuideWithItsCloseButtonLeavesItForTheNextStart) {
    {
        Program first;
        first.start(environment());
        ASSERT_TRUE(first.waitFor(kReady));
        const QString guide = waitForWindow(kGuideSize);
        ASSERT_FALSE(guide.isEmpty()) << first.log().toStdString();
        closeWindow(guide);
        EXPECT_TRUE(QTest::qWaitFor([&] { return guideWindows().isEmpty(); }, kWaitMs));
        ASSERT_TRUE(first.running()) << "closing the guide does not quit";
        ASSERT_NO_FATAL_FAILURE(stop(first));
    }
    EXPECT_FALSE(readPreferences().contains(QStringLiteral("bl.hasSeenOnboarding")));
    Program next;
    next.start(environment());
    ASSERT_TRUE(next.waitFor(kReady));
    EXPECT_FALSE(waitForWindow(kGuideSize).isEmpty()) << "the guide opens again";
    stop(next);
}
