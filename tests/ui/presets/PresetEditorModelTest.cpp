// The preset editor's working copy: how the typed length is read, when a save goes through, and what an
// edit starts from.
#include "services/QStringPrinting.h"
#include "ui/presets/PresetEditorModel.h"

#include <gtest/gtest.h>

namespace {

TimerPreset presetOf(const QString& name, qint64 seconds) {
    return TimerPreset{QUuid::createUuid(), name, seconds};
}

} // namespace

TEST(PresetEditorModelTest, TheTypedLengthIsAWholeNumberFromOneTo480) {
    const struct {
        const char* name;
        QString typed;
        std::optional<qint64> minutes;
    } rows[] = {
        {"plain digits", QStringLiteral("45"), 45},
        {"spaces and tabs around", QStringLiteral(" \t45\t "), 45},
        {"a leading plus", QStringLiteral("+45"), 45},
        {"the smallest", QStringLiteral("1"), 1},
        {"the largest", QStringLiteral("480"), 480},
        {"leading zeros", QStringLiteral("007"), 7},
        {"zero", QStringLiteral("0"), std::nullopt},
        {"negative", QStringLiteral("-5"), std::nullopt},
        {"one past the largest", QStringLiteral("481"), std::nullopt},
        {"a letter after the digits", QStringLiteral("45m"), std::nullopt},
        {"a space between digits", QStringLiteral("4 5"), std::nullopt},
        {"a decimal point", QStringLiteral("4.5"), std::nullopt},
        {"full-width digits", QStringLiteral("４５"), std::nullopt},
        {"a sign alone", QStringLiteral("+"), std::nullopt},
        {"empty", QString(), std::nullopt},
        {"a line break is no space", QStringLiteral("45\n"), std::nullopt},
        {"past 64 bits", QStringLiteral("99999999999999999999"), std::nullopt},
    };
    for (const auto& row : rows) {
        PresetEditorModel model(PresetEditorTarget::add(), {}, {});
        model.setMinutesText(row.typed);
        EXPECT_EQ(model.parsedMinutes(), row.minutes) << row.name;
    }
}

TEST(PresetEditorModelTest, SavesTheTrimmedNameAndMinutesOnlyWhenBothAreValid) {
    const struct {
        const char* name;
        QString typedName;
        QString typedMinutes;
        bool saves;
        const char* savedName;
        qint64 savedMinutes;
    } rows[] = {
        {"valid", QStringLiteral("Deep Work"), QStringLiteral("50"), true, "Deep Work", 50},
        {"name with spaces around", QStringLiteral("  Tea \t"), QStringLiteral("4"), true, "Tea", 4},
        {"no name", QString(), QStringLiteral("50"), false, nullptr, 0},
        {"spaces only", QStringLiteral("   "), QStringLiteral("50"), false, nullptr, 0},
        {"no length", QStringLiteral("Tea"), QString(), false, nullptr, 0},
        {"a length out of range", QStringLiteral("Tea"), QStringLiteral("600"), false, nullptr, 0},
    };
    for (const auto& row : rows) {
        QList<std::pair<QString, qint64>> saves;
        PresetEditorModel model(PresetEditorTarget::add(),
                                [&saves](const QString& n, qint64 m) {
                                    saves.append({n, m});
                                },
                                {});
        model.setName(row.typedName);
        model.setMinutesText(row.typedMinutes);
        EXPECT_EQ(model.canSave(), row.saves) << row.name;
        model.save();
        ASSERT_EQ(saves.size(), row.saves ? 1 : 0) << row.name;
        if (row.saves) {
            EXPECT_EQ(saves.first().first, QString::fromUtf8(row.savedName)) << row.name;
            EXPECT_EQ(saves.first().second, row.savedMinutes) << row.name;
        }
    }
}

TEST(PresetEditorModelTest, AnEditStartsFromThePresetAnAddFromNothing) {
    const struct {
        const char* name;
        PresetEditorTarget target;
        const char* startName;
        const char* startMinutes;
        bool isNew;
    } rows[] = {
        {"a new preset", PresetEditorTarget::add(), "", "25", true},
        {"45 minutes", PresetEditorTarget::edit(presetOf(QStringLiteral("Deep"), 2700)), "Deep", "45", false},
        {"59 minutes 59 seconds", PresetEditorTarget::edit(presetOf(QStringLiteral("Odd"), 3599)), "Odd",
         "59", false},
        {"90 seconds", PresetEditorTarget::edit(presetOf(QStringLiteral("Short"), 90)), "Short", "1", false},
    };
    for (const auto& row : rows) {
        PresetEditorModel model(row.target, {}, {});
        EXPECT_EQ(model.name(), QString::fromUtf8(row.startName)) << row.name;
        EXPECT_EQ(model.minutesText(), QString::fromLatin1(row.startMinutes)) << row.name;
        EXPECT_EQ(model.isNew(), row.isNew) << row.name;
    }
}

TEST(PresetEditorModelTest, TargetsAreNamedByKindAndPreset) {
    const TimerPreset preset = presetOf(QStringLiteral("Tea"), 240);
    EXPECT_EQ(PresetEditorTarget::add().id(), QStringLiteral("add"));
    EXPECT_EQ(PresetEditorTarget::edit(preset).id(),
              QStringLiteral("edit-") + preset.id.toString(QUuid::WithoutBraces).toUpper());
    EXPECT_TRUE(PresetEditorTarget::add() == PresetEditorTarget::add());
    EXPECT_FALSE(PresetEditorTarget::add() == PresetEditorTarget::edit(preset));
    TimerPreset longer = preset;
    longer.durationInSeconds = 300;
    EXPECT_FALSE(PresetEditorTarget::edit(preset) == PresetEditorTarget::edit(longer));
}
