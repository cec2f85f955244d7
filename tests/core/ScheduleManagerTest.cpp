#include "core/ScheduleManager.h"

#include "support/FakeServices.h"
#include "support/LogCapture.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

namespace {

using namespace Qt::StringLiterals;

using Outcome = ScheduleManager::StartOutcome;
using Activation = RecordingNotificationService::ScheduleActivated;

class ScheduleManagerTest : public ::testing::Test {
protected:
    QDateTime now = QDateTime(QDate(2024, 6, 1), QTime(9, 0, 0), Qt::UTC);
    InMemoryPersistence persistence;
    RecordingNotificationService notifications;
    ScheduleManager schedule{persistence, notifications, [this] { return now; }};
    QStringList journal; // starts, notifications, saves and change reports, in order
    QList<QPair<QString, qint64>> started;
    Outcome outcome = Outcome::started;

    void SetUp() override {
        notifications.journal = &journal;
        persistence.journal = &journal;
        QObject::connect(&schedule, &ScheduleManager::scheduledTimersChanged,
                         [this] { journal << u"changed"_s; });
        schedule.startTimer = [this](const QString& title, qint64 duration) {
            journal << u"start"_s;
            started.push_back({title, duration});
            return outcome;
        };
    }

    ScheduledTimer entry(qint64 msFromNow, const char* memo, qint64 duration = 600, bool enabled = true) {
        return ScheduledTimer{QUuid::createUuid(), now.addMSecs(msFromNow), duration, QString::fromUtf8(memo),
                              enabled};
    }
    void load(const QList<ScheduledTimer>& timers) {
        persistence.scheduledTimers = timers;
        schedule.loadScheduledTimers();
        journal.clear();
    }
    QStringList memos() const {
        QStringList out;
        for (const auto& t : schedule.scheduledTimers()) {
            out << t.taskMemo;
        }
        return out;
    }
};

TEST_F(ScheduleManagerTest, EntryDueWithinTheLeadInFiresAndOneAtTheLeadInWaits) {
    load({entry(9'000, "soon", 1500), entry(10'000, "later", 300)});

    schedule.checkScheduledTimers();

    ASSERT_EQ(started.size(), 1);
    EXPECT_EQ(started[0], qMakePair(u"soon"_s, qint64(1500)));
    EXPECT_EQ(notifications.scheduleActivations, (QList<Activation>{{u"soon"_s, u"25分"_s}}));
    EXPECT_EQ(memos(), QStringList{u"later"_s});
    ASSERT_EQ(persistence.scheduledTimerSaves.size(), 1);
    EXPECT_EQ(persistence.scheduledTimerSaves[0], schedule.scheduledTimers());

    now = now.addSecs(10); // the next check
    schedule.checkScheduledTimers();
    EXPECT_TRUE(schedule.scheduledTimers().isEmpty());
    EXPECT_EQ(started.size(), 2);
}

TEST_F(ScheduleManagerTest, DisabledEntryNeverFiresAndIsWrittenBackUnchanged) {
    const ScheduledTimer off = entry(-60'000, "off", 600, false);
    load({off, entry(0, "on")});

    schedule.checkScheduledTimers();
    now = now.addDays(3);
    schedule.checkScheduledTimers();

    EXPECT_EQ(started.size(), 1);
    EXPECT_EQ(schedule.scheduledTimers(), QList<ScheduledTimer>{off});
    EXPECT_EQ(persistence.scheduledTimers, QList<ScheduledTimer>{off});
}

TEST_F(ScheduleManagerTest, AllDueEntriesFireBeforeEachIsRemovedAndSavedInTurn) {
    load({entry(-5'000, "a", 5400), entry(1'000, "b", 90), entry(60'000, "wait"), entry(2'000, "c", 59)});

    schedule.checkScheduledTimers();

    EXPECT_EQ(journal,
              (QStringList{u"start"_s, u"notification.postScheduleActivated"_s, u"start"_s,
                           u"notification.postScheduleActivated"_s, u"start"_s,
                           u"notification.postScheduleActivated"_s, u"persistence.saveScheduledTimers"_s,
                           u"changed"_s, u"persistence.saveScheduledTimers"_s, u"changed"_s,
                           u"persistence.saveScheduledTimers"_s, u"changed"_s}));
    EXPECT_EQ(notifications.scheduleActivations,
              (QList<Activation>{{u"a"_s, u"1時間30分"_s}, {u"b"_s, u"1分"_s}, {u"c"_s, u"0分"_s}}));
    ASSERT_EQ(persistence.scheduledTimerSaves.size(), 3);
    EXPECT_EQ(persistence.scheduledTimerSaves[0].size(), 3);
    EXPECT_EQ(persistence.scheduledTimerSaves[1].size(), 2);
    EXPECT_EQ(persistence.scheduledTimerSaves[2].size(), 1);
    EXPECT_EQ(memos(), QStringList{u"wait"_s});
}

TEST_F(ScheduleManagerTest, DuplicateIdsBothFireAndTheSecondRemovalSavesAgain) {
    ScheduledTimer first = entry(0, "first");
    ScheduledTimer second = first;
    second.taskMemo = u"second"_s;
    const ScheduledTimer other = entry(600'000, "other");
    load({first, other, second});

    schedule.checkScheduledTimers();

    EXPECT_EQ(started.size(), 2);
    EXPECT_EQ(notifications.scheduleActivations.size(), 2);
    EXPECT_EQ(persistence.scheduledTimerSaves,
              (QList<QList<ScheduledTimer>>{QList<ScheduledTimer>{other}, QList<ScheduledTimer>{other}}));
    EXPECT_EQ(journal.count(u"changed"_s), 2);
}

TEST_F(ScheduleManagerTest, WithoutATimerManagerDueEntriesStillNotifyAndAreRemoved) {
    schedule.startTimer = nullptr;
    load({entry(0, "orphan", 120)});

    schedule.checkScheduledTimers();

    EXPECT_EQ(notifications.scheduleActivations.size(), 1);
    EXPECT_TRUE(schedule.scheduledTimers().isEmpty());
    EXPECT_EQ(persistence.scheduledTimerSaves.size(), 1);

    // The timer manager's own "gone" answer is treated alike.
    schedule.startTimer = [](const QString&, qint64) { return Outcome::noManager; };
    load({entry(0, "orphan 2")});
    schedule.checkScheduledTimers();
    EXPECT_EQ(notifications.scheduleActivations.size(), 2);
}

TEST_F(ScheduleManagerTest, EntryRefusedAtTheTimerLimitLogsInsteadOfAnnouncingAndIsRemoved) {
    LogCapture log;
    outcome = Outcome::refused;
    load({entry(0, "too many")});

    schedule.checkScheduledTimers();

    EXPECT_EQ(started.size(), 1);
    EXPECT_TRUE(notifications.scheduleActivations.isEmpty());
    ASSERT_EQ(log.entries().size(), 1);
    EXPECT_EQ(log.entries()[0].level, TarvolinTimerLogger::Level::error);
    const QString line = log.entries()[0].line;
    EXPECT_TRUE(line.startsWith(u"[ScheduleManager] "_s) && line.contains(u"too many"_s))
        << line.toStdString();
    EXPECT_TRUE(schedule.scheduledTimers().isEmpty());
    EXPECT_EQ(journal.count(u"changed"_s), 1);
}

TEST_F(ScheduleManagerTest, WakeUpIsArmedOnlyWhileStartedAndAnEnabledEntryIsPending) {
    const ScheduledTimer only = entry(120'000, "only");
    load({only});
    EXPECT_FALSE(schedule.wakeUpInterval().has_value());
    schedule.startScheduler();
    ASSERT_TRUE(schedule.wakeUpInterval().has_value());
    schedule.removeScheduledTimer(only); // removing the last pending entry disarms
    EXPECT_FALSE(schedule.wakeUpInterval().has_value());
    load({entry(30'000, "off", 60, false)});
    EXPECT_FALSE(schedule.wakeUpInterval().has_value());
}

TEST_F(ScheduleManagerTest, WakeUpLandsOnTheFirstMomentTheEarliestEnabledEntryFires) {
    schedule.startScheduler();
    load({entry(40'000, "later"), entry(12'000, "off", 60, false), entry(25'000, "first")});

    const auto wait = schedule.wakeUpInterval();
    ASSERT_TRUE(wait.has_value());
    EXPECT_EQ(*wait, 25'000 - 10'000 + 1);

    // One millisecond earlier the entry is not due yet; at the armed moment it is.
    now = now.addMSecs(*wait - 1);
    schedule.checkScheduledTimers();
    EXPECT_TRUE(started.isEmpty());
    EXPECT_EQ(schedule.wakeUpInterval(), 1);

    now = now.addMSecs(1);
    schedule.checkScheduledTimers();
    ASSERT_EQ(started.size(), 1);
    EXPECT_EQ(started[0].first, u"first"_s);
    // Re-armed for the next enabled entry, whose first firing moment is as far behind.
    EXPECT_EQ(schedule.wakeUpInterval(), 40'000 - 25'000);
}

TEST_F(ScheduleManagerTest, WakeUpIsCappedAtAMinuteAndImmediateWhenOverdue) {
    schedule.startScheduler();
    load({entry(3'600'000, "far")});
    EXPECT_EQ(schedule.wakeUpInterval(), ScheduleManager::maxWakeUpIntervalMs);

    now = now.addSecs(7200);         // the machine slept past it
    schedule.checkScheduledTimers(); // the capped wake-up fires the overdue entry
    EXPECT_EQ(started.size(), 1);
    EXPECT_TRUE(schedule.scheduledTimers().isEmpty());
    EXPECT_FALSE(schedule.wakeUpInterval().has_value());

    load({entry(-1'000, "overdue")});
    ASSERT_EQ(schedule.wakeUpInterval(), 0);
    // The armed zero-length wake-up runs the check on the next pass of the event loop.
    for (int i = 0; i < 10 && !schedule.scheduledTimers().isEmpty(); ++i) {
        QCoreApplication::processEvents();
    }
    EXPECT_EQ(started.size(), 2);
    EXPECT_TRUE(schedule.scheduledTimers().isEmpty());
}

} // namespace
