// What the timer manager reports as changed: one change set per operation and per tick, and the finish
// signal.
#include "TimerManagerFixture.h"

#include <QSignalSpy>

#include <functional>
#include <ostream>

// Readable failures: the lists by size, the positions as they are.
void PrintTo(const TimerChangeSet& set, std::ostream* out) {
    *out << (set.replacedAll ? "replacedAll " : "") << "added " << set.added.size() << " removed "
         << set.removed.size() << " updated " << set.updated.size() << " at [";
    for (const qsizetype position : set.updatedPositions) {
        *out << " " << position;
    }
    *out << " ] revision " << set.listRevision << " finished " << set.finished.size();
}

namespace {

using S = TimerState;

class TimerChangeSetTest : public TimerManagerFixture {
protected:
    // The list every operation row starts from: running, paused, idle, finished, in that order.
    TimerItem run = stored(S::running, 10, 7), held = stored(S::paused, 10, 7),
              idle = stored(S::idle, 10, 10), done = stored(S::finished, 10, 0);

    void SetUp() override { makeWith({run, held, idle, done}); }

    // The change sets emitted while `action` runs.
    QList<TimerChangeSet> changesDuring(const std::function<void()>& action) {
        QSignalSpy spy(manager.get(), &TimerManager::timersChanged);
        action();
        QList<TimerChangeSet> sets;
        for (const QList<QVariant>& arguments : std::as_const(spy)) {
            sets << arguments.at(0).value<TimerChangeSet>();
        }
        return sets;
    }
};

TimerChangeSet updatedAt(std::initializer_list<std::pair<QUuid, qsizetype>> rows) {
    TimerChangeSet set;
    for (const auto& [id, position] : rows) {
        set.updated.push_back(id);
        set.updatedPositions.push_back(position);
    }
    return set;
}

TEST_F(TimerChangeSetTest, EachOperationReportsExactlyWhatItChangedInOneSet) {
    struct Row {
        const char* name;
        // Runs the operation and gives the set it must report; none when it must report nothing.
        std::function<std::optional<TimerChangeSet>(TimerManager&)> act;
    };
    const QUuid stranger = QUuid::createUuid();
    const Row rows[] = {
        {"addTimer appends",
         [](TimerManager& m) {
             TimerChangeSet set;
             set.added = {m.addTimer(QStringLiteral("new"), 60, false)->id};
             return set;
         }},
        {"addAlarm appends",
         [this](TimerManager& m) {
             TimerChangeSet set;
             set.added = {m.addAlarm(QStringLiteral("call"), now.addSecs(60))->id};
             return set;
         }},
        {"start",
         [this](TimerManager& m) {
             return m.start(idle.id), updatedAt({{idle.id, 2}});
         }},
        {"pause",
         [this](TimerManager& m) {
             return m.pause(run.id), updatedAt({{run.id, 0}});
         }},
        {"toggle",
         [this](TimerManager& m) {
             return m.toggle(held.id), updatedAt({{held.id, 1}});
         }},
        {"reset",
         [this](TimerManager& m) {
             return m.reset(done.id), updatedAt({{done.id, 3}});
         }},
        {"phase tag",
         [this](TimerManager& m) {
             m.setPomodoroPhase(idle.id, QStringLiteral("Focus"));
             return updatedAt({{idle.id, 2}});
         }},
        {"pauseAll lists only the timers it paused",
         [this](TimerManager& m) {
             return m.pauseAll(), updatedAt({{run.id, 0}});
         }},
        {"togglePrimary",
         [this](TimerManager& m) {
             return m.togglePrimary(), updatedAt({{run.id, 0}});
         }},
        {"resetPrimary",
         [this](TimerManager& m) {
             return m.resetPrimary(), updatedAt({{run.id, 0}});
         }},
        {"remove has no positions",
         [this](TimerManager& m) {
             m.removeTimer(held.id);
             TimerChangeSet set;
             set.removed = {held.id};
             return set;
         }},
        {"restore is one reset, not an id per timer",
         [this](TimerManager& m) {
             persistence.activeTimers = filler(1000);
             m.restoreState();
             TimerChangeSet set;
             set.replacedAll = true;
             return set;
         }},
        {"no-ops report nothing",
         [&](TimerManager& m) -> std::optional<TimerChangeSet> {
             m.start(run.id);
             m.pause(idle.id);
             m.start(stranger);
             m.removeTimer(stranger);
             m.setPomodoroPhase(run.id, std::nullopt);
             return std::nullopt;
         }},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        SetUp();
        std::optional<TimerChangeSet> expected;
        const QList<TimerChangeSet> sets = changesDuring([&] { expected = row.act(*manager); });
        if (!expected) {
            EXPECT_TRUE(sets.isEmpty());
            continue;
        }
        ASSERT_EQ(sets.size(), 1);
        expected->listRevision = manager->listRevision();
        EXPECT_EQ(sets.first(), *expected);
    }
}

TEST_F(TimerChangeSetTest, ATickReportsOneSetWithWhatTheWalkAndTheHookChanged) {
    struct Row {
        const char* name;
        // Adds timers after the shared four (which hold positions 0 to 3) and a hook, and fills in the one
        // set the next tick must report (the hook may still add to it while the tick runs).
        std::function<void(TimerChangeSet& expected)> arrange;
    };
    const Row rows[] = {
        {"countdowns in walk order, the finished one listed as such",
         [this](TimerChangeSet& expected) {
             const TimerItem ending = add("ending", 1);
             expected = updatedAt({{ending.id, 4}, {run.id, 0}});
             expected.finished = {ending.id};
         }},
        {"a timer the hook adds is added, not updated",
         [this](TimerChangeSet& expected) {
             const TimerItem ending = add("ending", 1);
             expected = updatedAt({{ending.id, 4}, {run.id, 0}});
             expected.finished = {ending.id};
             manager->onTimerComplete = [this, &expected](const QUuid&) {
                 expected.added.push_back(manager->addTimer(QStringLiteral("next"), 5, true)->id);
             };
         }},
        {"the hook starts a waiting timer the walk then reaches: listed once",
         [this](TimerChangeSet& expected) {
             const TimerItem ending = add("ending", 1);
             manager->onTimerComplete = [this](const QUuid&) { manager->start(idle.id); };
             expected = updatedAt({{ending.id, 4}, {idle.id, 2}, {run.id, 0}});
             expected.finished = {ending.id};
         }},
        {"the hook removes the finished timer and another: ids only, no positions",
         [this](TimerChangeSet& expected) {
             const TimerItem ending = add("ending", 1);
             manager->onTimerComplete = [this](const QUuid& id) {
                 manager->removeTimer(id);
                 manager->removeTimer(held.id);
             };
             expected.removed = {ending.id, held.id};
             expected.updated = {run.id};
             expected.finished = {ending.id};
         }},
        {"a timer added and removed within the tick is not reported",
         [this](TimerChangeSet& expected) {
             const TimerItem ending = add("ending", 1);
             manager->onTimerComplete = [this](const QUuid&) {
                 manager->removeTimer(manager->addTimer(QStringLiteral("brief"), 5, true)->id);
             };
             expected.updated = {ending.id, run.id};
             expected.finished = {ending.id};
         }},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        SetUp();
        TimerChangeSet expected;
        row.arrange(expected);
        const QList<TimerChangeSet> sets = changesDuring([this] { tick(); });
        manager->onTimerComplete = nullptr;
        ASSERT_EQ(sets.size(), 1);
        expected.listRevision = manager->listRevision();
        EXPECT_EQ(sets.first(), expected);
    }
}

TEST_F(TimerChangeSetTest, TheListRevisionMovesOnExactlyWhenPositionsCanNameAnotherTimer) {
    const quint64 start = manager->listRevision();
    add("appended", 5);
    manager->toggle(idle.id);
    tick();
    EXPECT_EQ(manager->listRevision(), start);
    manager->removeTimer(held.id);
    EXPECT_EQ(manager->listRevision(), start + 1);
    manager->restoreState();
    EXPECT_EQ(manager->listRevision(), start + 2);
}

} // namespace
