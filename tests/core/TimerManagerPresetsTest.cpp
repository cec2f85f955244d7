// The timer manager's loading at start, presets, sequences and the main timer's label text.
#include "TimerManagerFixture.h"

#include <QSignalSpy>

#include <limits>

namespace {

using namespace Qt::StringLiterals;

using TimerManagerPresetsTest = TimerManagerFixture;

QList<SequenceStep> steps(qint64 focus, qint64 pause) {
    return {SequenceStep{QUuid::createUuid(), SequenceStepKind::focus, focus},
            SequenceStep{QUuid::createUuid(), SequenceStepKind::breakTime, pause}};
}

// ---- Loading ----

TEST_F(TimerManagerPresetsTest, LoadsInOrderAndComputesTodayFromTheHistory) {
    QStringList journal;
    persistence.journal = history.journal = &journal;
    history.entries = {TimerHistoryEntry::make(QStringLiteral("earlier"), 600, now.addSecs(-3600)),
                       TimerHistoryEntry::make(QStringLiteral("yesterday"), 900, now.addDays(-1))};
    make();
    EXPECT_EQ(journal, QStringList({u"persistence.loadPresets"_s, u"persistence.loadSequences"_s,
                                    u"persistence.loadActiveSequenceID"_s, u"persistence.loadLastDuration"_s,
                                    u"persistence.loadScheduledTimers"_s, u"history.loadHistory"_s}));
    EXPECT_EQ(manager->stats().todayTotalSeconds(), 600);
    EXPECT_EQ(manager->presets(), TimerPreset::defaultPresets());
}

TEST_F(TimerManagerPresetsTest, TheActiveSequenceIsTheStoredIdElseTheFirstWithoutSavingIt) {
    make();
    EXPECT_EQ(manager->activeSequence()->id, TimerSequence::defaultSequences().first().id);
    EXPECT_TRUE(persistence.activeSequenceIDSaves.isEmpty());
    const QUuid gone = QUuid::createUuid(); // kept, though it matches no sequence
    persistence.activeSequenceID = gone;
    make();
    EXPECT_EQ(manager->activeSequenceID(), gone);
    EXPECT_FALSE(manager->activeSequence().has_value());
    persistence.activeSequenceID.reset();
    persistence.sequences.clear();
    make();
    EXPECT_FALSE(manager->activeSequenceID().has_value());
}

TEST_F(TimerManagerPresetsTest, TheDefaultLengthCountsOnlyStoredValuesOfAtLeastOne) {
    for (const auto& [storedValue, expected] :
         {std::pair<qint64, qint64>{1500, 1500}, {0, 1500}, {-60, 1500}, {1, 1}, {5400, 5400}}) {
        persistence.lastDuration = storedValue;
        make();
        EXPECT_EQ(manager->defaultDuration(), expected) << storedValue;
    }
}

// ---- Presets ----

TEST_F(TimerManagerPresetsTest, PresetsKeepTheirNamesSaturateAndStopAtTenWithoutSavingTheRefusal) {
    make(); // the three defaults
    for (int i = 0; i < 5; ++i) {
        manager->addPreset(QStringLiteral("p%1").arg(i), 10);
    }
    manager->addPreset(QStringLiteral("  tea "), std::numeric_limits<qint64>::max());
    EXPECT_EQ(manager->presets().last().name, QStringLiteral("  tea "));
    EXPECT_EQ(manager->presets().last().durationInSeconds, std::numeric_limits<qint64>::max());
    manager->addPreset(QString(), 5); // the tenth, unnamed
    EXPECT_EQ(manager->presets().size(), 10);
    EXPECT_EQ(manager->presets().last(), (TimerPreset{manager->presets().last().id, QString(), 300}));
    EXPECT_EQ(persistence.presetSaves.size(), 7);

    QSignalSpy spy(manager.get(), &TimerManager::presetsChanged);
    manager->addPreset(QStringLiteral("eleventh"), 5);
    EXPECT_EQ(manager->presets().size(), 10);
    EXPECT_EQ(persistence.presetSaves.size(), 7);
    EXPECT_EQ(spy.count(), 0);
}

TEST_F(TimerManagerPresetsTest, UpdatingPublishesNameThenLengthAndRemovingSavesEvenWhenNothingMatched) {
    make();
    const TimerPreset target = manager->presets().at(1);
    QStringList seen;
    QObject::connect(manager.get(), &TimerManager::presetsChanged, [&] {
        const TimerPreset p = manager->presets().at(1);
        seen << QStringLiteral("%1/%2").arg(p.name).arg(p.durationInSeconds);
    });
    manager->updatePreset(target, QStringLiteral("Lunch"), 50);
    EXPECT_EQ(seen, QStringList({u"Lunch/2700"_s, u"Lunch/3000"_s}));
    EXPECT_EQ(persistence.presetSaves.size(), 1);
    EXPECT_EQ(manager->presets().at(1).id, target.id);
    manager->updatePreset(TimerPreset{QUuid::createUuid(), QStringLiteral("x"), 60}, QStringLiteral("y"), 1);
    EXPECT_EQ(persistence.presetSaves.size(), 1);

    const TimerPreset first = manager->presets().first();
    manager->removePreset(first);
    manager->removePreset(first);
    EXPECT_EQ(manager->presets().size(), 2);
    EXPECT_EQ(persistence.presetSaves.size(), 3);
}

// ---- Sequences ----

TEST_F(TimerManagerPresetsTest, SequencesNeedStepsStopAtTwentyAndABlankNameBecomesSequence) {
    make(); // the three defaults
    EXPECT_FALSE(manager->addSequence(QStringLiteral("empty"), {}).has_value());
    // Blank means white space, but a line break is a name.
    const std::pair<QString, QString> names[] = {{u"   "_s, u"Sequence"_s},
                                                 {QString(), u"Sequence"_s},
                                                 {u"\t \u3000"_s, u"Sequence"_s},
                                                 {u" Deep"_s, u" Deep"_s},
                                                 {u"\n"_s, u"\n"_s}};
    for (const auto& [typed, kept] : names) {
        const auto made = manager->addSequence(typed, steps(25, 5));
        ASSERT_TRUE(made.has_value());
        EXPECT_EQ(made->name, kept);
        EXPECT_EQ(manager->sequences().last().name, kept);
    }
    const TimerSequence last = manager->sequences().last();
    manager->updateSequence(last, QStringLiteral(" \t"), steps(30, 5));
    EXPECT_EQ(manager->sequences().last().name, QStringLiteral("Sequence"));
    EXPECT_NE(manager->activeSequenceID(), std::optional<QUuid>(last.id)); // adding never makes one active
    for (int i = 0; i < 12; ++i) {
        ASSERT_TRUE(manager->addSequence(QStringLiteral("s%1").arg(i), steps(25, 5)).has_value());
    }
    EXPECT_FALSE(manager->addSequence(QStringLiteral("one more"), steps(25, 5)).has_value());
    EXPECT_EQ(manager->sequences().size(), 20);
    EXPECT_EQ(persistence.sequenceSaves.size(), 18); // 17 added, 1 updated
}

TEST_F(TimerManagerPresetsTest, UpdatingTheActiveSequenceAppliesItToThePomodoroSettings) {
    make();
    const TimerSequence active = *manager->activeSequence();
    QSignalSpy spy(manager.get(), &TimerManager::sequencesChanged);
    manager->updateSequence(active, QStringLiteral("Long focus"), steps(50, 10));
    EXPECT_EQ(spy.count(), 2);
    EXPECT_EQ(settings.pomWorkMinutes(), 50);
    EXPECT_EQ(settings.pomShortBreakMinutes(), 10);
    EXPECT_EQ(persistence.activeSequenceIDSaves, QList<std::optional<QUuid>>({active.id}));
    const TimerSequence other = manager->sequences().at(1);
    manager->updateSequence(other, QStringLiteral("Other"), steps(70, 20));
    EXPECT_EQ(settings.pomWorkMinutes(), 50);
    manager->updateSequence(other, QStringLiteral("Refused"), {});
    EXPECT_EQ(manager->sequences().at(1).name, QStringLiteral("Other"));
}

TEST_F(TimerManagerPresetsTest, RemovingTheActiveSequenceActivatesTheFirstLeftWithoutApplyingIt) {
    make();
    const QList<TimerSequence> all = manager->sequences();
    manager->applySequence(all.at(1));
    settings.setPomWorkMinutes(33);
    persistence.activeSequenceIDSaves.clear();
    manager->removeSequence(all.at(1));
    EXPECT_EQ(persistence.activeSequenceIDSaves, QList<std::optional<QUuid>>({all.at(0).id}));
    EXPECT_EQ(settings.pomWorkMinutes(), 33);
    manager->removeSequence(all.at(2)); // not active: the active id stays
    EXPECT_EQ(manager->activeSequenceID(), all.at(0).id);
    manager->removeSequence(all.at(0));
    EXPECT_FALSE(manager->activeSequenceID().has_value());
    EXPECT_EQ(persistence.activeSequenceIDSaves.last(), std::nullopt);
    EXPECT_TRUE(persistence.sequences.isEmpty());
}

TEST_F(TimerManagerPresetsTest, ApplyingCopiesTheFirstLengthsOnlyForAListedSequence) {
    make();
    settings.setPomWorkMinutes(25);
    manager->applySequence(TimerSequence{QUuid::createUuid(), QStringLiteral("x"), steps(90, 30)});
    EXPECT_EQ(settings.pomWorkMinutes(), 25);
    EXPECT_TRUE(persistence.activeSequenceIDSaves.isEmpty());
    const auto focusOnly = manager->addSequence(
        QStringLiteral("focus only"), {SequenceStep{QUuid::createUuid(), SequenceStepKind::focus, 45}});
    settings.setPomShortBreakMinutes(7);
    manager->applySequence(*focusOnly);
    EXPECT_EQ(manager->activeSequenceID(), focusOnly->id);
    EXPECT_EQ(settings.pomWorkMinutes(), 45);
    EXPECT_EQ(settings.pomShortBreakMinutes(), 7); // no break step: left alone
}

// ---- Label text ----

TEST_F(TimerManagerPresetsTest, TheLabelShowsTheDefaultLengthThenACountdownsTimeThenAnAlarmsTarget) {
    now = QDateTime(QDate(2024, 5, 14), QTime(19, 39, 55), Qt::LocalTime);
    persistence.lastDuration = 5400;
    make();
    add("done", 1);
    tick(); // a finished timer is never the main one
    EXPECT_EQ(manager->displayTime(), QStringLiteral("1:30:00"));
    EXPECT_EQ(manager->menuBarText(TimeDisplayStyle::japanese, MenuBarAlarmFormat::targetAndRemaining,
                                   MenuBarRemainingDetail::seconds),
              QStringLiteral("1:30:00"));
    const TimerItem count = add("count", 3725);
    manager->addAlarm(QStringLiteral("call"), QDateTime(QDate(2024, 5, 14), QTime(19, 44), Qt::LocalTime));
    EXPECT_EQ(manager->displayTime(), QStringLiteral("1:02:05"));
    EXPECT_EQ(manager->menuBarText(TimeDisplayStyle::english, MenuBarAlarmFormat::worded,
                                   MenuBarRemainingDetail::minutes),
              QStringLiteral("1:02:05")); // whatever the style

    manager->pause(count); // the running alarm is the main timer now
    tick();
    EXPECT_EQ(manager->displayTime(), QStringLiteral("until 19:44 (04:05)"));
    EXPECT_EQ(manager->menuBarText(TimeDisplayStyle::japanese, MenuBarAlarmFormat::targetAndRemaining,
                                   MenuBarRemainingDetail::seconds),
              QStringLiteral("19:44 · 4:05"));
    EXPECT_EQ(manager->menuBarText(TimeDisplayStyle::english, MenuBarAlarmFormat::worded,
                                   MenuBarRemainingDetail::words),
              QStringLiteral("until 19:44 · 4m 5s left"));
}

} // namespace
