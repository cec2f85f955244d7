// The guide's window: when it opens, what a second show does, how each way of ending it leaves the window
// and the stored flag, and where it is placed.
#include "shell/OnboardingWindowController.h"

#include "core/AppSettings.h"
#include "core/TimerManager.h"
#include "platform/Preferences.h"
#include "support/FakeServices.h"
#include "theme/ThemeStore.h"
#include "ui/onboarding/OnboardingViewModel.h"
#include "ui/onboarding/OnboardingView.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCloseEvent>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {

class OnboardingWindowControllerTest : public ::testing::Test {
public:
    QDateTime now = QDateTime(QDate(2024, 5, 14), QTime(9, 0), Qt::LocalTime);
    Clock clock = [this] { return now; };
    // Time passes as the frozen wall clock moves: a tick follows a second's advance of `now`.
    ElapsedClock elapsed = [this] { return now.toMSecsSinceEpoch(); };
    Preferences preferences;
    AppSettings settings{preferences};
    InMemoryPersistence persistence;
    RecordingNotificationService notification;
    RecordingSoundService sound;
    InMemoryHistory history{clock};
    std::unique_ptr<TimerManager> timers =
        std::make_unique<TimerManager>(persistence, notification, sound, history, settings, clock, elapsed);
    std::unique_ptr<ThemeStore> theme = std::make_unique<ThemeStore>(preferences);
    std::unique_ptr<OnboardingWindowController> controller =
        std::make_unique<OnboardingWindowController>(timers.get(), theme.get(), settings);

    void TearDown() override {
        controller.reset();
        settle();
    }

    static void settle() {
        for (int i = 0; i < 3; ++i) {
            QCoreApplication::processEvents();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
    }

    QWidget* shown() const {
        QWidget* panel = controller->panel();
        return panel && panel->isVisible() ? panel : nullptr;
    }
    OnboardingView* view() const { return shown() ? shown()->findChild<OnboardingView*>() : nullptr; }
    void click(const char* objectName) const {
        shown()->findChild<QAbstractButton*>(QString::fromLatin1(objectName))->click();
        settle();
    }
};

} // namespace

TEST_F(OnboardingWindowControllerTest, OpensUnlessSeenOrForcedAndOnlyWhileItsObjectsLive) {
    const struct {
        const char* behaviour;
        bool seen;
        bool force;
        bool engineGone;
        bool themeGone;
        bool opens;
    } rows[] = {
        {"not seen opens", false, false, false, false, true},
        {"seen and not forced stays closed", true, false, false, false, false},
        {"a replay opens although seen", true, true, false, false, true},
        {"no engine: nothing", false, true, true, false, false},
        {"no theme store: nothing", false, true, false, true, false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.behaviour);
        timers = std::make_unique<TimerManager>(persistence, notification, sound, history, settings, clock,
                                                elapsed);
        theme = std::make_unique<ThemeStore>(preferences);
        controller = std::make_unique<OnboardingWindowController>(timers.get(), theme.get(), settings);
        settings.setHasSeenOnboarding(row.seen);
        if (row.engineGone) {
            timers.reset();
        }
        if (row.themeGone) {
            theme.reset();
        }
        controller->show(row.force);
        ASSERT_EQ(shown() != nullptr, row.opens);
        if (row.opens) {
            EXPECT_EQ(shown()->objectName(), QStringLiteral("quorvane.onboarding"));
            EXPECT_EQ(shown()->size(), QSize(440, 560));
            EXPECT_TRUE(shown()->windowFlags() & Qt::WindowStaysOnTopHint);
            EXPECT_FALSE(shown()->windowFlags() &
                         (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
            EXPECT_TRUE(shown()->windowTitle().isEmpty());
        }
        EXPECT_EQ(settings.hasSeenOnboarding(), row.seen) << "showing writes nothing";
        controller.reset();
        settle();
    }
}

TEST_F(OnboardingWindowControllerTest, EachWayOfEndingLeavesTheWindowAndTheFlagAsItShould) {
    const struct {
        const char* behaviour;
        std::function<void(OnboardingWindowControllerTest&)> end;
        bool recorded;
        bool windowKept; // hidden but held until the next show
    } rows[] = {
        {"the close button records nothing",
         [](OnboardingWindowControllerTest& t) { t.controller->panel()->close(); }, false, true},
        {"Skip records and lets the window go",
         [](OnboardingWindowControllerTest& t) {
             t.click("quorvane.onboarding.language.ja");
             t.click("quorvane.onboarding.skip");
         },
         true, false},
        {"the last page's button records and lets the window go",
         [](OnboardingWindowControllerTest& t) {
             t.click("quorvane.onboarding.language.ja");
             for (int i = 0; i < 3; ++i) {
                 t.click("quorvane.onboarding.primary");
             }
         },
         true, false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.behaviour);
        settings.setHasSeenOnboarding(false);
        controller->show(false);
        ASSERT_NE(shown(), nullptr);
        QWidget* first = shown();
        row.end(*this);
        settle();
        EXPECT_EQ(settings.hasSeenOnboarding(), row.recorded);
        EXPECT_EQ(shown(), nullptr);
        EXPECT_EQ(controller->panel() != nullptr, row.windowKept);
        // The next showing is a new window on the first page.
        controller->show(true);
        ASSERT_NE(view(), nullptr);
        EXPECT_EQ(view()->model().currentStep(), OnboardingStep::language);
        if (row.windowKept) {
            EXPECT_NE(shown(), first);
        }
        controller->panel()->close();
        settle();
    }
}

TEST_F(OnboardingWindowControllerTest, ASecondShowBringsTheOpenGuideForwardOnItsPage) {
    controller->show(true);
    ASSERT_NE(view(), nullptr);
    QWidget* window = shown();
    view()->model().advance();
    view()->model().advance();
    controller->show(true);
    EXPECT_EQ(shown(), window);
    EXPECT_EQ(view()->model().currentStep(), OnboardingStep::input);
}

TEST_F(OnboardingWindowControllerTest, TheWindowIsCentredInTheFreeAreaOfItsScreen) {
    const struct {
        const char* behaviour;
        QRect available;
        QPoint topLeft;
    } rows[] = {
        {"a screen under a top panel", QRect(0, 27, 1280, 997), QPoint(420, 245)},
        {"a second screen to the right", QRect(1920, 0, 2560, 1440), QPoint(2980, 440)},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.behaviour);
        const QRect placed = OnboardingWindowController::placement(row.available);
        EXPECT_EQ(placed.topLeft(), row.topLeft);
        EXPECT_EQ(placed.size(), QSize(440, 560));
    }
}
