// The presets tab without widgets: its view state, what its rows show, and the engine calls behind each
// intent, on a real engine.
#include "services/QStringPrinting.h"
#include "support/FakeHotkeyBackend.h"
#include "hotkeys/GlobalHotkeys.h"
#include "hotkeys/KeyboardLayout.h"
#include "hotkeys/PresetShortcutNaming.h"
#include "core/AppSettings.h"
#include "core/TimerManager.h"
#include "platform/Preferences.h"
#include "platform/TranslationCatalog.h"
#include "support/FakeServices.h"
#include "ui/popover/PopoverFocusCoordinator.h"
#include "ui/presets/PresetsScreenModel.h"

#include <gtest/gtest.h>

#include <variant>

namespace {

using Kind = SequenceStepKind;
using GlobalHotkeys::Shortcut;

class PresetsScreenModelTest : public ::testing::Test {
public:
    QDateTime now = QDateTime(QDate(2024, 5, 14), QTime(9, 0, 0), Qt::LocalTime);
    Preferences preferences;
    AppSettings settings{preferences};
    InMemoryPersistence persistence;
    RecordingNotificationService notification;
    RecordingSoundService sound;
    InMemoryHistory history{[this] { return now; }};
    std::unique_ptr<TimerManager> engine;
    PopoverFocusCoordinator coordinator{TarvolinTimerTab::presets};
    std::unique_ptr<PresetsScreenModel> model;
    FakeHotkeyBackend backend;
    QList<TimerStartRequest> prepared;
    int dismissals = 0;

    void SetUp() override {
        Preferences::setStandard(&preferences);
        GlobalHotkeys::resetForTesting();
        GlobalHotkeys::installBackend(&backend);
        GlobalHotkeys::KeyboardLayout::setCurrent(
            GlobalHotkeys::KeyboardLayout::fromNames(QStringLiteral("us")));
    }
    void TearDown() override {
        model.reset();
        engine.reset();
        GlobalHotkeys::resetForTesting();
        Preferences::setStandard(nullptr);
    }
    void make() {
        engine = std::make_unique<TimerManager>(persistence, notification, sound, history, settings,
                                                [this] { return now; });
        PresetsScreenModel::Hooks hooks;
        hooks.onEditorSheetDismiss = [this] { ++dismissals; };
        hooks.onPrepare = [this](const TimerStartRequest& request) { prepared.append(request); };
        model = std::make_unique<PresetsScreenModel>(*engine, coordinator, preferences, hooks);
    }
    static SequenceStep step(Kind kind, qint64 minutes) {
        return SequenceStep{QUuid::createUuid(), kind, minutes};
    }
    QList<TimerSequence> manySequences(qsizetype count) const {
        QList<TimerSequence> list;
        for (qsizetype i = 0; i < count; ++i) {
            list.append(
                TimerSequence{QUuid::createUuid(), QStringLiteral("S%1").arg(i), {step(Kind::focus, 25)}});
        }
        return list;
    }
    QList<TimerPreset> manyPresets(qsizetype count) const {
        QList<TimerPreset> list;
        for (qsizetype i = 0; i < count; ++i) {
            list.append(TimerPreset{QUuid::createUuid(), QStringLiteral("P%1").arg(i), 60 * (i + 1)});
        }
        return list;
    }
};

} // namespace

TEST_F(PresetsScreenModelTest, TheNewSequenceRequestOpensABlankEditorOnceAndIsUsedUp) {
    make();
    model->consumePendingAction();
    EXPECT_FALSE(model->sequenceEditorTarget()) << "no request, nothing opens";

    coordinator.setPendingPresetsAction(PresetsPendingAction::createSequence);
    model->consumePendingAction();
    ASSERT_TRUE(model->sequenceEditorTarget());
    const auto& target = *model->sequenceEditorTarget();
    EXPECT_EQ(target.kind(), SequenceEditorTarget::Kind::add);
    EXPECT_TRUE(target.sequence().name.isEmpty());
    ASSERT_EQ(target.sequence().steps.size(), 2);
    EXPECT_EQ(target.sequence().steps.at(0).kind, Kind::focus);
    EXPECT_EQ(target.sequence().steps.at(0).minutes, 25);
    EXPECT_EQ(target.sequence().steps.at(1).kind, Kind::breakTime);
    EXPECT_EQ(target.sequence().steps.at(1).minutes, 5);
    EXPECT_FALSE(coordinator.pendingPresetsAction());

    model->cancelSequenceEditor();
    model->consumePendingAction();
    EXPECT_FALSE(model->sequenceEditorTarget()) << "the request is not taken twice";
}

TEST_F(PresetsScreenModelTest, DuplicatingAddsACopyAtTheEndUnderNewIdsUntilTheLimit) {
    const struct {
        const char* name;
        qsizetype existing;
        bool added;
    } rows[] = {
        {"room left", 3, true},
        {"one below the limit", TimerManager::maxSequences - 1, true},
        {"at the limit", TimerManager::maxSequences, false},
    };
    for (const auto& row : rows) {
        persistence.sequences = manySequences(row.existing);
        persistence.sequences[0].steps = {step(Kind::focus, 50), step(Kind::breakTime, 10),
                                          step(Kind::focus, 50)};
        persistence.activeSequenceID = persistence.sequences[0].id;
        make();
        const TimerSequence original = engine->sequences().first();
        model->duplicateSequence(original);

        ASSERT_EQ(engine->sequences().size(), row.existing + (row.added ? 1 : 0)) << row.name;
        EXPECT_EQ(engine->sequences().first(), original) << row.name << ": the original stays";
        EXPECT_EQ(engine->activeSequenceID(), original.id) << row.name << ": the copy is not applied";
        if (row.added) {
            const TimerSequence copy = engine->sequences().last();
            EXPECT_EQ(copy.name, QStringLiteral("S0 Copy")) << row.name;
            EXPECT_NE(copy.id, original.id) << row.name;
            ASSERT_EQ(copy.steps.size(), original.steps.size()) << row.name;
            for (qsizetype i = 0; i < copy.steps.size(); ++i) {
                EXPECT_EQ(copy.steps.at(i).kind, original.steps.at(i).kind) << row.name;
                EXPECT_EQ(copy.steps.at(i).minutes, original.steps.at(i).minutes) << row.name;
                EXPECT_NE(copy.steps.at(i).id, original.steps.at(i).id) << row.name;
            }
        }
    }
}

TEST_F(PresetsScreenModelTest, SavingTheSequenceEditorAddsAndAppliesOrReplacesThenCloses) {
    const QList<SequenceStep> steps{step(Kind::focus, 40), step(Kind::breakTime, 8)};
    const struct {
        const char* name;
        qsizetype existing;
        bool isNew;
        qsizetype countAfter;
        bool newOneActive;
    } rows[] = {
        {"a new sequence is added and made current", 3, true, 4, true},
        {"at the limit nothing is added", TimerManager::maxSequences, true, TimerManager::maxSequences,
         false},
        {"an edited one is replaced in place", 3, false, 3, false},
    };
    for (const auto& row : rows) {
        dismissals = 0;
        persistence.sequences = manySequences(row.existing);
        persistence.activeSequenceID = persistence.sequences[0].id;
        make();
        const TimerSequence second = engine->sequences().at(1);
        if (row.isNew) {
            model->openNewSequence();
        } else {
            model->editSequence(second);
        }
        model->saveSequenceEditor(QStringLiteral("Saved"), steps);

        EXPECT_FALSE(model->sequenceEditorTarget()) << row.name;
        EXPECT_EQ(dismissals, 1) << row.name;
        ASSERT_EQ(engine->sequences().size(), row.countAfter) << row.name;
        if (row.isNew && row.newOneActive) {
            EXPECT_EQ(engine->sequences().last().name, QStringLiteral("Saved")) << row.name;
            EXPECT_EQ(engine->activeSequenceID(), engine->sequences().last().id) << row.name;
        } else if (!row.isNew) {
            EXPECT_EQ(engine->sequences().at(1).id, second.id) << row.name << ": same id, same place";
            EXPECT_EQ(engine->sequences().at(1).name, QStringLiteral("Saved")) << row.name;
            EXPECT_EQ(engine->sequences().at(1).steps, steps) << row.name;
            EXPECT_EQ(engine->activeSequenceID(), engine->sequences().first().id) << row.name;
        } else {
            EXPECT_EQ(engine->activeSequenceID(), engine->sequences().first().id) << row.name;
        }
    }

    model->openNewSequence();
    dismissals = 0;
    const auto before = engine->sequences();
    model->cancelSequenceEditor();
    EXPECT_EQ(engine->sequences(), before);
    EXPECT_EQ(dismissals, 1);
}

TEST_F(PresetsScreenModelTest, ASequenceIsRemovedOnlyWhenTheDeleteIsConfirmed) {
    const struct {
        const char* name;
        bool confirm;
        bool goneBefore; // removed elsewhere while the confirmation showed
        qsizetype countAfter;
    } rows[] = {
        {"confirmed", true, false, 2},
        {"cancelled", false, false, 3},
        {"already gone", true, true, 2},
    };
    for (const auto& row : rows) {
        persistence.sequences = manySequences(3);
        make();
        const TimerSequence doomed = engine->sequences().at(1);
        model->requestDeleteSequence(doomed);
        EXPECT_EQ(engine->sequences().size(), 3) << row.name << ": nothing goes before the answer";
        ASSERT_EQ(model->sequencePendingDelete(), doomed) << row.name;
        if (row.goneBefore) {
            engine->removeSequence(doomed);
        }
        row.confirm ? model->confirmDeleteSequence() : model->cancelDeleteSequence();
        EXPECT_FALSE(model->sequencePendingDelete()) << row.name;
        EXPECT_EQ(engine->sequences().size(), row.countAfter) << row.name;
    }
    const auto before = engine->sequences();
    model->confirmDeleteSequence();
    EXPECT_EQ(engine->sequences(), before) << "nothing pending, nothing removed";
}

TEST_F(PresetsScreenModelTest, TheCurrentSequenceIsTheActiveOneElseTheFirst) {
    persistence.sequences = manySequences(3);
    persistence.activeSequenceID = QUuid::createUuid(); // names no saved sequence
    make();
    ASSERT_TRUE(model->currentSequence());
    EXPECT_EQ(model->currentSequence()->id, engine->sequences().first().id);
    EXPECT_FALSE(model->isActive(*model->currentSequence()));

    model->applySequence(engine->sequences().at(2));
    EXPECT_EQ(model->currentSequence()->id, engine->sequences().at(2).id);
    EXPECT_TRUE(model->isActive(engine->sequences().at(2)));
    EXPECT_FALSE(model->isActive(engine->sequences().at(0)));

    persistence.sequences.clear();
    make();
    EXPECT_FALSE(model->currentSequence());
}

TEST_F(PresetsScreenModelTest, StepChipsAreMarkedOnlyWhileThePresetsTabIsShown) {
    make();
    coordinator.moveSequenceStepSelection(1, 4); // step 0
    EXPECT_TRUE(model->isStepChipSelected(1));
    EXPECT_FALSE(model->isStepChipSelected(2));
    coordinator.focusTab(TarvolinTimerTab::timers);
    EXPECT_FALSE(model->isStepChipSelected(1));
}

TEST_F(PresetsScreenModelTest, LengthsReadAsMinutesAndSecondsOrHours) {
    const struct {
        qint64 seconds;
        const char* shown;
    } rows[] = {
        {60, "01:00"},     {90, "01:30"},      {1500, "25:00"},     {3599, "59:59"},       {3600, "1:00:00"},
        {5400, "1:30:00"}, {28800, "8:00:00"}, {36000, "10:00:00"}, {362439, "100:40:39"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(PresetsScreenModel::formattedDuration(TimerPreset{QUuid(), QString(), row.seconds}),
                  QString::fromLatin1(row.shown))
            << row.seconds;
    }
}

TEST_F(PresetsScreenModelTest, FooterAndPurposeTextsFollowTheInAppLanguage) {
    ASSERT_TRUE(TranslationCatalog::install(QStringLiteral("en")));
    const TimerSequence four{
        QUuid(),
        QStringLiteral("P"),
        {step(Kind::focus, 25), step(Kind::breakTime, 5), step(Kind::focus, 25), step(Kind::breakTime, 5)}};
    const TimerSequence one{QUuid(), QStringLiteral("O"), {step(Kind::focus, 25)}};
    EXPECT_EQ(PresetsScreenModel::footerText(four), QStringLiteral("4 steps · 60 min"));
    EXPECT_EQ(PresetsScreenModel::footerText(one), QStringLiteral("1 step · 25 min"));

    make();
    const TimerPreset shortFocus{QUuid(), QStringLiteral("25m"), 1500};
    const struct {
        const char* language;
        const char* purpose;
    } rows[] = {
        {"en", "For a short focus session"},
        {"ja", "短い集中作業に"},
        {"fr", "短い集中作業に"},
    };
    for (const auto& row : rows) {
        preferences.setString(QStringLiteral("bl.appLanguage"), QLatin1String(row.language));
        EXPECT_EQ(model->purposeText(shortFocus), QString::fromUtf8(row.purpose)) << row.language;
    }
}

TEST_F(PresetsScreenModelTest, ChoosingAPresetHandsANewRequestToTheConfirmationCard) {
    make();
    const TimerPreset preset = engine->presets().first();
    model->choosePreset(preset);
    model->choosePreset(preset);
    ASSERT_EQ(prepared.size(), 2);
    for (const TimerStartRequest& request : prepared) {
        EXPECT_EQ(request.title(), preset.name);
        EXPECT_EQ(request.kind(),
                  TimerStartRequest::Kind(TimerStartRequest::duration{preset.durationInSeconds}));
    }
    EXPECT_NE(prepared.at(0).id(), prepared.at(1).id());
    EXPECT_TRUE(engine->timers().isEmpty()) << "nothing starts without confirmation";
}

TEST_F(PresetsScreenModelTest, SavingThePresetEditorAddsOrUpdatesWithinTheLimitThenCloses) {
    const struct {
        const char* name;
        qsizetype existing;
        bool isNew;
        bool removedMeanwhile;
        qsizetype countAfter;
    } rows[] = {
        {"a new preset", 3, true, false, 4},
        {"a new preset at the limit", TimerManager::maxPresets, true, false, TimerManager::maxPresets},
        {"an edited preset", 3, false, false, 3},
        {"an edited preset deleted meanwhile", 3, false, true, 2},
    };
    for (const auto& row : rows) {
        dismissals = 0;
        persistence.presets = manyPresets(row.existing);
        make();
        const TimerPreset first = engine->presets().first();
        row.isNew ? model->openAddPreset() : model->editPreset(first);
        if (row.removedMeanwhile) {
            engine->removePreset(first);
        }
        model->savePresetEditor(QStringLiteral("Tea"), 4);
        EXPECT_FALSE(model->presetEditorTarget()) << row.name;
        EXPECT_EQ(dismissals, 1) << row.name;
        ASSERT_EQ(engine->presets().size(), row.countAfter) << row.name;
        if (row.isNew && row.countAfter > row.existing) {
            EXPECT_EQ(engine->presets().last().name, QStringLiteral("Tea")) << row.name;
            EXPECT_EQ(engine->presets().last().durationInSeconds, 240) << row.name;
        } else if (!row.isNew && !row.removedMeanwhile) {
            EXPECT_EQ(engine->presets().first().id, first.id) << row.name;
            EXPECT_EQ(engine->presets().first().name, QStringLiteral("Tea")) << row.name;
            EXPECT_EQ(engine->presets().first().durationInSeconds, 240) << row.name;
        }
    }
}

TEST_F(PresetsScreenModelTest, KeyTextsAreCachedWhenABadgeShowsAndChangedOnlyByItsRecorder) {
    make();
    const TimerPreset preset = engine->presets().first();
    const auto name = PresetShortcutNaming::shortcutName(preset.id);
    const Shortcut k(GlobalHotkeys::Key::k.rawValue,
                     GlobalHotkeys::CarbonModifier::option | GlobalHotkeys::CarbonModifier::command);
    const Shortcut j(GlobalHotkeys::Key::j.rawValue, GlobalHotkeys::CarbonModifier::control);

    model->badgeAppeared(preset);
    EXPECT_FALSE(model->shortcutLabel(preset.id)) << "no key, no entry";
    GlobalHotkeys::setShortcut(k, name);
    model->badgeAppeared(preset);
    EXPECT_EQ(model->shortcutLabel(preset.id), QStringLiteral("⌥⌘K"))
        << "looked up again while there is none";

    GlobalHotkeys::setShortcut(j, name);
    model->badgeAppeared(preset);
    EXPECT_EQ(model->shortcutLabel(preset.id), QStringLiteral("⌥⌘K")) << "a change elsewhere is not followed";

    model->shortcutRecorded(preset.id, j);
    EXPECT_EQ(model->shortcutLabel(preset.id), QStringLiteral("⌃J"));
    model->shortcutRecorded(preset.id, std::nullopt);
    EXPECT_FALSE(model->shortcutLabel(preset.id));

    model->removePreset(preset);
    EXPECT_EQ(GlobalHotkeys::getShortcut(name), j) << "deleting a preset leaves its key stored";
}

TEST_F(PresetsScreenModelTest, OneKeyBubbleAtATime) {
    make();
    const QUuid first = engine->presets().at(0).id;
    const QUuid second = engine->presets().at(1).id;
    int changes = 0;
    QObject::connect(model.get(), &PresetsScreenModel::shortcutPopoverPresetIDChanged,
                     [&changes] { ++changes; });
    model->setShortcutPopoverPresetID(first);
    model->setShortcutPopoverPresetID(second);
    EXPECT_EQ(model->shortcutPopoverPresetID(), second);
    model->setShortcutPopoverPresetID(second);
    EXPECT_EQ(changes, 2) << "the same id again changes nothing";
}
