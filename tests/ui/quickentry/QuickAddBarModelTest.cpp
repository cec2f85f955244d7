// The quick-add bar without widgets: what a submit sends or says, what a save stores or says, and when the
// message goes away.
#include "ui/quickentry/QuickAddBarModel.h"

#include "QuickEntryFixture.h"

#include <variant>

namespace {

using Kind = QuickAddBarModel::MessageKind;
using Stroke = QuickAddBarModel::Stroke;

class QuickAddBarModelTest : public QuickEntryFixture {
public:
    std::unique_ptr<QuickAddBarModel> model;
    void makeModel(qsizetype presets = 3) {
        makeWithPresets(presets);
        model = std::make_unique<QuickAddBarModel>(*manager, recorder(), clock);
    }
    void TearDown() override {
        model.reset();
        QuickEntryFixture::TearDown();
    }
};

} // namespace

TEST_F(QuickAddBarModelTest, SubmitSendsWhatReadsAndSaysWhyTheRestDoesNot) {
    const struct {
        const char* name;
        const char* input;
        int hour;
        std::optional<TimerStartRequest::Kind> sent;
        const char* error; // empty: none
    } rows[] = {
        {"spaces around a duration", " 25m ", 9, TimerStartRequest::duration{1500}, ""},
        {"seconds", "90s", 9, TimerStartRequest::duration{90}, ""},
        {"a clock time still ahead", "12:30", 9,
         TimerStartRequest::alarm{QDateTime(QDate(2024, 5, 14), QTime(12, 30), Qt::LocalTime)}, ""},
        {"empty", "", 9, std::nullopt, "Enter a time"},
        {"spaces only", "   ", 9, std::nullopt, "Enter a time"},
        {"a clock time passed", "12:30", 13, std::nullopt, "That time has already passed"},
        {"zero", "0m", 9, std::nullopt, "Must be at least 1 second"},
        {"unreadable", "abc", 9, std::nullopt, "Couldn't read that. Try: 10m · 1d18h · 12:30"},
        {"too large", "1000000m", 9, std::nullopt, "That time isn't allowed"},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        makeModel();
        setClock(r.hour, 0);
        model->setInput(QString::fromUtf8(r.input));
        model->setPresetName(QStringLiteral("kept until sent"));
        model->submit();
        if (r.sent) {
            ASSERT_EQ(prepared.size(), 1);
            EXPECT_EQ(prepared.at(0).kind(), *r.sent);
            EXPECT_TRUE(prepared.at(0).title().isEmpty());
            EXPECT_TRUE(model->input().isEmpty());
            EXPECT_TRUE(model->presetName().isEmpty());
            EXPECT_FALSE(model->message().has_value());
        } else {
            EXPECT_TRUE(prepared.isEmpty());
            ASSERT_TRUE(model->message().has_value());
            EXPECT_EQ(*model->message(),
                      (QuickAddBarModel::Message{Kind::error, QString::fromUtf8(r.error)}));
            EXPECT_EQ(model->input(), QString::fromUtf8(r.input)) << "kept for correcting";
            EXPECT_EQ(model->inputStroke(false), Stroke::danger);
        }
        EXPECT_TRUE(manager->timers().isEmpty()) << "the bar never starts a timer";
        prepared.clear();
        TearDown();
    }
}

TEST_F(QuickAddBarModelTest, PresetMinutesRoundUpAndOnlyDurationsHaveThem) {
    const struct {
        const char* input;
        std::optional<qint64> minutes;
    } rows[] = {
        {"90s", 2},
        {"20s", 1},
        {"25", 25},
        {" 1h ", 60},
        {"1h30m", 90},
        {"", std::nullopt},
        {"12:30", std::nullopt},
        {"9pm", std::nullopt},
        {"abc", std::nullopt},
        {"0m", std::nullopt},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.input);
        EXPECT_EQ(QuickAddBarModel::presetMinutesFor(QString::fromUtf8(r.input), now), r.minutes);
    }
}

TEST_F(QuickAddBarModelTest, SavingAPresetNeedsANameAndRoomForIt) {
    const struct {
        const char* name;
        qsizetype presets;
        const char* input;
        const char* presetName;
        std::optional<QuickAddBarModel::Message> message;
        std::optional<qint64> storedSeconds;
        const char* nameAfter;
    } rows[] = {
        {"a blank name", 3, "25m", "  ",
         QuickAddBarModel::Message{Kind::error, QStringLiteral("Enter a preset name")}, std::nullopt, "  "},
        {"the tenth preset", 9, "90s", " Tea ",
         QuickAddBarModel::Message{Kind::confirmation, QStringLiteral("Preset saved")}, 120, ""},
        {"an eleventh", 10, "25m", "Tea",
         QuickAddBarModel::Message{Kind::error, QStringLiteral("You can save up to 10 presets")},
         std::nullopt, "Tea"},
        {"a clock time is no preset", 3, "12:30", "Tea", std::nullopt, std::nullopt, "Tea"},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        makeModel(r.presets);
        model->setInput(QString::fromUtf8(r.input));
        model->setPresetName(QString::fromUtf8(r.presetName));
        model->savePreset();
        EXPECT_EQ(model->message(), r.message);
        EXPECT_EQ(model->presetName(), QString::fromUtf8(r.nameAfter));
        EXPECT_EQ(model->input(), QString::fromUtf8(r.input)) << "the entry stays";
        if (r.storedSeconds) {
            ASSERT_EQ(manager->presets().size(), r.presets + 1);
            EXPECT_EQ(manager->presets().constLast().name, QStringLiteral("Tea"));
            EXPECT_EQ(manager->presets().constLast().durationInSeconds, *r.storedSeconds);
        } else {
            EXPECT_EQ(manager->presets().size(), r.presets);
        }
        TearDown();
    }
}

TEST_F(QuickAddBarModelTest, OnlyAChangeOfTheEntryTakesTheMessageAway) {
    makeModel();
    model->setInput(QStringLiteral("25m"));
    model->setPresetName(QStringLiteral("Tea"));
    model->savePreset();
    ASSERT_TRUE(model->message().has_value());
    model->setPresetName(QStringLiteral("Other"));
    EXPECT_TRUE(model->message().has_value()) << "a confirmation stays while the entry is unchanged";
    EXPECT_EQ(model->inputStroke(true), Stroke::action);
    EXPECT_EQ(model->inputStroke(false), Stroke::plain);

    model->appendSymbol(QStringLiteral("h"));
    EXPECT_EQ(model->input(), QStringLiteral("25mh"));
    EXPECT_FALSE(model->message().has_value());
    EXPECT_EQ(model->presetName(), QStringLiteral("Other")) << "the name survives the save controls hiding";
    EXPECT_FALSE(model->presetMinutes().has_value());
}
