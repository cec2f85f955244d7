// The stand-in quick-add panel: opened, re-fronted, rebuilt and closed by its controller; a typed time is
// checked by the parser and started only when confirmed.
#include "DelegateFixture.h"

#include "core/QuickLaunchParseError.h"
#include "shell/QuickAddPanelController.h"

namespace {

using QuickAddPanelControllerTest = DelegateFixture;

TimerStartRequest minutes(qint64 count) {
    return TimerStartRequest(QUuid::createUuid(), QString(), TimerStartRequest::duration{count * 60});
}

} // namespace

TEST_F(QuickAddPanelControllerTest, ShowAndToggleKeepOnePanel) {
    launch();
    QuickAddPanelController& controller = delegate->quickAddController();
    EXPECT_EQ(controller.panel(), nullptr) << "no panel before it is shown";

    controller.toggle();
    QuickAddPanel* empty = controller.panel();
    ASSERT_NE(empty, nullptr);
    EXPECT_FALSE(empty->pendingRequest().has_value());
    EXPECT_EQ(empty->width(), QuickAddPanel::panelWidth);

    controller.show(std::nullopt);
    EXPECT_EQ(controller.panel(), empty) << "shown again without a request: the same panel, in front";

    const TimerStartRequest five = minutes(5);
    controller.show(five);
    settle();
    ASSERT_NE(controller.panel(), nullptr);
    EXPECT_EQ(controller.panel()->pendingRequest(), five) << "a request rebuilds the panel with it";

    controller.toggle();
    EXPECT_EQ(controller.panel(), nullptr);
    settle();
    EXPECT_TRUE(delegate->timerManager().timers().isEmpty()) << "closing starts nothing";
}

TEST_F(QuickAddPanelControllerTest, ATypedTimeIsCheckedAndStartsOnlyWhenConfirmed) {
    launch();
    const struct {
        const char* behaviour;
        QString typed;
        std::optional<QuickLaunchParseError> error;
        qint64 seconds; // of the started timer, when the text parses
    } rows[] = {
        {"a length", QStringLiteral("25m"), std::nullopt, 1500},
        {"hours and minutes", QStringLiteral("1h30m"), std::nullopt, 5400},
        {"nothing typed", QStringLiteral("   "), QuickLaunchParseError(QuickLaunchParseError::empty{}), 0},
        {"words", QStringLiteral("soon"),
         QuickLaunchParseError(QuickLaunchParseError::invalidFormat{QStringLiteral("soon")}), 0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.behaviour);
        QuickAddPanelController controller(&delegate->timerManager());
        controller.show(std::nullopt);
        QuickAddPanel* panel = controller.panel();
        const qsizetype before = delegate->timerManager().timers().size();
        panel->submit(row.typed);
        if (row.error) {
            EXPECT_EQ(panel->errorText(), row.error->message());
            EXPECT_FALSE(panel->pendingRequest().has_value());
            continue;
        }
        EXPECT_EQ(panel->errorText(), QString());
        ASSERT_TRUE(panel->pendingRequest().has_value());
        EXPECT_EQ(delegate->timerManager().timers().size(), before) << "waiting for confirmation";
        panel->confirm();
        ASSERT_EQ(delegate->timerManager().timers().size(), before + 1);
        EXPECT_EQ(delegate->timerManager().timers().last().totalDuration, row.seconds);
        settle();
        EXPECT_EQ(controller.panel(), nullptr) << "the panel closes after the start";
    }
}

TEST_F(QuickAddPanelControllerTest, ItDoesNothingOnceTheEngineIsGone) {
    make();
    QuickAddPanelController controller(&delegate->timerManager());
    delegate.reset();
    controller.show(minutes(5));
    EXPECT_EQ(controller.panel(), nullptr);
}
