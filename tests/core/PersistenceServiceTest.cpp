#include "core/PersistenceService.h"

#include "core/JsonCoding.h"
#include "platform/Preferences.h"
#include "support/LogCapture.h"

#include <QCoreApplication>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimeZone>

#include <gtest/gtest.h>

namespace {

const QDateTime kNow(QDate(2025, 3, 1), QTime(9, 0), QTimeZone::utc());

QString key(const char* name) {
    return QString::fromLatin1(name);
}

TimerItem timer(TimerState state, qint64 seconds = 60) {
    return TimerItem::make(QUuid::createUuid(), QStringLiteral("t"), seconds, state, false, std::nullopt,
                           std::nullopt, kNow);
}

class PersistenceServiceTest : public ::testing::Test {
protected:
    PersistenceServiceTest() {
        prefs.setInt(key(PersistenceService::kSchemaVersionKey), 2); // so construction logs nothing
        service = std::make_unique<PersistenceService>(prefs, [] { return kNow; });
    }

    Preferences prefs;
    LogCapture log;
    std::unique_ptr<PersistenceService> service;
};

TEST_F(PersistenceServiceTest, EmptyStoreGivesDefaultsWithoutLogging) {
    EXPECT_EQ(service->loadPresets(), TimerPreset::defaultPresets());
    EXPECT_EQ(service->loadSequences(), TimerSequence::defaultSequences());
    EXPECT_TRUE(service->loadActiveTimers().isEmpty());
    EXPECT_TRUE(service->loadScheduledTimers().isEmpty());
    EXPECT_FALSE(service->loadActiveSequenceID());
    EXPECT_EQ(service->loadLastDuration(), 1500);
    EXPECT_TRUE(log.lines().isEmpty());
}

TEST_F(PersistenceServiceTest, ValueOfAnotherTypeCountsAsAbsentWithoutLogging) {
    for (const char* k : {PersistenceService::kPresetsKey, PersistenceService::kSequencesKey,
                          PersistenceService::kActiveTimersKey, PersistenceService::kScheduledTimersKey}) {
        prefs.setString(key(k), QStringLiteral("[]")); // JSON text, but a string value, not data
    }
    prefs.setInt(key(PersistenceService::kActiveSequenceIDKey), 5);
    prefs.setString(key(PersistenceService::kLastDurationKey), QStringLiteral("90"));
    EXPECT_EQ(service->loadPresets(), TimerPreset::defaultPresets());
    EXPECT_EQ(service->loadSequences(), TimerSequence::defaultSequences());
    EXPECT_TRUE(service->loadActiveTimers().isEmpty());
    EXPECT_TRUE(service->loadScheduledTimers().isEmpty());
    EXPECT_FALSE(service->loadActiveSequenceID());
    EXPECT_EQ(service->loadLastDuration(), 1500);
    EXPECT_TRUE(log.lines().isEmpty());
}

TEST_F(PersistenceServiceTest, UndecodableListLogsOneWarningAndGivesTheDefault) {
    struct Case {
        const char* key;
        std::function<bool()> loadsDefault;
        QString line;
    };
    const QList<Case> cases{
        {PersistenceService::kPresetsKey,
         [&] { return service->loadPresets() == TimerPreset::defaultPresets(); },
         QStringLiteral("[PersistenceService] Failed to decode presets, using default")},
        {PersistenceService::kSequencesKey,
         [&] { return service->loadSequences() == TimerSequence::defaultSequences(); },
         QStringLiteral("[PersistenceService] Failed to decode sequences, using default")},
        {PersistenceService::kScheduledTimersKey, [&] { return service->loadScheduledTimers().isEmpty(); },
         QStringLiteral("[PersistenceService] Failed to decode scheduledTimers, using default")},
        {PersistenceService::kActiveTimersKey, [&] { return service->loadActiveTimers().isEmpty(); },
         QStringLiteral("[PersistenceService] Failed to decode activeTimers, using default")},
    };
    for (const Case& c : cases) {
        log.clear();
        prefs.setData(key(c.key), QByteArray("[{\"id\":"));
        EXPECT_TRUE(c.loadsDefault()) << c.key;
        ASSERT_EQ(log.entries().size(), 1) << c.key;
        EXPECT_EQ(log.entries()[0].line, c.line);
        EXPECT_EQ(log.entries()[0].level, TarvolinTimerLogger::Level::error); // warnings log as errors
        EXPECT_EQ(prefs.dataValue(key(c.key)), QByteArray("[{\"id\":"));      // left for the next save
    }
}

TEST_F(PersistenceServiceTest, StoredEmptyListsStayEmpty) {
    service->savePresets({});
    service->saveSequences({});
    EXPECT_EQ(prefs.dataValue(key(PersistenceService::kPresetsKey)), QByteArray("[]"));
    EXPECT_TRUE(service->loadPresets().isEmpty());
    EXPECT_TRUE(service->loadSequences().isEmpty());
}

TEST_F(PersistenceServiceTest, ListsRoundTripAsDataValues) {
    const QList<TimerPreset> presets{{QUuid::createUuid(), QStringLiteral("Tea"), 180}};
    QList<TimerSequence> sequences{TimerSequence::blank()};
    service->savePresets(presets);
    service->saveSequences(sequences);
    const QList<TimerItem> timers{timer(TimerState::idle), timer(TimerState::finished)};
    service->saveActiveTimers(timers);
    EXPECT_EQ(service->loadPresets(), presets);
    EXPECT_EQ(service->loadSequences(), sequences);
    EXPECT_EQ(service->loadActiveTimers(), timers);
    EXPECT_EQ(TimerPreset::decodeList(*prefs.dataValue(key(PersistenceService::kPresetsKey))), presets);
    EXPECT_TRUE(log.lines().isEmpty());
}

TEST_F(PersistenceServiceTest, RunningTimersComeBackPausedInOrder) {
    const QList<TimerItem> saved{timer(TimerState::running), timer(TimerState::paused),
                                 timer(TimerState::finished), timer(TimerState::idle)};
    service->saveActiveTimers(saved);
    const QList<TimerItem> loaded = service->loadActiveTimers();
    ASSERT_EQ(loaded.size(), 4);
    EXPECT_EQ(loaded[0].state, TimerState::paused);
    EXPECT_EQ(loaded[1].state, TimerState::paused);
    EXPECT_EQ(loaded[2].state, TimerState::finished);
    EXPECT_EQ(loaded[3].state, TimerState::idle);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(loaded[i].id, saved[i].id);
    }
    service->clearActiveTimers();
    EXPECT_FALSE(prefs.contains(key(PersistenceService::kActiveTimersKey)));
}

TEST_F(PersistenceServiceTest, ScheduledEntriesInThePastAreLeftOut) {
    auto entry = [](const QDateTime& when) {
        return ScheduledTimer{QUuid::createUuid(), when, 60, QStringLiteral("m"), true};
    };
    const QList<ScheduledTimer> stored{entry(kNow.addSecs(-1)), entry(kNow), entry(kNow.addSecs(30))};
    service->saveScheduledTimers(stored);
    EXPECT_EQ(service->loadScheduledTimers(), (QList<ScheduledTimer>{stored[1], stored[2]}));
    EXPECT_EQ(ScheduledTimer::decodeList(*prefs.dataValue(key(PersistenceService::kScheduledTimersKey))),
              stored);
}

TEST_F(PersistenceServiceTest, ActiveSequenceIdIsUpperCaseTextAndRemovedWhenNone) {
    const QUuid id = QUuid::createUuid();
    service->saveActiveSequenceID(id);
    EXPECT_EQ(prefs.stringValue(key(PersistenceService::kActiveSequenceIDKey)), JsonCoding::uuidText(id));
    EXPECT_EQ(service->loadActiveSequenceID(), id);
    service->saveActiveSequenceID(std::nullopt);
    EXPECT_FALSE(prefs.contains(key(PersistenceService::kActiveSequenceIDKey)));
    EXPECT_FALSE(service->loadActiveSequenceID());
    prefs.setString(key(PersistenceService::kActiveSequenceIDKey), QStringLiteral("not-a-uuid"));
    EXPECT_FALSE(service->loadActiveSequenceID());
    prefs.setString(key(PersistenceService::kActiveSequenceIDKey), JsonCoding::uuidText(id).toLower());
    EXPECT_EQ(service->loadActiveSequenceID(), id);
}

TEST_F(PersistenceServiceTest, LastDurationCountsOnlyFromOneSecond) {
    const QString k = key(PersistenceService::kLastDurationKey);
    for (const auto& [stored, expected] :
         {std::pair<qint64, qint64>{0, 1500}, {-5, 1500}, {1, 1}, {90, 90}}) {
        prefs.setInt(k, stored);
        EXPECT_EQ(service->loadLastDuration(), expected) << stored;
    }
}

TEST_F(PersistenceServiceTest, EncodeFailureKeepsTheOldValueAndLogsAnError) {
    service->saveActiveTimers({timer(TimerState::idle)});
    const QByteArray before = *prefs.dataValue(key(PersistenceService::kActiveTimersKey));
    TimerItem broken = timer(TimerState::idle);
    broken.createdAt = QDateTime();
    service->saveActiveTimers({broken});
    EXPECT_EQ(prefs.dataValue(key(PersistenceService::kActiveTimersKey)), before);
    ASSERT_EQ(log.entries().size(), 1);
    EXPECT_TRUE(
        log.lines()[0].startsWith(QStringLiteral("[PersistenceService] Failed to encode activeTimers: ")));
    EXPECT_EQ(log.entries()[0].level, TarvolinTimerLogger::Level::error);

    log.clear();
    service->saveScheduledTimers({{QUuid::createUuid(), QDateTime(), 1, QString(), true}});
    ASSERT_EQ(log.lines().size(), 1);
    EXPECT_TRUE(
        log.lines()[0].startsWith(QStringLiteral("[PersistenceService] Failed to encode scheduledTimers: ")));
    EXPECT_FALSE(prefs.contains(key(PersistenceService::kScheduledTimersKey)));
}

TEST(PersistenceServiceSchema, BumpsToTwoOnceWithOneInfoLine) {
    struct Case {
        std::optional<QVariant> stored;
        qint64 expected;
        bool logs;
    };
    for (const Case& c : {Case{std::nullopt, 2, true}, Case{QVariant(qint64(1)), 2, true},
                          Case{QVariant(qint64(2)), 2, false}, Case{QVariant(qint64(3)), 3, false},
                          Case{QVariant(QStringLiteral("3")), 2, true}}) {
        Preferences prefs;
        if (c.stored) {
            prefs.setValue(key(PersistenceService::kSchemaVersionKey), *c.stored);
        }
        LogCapture log;
        PersistenceService service(prefs);
        EXPECT_EQ(prefs.intValue(key(PersistenceService::kSchemaVersionKey)), c.expected);
        if (c.logs) {
            ASSERT_EQ(log.entries().size(), 1);
            EXPECT_EQ(log.entries()[0].line, QStringLiteral("[PersistenceService] Schema bumped to v2"));
            EXPECT_EQ(log.entries()[0].level, TarvolinTimerLogger::Level::info);
        } else {
            EXPECT_TRUE(log.lines().isEmpty());
        }
    }
}

// --- Saving the timer list off the UI thread ----------------------------------------------------------

QList<TimerItem> storedTimers(const Preferences& prefs) {
    const auto data = prefs.dataValue(key(PersistenceService::kActiveTimersKey));
    return data ? TimerItem::decodeList(*data).value_or(QList<TimerItem>{}) : QList<TimerItem>{};
}

TEST_F(PersistenceServiceTest, BackgroundSaveLandsThroughTheEventLoop) {
    const QList<TimerItem> timers{timer(TimerState::running)};
    QSignalSpy spy(&prefs, &Preferences::changed);
    service->saveActiveTimersInBackground(timers);
    ASSERT_TRUE(spy.wait(5000));
    EXPECT_EQ(storedTimers(prefs), timers);
}

TEST_F(PersistenceServiceTest, NewerBackgroundSaveSupersedesOlder) {
    QList<QList<TimerItem>> written;
    QObject::connect(&prefs, &Preferences::changed, [&](const QString& k) {
        if (k == key(PersistenceService::kActiveTimersKey)) {
            written << storedTimers(prefs);
        }
    });
    QList<TimerItem> big;
    for (int i = 0; i < 20000; ++i) {
        big << timer(TimerState::running);
    }
    const QList<TimerItem> newer{timer(TimerState::paused)};
    service->saveActiveTimersInBackground(big);
    service->saveActiveTimersInBackground(newer);
    service->waitForBackgroundSaves();
    QCoreApplication::processEvents(); // queued completions must not store anything older afterwards
    ASSERT_FALSE(written.isEmpty());
    EXPECT_EQ(written.last(), newer);
    EXPECT_EQ(storedTimers(prefs), newer);
}

TEST_F(PersistenceServiceTest, SynchronousSaveOrClearWinsOverBackgroundSaveInFlight) {
    QList<TimerItem> big;
    for (int i = 0; i < 20000; ++i) {
        big << timer(TimerState::running);
    }
    const QList<TimerItem> atQuit{timer(TimerState::paused)};
    service->saveActiveTimersInBackground(big);
    service->saveActiveTimers(atQuit);
    service->waitForBackgroundSaves();
    QCoreApplication::processEvents();
    EXPECT_EQ(storedTimers(prefs), atQuit);

    service->saveActiveTimersInBackground(big);
    service->clearActiveTimers();
    service->waitForBackgroundSaves();
    QCoreApplication::processEvents();
    EXPECT_FALSE(prefs.contains(key(PersistenceService::kActiveTimersKey)));

    // Anyone else's write of the key counts too.
    service->saveActiveTimersInBackground(big);
    prefs.setData(key(PersistenceService::kActiveTimersKey), QByteArray("[]"));
    service->waitForBackgroundSaves();
    QCoreApplication::processEvents();
    EXPECT_EQ(prefs.dataValue(key(PersistenceService::kActiveTimersKey)), QByteArray("[]"));
}

TEST(PersistenceServiceFile, FlushStoresTheBackgroundSaveAndWritesTheFile) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("prefs.json"));
    const QList<TimerItem> timers{timer(TimerState::running), timer(TimerState::idle, 5)};
    {
        Preferences prefs(path);
        PersistenceService service(prefs);
        service.saveActiveTimersInBackground(timers);
        service.flush();
    }
    Preferences reread(path);
    PersistenceService service(reread);
    const QList<TimerItem> loaded = service.loadActiveTimers();
    ASSERT_EQ(loaded.size(), 2);
    EXPECT_EQ(loaded[0].state, TimerState::paused);
    EXPECT_EQ(loaded[1], timers[1]);
}

} // namespace
