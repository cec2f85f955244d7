// The preset chips without widgets: labels, spoken names, the chosen chip, rename and delete.
#include "ui/quickentry/QuickLaunchPaneModel.h"

#include "QuickEntryFixture.h"

namespace {

TimerPreset preset(qint64 seconds, const char* name = "Focus") {
    return TimerPreset{QUuid::createUuid(), QString::fromUtf8(name), seconds};
}

class QuickLaunchPaneModelTest : public QuickEntryFixture {
public:
    std::unique_ptr<QuickLaunchPaneModel> model;
    void makeModel(qsizetype presets = 3) {
        makeWithPresets(presets);
        model = std::make_unique<QuickLaunchPaneModel>(*manager, preferences, recorder());
    }
    void TearDown() override {
        model.reset();
        QuickEntryFixture::TearDown();
    }
};

} // namespace

TEST(QuickLaunchPaneModelLabels, ChipLabelsUseHoursFromSixtyOneMinutes) {
    const struct {
        qint64 seconds;
        const char* label;
    } rows[] = {
        {1500, "25"},    {2700, "45"}, {3600, "60"},    {3659, "60"}, {3660, "1h1m"},
        {5400, "1h30m"}, {7200, "2h"}, {9000, "2h30m"}, {59, "0"},    {86400, "24h"},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.seconds);
        EXPECT_EQ(QuickLaunchPaneModel::chipLabel(preset(r.seconds)), QString::fromUtf8(r.label));
    }
}

TEST(QuickLaunchPaneModelLabels, SpokenNamesAreEnglishOnlyForEnglish) {
    const struct {
        const char* language;
        const char* label;
    } rows[] = {
        {"en", "Review the 25-minute Focus timer"},
        {"ja", "25分のFocusタイマーを確認"},
        {"fr", "25分のFocusタイマーを確認"},
        {"", "25分のFocusタイマーを確認"},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.language);
        EXPECT_EQ(QuickLaunchPaneModel::presetAccessibilityLabel(preset(1500), QString::fromUtf8(r.language)),
                  QString::fromUtf8(r.label));
    }
}

TEST_F(QuickLaunchPaneModelTest, AChosenChipStaysSelectedAndSendsItsPreset) {
    makeModel();
    const TimerPreset second = manager->presets().at(1);
    model->choose(second);
    EXPECT_EQ(model->selectedPresetID(), second.id);
    ASSERT_EQ(prepared.size(), 1);
    EXPECT_EQ(prepared.at(0).title(), second.name);
    EXPECT_EQ(prepared.at(0).kind(),
              TimerStartRequest::Kind(TimerStartRequest::duration{second.durationInSeconds}));
    EXPECT_TRUE(manager->timers().isEmpty());
}

TEST_F(QuickLaunchPaneModelTest, RenameStoresTheTrimmedNameAndKeepsTheLength) {
    makeModel();
    TimerPreset odd = manager->presets().at(0);
    manager->updatePreset(odd, odd.name, 3); // 180 s
    odd = manager->presets().at(0);
    model->beginRename(odd);
    EXPECT_TRUE(model->isRenamePresented());
    EXPECT_EQ(model->renameText(), odd.name);
    const struct {
        const char* text;
        bool canSave;
    } rows[] = {{"   ", false}, {"", false}, {" Tea ", true}};
    for (const auto& r : rows) {
        SCOPED_TRACE(r.text);
        model->setRenameText(QString::fromUtf8(r.text));
        EXPECT_EQ(model->canSaveRename(), r.canSave);
    }
    model->saveRename();
    EXPECT_FALSE(model->isRenamePresented());
    EXPECT_EQ(manager->presets().at(0).name, QStringLiteral("Tea"));
    EXPECT_EQ(manager->presets().at(0).durationInSeconds, 180);

    model->beginRename(manager->presets().at(1));
    model->setRenameText(QStringLiteral("Never"));
    model->cancelRename();
    EXPECT_FALSE(model->editingPreset().has_value());
    EXPECT_EQ(manager->presets().at(1).name, QStringLiteral("P2"));
}

TEST_F(QuickLaunchPaneModelTest, DeletingTheSelectedPresetClearsTheSelectionOnly) {
    const struct {
        const char* name;
        qsizetype selected;
        qsizetype deleted;
        bool confirm;
        bool selectionKept;
        qsizetype presetsAfter;
    } rows[] = {
        {"the selected one", 0, 0, true, false, 2},
        {"another one", 0, 1, true, true, 2},
        {"cancelled", 0, 0, false, true, 3},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        makeModel();
        model->choose(manager->presets().at(r.selected));
        model->requestDeletion(manager->presets().at(r.deleted));
        EXPECT_TRUE(model->isDeleteConfirmationPresented());
        r.confirm ? model->confirmDeletion() : model->cancelDeletion();
        EXPECT_FALSE(model->isDeleteConfirmationPresented());
        EXPECT_FALSE(model->presetPendingDeletion().has_value());
        EXPECT_EQ(model->selectedPresetID().has_value(), r.selectionKept);
        EXPECT_EQ(manager->presets().size(), r.presetsAfter);
        TearDown();
    }
}
