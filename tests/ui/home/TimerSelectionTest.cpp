// The three selections of the timers tab, on plain lists and on the engine's indexes.
#include "ui/home/TimerSelection.h"

#include "HomeFixture.h"

#include <gtest/gtest.h>

namespace {

using S = TimerState;

QList<TimerItem> listOf(std::initializer_list<S> states) {
    QList<TimerItem> items;
    for (S state : states) {
        items << HomeFixture::timer(state);
    }
    return items;
}

QList<int> positionsOf(const QList<TimerItem>& chosen, const QList<TimerItem>& all) {
    QList<int> positions;
    for (const TimerItem& item : chosen) {
        positions << int(
            std::find_if(all.begin(), all.end(), [&](const TimerItem& t) { return t.id == item.id; }) -
            all.begin());
    }
    return positions;
}

struct Row {
    const char* name;
    std::initializer_list<S> states;
    std::optional<qsizetype> hero;
    QList<int> queued;    // idle and paused
    QList<int> queueList; // everything unfinished but the hero
};

const Row rows[] = {
    {"no timers: no hero", {}, std::nullopt, {}, {}},
    {"only finished: no hero", {S::finished, S::finished}, std::nullopt, {}, {}},
    {"first running wins over an earlier idle", {S::idle, S::running}, 1, {0}, {0}},
    {"two running: the first is hero, the second queued for the menu only",
     {S::running, S::running, S::idle},
     0,
     {2},
     {1, 2}},
    {"no running: first idle or paused", {S::finished, S::paused, S::idle}, 1, {1, 2}, {2}},
    {"an idle before a paused comes first", {S::idle, S::paused}, 0, {0, 1}, {1}},
    {"a paused before an idle comes first", {S::finished, S::paused, S::finished, S::idle}, 1, {1, 3}, {3}},
    {"finished never hero nor queued", {S::finished, S::running, S::finished}, 1, {}, {}},
};

} // namespace

TEST(TimerSelectionTest, ChoosesHeroAndQueuesOnAList) {
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        const QList<TimerItem> list = listOf(r.states);
        const auto hero = TimerSelection::heroPosition(list);
        EXPECT_EQ(hero, r.hero);
        EXPECT_EQ(positionsOf(TimerSelection::queuedTimers(list), list), r.queued);
        const std::optional<QUuid> heroId = hero ? std::optional<QUuid>(list.at(*hero).id) : std::nullopt;
        EXPECT_EQ(positionsOf(TimerSelection::queueListItems(list, heroId), list), r.queueList);
    }
}

class TimerSelectionEngineTest : public HomeFixture {};

TEST_F(TimerSelectionEngineTest, TheEngineIndexesGiveTheSameHeroAsTheList) {
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        makeEngine(listOf(r.states));
        EXPECT_EQ(TimerSelection::heroPosition(*timers), TimerSelection::heroPosition(timers->timers()));
        // And after the states move on: the hero pauses, then the last timer starts.
        if (const auto hero = TimerSelection::heroPosition(*timers)) {
            timers->pause(at(*hero).id);
            EXPECT_EQ(TimerSelection::heroPosition(*timers), TimerSelection::heroPosition(timers->timers()));
            timers->start(timers->timers().constLast().id);
            EXPECT_EQ(TimerSelection::heroPosition(*timers), TimerSelection::heroPosition(timers->timers()));
        }
        timers.reset();
        pomodoro.reset();
    }
}

TEST(TimerSelectionTest, PomodoroAreaHidesOnlyWhileAnOrdinaryTimerRuns) {
    const TimerItem running = HomeFixture::timer(S::running);
    const TimerItem paused = HomeFixture::timer(S::paused);
    const struct {
        const char* name;
        bool moduleVisible;
        std::optional<TimerItem> hero;
        bool pomodoroActive;
        bool shown;
    } cases[] = {
        {"no hero", true, std::nullopt, false, true},
        {"paused hero", true, paused, false, true},
        {"running ordinary timer", true, running, false, false},
        {"running with an active session", true, running, true, true},
        {"module hidden", false, std::nullopt, false, false},
        {"module hidden during a session", false, running, true, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(TimerSelection::shouldShowPomodoroSequence(c.moduleVisible, c.hero, c.pomodoroActive),
                  c.shown);
    }
}
