// The popover's keyboard state: tab order, the row walk over sequences then presets, the step selection,
// and what a confirmation calls.
#include "ui/popover/PopoverFocusCoordinator.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

namespace {

using Tab = TarvolinTimerTab;
using Index = std::optional<qsizetype>;

// The row selection as one readable value: "s1" (sequence 1), "p0" (preset 0) or "-" (none).
std::string row(const PopoverFocusCoordinator& c) {
    if (c.selectedSequenceIndex()) {
        return "s" + std::to_string(*c.selectedSequenceIndex());
    }
    if (c.selectedPresetIndex()) {
        return "p" + std::to_string(*c.selectedPresetIndex());
    }
    return "-";
}

} // namespace

TEST(TarvolinTimerTabTest, TabsKeepTheirOrderRawValuesAndIdentifiers) {
    const QList<Tab> tabs = allTarvolinTimerTabs();
    ASSERT_EQ(tabs, (QList<Tab>{Tab::timers, Tab::presets, Tab::settings}));
    const struct {
        Tab tab;
        const char* raw;
        const char* symbol;
        const char* title;
    } rows[] = {
        {Tab::timers, "timers", "timer", "Timer"},
        {Tab::presets, "presets", "list.bullet", "Presets"},
        {Tab::settings, "settings", "gearshape", "Settings"},
    };
    for (const auto& r : rows) {
        EXPECT_EQ(toRaw(r.tab), QLatin1String(r.raw));
        EXPECT_EQ(tarvolinTimerTabFromRaw(QLatin1String(r.raw)), r.tab);
        EXPECT_EQ(symbolName(r.tab), QLatin1String(r.symbol));
        EXPECT_EQ(title(r.tab), QLatin1String(r.title));
        EXPECT_EQ(accessibilityIdentifier(r.tab),
                  QStringLiteral("quorvane.bottomBar.") + QLatin1String(r.raw));
    }
    for (const char* other : {"", "Timers", "timer", "settings "}) {
        EXPECT_EQ(tarvolinTimerTabFromRaw(QLatin1String(other)), std::nullopt) << other;
    }
}

TEST(PopoverFocusCoordinatorTest, StartsOnItsTabWithNothingSelectedOrPending) {
    const PopoverFocusCoordinator c(Tab::presets);
    EXPECT_EQ(c.focusedTab(), Tab::presets);
    EXPECT_EQ(row(c), "-");
    EXPECT_EQ(c.selectedSequenceStepIndex(), std::nullopt);
    EXPECT_EQ(c.pendingPresetsAction(), std::nullopt);
}

TEST(PopoverFocusCoordinatorTest, TabsStepInOrderAndWrap) {
    const struct {
        const char* name;
        Tab from;
        bool forward;
        Tab to;
    } rows[] = {
        {"Tab from timers shows presets", Tab::timers, true, Tab::presets},
        {"Tab from presets shows settings", Tab::presets, true, Tab::settings},
        {"Tab from settings wraps to timers", Tab::settings, true, Tab::timers},
        {"Shift+Tab from timers wraps to settings", Tab::timers, false, Tab::settings},
        {"Shift+Tab from settings shows presets", Tab::settings, false, Tab::presets},
    };
    for (const auto& r : rows) {
        PopoverFocusCoordinator c(r.from);
        r.forward ? c.focusNextTab() : c.focusPreviousTab();
        EXPECT_EQ(c.focusedTab(), r.to) << r.name;
    }
}

TEST(PopoverFocusCoordinatorTest, ChangingTabClearsTheSelectionsButNotThePendingRequest) {
    PopoverFocusCoordinator c(Tab::presets);
    c.advanceRowSelection(2, 3);
    c.moveSequenceStepSelection(1, 4);
    c.setPendingPresetsAction(PresetsPendingAction::createSequence);
    QSignalSpy changes(&c, &PopoverFocusCoordinator::changed);
    QSignalSpy tabChanges(&c, &PopoverFocusCoordinator::focusedTabChanged);

    c.focusTab(Tab::presets);
    EXPECT_EQ(changes.count(), 0) << "the tab already shown publishes nothing";
    EXPECT_EQ(row(c), "s0");
    EXPECT_EQ(c.selectedSequenceStepIndex(), 0);

    c.focusTab(Tab::settings);
    EXPECT_EQ(changes.count(), 1);
    EXPECT_EQ(tabChanges.count(), 1);
    EXPECT_EQ(row(c), "-");
    EXPECT_EQ(c.selectedSequenceStepIndex(), std::nullopt);
    EXPECT_EQ(c.pendingPresetsAction(), PresetsPendingAction::createSequence);
}

TEST(PopoverFocusCoordinatorTest, RowsWalkSequencesThenPresetsWithStopsAtBothEnds) {
    const struct {
        const char* name;
        qsizetype sequences;
        qsizetype presets;
        bool down;
        std::vector<std::string> walk; // the selection after each press, from nothing selected
    } rows[] = {
        {"down over both lists", 2, 3, true, {"s0", "s1", "p0", "p1", "p2", "p2"}},
        {"up over both lists", 2, 3, false, {"p2", "p1", "p0", "s1", "s0", "s0"}},
        {"down over presets only", 0, 2, true, {"p0", "p1", "p1"}},
        {"up over presets only leaves the first preset for nothing", 0, 2, false, {"p1", "p0", "-", "p1"}},
        {"down over sequences only leaves the last sequence for nothing",
         2,
         0,
         true,
         {"s0", "s1", "-", "s0"}},
        {"up over sequences only", 2, 0, false, {"s1", "s0", "s0"}},
        {"no rows at all", 0, 0, true, {"-", "-"}},
        {"no rows at all, upwards", 0, 0, false, {"-"}},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        PopoverFocusCoordinator c(Tab::presets);
        for (size_t i = 0; i < r.walk.size(); ++i) {
            r.down ? c.advanceRowSelection(r.sequences, r.presets)
                   : c.retreatRowSelection(r.sequences, r.presets);
            EXPECT_EQ(row(c), r.walk[i]) << "press " << i + 1;
        }
    }
}

TEST(PopoverFocusCoordinatorTest, PositionsPastAShortenedListMoveBackIntoIt) {
    const struct {
        const char* name;
        int startDowns; // presses made with the long lists
        qsizetype sequences;
        qsizetype presets;
        std::string after; // one Down with the short lists
    } rows[] = {
        {"a sequence past the end moves to the first preset", 3, 1, 2, "p0"},
        {"a sequence past the end with no presets clears", 3, 1, 0, "-"},
        {"a preset past the end moves to the last preset", 9, 0, 2, "p1"},
    };
    for (const auto& r : rows) {
        PopoverFocusCoordinator c(Tab::presets);
        for (int i = 0; i < r.startDowns; ++i) {
            c.advanceRowSelection(5, 8);
        }
        c.advanceRowSelection(r.sequences, r.presets);
        EXPECT_EQ(row(c), r.after) << r.name;
    }
}

TEST(PopoverFocusCoordinatorTest, StepSelectionIsHeldWithinTheSteps) {
    const struct {
        const char* name;
        std::vector<int> moves;
        qsizetype count;
        Index after;
    } rows[] = {
        {"Right from nothing selects the first step", {1}, 4, 0},
        {"Left from nothing selects the last step", {-1}, 4, 3},
        {"Right stops at the last step", {-1, 1}, 4, 3},
        {"Left stops at the first step", {1, -1}, 4, 0},
        {"moves walk between", {1, 1, 1, -1}, 4, 1},
        {"no steps clears the selection", {1, 1}, 0, std::nullopt},
    };
    for (const auto& r : rows) {
        PopoverFocusCoordinator c(Tab::presets);
        for (int move : r.moves) {
            c.moveSequenceStepSelection(move, r.count);
        }
        EXPECT_EQ(c.selectedSequenceStepIndex(), r.after) << r.name;
    }
    // A selection past the end of a shorter sequence is pulled back by the next move.
    PopoverFocusCoordinator c(Tab::presets);
    c.moveSequenceStepSelection(-1, 6); // 5
    c.moveSequenceStepSelection(1, 3);
    EXPECT_EQ(c.selectedSequenceStepIndex(), 2);
    c.moveSequenceStepSelection(1, 0);
    EXPECT_EQ(c.selectedSequenceStepIndex(), std::nullopt);
}

TEST(PopoverFocusCoordinatorTest, ConfirmCallsTheSelectedRowsFunctionOnly) {
    const struct {
        const char* name;
        int downs;
        bool reports;
        std::string called;
    } rows[] = {
        {"nothing selected calls nothing", 0, false, ""},
        {"a sequence calls the sequence function", 2, true, "s1"},
        {"a preset calls the preset function", 3, true, "p0"},
    };
    for (const auto& r : rows) {
        PopoverFocusCoordinator c(Tab::presets);
        for (int i = 0; i < r.downs; ++i) {
            c.advanceRowSelection(2, 3);
        }
        std::string called;
        const bool reported = c.confirmRowSelection([&](qsizetype i) { called += "s" + std::to_string(i); },
                                                    [&](qsizetype i) { called += "p" + std::to_string(i); });
        EXPECT_EQ(reported, r.reports) << r.name;
        EXPECT_EQ(called, r.called) << r.name;
    }
}

TEST(PopoverFocusCoordinatorTest, FocusPresetsSwitchesFirstThenPostsTheRequest) {
    PopoverFocusCoordinator c(Tab::timers);
    std::vector<std::string> order;
    QObject::connect(&c, &PopoverFocusCoordinator::focusedTabChanged, [&] { order.push_back("tab"); });
    QObject::connect(&c, &PopoverFocusCoordinator::pendingPresetsActionChanged,
                     [&] { order.push_back("request"); });
    c.focusPresets(PresetsPendingAction::createSequence);
    EXPECT_EQ(order, (std::vector<std::string>{"tab", "request"}));
    EXPECT_EQ(c.focusedTab(), Tab::presets);
    EXPECT_EQ(c.pendingPresetsAction(), PresetsPendingAction::createSequence);
}
