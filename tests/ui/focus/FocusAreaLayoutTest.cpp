// Which face of the Pomodoro area the timers tab shows, and where.
#include "ui/focus/FocusAreaLayout.h"

#include <gtest/gtest.h>

using Face = FocusAreaLayout::PomodoroFace;

TEST(FocusAreaLayoutTest, PomodoroFaceFollowsModuleHeroAndSession) {
    const struct {
        const char* name;
        bool moduleVisible;
        std::optional<TimerState> hero;
        bool sessionActive;
        Face expected;
    } rows[] = {
        {"no timer at all offers the simple entry", true, std::nullopt, false, Face::simpleEntry},
        {"a paused hero still offers it", true, TimerState::paused, false, Face::simpleEntry},
        {"an idle hero still offers it", true, TimerState::idle, false, Face::simpleEntry},
        {"a finished hero still offers it", true, TimerState::finished, false, Face::simpleEntry},
        {"an ordinary running timer hides the area", true, TimerState::running, false, Face::hidden},
        {"a running phase keeps the start card", true, TimerState::running, true, Face::startCard},
        {"a paused phase keeps the start card", true, TimerState::paused, true, Face::startCard},
        {"a waiting session without a hero keeps the card", true, std::nullopt, true, Face::startCard},
        {"the hidden module hides the simple entry", false, std::nullopt, false, Face::hidden},
        {"the hidden module hides the start card", false, TimerState::running, true, Face::hidden},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(FocusAreaLayout::pomodoroFace(row.moduleVisible, row.hero, row.sessionActive), row.expected)
            << row.name;
    }
}
