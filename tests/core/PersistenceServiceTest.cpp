#include "core/PersistenceService.h"

#include "core/AppSettings.h"
#include "core/HistoryManager.h"
#include "core/JsonCoding.h"
#include "core/StoredListLoader.h"
#include "core/TimerManager.h"
#include "platform/Preferences.h"
#include "support/LogCapture.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimeZone>

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using namespace Qt::StringLiterals;
using PS = PersistenceService;

const QDateTime kNow(QDate(2025, 3, 1), QTime(9, 0), QTimeZone::utc());

QString key(const char* name) {
    return QString::fromLatin1(name);
}

TimerItem timer(TimerState state, qint64 seconds = 60) {
    return TimerItem::make(QUuid::createUuid(), u"t"_s, seconds, state, false, std::nullopt, std::nullopt,
                           kNow);
}

// Enough timers that encoding them in the background is still running when the next call comes.
QList<TimerItem> manyTimers() {
    return QList<TimerItem>(20000, timer(TimerState::running));
}

QList<TimerItem> storedTimers(const Preferences& prefs) {
    const auto data = prefs.dataValue(key(PS::kActiveTimersKey));
    return data ? TimerItem::decodeList(*data).value_or(QList<TimerItem>{}) : QList<TimerItem>{};
}

template <class T> QList<QUuid> ids(const QList<T>& records) {
    QList<QUuid> out;
    for (const T& record : records) {
        out << record.id;
    }
    return out;
}

class PersistenceServiceTest : public ::testing::Test {
protected:
    PersistenceServiceTest() {
        prefs.setInt(key(PS::kSchemaVersionKey), 2); // so construction logs nothing
        service = std::make_unique<PersistenceService>(prefs, [] { return kNow; });
    }
    // Lets a background save in flight finish and its queued completion run.
    void settle() {
        service->waitForBackgroundSaves();
        QCoreApplication::processEvents();
    }

    Preferences prefs;
    LogCapture log;
    std::unique_ptr<PersistenceService> service;
};

TEST_F(PersistenceServiceTest, EmptyStoreOrALastDurationOfAnotherTypeGiveDefaultsWithoutLogging) {
    auto expectDefaultsWithoutLogging = [&] {
        EXPECT_EQ(service->loadPresets(), TimerPreset::defaultPresets());
        EXPECT_EQ(service->loadSequences(), TimerSequence::defaultSequences());
        EXPECT_TRUE(service->loadActiveTimers().isEmpty());
        EXPECT_TRUE(service->loadScheduledTimers().isEmpty());
        EXPECT_FALSE(service->loadActiveSequenceID());
        EXPECT_EQ(service->loadLastDuration(), 1500);
        EXPECT_TRUE(log.lines().isEmpty());
    };
    expectDefaultsWithoutLogging();
    // Nothing writes over the last duration, so a value of another type is only read as absent.
    prefs.setString(key(PS::kLastDurationKey), u"90"_s);
    expectDefaultsWithoutLogging();
    EXPECT_EQ(prefs.stringValue(key(PS::kLastDurationKey)), u"90"_s);
}

// The engine's stores over one preferences store, as at start-up.
struct Stores {
    explicit Stores(const QString& path = {}) : prefs(path) {}
    Preferences prefs;
    bool versioned = (prefs.setInt(key(PS::kSchemaVersionKey), 2), true); // so construction logs nothing
    PersistenceService service{prefs, [] { return kNow; }};
    AppSettings settings{prefs};
    HistoryManager history{prefs, settings, [] { return kNow; }};
};

// Each stored list as the tests drive it: the ids of the records loading gives, how many records the
// default has, the write that comes next in use, and whether records are found by id.
struct StoredList {
    const char* behaviour;
    QString key;
    QString context; // as log lines give it
    QString name;
    QByteArray sample; // two records that read
    std::function<QList<QUuid>(Stores&)> load;
    qsizetype defaults;
    std::function<void(Stores&)> writeNext;
    bool foundById = true;
};

std::vector<StoredList> storedLists() {
    const auto t = [](const char* title) {
        return TimerItem::make(QUuid::createUuid(), QString::fromUtf8(title), 60, TimerState::running, false,
                               std::nullopt, std::nullopt, kNow);
    };
    const QList<TimerPreset> presets{{QUuid::createUuid(), u"Tea"_s, 180},
                                     {QUuid::createUuid(), u"Nap"_s, 1200}};
    const QList<ScheduledTimer> scheduled{{QUuid::createUuid(), kNow.addSecs(60), 60, u"m"_s, true},
                                          {QUuid::createUuid(), kNow.addSecs(90), 60, u"n"_s, true}};
    const QList<TimerHistoryEntry> history{TimerHistoryEntry::make(u"x"_s, 60, kNow),
                                           TimerHistoryEntry::make(u"y"_s, 60, kNow)};
    const QString ps = u"PersistenceService"_s;
    return {
        // What start-up does with the timer list: load it, remove it, then save as timers change.
        {"timers", key(PS::kActiveTimersKey), ps, u"activeTimers"_s, *TimerItem::encodeList({t("a"), t("b")}),
         [](Stores& s) { return ids(s.service.loadActiveTimers()); }, 0,
         [t](Stores& s) {
             s.service.clearActiveTimers();
             s.service.saveActiveTimersInBackground({t("c")});
             s.service.waitForBackgroundSaves();
             s.service.saveActiveTimers({t("c")});
         }},
        {"presets", key(PS::kPresetsKey), ps, u"presets"_s, *TimerPreset::encodeList(presets),
         [](Stores& s) { return ids(s.service.loadPresets()); }, 3,
         [](Stores& s) { s.service.savePresets(TimerPreset::defaultPresets().mid(1)); }},
        {"sequences", key(PS::kSequencesKey), ps, u"sequences"_s,
         *TimerSequence::encodeList({TimerSequence::blank(), TimerSequence::blank()}),
         [](Stores& s) { return ids(s.service.loadSequences()); }, 3,
         [](Stores& s) { s.service.saveSequences({TimerSequence::blank()}); }},
        {"scheduled timers", key(PS::kScheduledTimersKey), ps, u"scheduledTimers"_s,
         *ScheduledTimer::encodeList(scheduled),
         [](Stores& s) { return ids(s.service.loadScheduledTimers()); }, 0,
         [](Stores& s) { s.service.saveScheduledTimers({}); }},
        {"history", HistoryManager::historyKey, u"HistoryManager"_s, u"history"_s,
         *TimerHistoryEntry::encodeList(history), [](Stores& s) { return ids(s.history.loadHistory()); }, 0,
         [](Stores& s) { s.history.log(u"z"_s, 60); }, false},
    };
}

// A value the store reads from `json`, the text of one value in the preferences file.
QVariant fileValue(const QByteArray& json) {
    return Preferences::deserialize("{\"k\":" + json + "}").value_or(QVariantMap()).value(u"k"_s);
}

TEST(PersistenceServiceStoredValues, AnythingStoredThatDoesNotReadIsKeptAsideBeforeItIsReplaced) {
    const struct {
        const char* behaviour;
        std::function<QVariant(const QByteArray&)> form;
    } forms[] = {
        {"a plain JSON array", [](const QByteArray& list) { return fileValue(list); }},
        {"data with another member beside it",
         [](const QByteArray& list) {
             return fileValue(R"({"$data":")" + list.toBase64() + R"(","note":1})");
         }},
        {"the list as text", [](const QByteArray& list) { return QVariant(QString::fromUtf8(list)); }},
        {"data that does not decode", [](const QByteArray&) { return QVariant(QByteArray("[{\"id\":")); }},
        {"data whose text is not base64",
         [](const QByteArray&) { return fileValue(R"({"$data":"meeting notes: call Anna!"})"); }},
    };
    for (const StoredList& list : storedLists()) {
        for (const auto& form : forms) {
            SCOPED_TRACE(std::string(list.behaviour) + ": " + form.behaviour);
            Stores s;
            const QVariant stored = form.form(list.sample);
            ASSERT_TRUE(stored.isValid());
            s.prefs.setValue(list.key, stored);
            QStringList written;
            QObject::connect(&s.prefs, &Preferences::changed, [&](const QString& k) { written << k; });
            LogCapture log;

            EXPECT_EQ(list.load(s).size(), list.defaults);
            const QString kept = list.key + u".corrupt"_s;
            const QString head = u"["_s + list.context + u"] "_s;
            EXPECT_EQ(log.lines(),
                      (QStringList{head + u"Failed to decode %1, using default"_s.arg(list.name),
                                   head + u"Kept the undecodable %1 as %2"_s.arg(list.name, kept)}));
            EXPECT_EQ(log.entries().value(0).level,
                      TarvolinTimerLogger::Level::error); // warnings log as errors
            // Copied first, then removed, so the next write cannot reach the only copy.
            EXPECT_EQ(written, (QStringList{kept, list.key}));
            EXPECT_EQ(s.prefs.value(kept), stored);
            log.clear();
            EXPECT_EQ(list.load(s).size(), list.defaults); // nothing left to read, nothing more to say
            EXPECT_TRUE(log.lines().isEmpty());
            list.writeNext(s);
            EXPECT_EQ(s.prefs.value(kept), stored);
        }
    }
    // The active sequence's id is written over when a sequence is applied or removed.
    for (const QVariant& stored : {QVariant(qint64(5)), QVariant(u"not-a-uuid"_s)}) {
        Stores s;
        s.prefs.setValue(key(PS::kActiveSequenceIDKey), stored);
        LogCapture log;
        EXPECT_FALSE(s.service.loadActiveSequenceID());
        EXPECT_EQ(log.lines().size(), 2);
        s.service.saveActiveSequenceID(QUuid::createUuid());
        EXPECT_EQ(s.prefs.value(key(PS::kActiveSequenceIDKey) + u".corrupt"_s), stored);
    }
}

TEST(PersistenceServiceStoredValues, AFailedCopyLeavesTheStoredValueAsItIsThroughTheWritesAfter) {
    QTemporaryDir dir;
    // So long a name that a copy beside it, which adds the key to it, cannot be made.
    const QString path = dir.filePath(QString(235, u'p') + u".json"_s);
    for (const StoredList& list : storedLists()) {
        const struct {
            const char* behaviour;
            QVariant stored;
            qsizetype loaded; // 0: as much as the default has
            QString firstLine;
        } rows[] = {
            {"not a data value", fileValue(list.sample), 0,
             u"Failed to decode %1, using default"_s.arg(list.name)},
            {"cut inside its second record", list.sample.left(list.sample.size() - 5), 1,
             u"Restored 1 %1 and set aside 1 that could not be read; could not copy the stored value aside"_s
                 .arg(list.name)},
        };
        for (const auto& row : rows) {
            SCOPED_TRACE(std::string(list.behaviour) + ": " + row.behaviour);
            QFile::remove(path);
            {
                Preferences file(path);
                file.setValue(list.key, row.stored);
            }
            LogCapture log;
            {
                Stores s(path);
                EXPECT_EQ(list.load(s).size(), row.loaded ? row.loaded : list.defaults);
                list.writeNext(s);
                list.writeNext(s);
                EXPECT_TRUE(s.prefs.flush());
            }
            QStringList expected{u"[%1] "_s.arg(list.context) + row.firstLine};
            if (!row.loaded) {
                expected << u"[%1] Could not copy the undecodable %2 aside; it stays stored as it is"_s.arg(
                    list.context, list.name);
            }
            EXPECT_EQ(log.linesFrom(list.context), expected);
            EXPECT_EQ(
                log.linesFrom(u"Preferences"_s).value(0),
                u"[Preferences] Could not keep a copy of the stored value of %1 (File name too long); %2 "
                "keeps it as it is until a copy can be made"_s.arg(list.key, path));
            // The file still holds the stored value, whatever was saved over it since.
            EXPECT_EQ(Preferences(path).value(list.key), row.stored);
        }
    }
}

TEST(PersistenceServiceStoredValues, ARepeatedIdIsRenewedWhereRecordsAreFoundById) {
    for (const StoredList& list : storedLists()) {
        // Timers: cancelling one would remove the other; presets: one hotkey would start both; sequences:
        // removing one would remove both; scheduled timers: the first to fire would take the other along.
        // Nothing finds a history entry by its id.
        SCOPED_TRACE(list.behaviour);
        Stores s;
        s.prefs.setData(list.key, list.sample);
        const QList<QUuid> own = list.load(s);
        ASSERT_EQ(own.size(), 2);
        const QByteArray stored =
            QByteArray(list.sample)
                .replace(JsonCoding::uuidText(own[1]).toLatin1(), JsonCoding::uuidText(own[0]).toLatin1());
        s.prefs.setData(list.key, stored);
        LogCapture log;
        const QList<QUuid> loaded = list.load(s);
        ASSERT_EQ(loaded.size(), 2);
        EXPECT_EQ(loaded[0], own[0]); // the first keeps its id
        if (!list.foundById) {
            EXPECT_EQ(loaded[1], own[0]);
            EXPECT_TRUE(log.lines().isEmpty());
            EXPECT_EQ(s.prefs.dataValue(list.key), stored);
            continue;
        }
        EXPECT_NE(loaded[1], own[0]);
        EXPECT_FALSE(loaded[1].isNull());
        const QString kept = list.key + u".corrupt"_s;
        EXPECT_EQ(log.lines(), QStringList{u"[PersistenceService] Gave 1 of the stored %1 a new id, as an "
                                           u"earlier one had the same; kept the stored value as %2"_s.arg(
                                               list.name, kept)});
        EXPECT_EQ(s.prefs.dataValue(kept), stored);
        // Stored back as mended: the next start reads the same ids and has nothing to say.
        log.clear();
        EXPECT_EQ(list.load(s), loaded);
        EXPECT_TRUE(log.lines().isEmpty());
    }
}

// The text of one record as it sits inside its stored list.
template <class T> QByteArray recordText(const T& record) {
    const QByteArray list = *T::encodeList({record});
    return list.mid(1, list.size() - 2);
}

TEST_F(PersistenceServiceTest, ADamagedListGivesBackEveryRecordThatReads) {
    const QList<TimerItem> t{timer(TimerState::idle), timer(TimerState::paused), timer(TimerState::finished)};
    QList<TimerSequence> s{TimerSequence::blank(), TimerSequence::blank()};
    s[1].name = u"BAD"_s;
    const QByteArray whole = *TimerItem::encodeList(t);
    const auto timersAre = [&](QList<TimerItem> expected) {
        return [&, expected] { return service->loadActiveTimers() == expected; };
    };
    const struct {
        const char* behaviour;
        const char* storageKey;
        QByteArray stored;
        std::function<bool()> givesBackTheReadableRecords;
        qsizetype restored;
        qsizetype setAside;
    } rows[] = {
        {"a title of invalid UTF-8", PS::kActiveTimersKey,
         "[" + recordText(t[0]) + "," + recordText(t[1]).replace("\"t\"", "\"\xFF\xFE\"") + "," +
             recordText(t[2]) + "]",
         timersAre({t[0], t[2]}), 2, 1},
        {"a record without a key it needs", PS::kActiveTimersKey,
         "[" + recordText(t[0]) + R"(,{"id":"8F14E45F-CEEA-467F-A0E6-1A2B3C4D5E6F"},)" + recordText(t[2]) +
             "]",
         timersAre({t[0], t[2]}), 2, 1},
        {"a list cut short inside a record", PS::kActiveTimersKey, whole.left(whole.size() - 20),
         timersAre({t[0], t[1]}), 2, 1},
        {"a list cut just after a record", PS::kActiveTimersKey, whole.left(whole.size() - 1), timersAre(t),
         3, 0},
        {"a sequence name of invalid UTF-8", PS::kSequencesKey,
         TimerSequence::encodeList(s)->replace("\"BAD\"", "\"\xC0\xAF\""),
         [&] { return service->loadSequences() == QList{s[0]}; }, 1, 1},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.behaviour);
        const QString kept = key(row.storageKey) + u".corrupt"_s;
        prefs.remove(kept);
        prefs.setData(key(row.storageKey), row.stored);
        log.clear();
        EXPECT_TRUE(row.givesBackTheReadableRecords());
        const QString name = row.storageKey == PS::kSequencesKey ? u"sequences"_s : u"activeTimers"_s;
        EXPECT_EQ(log.lines(), QStringList{u"[PersistenceService] Restored %1 %2 and set aside %3 that could "
                                           u"not be read; kept the stored value as %4"_s.arg(row.restored)
                                               .arg(name)
                                               .arg(row.setAside)
                                               .arg(kept)});
        // The whole damaged value is kept; the key now holds what was restored, so the next start is clean.
        EXPECT_EQ(prefs.dataValue(kept), row.stored);
        log.clear();
        EXPECT_TRUE(row.givesBackTheReadableRecords());
        EXPECT_TRUE(log.lines().isEmpty());
    }
}

// Changes each character of the base64 text `list` is stored as in the preferences file, in turn, and loads
// the list: every record whose bytes the change does not reach comes back, in order. A character stands for
// bits of one group of three bytes, and reaches no further. A sign of the alphabet makes other text that
// reads, so what it reaches reads as stored; any other sign costs the records it reaches, and none of them
// comes back changed: the stored value is kept aside as it was.
template <class T> void expectAChangedCharacterToCostOnlyTheRecordsItReaches(const QList<T>& list) {
    QByteArray whole = "[";
    QList<std::pair<qsizetype, qsizetype>> spans; // where each record's text begins and ends
    for (const T& record : list) {
        if (whole.size() > 1) {
            whole += ',';
        }
        const QByteArray text = recordText(record);
        spans.push_back({whole.size(), whole.size() + text.size()});
        whole += text;
    }
    whole += ']';
    ASSERT_EQ(T::encodeList(list), whole);
    const QByteArray alphabet("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/");
    const auto shifted = [&alphabet](int shift) {
        return [&alphabet, shift](char c) { return alphabet.mid((alphabet.indexOf(c) + shift) % 64, 1); };
    };
    const auto into = [](const char* text) { return [text](char) { return QByteArray(text); }; };
    // What the character becomes, as the file's text has it.
    const struct {
        const char* behaviour;
        std::function<QByteArray(char)> change;
        bool readable;
    } changes[] = {
        {"the next character of the alphabet", shifted(1), true},
        {"a character far along the alphabet", shifted(27), true},
        {"a sign outside the alphabet", into("!"), false},
        {"a sign of the URL-safe alphabet", into("-"), false},
        {"a padding sign before the end", into("="), false},
        {"a letter of several UTF-8 bytes", into("é"), false},
        {"an escaped control character", into("\\u0001"), false},
    };
    const QByteArray base64 = whole.toBase64();
    for (qsizetype at = 0; at < base64.size() && base64[at] != '='; ++at) {
        for (const auto& [behaviour, change, readable] : changes) {
            SCOPED_TRACE(behaviour);
            QByteArray changed = base64;
            changed.replace(at, 1, change(base64[at]));
            const QVariant stored = fileValue(R"({"$data":")" + changed + R"("})");
            ASSERT_TRUE(stored.isValid());
            Preferences prefs;
            prefs.setValue(u"k"_s, stored);
            LogCapture log;
            const QList<T> restored =
                StoredListLoader(prefs, u"test"_s)
                    .load<T>(u"k"_s, u"list"_s, &T::readList, &T::encodeList, [](T&) { return false; })
                    .value_or(QList<T>());
            const qsizetype group = at / 4 * 3;
            QList<T> untouched;
            qsizetype reached = 0;
            for (qsizetype i = 0; i < list.size(); ++i) {
                if (spans[i].first < group + 3 && spans[i].second > group) {
                    ++reached;
                } else {
                    untouched << list[i];
                }
            }
            QList<T> restoredUntouched;
            qsizetype next = 0; // every record that comes back is one of the list's, in its place
            for (const T& record : restored) {
                const qsizetype found = list.indexOf(record, next);
                EXPECT_TRUE(readable || found >= 0) << "a record changed by character " << at;
                next = std::max(next, found + 1);
                if (untouched.contains(record)) {
                    restoredUntouched << record;
                }
            }
            EXPECT_EQ(restoredUntouched, untouched) << "character " << at;
            EXPECT_LE(restored.size(), untouched.size() + reached) << "character " << at;
            if (!readable) {
                EXPECT_EQ(prefs.value(u"k.corrupt"_s), stored) << "character " << at;
                EXPECT_EQ(log.lines().size(), restored.isEmpty() ? 2 : 1) << "character " << at;
            }
        }
    }
}

TEST(PersistenceServiceDamage, OneChangedCharacterOfAStoredListCostsOnlyTheRecordsItReaches) {
    // Titles full of the characters that give a list its structure, so changed bytes often become one.
    const char* const titles[] = {"Tea",
                                  R"(a "quoted", {braced} [title])",
                                  R"(back\slash)",
                                  "茶 ☕",
                                  "",
                                  R"(}, {"id": "x"})",
                                  "comma,colon:",
                                  "Focus"};
    QList<TimerItem> timers;
    for (int i = 0; i < 20; ++i) {
        TimerItem item =
            TimerItem::make(QUuid::createUuid(), QString::fromUtf8(titles[i % 8]), 60 + i, TimerState(i % 4),
                            i % 5 == 0, i % 5 == 0 ? std::optional(kNow.addSecs(600 + i)) : std::nullopt,
                            i % 3 == 0 ? std::optional(u"Focus"_s) : std::nullopt, kNow.addMSecs(i));
        timers << item;
    }
    expectAChangedCharacterToCostOnlyTheRecordsItReaches(timers);

    // Records with records inside: a step is no sequence.
    QList<TimerSequence> sequences;
    for (int i = 0; i < 8; ++i) {
        TimerSequence sequence = TimerSequence::blank();
        sequence.name = QString::fromUtf8(titles[i]);
        sequences << sequence;
    }
    expectAChangedCharacterToCostOnlyTheRecordsItReaches(sequences);
}

TEST(PersistenceServiceDamage, AFileCutInsideAStoredListGivesBackTheRecordsWhollyBeforeTheCut) {
    QList<TimerPreset> presets;
    for (int i = 1; i <= 4; ++i) {
        presets << TimerPreset{QUuid::createUuid(), u"Preset %1"_s.arg(i), 60 * i};
    }
    const QByteArray list = *TimerPreset::encodeList(presets);
    QList<qsizetype> ends; // where each record's text ends in the list
    for (const TimerPreset& preset : presets) {
        const QByteArray text = recordText(preset);
        ends << list.indexOf(text) + text.size();
    }
    const QString storageKey = key(PS::kPresetsKey);
    const QByteArray file = Preferences::serialize({{storageKey, list}});
    const qsizetype value = file.indexOf(R"({"$data")");
    const qsizetype text = file.indexOf('"', value + 8) + 1;
    const qsizetype quote = file.indexOf('"', text);
    QTemporaryDir dir;
    const QString path = dir.filePath(u"p.json"_s);
    // Every cut from inside the text to the file's closing brace: the text, its closing quote or braces lost.
    for (qsizetype cut = text; cut < file.lastIndexOf('}'); ++cut) {
        SCOPED_TRACE(cut);
        for (const QString& name : QDir(dir.path()).entryList(QDir::Files)) {
            QFile::remove(dir.filePath(name));
        }
        QFile cutCopy(path);
        ASSERT_TRUE(cutCopy.open(QIODevice::WriteOnly));
        cutCopy.write(file.left(cut));
        cutCopy.close();
        LogCapture log;
        Stores s(path);
        const qsizetype decoded = std::min(list.size(), (std::min(cut, quote) - text) * 6 / 8);
        const auto whole =
            qsizetype(std::count_if(ends.begin(), ends.end(), [&](qsizetype end) { return end <= decoded; }));
        EXPECT_EQ(s.service.loadPresets(), whole > 0 ? presets.first(whole) : TimerPreset::defaultPresets());
        if (whole < presets.size()) {
            EXPECT_EQ(log.linesFrom(u"PersistenceService"_s).size(), whole > 0 ? 1 : 2);
            QFile kept(path + u"."_s + storageKey + u".corrupt"_s);
            ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
            EXPECT_EQ(kept.readAll(), file.mid(value, cut - value)); // exactly as the file held it
        }
    }
}

TEST_F(PersistenceServiceTest, StoredNumbersOutOfRangeAreHeldToWhatAddingAllows) {
    constexpr qint64 huge = 1'000'000'000'000'000'000;
    TimerItem big = timer(TimerState::paused), over = timer(TimerState::paused),
              none = timer(TimerState::paused), fine = timer(TimerState::paused),
              negative = timer(TimerState::paused);
    big.totalDuration = big.remaining = huge;
    over.remaining = 90;
    none.totalDuration = none.remaining = 0;
    negative.remaining = -5;
    TimerSequence sequence = TimerSequence::blank();
    sequence.steps[0].minutes = 0;
    sequence.steps[1].minutes = 5000;
    const struct {
        const char* behaviour;
        const char* name; // as the log line gives it
        int held;
        std::function<void()> store;
        std::function<QString()> load;
        QString expected;
    } rows[] = {
        {"timers: no more than the longest, no more left than the length nor less than none, one second at "
         "least",
         "activeTimers", 4,
         [&] {
             service->saveActiveTimers({big, over, none, fine, negative});
         },
         [&] {
             QStringList out;
             for (const TimerItem& t : service->loadActiveTimers()) {
                 out << u"%1/%2"_s.arg(t.totalDuration).arg(t.remaining);
             }
             return out.join(u' ');
         },
         u"86399913600/86399913600 60/60 1/0 60/60 60/0"_s},
        {"presets: one minute up to the longest timer", "presets", 2,
         [&] {
             service->savePresets({{QUuid::createUuid(), u"a"_s, huge}, {QUuid::createUuid(), u"b"_s, 0}});
         },
         [&] {
             const auto p = service->loadPresets();
             return u"%1 %2"_s.arg(p.value(0).durationInSeconds).arg(p.value(1).durationInSeconds);
         },
         u"86399913600 60"_s},
        {"sequence steps: the editor's minutes", "sequences", 1, [&] { service->saveSequences({sequence}); },
         [&] { return service->loadSequences().value(0).stepsSummary(); }, u"1 · 999"_s},
        {"scheduled timers: one second at least", "scheduledTimers", 1,
         [&] {
             service->saveScheduledTimers({{QUuid::createUuid(), kNow.addSecs(60), -5, u"m"_s, true}});
         },
         [&] { return QString::number(service->loadScheduledTimers().value(0).durationInSeconds); }, u"1"_s},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.behaviour);
        row.store();
        log.clear();
        EXPECT_EQ(row.load(), row.expected);
        EXPECT_EQ(
            log.lines(),
            QStringList{u"[PersistenceService] Brought %1 of the stored %2 within range"_s.arg(row.held).arg(
                QLatin1String(row.name))});
        // Stored back as held: the next load has nothing to change.
        log.clear();
        EXPECT_EQ(row.load(), row.expected);
        EXPECT_TRUE(log.lines().isEmpty());
    }
}

TEST_F(PersistenceServiceTest, ListsRoundTripAsDataValuesAndStoredEmptyListsStayEmpty) {
    const QList<TimerPreset> presets{{QUuid::createUuid(), u"Tea"_s, 180}};
    const QList<TimerSequence> sequences{TimerSequence::blank()};
    const QList<TimerItem> timers{timer(TimerState::idle), timer(TimerState::finished)};
    service->savePresets(presets);
    service->saveSequences(sequences);
    service->saveActiveTimers(timers);
    EXPECT_EQ(service->loadPresets(), presets);
    EXPECT_EQ(service->loadSequences(), sequences);
    EXPECT_EQ(service->loadActiveTimers(), timers);
    EXPECT_EQ(TimerPreset::decodeList(*prefs.dataValue(key(PS::kPresetsKey))), presets);

    service->savePresets({});
    service->saveSequences({});
    EXPECT_EQ(prefs.dataValue(key(PS::kPresetsKey)), QByteArray("[]"));
    EXPECT_TRUE(service->loadPresets().isEmpty());
    EXPECT_TRUE(service->loadSequences().isEmpty());
    EXPECT_TRUE(log.lines().isEmpty());
}

TEST_F(PersistenceServiceTest, RunningTimersComeBackPausedInOrder) {
    const QList<TimerItem> saved{timer(TimerState::running), timer(TimerState::paused),
                                 timer(TimerState::finished), timer(TimerState::idle)};
    service->saveActiveTimers(saved);
    QList<TimerItem> expected = saved;
    expected[0].state = TimerState::paused;
    EXPECT_EQ(service->loadActiveTimers(), expected);
    service->clearActiveTimers();
    EXPECT_FALSE(prefs.contains(key(PS::kActiveTimersKey)));
}

TEST_F(PersistenceServiceTest, ScheduledEntriesInThePastAreLeftOut) {
    auto entry = [](QDateTime at) { return ScheduledTimer{QUuid::createUuid(), at, 60, u"m"_s, true}; };
    const QList<ScheduledTimer> stored{entry(kNow.addSecs(-1)), entry(kNow), entry(kNow.addSecs(30))};
    service->saveScheduledTimers(stored);
    EXPECT_EQ(service->loadScheduledTimers(), (QList<ScheduledTimer>{stored[1], stored[2]}));
    EXPECT_EQ(ScheduledTimer::decodeList(*prefs.dataValue(key(PS::kScheduledTimersKey))), stored);
}

TEST_F(PersistenceServiceTest, ActiveSequenceIdIsUpperCaseTextAndRemovedWhenNone) {
    const QString k = key(PS::kActiveSequenceIDKey);
    const QUuid id = QUuid::createUuid();
    service->saveActiveSequenceID(id);
    EXPECT_EQ(prefs.stringValue(k), JsonCoding::uuidText(id));
    EXPECT_EQ(service->loadActiveSequenceID(), id);
    service->saveActiveSequenceID(std::nullopt);
    EXPECT_FALSE(prefs.contains(k));
    EXPECT_FALSE(service->loadActiveSequenceID());
    prefs.setString(k, u"not-a-uuid"_s);
    EXPECT_FALSE(service->loadActiveSequenceID());
    prefs.setString(k, JsonCoding::uuidText(id).toLower());
    EXPECT_EQ(service->loadActiveSequenceID(), id);
}

TEST_F(PersistenceServiceTest, LastDurationCountsOnlyFromOneSecondAndIsHeldToTheLongestTimer) {
    constexpr qint64 longest = TimerManager::maxDuration;
    const struct {
        const char* behaviour;
        qint64 stored;
        qint64 loaded;
        qint64 storedAfter;
        bool logs;
    } rows[] = {
        {"none: the default", 0, 1500, 0, false},
        {"less than none: the default", -5, 1500, -5, false},
        {"one second", 1, 1, 1, false},
        {"nine seconds", 9, 9, 9, false},
        {"the longest timer", longest, longest, longest, false},
        {"longer than any timer: held to the longest and stored so", 1'000'000'000'000'000'000, longest,
         longest, true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.behaviour);
        prefs.setInt(key(PS::kLastDurationKey), row.stored);
        log.clear();
        EXPECT_EQ(service->loadLastDuration(), row.loaded);
        EXPECT_EQ(prefs.intValue(key(PS::kLastDurationKey)), row.storedAfter);
        EXPECT_EQ(log.lines(),
                  row.logs
                      ? QStringList{u"[PersistenceService] Brought the stored lastDuration within range"_s}
                      : QStringList());
    }
}

TEST_F(PersistenceServiceTest, EncodeFailureKeepsTheOldValueAndLogsAnError) {
    service->saveActiveTimers({timer(TimerState::idle)});
    const QByteArray before = *prefs.dataValue(key(PS::kActiveTimersKey));
    TimerItem broken = timer(TimerState::idle);
    broken.createdAt = QDateTime();
    service->saveActiveTimers({broken});
    EXPECT_EQ(prefs.dataValue(key(PS::kActiveTimersKey)), before);
    service->saveScheduledTimers({{QUuid::createUuid(), QDateTime(), 1, QString(), true}});
    EXPECT_FALSE(prefs.contains(key(PS::kScheduledTimersKey)));
    ASSERT_EQ(log.entries().size(), 2);
    EXPECT_TRUE(log.lines()[0].startsWith(u"[PersistenceService] Failed to encode activeTimers: "_s));
    EXPECT_TRUE(log.lines()[1].startsWith(u"[PersistenceService] Failed to encode scheduledTimers: "_s));
    EXPECT_EQ(log.entries()[0].level, TarvolinTimerLogger::Level::error);
}

TEST(PersistenceServiceSchema, BumpsToTwoOnceWithOneInfoLine) {
    struct Case {
        std::optional<QVariant> stored;
        qint64 expected;
        bool logs;
    };
    for (const Case& c : {Case{std::nullopt, 2, true}, Case{QVariant(qint64(1)), 2, true},
                          Case{QVariant(qint64(2)), 2, false}, Case{QVariant(qint64(3)), 3, false},
                          Case{QVariant(u"3"_s), 2, true}}) {
        Preferences prefs;
        if (c.stored) {
            prefs.setValue(key(PS::kSchemaVersionKey), *c.stored);
        }
        LogCapture log;
        PersistenceService service(prefs);
        EXPECT_EQ(prefs.intValue(key(PS::kSchemaVersionKey)), c.expected);
        const QStringList expectedLines{u"[PersistenceService] Schema bumped to v2"_s};
        EXPECT_EQ(log.lines(), c.logs ? expectedLines : QStringList());
        for (const auto& entry : log.entries()) {
            EXPECT_EQ(entry.level, TarvolinTimerLogger::Level::info);
        }
    }
}

// --- Saving the timer list off the UI thread ----------------------------------------------------------

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
        if (k == key(PS::kActiveTimersKey)) {
            written << storedTimers(prefs);
        }
    });
    const QList<TimerItem> newer{timer(TimerState::paused)};
    service->saveActiveTimersInBackground(manyTimers());
    service->saveActiveTimersInBackground(newer);
    settle(); // queued completions must not store anything older afterwards
    ASSERT_FALSE(written.isEmpty());
    EXPECT_EQ(written.last(), newer);
    EXPECT_EQ(storedTimers(prefs), newer);
}

TEST_F(PersistenceServiceTest, SynchronousSaveOrClearWinsOverBackgroundSaveInFlight) {
    const QList<TimerItem> atQuit{timer(TimerState::paused)};
    service->saveActiveTimersInBackground(manyTimers());
    service->saveActiveTimers(atQuit);
    settle();
    EXPECT_EQ(storedTimers(prefs), atQuit);

    service->saveActiveTimersInBackground(manyTimers());
    service->clearActiveTimers();
    settle();
    EXPECT_FALSE(prefs.contains(key(PS::kActiveTimersKey)));

    // Anyone else's write of the key counts too.
    service->saveActiveTimersInBackground(manyTimers());
    prefs.setData(key(PS::kActiveTimersKey), QByteArray("[]"));
    settle();
    EXPECT_EQ(prefs.dataValue(key(PS::kActiveTimersKey)), QByteArray("[]"));
}

TEST(PersistenceServiceFile, FlushStoresTheBackgroundSaveAndWritesTheFile) {
    QTemporaryDir dir;
    const QString path = dir.filePath(u"prefs.json"_s);
    const QList<TimerItem> timers{timer(TimerState::running), timer(TimerState::idle, 5)};
    {
        Preferences prefs(path);
        PersistenceService service(prefs);
        service.saveActiveTimersInBackground(timers);
        service.flush();
    }
    Preferences reread(path);
    QList<TimerItem> expected = timers;
    expected[0].state = TimerState::paused;
    EXPECT_EQ(PersistenceService(reread).loadActiveTimers(), expected);
}

} // namespace
