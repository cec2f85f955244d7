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

using namespace Qt::StringLiterals;
using ordered_json = nlohmann::ordered_json;
using Keys = std::vector<std::string>;

const QUuid kId = QUuid::fromString(u"8f14e45f-ceea-467f-a0e6-1a2b3c4d5e6f"_s);
// 100.25 s after 2001-01-01 00:00:00 UTC.
const QDateTime kCreated = QDateTime(QDate(2001, 1, 1), QTime(0, 1, 40, 250), QTimeZone::utc());

Keys keysOf(const ordered_json& object) {
    Keys keys;
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
    TimerItem item = TimerItem::make(kId, u"Tea \"green\" 茶"_s, 300, TimerState::running, false,
                                     std::nullopt, std::nullopt, kCreated);
    item.remaining = 120;
    return item;
}
ordered_json countdownJson() {
    return parse(*TimerItem::encodeList({countdown()}))[0];
}

// Writes `keys` in that order, reads the list back, and refuses the whole list when any key is missing
// from its second record (the good first one does not save it).
template <class T> void expectKeysWrittenAndRequired(const T& record, const Keys& keys) {
    const QByteArray bytes = *T::encodeList({record, record});
    const ordered_json j = parse(bytes);
    EXPECT_EQ(keysOf(j[0]), keys);
    EXPECT_EQ(T::decodeList(bytes), (QList<T>{record, record}));
    for (const std::string& key : keys) {
        ordered_json broken = j;
        broken[1].erase(key);
        EXPECT_FALSE(T::decodeList(dump(broken))) << key;
    }
}

TEST(TimerItemCoding, CountdownWritesSevenKeysInFieldOrder) {
    expectKeysWrittenAndRequired(
        countdown(), {"id", "title", "totalDuration", "remaining", "state", "createdAt", "isAlarm"});
    const ordered_json j = countdownJson();
    EXPECT_EQ(j, ordered_json::parse(R"({"id":"8F14E45F-CEEA-467F-A0E6-1A2B3C4D5E6F",
        "title":"Tea \"green\" 茶","totalDuration":300,"remaining":120,"state":"running",
        "createdAt":100.25,"isAlarm":false})"));
    EXPECT_TRUE(j["createdAt"].is_number_float());
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
    j["remaining"] = -5;                      // read as written; loading holds it within range
    const auto decoded = TimerItem::decodeList(dump(ordered_json::array({j})));
    ASSERT_TRUE(decoded);
    const TimerItem& item = decoded->at(0);
    EXPECT_EQ(item.id, kId);
    EXPECT_FALSE(item.alarmTargetTime);
    EXPECT_FALSE(item.pomodoroPhase);
    EXPECT_EQ(item.createdAt, kCreated.addMSecs(-250));
    EXPECT_EQ(item.totalDuration, 300);
    EXPECT_EQ(item.remaining, -5);
    EXPECT_EQ(JsonCoding::parseUuid(u"00000000-0000-0000-0000-000000000000"_s), QUuid()); // nil is an id
}

TEST(TimerItemCoding, OneBadRecordFailsTheWholeList) {
    const ordered_json good = countdownJson();
    // 1e19 is beyond 64 bits; 1e12 and -2e11 are further from 2001 than any stored date.
    std::vector<std::pair<const char*, ordered_json>> bad{
        {"title", 5},           {"isAlarm", 0},       {"totalDuration", "300"},
        {"totalDuration", 1.5}, {"remaining", 1e19},  {"createdAt", "2001-01-01"},
        {"createdAt", 1e12},    {"createdAt", -2e11}, {"alarmTargetTime", "soon"},
        {"pomodoroPhase", 1},   {"state", "Running"}, {"state", "done"}};
    for (const char* id : {"{8F14E45F-CEEA-467F-A0E6-1A2B3C4D5E6F}", "8F14E45F-CEEA-467F-A0E6-1A2B3C4D5E6",
                           " 8F14E45F-CEEA-467F-A0E6-1A2B3C4D5E6", "8F14E45FCEEA467FA0E61A2B3C4D5E6F0000",
                           "8F14E45F-CEEA-467F-A0E6-1A2B3C4D5E6G", "8F14E45F+CEEA-467F-A0E6-1A2B3C4D5E6F",
                           "8F14E45F-CEEA-467F-A0E6-1A2B3C4D5E6Ｆ"}) {
        bad.emplace_back("id", id);
    }
    for (const auto& [key, value] : bad) {
        ordered_json j = good;
        j[key] = value;
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
    EXPECT_EQ(escaped->at(0).title, u"a\"\\/\b\f\n\r\té🍵"_s);
    ASSERT_TRUE(withTitle("\"\xE8\x8C\xB6\"")); // raw UTF-8
    for (const char* bad : {"\"\\ud83c\"", "\"\\udf75\"", "\"\xC0\xAF\"", "\"\xED\xA0\x80\"", "\"\xFF\"",
                            "\"a\nb\"", "\"\\x41\"", "\"\\u12\""}) {
        EXPECT_FALSE(withTitle(bad)) << bad;
    }
}

TEST(JsonCoding, DatesKeepMillisecondsAndHaveALimit) {
    for (const QDateTime& date : {kCreated, QDateTime(QDate(1970, 1, 1), QTime(0, 0, 0, 1), QTimeZone::utc()),
                                  QDateTime(QDate(2999, 12, 31), QTime(23, 59, 59, 999), QTimeZone::utc()),
                                  QDateTime(QDate(1200, 6, 1), QTime(12, 0, 0, 7), QTimeZone::utc())}) {
        const QByteArray bytes = *TimerHistoryEntry::encodeList({{kId, QString(), 1, date}});
        EXPECT_EQ(TimerHistoryEntry::decodeList(bytes)->at(0).completedAt, date) << bytes.constData();
    }
    EXPECT_FALSE(JsonCoding::dateFromReferenceSeconds(std::numeric_limits<double>::infinity()));
    // A date that cannot be stored refuses the whole list, with a reason.
    TimerItem item = countdown();
    item.createdAt = QDateTime();
    QString error;
    EXPECT_FALSE(TimerItem::encodeList({countdown(), item}, &error));
    EXPECT_FALSE(error.isEmpty());
    item.createdAt = QDateTime(QDate(9000, 1, 1), QTime(0, 0), QTimeZone::utc());
    EXPECT_FALSE(TimerItem::encodeList({item}));
}

TEST(TimerItemText, DurationFormatChangesAtOneHourAndNeverUsesDays) {
    // clang-format off
    for (const auto& [seconds, text] : std::vector<std::pair<qint64, QString>>{
             {0, u"00:00"_s}, {59, u"00:59"_s}, {3599, u"59:59"_s}, {3600, u"1:00:00"_s}, {90061, u"25:01:01"_s},
             {360000, u"100:00:00"_s}, {-5, u"00:00"_s}}) {
        // clang-format on
        EXPECT_EQ(TimerItem::formatDuration(seconds), text) << seconds;
    }
    EXPECT_EQ(countdown().displayTime(), u"02:00"_s);
}

TEST(TimerItemText, AlarmRemainingRoundsUpAndStopsAtZero) {
    for (const auto& [msFromNow, seconds] :
         std::vector<std::pair<qint64, qint64>>{{200, 1}, {60'000, 60}, {60'001, 61}, {0, 0}, {-2'000, 0}}) {
        EXPECT_EQ(TimerItem::alarmRemaining(kCreated.addMSecs(msFromNow), kCreated), seconds) << msFromNow;
    }
}

TEST(PresetCoding, WritesAllKeysRoundTripsAndDefaultsHaveFixedIds) {
    const QList<TimerPreset> presets{{kId, u"Tea"_s, 180}};
    const QByteArray bytes = *TimerPreset::encodeList(presets);
    EXPECT_EQ(bytes,
              R"([{"id":"8F14E45F-CEEA-467F-A0E6-1A2B3C4D5E6F","name":"Tea","durationInSeconds":180}])");
    EXPECT_EQ(TimerPreset::decodeList(bytes), presets);
    EXPECT_FALSE(TimerPreset::decodeList(R"([{"id":"8F14E45F-CEEA-467F-A0E6-1A2B3C4D5E6F","name":"Tea"}])"));
    EXPECT_FALSE(TimerPreset::decodeList(R"([{"id":"x","name":"Tea","durationInSeconds":1}])"));

    // Fixed in the program, so a hotkey given to a default preset finds it again after a restart.
    const QList<TimerPreset>& defaults = TimerPreset::defaultPresets();
    QList<qint64> durations;
    QSet<QUuid> ids;
    for (const TimerPreset& p : defaults) {
        durations << p.durationInSeconds;
        ids.insert(p.id);
    }
    EXPECT_EQ(durations, (QList<qint64>{1500, 2700, 3600}));
    EXPECT_EQ(defaults[0].name, u"25m"_s);
    EXPECT_EQ(JsonCoding::uuidText(defaults[0].id), u"77798702-F349-4F52-B37B-E4A994935413"_s);
    EXPECT_EQ(ids.size(), 3);
    EXPECT_FALSE(ids.contains(QUuid()));
}

TEST(PresetText, PurposeLineFollowsTheLengthBands) {
    const auto en = AppLanguage::english;
    const auto ja = AppLanguage::japanese;
    // clang-format off
    const std::vector<std::tuple<qint64, AppLanguage, QString>> cases{
        {959, en, u"For a break or small task"_s}, {-1, en, u"For a break or small task"_s},
        {960, en, u"For a short focus session"_s}, {1859, en, u"For a short focus session"_s},
        {1860, en, u"For a focused work block"_s}, {3659, en, u"For a focused work block"_s},
        {3660, en, u"For a longer work session"_s}, {1500, ja, u"短い集中作業に"_s},
        {3660, ja, u"長時間の作業に"_s}};
    // clang-format on
    for (const auto& [seconds, language, text] : cases) {
        EXPECT_EQ((TimerPreset{kId, QString(), seconds}.purposeDescription(language)), text) << seconds;
    }
}

TEST(SequenceCoding, StepsRoundTripAndBadKindsFailTheList) {
    const QList<TimerSequence> sequences = TimerSequence::defaultSequences();
    const QByteArray bytes = *TimerSequence::encodeList(sequences);
    const ordered_json j = parse(bytes);
    EXPECT_EQ(keysOf(j[0]), (Keys{"id", "name", "steps"}));
    EXPECT_EQ(keysOf(j[0]["steps"][0]), (Keys{"id", "kind", "minutes"}));
    EXPECT_EQ(j[0]["steps"][1]["kind"], "breakTime");
    EXPECT_EQ(TimerSequence::decodeList(bytes), sequences);
    EXPECT_EQ(TimerSequence::decodeList("[]"), QList<TimerSequence>{});
    for (const auto& breakIt : std::vector<std::function<void(ordered_json&)>>{
             [](ordered_json& b) { b[1]["steps"][1]["kind"] = "break"; },
             [](ordered_json& b) { b[0]["steps"][0].erase("minutes"); },
             [](ordered_json& b) { b[0]["steps"] = "none"; }}) {
        ordered_json broken = j;
        breakIt(broken);
        EXPECT_FALSE(TimerSequence::decodeList(dump(broken))) << broken.dump();
    }
}

TEST(SequenceCoding, ReadingTakesTheLastOfARepeatedMemberAndSkipsUnknownOnes) {
    auto stepWith = [](const QByteArray& minutes) {
        return R"({"id":"8F14E45F-CEEA-467F-A0E6-1A2B3C4D5E6F","kind":"focus","minutes":)" + minutes + "}";
    };
    const QByteArray step = stepWith("25");
    auto list = [](const QByteArray& members) {
        return R"([{"id":"8F14E45F-CEEA-467F-A0E6-1A2B3C4D5E6F","name":"S",)" + members + "}]";
    };
    // clang-format off
    const std::vector<std::tuple<const char*, QByteArray, std::optional<qsizetype>>> cases{
        {"one step", list("\"steps\":[" + step + "]"), 1},
        {"a later steps member replaces a broken one", list("\"steps\":[1],\"steps\":[" + step + "]"), 1},
        {"a later steps member replaces one with a bad step", list("\"steps\":[{}],\"steps\":[" + step + "]"), 1},
        {"a broken later one refuses the list", list("\"steps\":[" + step + "],\"steps\":[{}]"), std::nullopt},
        {"unknown nested members are skipped", list(R"("x":{"a":[[{}],"]"]},"steps":[])"), 0},
        {"a byte-order mark first", "\xEF\xBB\xBF" + list("\"steps\":[]"), 0},
        {"whole minutes written as a double", list("\"steps\":[" + stepWith("25.0") + "]"), 1},
        {"minutes beyond 64 bits", list("\"steps\":[" + stepWith("9223372036854775808") + "]"), std::nullopt},
        {"a step that is not an object", list("\"steps\":[" + step + ",[]]"), std::nullopt},
        {"text after the list", list("\"steps\":[]") + "x", std::nullopt},
    };
    // clang-format on
    for (const auto& [name, text, steps] : cases) {
        const auto decoded = TimerSequence::decodeList(text);
        ASSERT_EQ(decoded.has_value(), steps.has_value()) << name;
        if (decoded) {
            EXPECT_EQ(decoded->at(0).steps.size(), *steps) << name;
        }
    }
}

TEST(SequenceModel, DefaultsAreStableBlankIsFreshSummariesAndFirstMatches) {
    EXPECT_EQ(TimerSequence::defaultSequences(), TimerSequence::defaultSequences());
    EXPECT_EQ(TimerSequence::defaultSequences()[0].stepsSummary(), u"25 · 5 · 25 · 5"_s);
    EXPECT_EQ(TimerSequence::defaultSequences()[1].name, u"Deep Work"_s);
    const TimerSequence a = TimerSequence::blank();
    const TimerSequence b = TimerSequence::blank();
    EXPECT_NE(a.id, b.id);
    EXPECT_NE(a.steps[0].id, b.steps[0].id);
    EXPECT_TRUE(a.name.isEmpty());
    EXPECT_EQ(a.stepsSummary(), u"25 · 5"_s);

    using K = SequenceStepKind;
    const TimerSequence breaksFirst{
        kId, QString(), {{kId, K::breakTime, 7}, {kId, K::focus, 40}, {kId, K::focus, 9}}};
    EXPECT_EQ(breaksFirst.firstFocusMinutes(), 40);
    EXPECT_EQ(breaksFirst.firstBreakMinutes(), 7);
    const TimerSequence onlyBreaks{kId, QString(), {{kId, K::breakTime, 5}}};
    EXPECT_FALSE(onlyBreaks.firstFocusMinutes());
    EXPECT_EQ(onlyBreaks.stepsSummary(), u"5"_s);
    EXPECT_EQ(TimerSequence{}.stepsSummary(), QString());
}

TEST(RecordCoding, ScheduledTimersAndHistoryWriteAndRequireEveryKey) {
    expectKeysWrittenAndRequired(ScheduledTimer{kId, kCreated, 5400, u"memo"_s, false},
                                 {"id", "scheduledTime", "durationInSeconds", "taskMemo", "isEnabled"});
    expectKeysWrittenAndRequired(TimerHistoryEntry{kId, u"Tea"_s, 300, kCreated},
                                 {"id", "title", "duration", "completedAt"});
}

} // namespace
