// The stored JSON forms of the engine's records, and the pieces they are built from.
#include "core/JsonCoding.h"
#include "core/ScheduledTimer.h"
#include "core/TimerHistoryEntry.h"
#include "core/TimerItem.h"
#include "core/TimerPreset.h"

#include <QTimeZone>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

namespace {

using ordered_json = nlohmann::ordered_json;

const QUuid kId = QUuid::fromString(QStringLiteral("8f14e45f-ceea-467f-a0e6-1a2b3c4d5e6f"));
// 100.25 s after 2001-01-01 00:00:00 UTC.
const QDateTime kCreated = QDateTime(QDate(2001, 1, 1), QTime(0, 1, 40, 250), QTimeZone::utc());

std::vector<std::string> keysOf(const ordered_json& object) {
    std::vector<std::string> keys;
    for (auto it = object.begin(); it != object.end(); ++it) {
        keys.push_back(it.key());
    }
    return keys;
}

ordered_json parse(const QByteArray& bytes) {
    return ordered_json::parse(bytes.constData(), bytes.constData() + bytes.size());
}

QByteArray dump(const ordered_json& j) {
    return QByteArray::fromStdString(j.dump());
}

TimerItem countdown() {
    TimerItem item = TimerItem::make(kId, QStringLiteral("Tea \"green\" 茶"), 300, TimerState::running, false,
                                     std::nullopt, std::nullopt, kCreated);
    item.remaining = 120;
    return item;
}

ordered_json countdownJson() {
    return parse(*TimerItem::encodeList({countdown()}))[0];
}

// --- TimerItem ---------------------------------------------------------------------------------------

TEST(TimerItemCoding, CountdownWritesSevenKeysInFieldOrder) {
    const ordered_json j = countdownJson();
    EXPECT_EQ(keysOf(j), (std::vector<std::string>{"id", "title", "totalDuration", "remaining", "state",
                                                   "createdAt", "isAlarm"}));
    EXPECT_EQ(j["id"], "8F14E45F-CEEA-467F-A0E6-1A2B3C4D5E6F");
    EXPECT_EQ(j["title"], "Tea \"green\" 茶");
    EXPECT_EQ(j["totalDuration"], 300);
    EXPECT_EQ(j["remaining"], 120);
    EXPECT_EQ(j["state"], "running");
    EXPECT_TRUE(j["createdAt"].is_number_float());
    EXPECT_DOUBLE_EQ(j["createdAt"].get<double>(), 100.25);
    EXPECT_EQ(j["isAlarm"], false);
    EXPECT_EQ(TimerItem::decodeList(*TimerItem::encodeList({countdown()})), QList<TimerItem>{countdown()});
}

TEST(TimerItemCoding, OptionalKeysComeLastAndRoundTrip) {
    TimerItem alarm = countdown();
    alarm.isAlarm = true;
    alarm.alarmTargetTime = kCreated.addSecs(3600);
    alarm.pomodoroPhase = QString(); // present but empty is not the same as absent
    alarm.state = TimerState::finished;
    const QByteArray bytes = *TimerItem::encodeList({alarm, countdown()});
    const ordered_json j = parse(bytes);
    EXPECT_EQ(keysOf(j[0]).size(), 9u);
    EXPECT_EQ(keysOf(j[0])[7], "alarmTargetTime");
    EXPECT_EQ(keysOf(j[0])[8], "pomodoroPhase");
    EXPECT_DOUBLE_EQ(j[0]["alarmTargetTime"].get<double>(), 3700.25);
    EXPECT_EQ(TimerItem::decodeList(bytes), (QList<TimerItem>{alarm, countdown()}));
    EXPECT_EQ(TimerItem::encodeList({}), QByteArray("[]"));
}

TEST(TimerItemCoding, ReadingIsLenientWhereTheFormAllows) {
    ordered_json j = countdownJson();
    j["id"] = "8f14e45f-ceea-467f-a0e6-1a2b3c4d5e6f"; // either case
    j["alarmTargetTime"] = nullptr;                   // null is none
    j["pomodoroPhase"] = nullptr;
    j["somethingNew"] = {{"nested", {1, 2}}}; // unknown keys are ignored
    j["createdAt"] = 100;                     // any JSON number for a date
    j["totalDuration"] = 300.0;               // a whole number written as floating point
    const auto decoded = TimerItem::decodeList(dump(ordered_json::array({j})));
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->at(0).id, kId);
    EXPECT_FALSE(decoded->at(0).alarmTargetTime);
    EXPECT_FALSE(decoded->at(0).pomodoroPhase);
    EXPECT_EQ(decoded->at(0).createdAt, kCreated.addMSecs(-250));
    EXPECT_EQ(decoded->at(0).totalDuration, 300);
}

TEST(TimerItemCoding, NegativeRemainingReadsAsZero) {
    ordered_json j = countdownJson();
    j["remaining"] = -5;
    const auto decoded = TimerItem::decodeList(dump(ordered_json::array({j})));
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->at(0).remaining, 0);
}

TEST(TimerItemCoding, OneBadRecordFailsTheWholeList) {
    const ordered_json good = countdownJson();
    std::vector<ordered_json> bad;
    for (const char* key : {"id", "title", "totalDuration", "remaining", "state", "createdAt", "isAlarm"}) {
        ordered_json j = good;
        j.erase(key);
        bad.push_back(j);
    }
    auto with = [&good](const char* key, ordered_json value) {
        ordered_json j = good;
        j[key] = std::move(value);
        return j;
    };
    bad.push_back(with("title", 5));
    bad.push_back(with("isAlarm", 0));
    bad.push_back(with("totalDuration", "300"));
    bad.push_back(with("totalDuration", 1.5));
    bad.push_back(with("remaining", 1e19)); // beyond 64 bits
    bad.push_back(with("createdAt", "2001-01-01"));
    bad.push_back(with("createdAt", 1e12)); // further from 2001 than any stored date
    bad.push_back(with("alarmTargetTime", "soon"));
    bad.push_back(with("pomodoroPhase", 1));
    bad.push_back(with("state", "Running"));
    bad.push_back(with("state", "done"));
    for (const char* id : {"{8F14E45F-CEEA-467F-A0E6-1A2B3C4D5E6F}", "8F14E45F-CEEA-467F-A0E6-1A2B3C4D5E6",
                           "8F14E45FCEEA467FA0E61A2B3C4D5E6F0000", "8F14E45F-CEEA-467F-A0E6-1A2B3C4D5E6G",
                           "8F14E45F+CEEA-467F-A0E6-1A2B3C4D5E6F"}) {
        bad.push_back(with("id", id));
    }
    for (const ordered_json& j : bad) {
        // The bad record second: the good first one does not save the list.
        EXPECT_FALSE(TimerItem::decodeList(dump(ordered_json::array({good, j})))) << j.dump();
    }
    for (const char* text : {"", "{}", "[1]", "[[]]", "[{}", "[{}],", "null", "[{\"id\" 1}]"}) {
        EXPECT_FALSE(TimerItem::decodeList(QByteArray(text))) << text;
    }
    EXPECT_EQ(TimerItem::decodeList(" [ ] "), QList<TimerItem>{});
}

TEST(TimerItemCoding, StringsAreStrictJsonText) {
    auto withTitle = [](const QByteArray& rawTitle) {
        ordered_json j = countdownJson();
        j.erase("title");
        QByteArray text = dump(ordered_json::array({j}));
        text.insert(text.size() - 2, QByteArray(",\"title\":") + rawTitle);
        return TimerItem::decodeList(text);
    };
    const auto escaped = withTitle(R"("a\"\\\/\b\f\n\r\t\u00e9\ud83c\udf75")");
    ASSERT_TRUE(escaped);
    EXPECT_EQ(escaped->at(0).title, QStringLiteral("a\"\\/\b\f\n\r\té🍵"));
    ASSERT_TRUE(withTitle("\"\xE8\x8C\xB6\"")); // raw UTF-8
    for (const QByteArray& bad :
         {QByteArray("\"\\ud83c\""), QByteArray("\"\\udf75\""), QByteArray("\"\xC0\xAF\""),
          QByteArray("\"\xED\xA0\x80\""), QByteArray("\"\xFF\""), QByteArray("\"a\nb\""),
          QByteArray("\"\\x41\""), QByteArray("\"\\u12\"")}) {
        EXPECT_FALSE(withTitle(bad)) << bad.constData();
    }
}

TEST(TimerItemCoding, DatesThatCannotBeStoredRefuseTheList) {
    TimerItem item = countdown();
    item.createdAt = QDateTime();
    QString error;
    EXPECT_FALSE(TimerItem::encodeList({countdown(), item}, &error));
    EXPECT_FALSE(error.isEmpty());
    item.createdAt = QDateTime(QDate(9000, 1, 1), QTime(0, 0), QTimeZone::utc());
    EXPECT_FALSE(TimerItem::encodeList({item}));
}

TEST(TimerItemText, DurationFormatChangesAtOneHourAndNeverUsesDays) {
    EXPECT_EQ(TimerItem::formatDuration(0), QStringLiteral("00:00"));
    EXPECT_EQ(TimerItem::formatDuration(59), QStringLiteral("00:59"));
    EXPECT_EQ(TimerItem::formatDuration(3599), QStringLiteral("59:59"));
    EXPECT_EQ(TimerItem::formatDuration(3600), QStringLiteral("1:00:00"));
    EXPECT_EQ(TimerItem::formatDuration(90061), QStringLiteral("25:01:01"));
    EXPECT_EQ(TimerItem::formatDuration(360000), QStringLiteral("100:00:00"));
    EXPECT_EQ(TimerItem::formatDuration(-5), QStringLiteral("00:00"));
    EXPECT_EQ(countdown().displayTime(), QStringLiteral("02:00"));
}

TEST(TimerItemText, AlarmRemainingRoundsUpAndStopsAtZero) {
    EXPECT_EQ(TimerItem::alarmRemaining(kCreated.addMSecs(200), kCreated), 1);
    EXPECT_EQ(TimerItem::alarmRemaining(kCreated.addSecs(60), kCreated), 60);
    EXPECT_EQ(TimerItem::alarmRemaining(kCreated.addMSecs(60'001), kCreated), 61);
    EXPECT_EQ(TimerItem::alarmRemaining(kCreated, kCreated), 0);
    EXPECT_EQ(TimerItem::alarmRemaining(kCreated.addSecs(-2), kCreated), 0);
}

TEST(TimerItemText, EqualityComparesEveryField) {
    TimerItem a = countdown();
    TimerItem b = countdown();
    EXPECT_EQ(a, b);
    b.pomodoroPhase = QString();
    EXPECT_NE(a, b);
    b = countdown();
    b.createdAt = b.createdAt.addMSecs(1);
    EXPECT_NE(a, b);
}

// --- Presets and sequences ---------------------------------------------------------------------------

TEST(PresetCoding, WritesAllKeysAndRoundTrips) {
    const QList<TimerPreset> presets{{kId, QStringLiteral("Tea"), 180}};
    const QByteArray bytes = *TimerPreset::encodeList(presets);
    EXPECT_EQ(bytes,
              QByteArray(
                  R"([{"id":"8F14E45F-CEEA-467F-A0E6-1A2B3C4D5E6F","name":"Tea","durationInSeconds":180}])"));
    EXPECT_EQ(TimerPreset::decodeList(bytes), presets);
    EXPECT_FALSE(TimerPreset::decodeList(R"([{"id":"8F14E45F-CEEA-467F-A0E6-1A2B3C4D5E6F","name":"Tea"}])"));
    EXPECT_FALSE(TimerPreset::decodeList(R"([{"id":"x","name":"Tea","durationInSeconds":1}])"));
}

TEST(PresetCoding, DefaultsHaveFixedIds) {
    const QList<TimerPreset>& defaults = TimerPreset::defaultPresets();
    ASSERT_EQ(defaults.size(), 3);
    EXPECT_EQ(defaults[0].name, QStringLiteral("25m"));
    EXPECT_EQ(defaults[0].durationInSeconds, 1500);
    EXPECT_EQ(defaults[1].durationInSeconds, 2700);
    EXPECT_EQ(defaults[2].durationInSeconds, 3600);
    // Fixed in the program, so a hotkey given to a default preset finds it again after a restart.
    EXPECT_EQ(JsonCoding::uuidText(defaults[0].id), QStringLiteral("77798702-F349-4F52-B37B-E4A994935413"));
    QSet<QUuid> ids;
    for (const TimerPreset& p : defaults) {
        EXPECT_FALSE(p.id.isNull());
        ids.insert(p.id);
    }
    EXPECT_EQ(ids.size(), 3);
}

TEST(PresetText, PurposeLineFollowsTheLengthBands) {
    auto purpose = [](qint64 seconds, AppLanguage language) {
        return TimerPreset{kId, QString(), seconds}.purposeDescription(language);
    };
    EXPECT_EQ(purpose(959, AppLanguage::english), QStringLiteral("For a break or small task"));
    EXPECT_EQ(purpose(-1, AppLanguage::english), QStringLiteral("For a break or small task"));
    EXPECT_EQ(purpose(960, AppLanguage::english), QStringLiteral("For a short focus session"));
    EXPECT_EQ(purpose(1859, AppLanguage::english), QStringLiteral("For a short focus session"));
    EXPECT_EQ(purpose(1860, AppLanguage::english), QStringLiteral("For a focused work block"));
    EXPECT_EQ(purpose(3659, AppLanguage::english), QStringLiteral("For a focused work block"));
    EXPECT_EQ(purpose(3660, AppLanguage::english), QStringLiteral("For a longer work session"));
    EXPECT_EQ(purpose(1500, AppLanguage::japanese), QStringLiteral("短い集中作業に"));
    EXPECT_EQ(purpose(3660, AppLanguage::japanese), QStringLiteral("長時間の作業に"));
}

TEST(SequenceCoding, StepsRoundTripAndBadKindsFailTheList) {
    const QList<TimerSequence> sequences = TimerSequence::defaultSequences();
    const QByteArray bytes = *TimerSequence::encodeList(sequences);
    const ordered_json j = parse(bytes);
    EXPECT_EQ(keysOf(j[0]), (std::vector<std::string>{"id", "name", "steps"}));
    EXPECT_EQ(keysOf(j[0]["steps"][0]), (std::vector<std::string>{"id", "kind", "minutes"}));
    EXPECT_EQ(j[0]["steps"][1]["kind"], "breakTime");
    EXPECT_EQ(TimerSequence::decodeList(bytes), sequences);

    ordered_json broken = j;
    broken[1]["steps"][1]["kind"] = "break";
    EXPECT_FALSE(TimerSequence::decodeList(dump(broken)));
    broken = j;
    broken[0]["steps"][0].erase("minutes");
    EXPECT_FALSE(TimerSequence::decodeList(dump(broken)));
    broken = j;
    broken[0]["steps"] = "none";
    EXPECT_FALSE(TimerSequence::decodeList(dump(broken)));
    EXPECT_EQ(TimerSequence::decodeList("[]"), QList<TimerSequence>{});
}

TEST(SequenceModel, DefaultsAreStableBlankIsFresh) {
    EXPECT_EQ(TimerSequence::defaultSequences(), TimerSequence::defaultSequences());
    EXPECT_EQ(TimerSequence::defaultSequences()[0].stepsSummary(), QStringLiteral("25 · 5 · 25 · 5"));
    EXPECT_EQ(TimerSequence::defaultSequences()[1].name, QStringLiteral("Deep Work"));
    const TimerSequence a = TimerSequence::blank();
    const TimerSequence b = TimerSequence::blank();
    EXPECT_NE(a.id, b.id);
    EXPECT_NE(a.steps[0].id, b.steps[0].id);
    EXPECT_TRUE(a.name.isEmpty());
    EXPECT_EQ(a.stepsSummary(), QStringLiteral("25 · 5"));
}

TEST(SequenceModel, FirstFocusAndBreakAreTheFirstMatches) {
    using K = SequenceStepKind;
    const TimerSequence breaksFirst{
        kId, QString(), {{kId, K::breakTime, 7}, {kId, K::focus, 40}, {kId, K::focus, 9}}};
    EXPECT_EQ(breaksFirst.firstFocusMinutes(), 40);
    EXPECT_EQ(breaksFirst.firstBreakMinutes(), 7);
    const TimerSequence onlyBreaks{kId, QString(), {{kId, K::breakTime, 5}}};
    EXPECT_FALSE(onlyBreaks.firstFocusMinutes());
    EXPECT_EQ(onlyBreaks.stepsSummary(), QStringLiteral("5"));
    EXPECT_EQ(TimerSequence{}.stepsSummary(), QString());
}

// --- Scheduled timers and history --------------------------------------------------------------------

TEST(ScheduledTimerCoding, FiveRequiredKeys) {
    const ScheduledTimer timer{kId, kCreated, 5400, QStringLiteral("memo"), false};
    const QByteArray bytes = *ScheduledTimer::encodeList({timer});
    const ordered_json j = parse(bytes);
    EXPECT_EQ(keysOf(j[0]), (std::vector<std::string>{"id", "scheduledTime", "durationInSeconds", "taskMemo",
                                                      "isEnabled"}));
    EXPECT_EQ(ScheduledTimer::decodeList(bytes), QList<ScheduledTimer>{timer});
    for (const char* key : {"id", "scheduledTime", "durationInSeconds", "taskMemo", "isEnabled"}) {
        ordered_json broken = j;
        broken[0].erase(key);
        EXPECT_FALSE(ScheduledTimer::decodeList(dump(broken))) << key;
    }
}

TEST(ScheduledTimerText, DurationInJapaneseHoursAndMinutes) {
    EXPECT_EQ((ScheduledTimer{kId, kCreated, 5400, {}, true}).formattedDuration(),
              QStringLiteral("1時間30分"));
    EXPECT_EQ((ScheduledTimer{kId, kCreated, 90, {}, true}).formattedDuration(), QStringLiteral("1分"));
    EXPECT_EQ((ScheduledTimer{kId, kCreated, 59, {}, true}).formattedDuration(), QStringLiteral("0分"));
    EXPECT_TRUE(ScheduledTimer::shouldFire(kCreated.addSecs(9), kCreated, 10));
    EXPECT_FALSE(ScheduledTimer::shouldFire(kCreated.addSecs(10), kCreated, 10));
    EXPECT_TRUE(ScheduledTimer::shouldFire(kCreated.addSecs(-100), kCreated, 10));
}

TEST(HistoryCoding, FourRequiredKeys) {
    const TimerHistoryEntry entry{kId, QStringLiteral("Tea"), 300, kCreated};
    const QByteArray bytes = *TimerHistoryEntry::encodeList({entry});
    const ordered_json j = parse(bytes);
    EXPECT_EQ(keysOf(j[0]), (std::vector<std::string>{"id", "title", "duration", "completedAt"}));
    EXPECT_EQ(TimerHistoryEntry::decodeList(bytes), QList<TimerHistoryEntry>{entry});
    for (const char* key : {"id", "title", "duration", "completedAt"}) {
        ordered_json broken = j;
        broken[0].erase(key);
        EXPECT_FALSE(TimerHistoryEntry::decodeList(dump(broken))) << key;
    }
    EXPECT_NE(TimerHistoryEntry::make(QString(), 1).id, TimerHistoryEntry::make(QString(), 1).id);
}

// --- Building blocks ---------------------------------------------------------------------------------

TEST(JsonCoding, DatesKeepMillisecondsAndHaveALimit) {
    for (const QDateTime& date : {kCreated, QDateTime(QDate(1970, 1, 1), QTime(0, 0, 0, 1), QTimeZone::utc()),
                                  QDateTime(QDate(2999, 12, 31), QTime(23, 59, 59, 999), QTimeZone::utc()),
                                  QDateTime(QDate(1200, 6, 1), QTime(12, 0, 0, 7), QTimeZone::utc())}) {
        const auto seconds = JsonCoding::referenceSeconds(date);
        ASSERT_TRUE(seconds);
        EXPECT_EQ(JsonCoding::dateFromReferenceSeconds(*seconds), date);
        const QByteArray bytes = *TimerHistoryEntry::encodeList({{kId, QString(), 1, date}});
        EXPECT_EQ(TimerHistoryEntry::decodeList(bytes)->at(0).completedAt, date) << bytes.constData();
    }
    EXPECT_EQ(*JsonCoding::referenceSeconds(QDateTime::fromSecsSinceEpoch(978307200, QTimeZone::utc())), 0.0);
    EXPECT_FALSE(JsonCoding::referenceSeconds(QDateTime()));
    EXPECT_FALSE(JsonCoding::dateFromReferenceSeconds(std::numeric_limits<double>::infinity()));
    EXPECT_FALSE(JsonCoding::dateFromReferenceSeconds(-2e11));
}

TEST(JsonCoding, UuidTextIsUpperCaseAndStrictInShape) {
    EXPECT_EQ(JsonCoding::uuidText(kId), QStringLiteral("8F14E45F-CEEA-467F-A0E6-1A2B3C4D5E6F"));
    EXPECT_EQ(JsonCoding::parseUuid(QStringLiteral("8f14e45f-CEEA-467f-a0e6-1a2b3c4d5e6f")), kId);
    EXPECT_EQ(JsonCoding::parseUuid(QStringLiteral("00000000-0000-0000-0000-000000000000")), QUuid());
    EXPECT_FALSE(JsonCoding::parseUuid(QStringLiteral(" 8F14E45F-CEEA-467F-A0E6-1A2B3C4D5E6")));
    EXPECT_FALSE(JsonCoding::parseUuid(QStringLiteral("8F14E45F-CEEA-467F-A0E6-1A2B3C4D5E6Ｆ")));
}

} // namespace
