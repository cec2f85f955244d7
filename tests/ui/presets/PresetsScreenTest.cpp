// The presets tab as a person uses it, through the popover root: adding, editing, duplicating and
// deleting sequences and presets within the engine's limits, choosing with the mouse and the keyboard, and
// giving a preset its key.
#include "PresetsFixture.h"

#include "hotkeys/ApplicationHotkeys.h"
#include "hotkeys/GlobalHotkeysBridge.h"
#include "hotkeys/PresetShortcutNaming.h"
#include "platform/TranslationCatalog.h"
#include "services/QStringPrinting.h"
#include "support/AccessibleReading.h"
#include "theme/ThemeSettingsKeys.h"
#include "ui/kit/GlobalHotkeysRecorder.h"
#include "ui/kit/LabelButton.h"
#include "ui/kit/TokenLabel.h"
#include "ui/popover/MainViewModel.h"
#include "ui/popover/PreparationOverlay.h"
#include "ui/presets/CurrentSequenceCard.h"
#include "ui/presets/EditorOverlay.h"
#include "ui/presets/ElidedLabel.h"
#include "ui/presets/MinutesStepper.h"
#include "ui/presets/OptionsMenuButton.h"
#include "ui/presets/PresetEditorSheet.h"
#include "ui/presets/PresetRow.h"
#include "ui/presets/PresetsSection.h"
#include "ui/presets/SectionHeader.h"
#include "ui/presets/SequenceEditorModel.h"
#include "ui/presets/SequenceEditorSheet.h"
#include "ui/presets/SequenceRow.h"
#include "ui/presets/SequenceStepChip.h"
#include "ui/presets/SequencesSection.h"
#include "ui/presets/ShortcutBadge.h"
#include "ui/presets/ShortcutBubble.h"

#include <QApplication>
#include <QFontMetricsF>
#include <QImage>
#include <QInputMethodEvent>
#include <QLineEdit>

#include <cmath>

namespace {

using Kind = SequenceStepKind;
using Tab = TarvolinTimerTab;

class PresetsScreenTest : public PresetsFixture {
public:
    SequenceStep step(Kind kind, qint64 minutes) const {
        return SequenceStep{QUuid::createUuid(), kind, minutes};
    }
    QList<TimerSequence> sequences(qsizetype count) const {
        QList<TimerSequence> list;
        for (qsizetype i = 0; i < count; ++i) {
            list.append(TimerSequence{QUuid::createUuid(),
                                      QStringLiteral("Seq %1").arg(i),
                                      {step(Kind::focus, 25), step(Kind::breakTime, 5)}});
        }
        return list;
    }
    QList<TimerPreset> presets(qsizetype count) const {
        QList<TimerPreset> list;
        for (qsizetype i = 0; i < count; ++i) {
            list.append(TimerPreset{QUuid::createUuid(), QStringLiteral("Preset %1").arg(i), 60 * (i + 1)});
        }
        return list;
    }
    SequenceEditorSheet* sequenceEditor() const { return screen()->sequenceEditor(); }
    PresetEditorSheet* presetEditor() const { return screen()->presetEditor(); }
    QList<QString> sequenceNames() const {
        QList<QString> names;
        for (const TimerSequence& s : timers->sequences()) {
            names.append(s.name);
        }
        return names;
    }
    void typeInto(QLineEdit* field, const QString& text) const {
        ASSERT_NE(field, nullptr);
        field->setFocus();
        field->selectAll();
        QTest::keyClicks(field, text);
    }
    QString sequenceRow(const TimerSequence& s) const {
        return QStringLiteral("presetsScreen.sequenceRow.") + uuid(s.id);
    }
    QString sequenceMenu(const TimerSequence& s) const {
        return QStringLiteral("presetsScreen.sequenceRow.menu.") + uuid(s.id);
    }
    QString presetRow(const TimerPreset& p) const {
        return QStringLiteral("presetsScreen.row.") + uuid(p.id);
    }
    QString presetMenu(const TimerPreset& p) const {
        return QStringLiteral("presetsScreen.row.menu.") + uuid(p.id);
    }
    QKeyEvent keyAt(GlobalHotkeys::Key key, int qtKey, Qt::KeyboardModifiers modifiers) const {
        static const auto us = GlobalHotkeys::KeyboardLayout::fromNames(QStringLiteral("us"));
        return QKeyEvent(QEvent::KeyPress, qtKey, modifiers, us->keycode(key.rawValue).value_or(0), 0, 0);
    }
};

} // namespace

TEST_F(PresetsScreenTest, TheTabShowsBothSectionsWithTheirCountsOrTheirEmptyStates) {
    const struct {
        const char* name;
        qsizetype sequenceCount;
        qsizetype presetCount;
    } rows[] = {
        {"the defaults", 3, 3},
        {"one of each", 1, 1},
        {"nothing saved", 0, 0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        persistence.sequences = sequences(row.sequenceCount);
        persistence.presets = presets(row.presetCount);
        makeEngine();
        open();
        EXPECT_EQ(screen()->objectName(), QStringLiteral("presetsScreen.root"));
        EXPECT_EQ(screen()->sequencesSection()->header()->countText(), QString::number(row.sequenceCount));
        EXPECT_EQ(screen()->presetsSection()->header()->countText(), QString::number(row.presetCount));
        const bool noSequences = row.sequenceCount == 0;
        const bool noPresets = row.presetCount == 0;
        EXPECT_EQ(named(QStringLiteral("presetsScreen.sequences.empty"))->isVisible(), noSequences);
        EXPECT_EQ(named(QStringLiteral("presetsScreen.currentSequence"))->isVisible(), !noSequences);
        EXPECT_EQ(named(QStringLiteral("presetsScreen.sequences.list"))->isVisible(), !noSequences);
        EXPECT_EQ(named(QStringLiteral("presetsScreen.empty"))->isVisible(), noPresets);
        EXPECT_EQ(named(QStringLiteral("presetsScreen.presetsCard"))->isVisible(), !noPresets);
        EXPECT_TRUE(named(QStringLiteral("presetsScreen.newSequenceButton"))->isVisible());
        EXPECT_TRUE(named(QStringLiteral("presetsScreen.addButton"))->isVisible());

        const auto& sequenceRows = screen()->sequencesSection()->rows();
        ASSERT_EQ(sequenceRows.size(), row.sequenceCount);
        for (qsizetype i = 0; i < sequenceRows.size(); ++i) {
            EXPECT_EQ(sequenceRows.at(i)->objectName(), sequenceRow(timers->sequences().at(i)));
            EXPECT_EQ(sequenceRows.at(i)->showsDivider(), i < sequenceRows.size() - 1)
                << "no divider after the last";
        }
        const auto& presetRows = screen()->presetsSection()->rows();
        ASSERT_EQ(presetRows.size(), row.presetCount);
        for (qsizetype i = 0; i < presetRows.size(); ++i) {
            EXPECT_EQ(presetRows.at(i)->objectName(), presetRow(timers->presets().at(i)));
            EXPECT_EQ(presetRows.at(i)->showsDivider(), i < presetRows.size() - 1);
        }
        TearDown();
        SetUp();
    }
}

TEST_F(PresetsScreenTest, TheTabFollowsTheDisplayDensityAsItOpensAndWhileItShows) {
    const struct {
        const char* name;
        const char* stored; // before the tab opens, then while it shows (null: nothing, no change)
        const char* storedLater;
        int inset, spacing, rowPaddingX, rowPaddingY;
    } rows[] = {
        {"spacious when nothing is stored", nullptr, nullptr, 16, 24, 16, 8},
        {"compact as the tab opens", "compact", nullptr, 12, 18, 12, 6},
        {"compact chosen while it shows", "spacious", "compact", 12, 18, 12, 6},
    };
    const QString key = ThemeSettingsKeys::displayDensity.key;
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        row.stored ? preferences.setString(key, QLatin1String(row.stored)) : preferences.remove(key);
        open();
        if (row.storedLater) {
            preferences.setString(key, QLatin1String(row.storedLater));
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        const auto at = [this](const QWidget* w) { return QRect(w->mapTo(screen(), QPoint()), w->size()); };
        EXPECT_EQ(at(named(QStringLiteral("presetsScreen.title"))).topLeft(), QPoint(row.inset, row.inset));
        EXPECT_EQ(at(screen()->presetsSection()).top() - at(screen()->sequencesSection()).bottom() - 1,
                  row.spacing);
        // Rows span the card (its visible edge at the inset, then a 1-pixel outline); the options button is
        // a row's tallest part.
        const PresetRow* first = screen()->presetsSection()->rows().first();
        EXPECT_EQ(at(first->findChild<ElidedLabel*>()).left(), row.inset + 1 + row.rowPaddingX);
        EXPECT_EQ(first->height() - first->menuButton()->height(), 2 * row.rowPaddingY);
        TearDown();
        SetUp();
    }
}

TEST_F(PresetsScreenTest, TheCurrentCardShowsTheActiveSequenceAndUseAppliesAnother) {
    persistence.sequences = sequences(2);
    persistence.sequences[1].steps = {step(Kind::focus, 25), step(Kind::breakTime, 5), step(Kind::focus, 25),
                                      step(Kind::breakTime, 5)};
    persistence.activeSequenceID = QUuid::createUuid(); // names none of them
    makeEngine();
    open();
    auto* card = named<CurrentSequenceCard>(QStringLiteral("presetsScreen.currentSequence"));
    auto* use = named<LabelButton>(QStringLiteral("presetsScreen.currentSequence.use"));
    EXPECT_EQ(card->sequence().id, timers->sequences().at(0).id) << "none active: the first";
    EXPECT_TRUE(use->isEnabled());
    EXPECT_EQ(use->text(), QStringLiteral("Use"));

    click(sequenceRow(timers->sequences().at(1)));
    EXPECT_EQ(timers->activeSequenceID(), timers->sequences().at(1).id);
    EXPECT_EQ(card->sequence().id, timers->sequences().at(1).id);
    EXPECT_FALSE(use->isEnabled());
    EXPECT_EQ(use->text(), QStringLiteral("Active"));
    ASSERT_EQ(card->chips().size(), 4);
    for (int n = 1; n <= 4; ++n) {
        EXPECT_NE(named(QStringLiteral("presetsScreen.currentSequence.step.%1").arg(n)), nullptr) << n;
    }
    EXPECT_EQ(
        named<QWidget>(QStringLiteral("presetsScreen.currentSequence.footer"))->property("text").toString(),
        PresetsScreenModel::footerText(timers->sequences().at(1)));
    EXPECT_TRUE(
        named(QStringLiteral("presetsScreen.sequenceRow.active.") + uuid(timers->sequences().at(1).id))
            ->isVisible());
    EXPECT_FALSE(
        named(QStringLiteral("presetsScreen.sequenceRow.active.") + uuid(timers->sequences().at(0).id))
            ->isVisible());
}

TEST_F(PresetsScreenTest, TheAddTilesRequestOpensTheNewSequenceEditorOnce) {
    open();
    root->focusCoordinator().focusTab(Tab::timers);
    root->focusCoordinator().focusPresets(PresetsPendingAction::createSequence);
    ASSERT_NE(screen(), nullptr);
    ASSERT_NE(sequenceEditor(), nullptr);
    EXPECT_FALSE(coordinator().pendingPresetsAction());
    EXPECT_TRUE(sequenceEditor()->nameField()->text().isEmpty());
    EXPECT_EQ(sequenceEditor()->model().steps().size(), 2);
    EXPECT_FALSE(sequenceEditor()->saveButton()->isEnabled()) << "a name is needed";
    EXPECT_TRUE(sequenceEditor()->nameField()->hasFocus());

    QTest::keyClick(sequenceEditor()->nameField(), Qt::Key_Escape);
    flushDeletes();
    EXPECT_EQ(sequenceEditor(), nullptr);
    EXPECT_TRUE(root->isKeyNavFocused()) << "the arrows work again";
    EXPECT_EQ(timers->sequences().size(), 3);

    root->focusCoordinator().focusTab(Tab::timers);
    root->focusCoordinator().focusTab(Tab::presets);
    EXPECT_EQ(sequenceEditor(), nullptr) << "not opened again";
}

TEST_F(PresetsScreenTest, ANewSequenceIsComposedSavedAndMadeCurrent) {
    open();
    click(QStringLiteral("presetsScreen.newSequenceButton"));
    ASSERT_NE(sequenceEditor(), nullptr);
    SequenceEditorSheet* editor = sequenceEditor();

    typeInto(editor->nameField(), QStringLiteral("   "));
    EXPECT_FALSE(editor->saveButton()->isEnabled()) << "spaces are no name";
    QTest::keyClick(editor->nameField(), Qt::Key_Return);
    EXPECT_EQ(sequenceEditor(), editor) << "Return never saves a sequence";
    typeInto(editor->nameField(), QStringLiteral("  Evening "));
    EXPECT_TRUE(editor->saveButton()->isEnabled());

    click(QStringLiteral("presetsScreen.sequenceEditor.addStep"));
    click(QStringLiteral("presetsScreen.sequenceEditor.step.0.kind"));
    click(named<MinutesStepper>(QStringLiteral("presetsScreen.sequenceEditor.step.2.minutes"))->plusButton());
    click(QStringLiteral("presetsScreen.sequenceEditor.step.2.moveUp"));
    click(QStringLiteral("presetsScreen.sequenceEditor.saveButton"));
    flushDeletes();

    EXPECT_EQ(sequenceEditor(), nullptr);
    ASSERT_EQ(timers->sequences().size(), 4);
    const TimerSequence added = timers->sequences().last();
    EXPECT_EQ(added.name, QStringLiteral("Evening"));
    QList<std::pair<Kind, qint64>> shape;
    for (const SequenceStep& s : added.steps) {
        shape.append({s.kind, s.minutes});
    }
    EXPECT_EQ(shape, (QList<std::pair<Kind, qint64>>{
                         {Kind::breakTime, 25}, {Kind::focus, 26}, {Kind::breakTime, 5}}));
    EXPECT_EQ(timers->activeSequenceID(), added.id);
    EXPECT_EQ(named<CurrentSequenceCard>(QStringLiteral("presetsScreen.currentSequence"))->sequence().id,
              added.id);
    EXPECT_EQ(screen()->sequencesSection()->rows().size(), 4);
    EXPECT_TRUE(root->isKeyNavFocused());
}

TEST_F(PresetsScreenTest, TheStepEditorsButtonsFollowTheirLimits) {
    open();
    click(QStringLiteral("presetsScreen.newSequenceButton"));
    SequenceEditorSheet* editor = sequenceEditor();
    auto* addStep = named<QAbstractButton>(QStringLiteral("presetsScreen.sequenceEditor.addStep"));
    for (int i = 0; i < 6; ++i) {
        click(addStep);
    }
    EXPECT_EQ(editor->model().steps().size(), 8);
    EXPECT_FALSE(addStep->isEnabled()) << "eight is the most";
    EXPECT_FALSE(named<QWidget>(QStringLiteral("presetsScreen.sequenceEditor.step.0.moveUp"))->isEnabled());
    EXPECT_FALSE(named<QWidget>(QStringLiteral("presetsScreen.sequenceEditor.step.7.moveDown"))->isEnabled());
    for (int i = 0; i < 7; ++i) {
        click(QStringLiteral("presetsScreen.sequenceEditor.step.0.delete"));
    }
    flushDeletes();
    EXPECT_EQ(editor->model().steps().size(), 1);
    EXPECT_TRUE(addStep->isEnabled());
    EXPECT_FALSE(named<QWidget>(QStringLiteral("presetsScreen.sequenceEditor.step.0.delete"))->isEnabled())
        << "the last step stays";
    auto* stepper = named<MinutesStepper>(QStringLiteral("presetsScreen.sequenceEditor.step.0.minutes"));
    for (int i = 0; i < 30; ++i) {
        click(stepper->minusButton());
    }
    EXPECT_EQ(editor->model().minutes(0), 1) << "never below one minute";
    // Read as one stepper named by its value, not as two nameless buttons around a label.
    EXPECT_EQ(AccessibleReading::role(stepper), QAccessible::SpinBox);
    EXPECT_EQ(AccessibleReading::name(stepper), QStringLiteral("1 min"));
    EXPECT_EQ(AccessibleReading::childCount(stepper), 0);
}

TEST_F(PresetsScreenTest, AStepsMinutesKeepTheUnitStillWhateverTheDigits) {
    // A face whose digits are not all as wide as each other in Japanese text, as many desktop faces' digits
    // are everywhere.
    struct FaceAndLanguage {
        QFont before = QApplication::font();
        FaceAndLanguage() {
            QApplication::setFont(QFont(QStringLiteral("Noto Serif CJK JP")));
            TranslationCatalog::install(QStringLiteral("ja"));
        }
        ~FaceAndLanguage() {
            TranslationCatalog::install(QStringLiteral("en"));
            QApplication::setFont(before);
        }
    } face;
    open();
    click(QStringLiteral("presetsScreen.newSequenceButton"));
    SequenceEditorSheet* editor = sequenceEditor();
    ASSERT_NE(editor, nullptr);
    auto* stepper = named<MinutesStepper>(QStringLiteral("presetsScreen.sequenceEditor.step.0.minutes"));
    auto* label = stepper->findChild<TokenLabel*>();
    ASSERT_NE(label, nullptr);
    // Where the unit's last stroke ends, drawn four times larger so a fraction of a pixel shows.
    const auto unitEnd = [&] {
        constexpr int scale = 4;
        QImage image(label->size() * scale, QImage::Format_ARGB32_Premultiplied);
        image.setDevicePixelRatio(scale);
        image.fill(Qt::white);
        label->render(&image);
        for (int x = image.width() - 1; x >= 0; --x) {
            for (int y = 0; y < image.height(); ++y) {
                if (qGray(image.pixel(x, y)) < 128) {
                    return x;
                }
            }
        }
        return -1;
    };
    QStringList texts;
    QList<int> ends;
    for (const qint64 minutes : {20, 11}) {
        while (editor->model().minutes(0) > minutes) {
            click(stepper->minusButton());
        }
        ASSERT_EQ(stepper->value(), minutes);
        texts << label->text();
        ends << unitEnd();
    }
    const QFontMetricsF metrics(label->font());
    ASSERT_GT(std::abs(metrics.horizontalAdvance(texts.at(0)) - metrics.horizontalAdvance(texts.at(1))), 1.0)
        << "in this face the two take different widths when each digit keeps its own";
    EXPECT_GE(ends.at(0), 0);
    EXPECT_EQ(ends.at(0), ends.at(1)) << "the unit stands where it stood";
}

TEST_F(PresetsScreenTest, RowMenusEditDuplicateAndDeleteSequencesOnlyAfterConfirmation) {
    open();
    const TimerSequence second = timers->sequences().at(1);

    chooseFromMenu(sequenceMenu(second), "edit");
    ASSERT_NE(sequenceEditor(), nullptr);
    EXPECT_EQ(sequenceEditor()->nameField()->text(), second.name);
    EXPECT_EQ(sequenceEditor()->saveButton()->text(), QStringLiteral("Save"));
    typeInto(sequenceEditor()->nameField(), QStringLiteral("Renamed"));
    click(sequenceEditor()->saveButton());
    flushDeletes();
    EXPECT_EQ(timers->sequences().at(1).id, second.id);
    EXPECT_EQ(timers->sequences().at(1).name, QStringLiteral("Renamed"));

    chooseFromMenu(sequenceMenu(second), "duplicate");
    ASSERT_EQ(timers->sequences().size(), 4);
    EXPECT_EQ(timers->sequences().last().name, QStringLiteral("Renamed Copy"));
    EXPECT_EQ(screen()->sequencesSection()->rows().last()->objectName(),
              sequenceRow(timers->sequences().last()));

    const struct {
        const char* name;
        std::function<void(PresetsScreenTest&)> answer;
        qsizetype countAfter;
    } rows[] = {
        {"Cancel keeps it",
         [](PresetsScreenTest& t) { t.click(QStringLiteral("presetsScreen.deleteConfirmation.cancel")); }, 4},
        {"Escape keeps it", [](PresetsScreenTest& t) { t.key(Qt::Key_Escape); }, 4},
        {"Delete removes it",
         [](PresetsScreenTest& t) { t.click(QStringLiteral("presetsScreen.deleteConfirmation.delete")); }, 3},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        chooseFromMenu(sequenceMenu(second), "delete");
        ASSERT_NE(alert("presetsScreen.deleteConfirmation"), nullptr);
        EXPECT_EQ(alert("presetsScreen.deleteConfirmation")->parentWidget(), root.get())
            << "inside the popover";
        EXPECT_EQ(timers->sequences().size(), 4) << "nothing goes before the answer";
        row.answer(*this);
        flushDeletes();
        EXPECT_EQ(alert("presetsScreen.deleteConfirmation"), nullptr);
        EXPECT_EQ(timers->sequences().size(), row.countAfter);
        EXPECT_FALSE(screen()->model().sequencePendingDelete());
    }
    EXPECT_FALSE(sequenceNames().contains(QStringLiteral("Renamed")));
    EXPECT_EQ(named(sequenceRow(second)), nullptr);
}

TEST_F(PresetsScreenTest, TheEnginesLimitsHoldWhateverTheScreenOffers) {
    const struct {
        const char* name;
        std::function<void(PresetsScreenTest&)> act;
    } rows[] = {
        {"duplicating the twentieth sequence",
         [](PresetsScreenTest& t) {
             t.chooseFromMenu(t.sequenceMenu(t.timers->sequences().first()), "duplicate");
         }},
        {"saving a new sequence at twenty",
         [](PresetsScreenTest& t) {
             t.click(QStringLiteral("presetsScreen.newSequenceButton"));
             t.typeInto(t.sequenceEditor()->nameField(), QStringLiteral("One too many"));
             t.click(t.sequenceEditor()->saveButton());
         }},
        {"saving an eleventh preset",
         [](PresetsScreenTest& t) {
             t.click(QStringLiteral("presetsScreen.addButton"));
             EXPECT_NE(t.presetEditor(), nullptr) << "the add button opens the editor even when full";
             t.typeInto(t.presetEditor()->nameField(), QStringLiteral("Eleventh"));
             t.click(t.presetEditor()->saveButton());
         }},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        persistence.sequences = sequences(TimerManager::maxSequences);
        persistence.presets = presets(TimerManager::maxPresets);
        makeEngine();
        open();
        row.act(*this);
        flushDeletes();
        EXPECT_EQ(timers->sequences().size(), TimerManager::maxSequences);
        EXPECT_EQ(timers->presets().size(), TimerManager::maxPresets);
        EXPECT_EQ(screen()->sequencesSection()->rows().size(), TimerManager::maxSequences);
        EXPECT_EQ(screen()->presetsSection()->rows().size(), TimerManager::maxPresets);
        EXPECT_EQ(sequenceEditor(), nullptr) << "the editor closes all the same";
        EXPECT_EQ(presetEditor(), nullptr);
        TearDown();
        SetUp();
    }
}

TEST_F(PresetsScreenTest, PresetsAreAddedWithReturnEditedAndDeletedAtOnce) {
    open();
    click(QStringLiteral("presetsScreen.addButton"));
    PresetEditorSheet* editor = presetEditor();
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->minutesField()->text(), QStringLiteral("25"));
    EXPECT_TRUE(editor->nameField()->hasFocus());
    typeInto(editor->nameField(), QStringLiteral("Tea"));
    typeInto(editor->minutesField(), QStringLiteral("481"));
    EXPECT_FALSE(editor->saveButton()->isEnabled());
    QTest::keyClick(editor->minutesField(), Qt::Key_Return);
    EXPECT_EQ(presetEditor(), editor) << "an invalid length does not save";
    typeInto(editor->minutesField(), QStringLiteral(" +4 "));
    QTest::keyClick(editor->minutesField(), Qt::Key_Return);
    flushDeletes();
    EXPECT_EQ(presetEditor(), nullptr);
    ASSERT_EQ(timers->presets().size(), 4);
    const TimerPreset tea = timers->presets().last();
    EXPECT_EQ(tea.name, QStringLiteral("Tea"));
    EXPECT_EQ(tea.durationInSeconds, 240);
    auto* teaRow = named<PresetRow>(presetRow(tea));
    ASSERT_NE(teaRow, nullptr);
    EXPECT_EQ(teaRow->accessibleName(), QStringLiteral("Tea, 04:00"));
    EXPECT_TRUE(root->isKeyNavFocused());

    chooseFromMenu(presetMenu(tea), "edit");
    ASSERT_NE(presetEditor(), nullptr);
    EXPECT_EQ(presetEditor()->nameField()->text(), QStringLiteral("Tea"));
    EXPECT_EQ(presetEditor()->minutesField()->text(), QStringLiteral("4"));
    typeInto(presetEditor()->minutesField(), QStringLiteral("90"));
    QTest::keyClick(presetEditor()->nameField(), Qt::Key_Return);
    flushDeletes();
    EXPECT_EQ(timers->presets().last().id, tea.id);
    EXPECT_EQ(timers->presets().last().durationInSeconds, 5400);
    EXPECT_EQ(named<PresetRow>(presetRow(tea))->accessibleName(), QStringLiteral("Tea, 1:30:00"));

    chooseFromMenu(presetMenu(tea), "edit");
    QTest::keyClick(presetEditor()->nameField(), Qt::Key_Escape);
    flushDeletes();
    EXPECT_EQ(presetEditor(), nullptr);

    const auto name = PresetShortcutNaming::shortcutName(tea.id);
    GlobalHotkeys::setShortcut(
        GlobalHotkeys::Shortcut(GlobalHotkeys::Key::t.rawValue, GlobalHotkeys::CarbonModifier::control),
        name);
    chooseFromMenu(presetMenu(tea), "delete");
    EXPECT_EQ(alert("presetsScreen.deleteConfirmation"), nullptr) << "no question for a preset";
    EXPECT_EQ(timers->presets().size(), 3);
    EXPECT_EQ(named(presetRow(tea)), nullptr);
    EXPECT_TRUE(GlobalHotkeys::getShortcut(name)) << "its key stays stored";
}

TEST_F(PresetsScreenTest, AClickOnAPresetGoesToTheConfirmationCard) {
    open();
    const TimerPreset first = timers->presets().first();
    click(presetRow(first));
    ASSERT_NE(card(), nullptr);
    EXPECT_EQ(root->model().pendingStartRequest()->title(), first.name);
    EXPECT_EQ(root->model().pendingStartRequest()->kind(),
              TimerStartRequest::Kind(TimerStartRequest::duration{first.durationInSeconds}));
    EXPECT_TRUE(timers->timers().isEmpty());
}

TEST_F(PresetsScreenTest, APresetsPurposeWrapsWholeWhileItsNameAndLengthKeepToOneLine) {
    namespace Modifier = GlobalHotkeys::CarbonModifier;
    const struct {
        const char* name;
        const char* language;
        const char* purpose;
        bool keyOnBadge; // the widest key text on the badge leaves the texts less room
    } rows[] = {
        {"English, beside a key's text", "en", "For a focused work block", true},
        {"Japanese, with no spaces to break at", "ja", "まとまった集中時間に", true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        preferences.setString(QStringLiteral("bl.appLanguage"), QLatin1String(row.language));
        makeEngine();
        const QList<TimerPreset>& all = timers->presets();
        const auto hour = std::find_if(all.begin(), all.end(),
                                       [](const TimerPreset& p) { return p.durationInSeconds == 3600; });
        ASSERT_NE(hour, all.end());
        GlobalHotkeys::setShortcut(
            row.keyOnBadge ? std::optional(GlobalHotkeys::Shortcut(GlobalHotkeys::Key::space.rawValue,
                                                                   Modifier::control | Modifier::option |
                                                                       Modifier::shift | Modifier::command))
                           : std::nullopt,
            PresetShortcutNaming::shortcutName(hour->id));
        open();
        // The badge's text, read as it appeared, laid out: each layer lays itself out on its own turn.
        for (int turn = 0; turn < 10; ++turn) {
            QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        }
        auto* presetRowWidget = named<PresetRow>(presetRow(*hour));
        auto* purpose = named<QLabel>(QStringLiteral("presetsScreen.row.purpose.") + uuid(hour->id));
        ASSERT_NE(purpose, nullptr);
        EXPECT_EQ(purpose->text(), QString::fromUtf8(row.purpose)) << "whole, with no ellipsis";
        const QFontMetrics metrics(purpose->font());
        const QRect single = metrics.boundingRect(purpose->text());
        const QRect lines =
            metrics.boundingRect(QRect(0, 0, purpose->width(), 1000), Qt::TextWordWrap, purpose->text());
        EXPECT_GT(lines.height(), single.height() * 3 / 2) << "more than one line at the popover's width";
        EXPECT_GE(purpose->height(), lines.height()) << "every line shown";
        // Inside the row, so its hover and selection grounds cover every line; the row inside its card.
        EXPECT_TRUE(presetRowWidget->rect().contains(
            QRect(purpose->mapTo(presetRowWidget, QPoint()), purpose->size())));
        EXPECT_TRUE(presetRowWidget->parentWidget()->rect().contains(presetRowWidget->geometry()));
        for (const QLabel* oneLine :
             {static_cast<QLabel*>(presetRowWidget->findChild<ElidedLabel*>()),
              named<QLabel>(QStringLiteral("presetsScreen.row.duration.") + uuid(hour->id))}) {
            ASSERT_NE(oneLine, nullptr);
            EXPECT_LT(oneLine->height(), 2 * QFontMetrics(oneLine->font()).lineSpacing())
                << oneLine->text().toStdString();
        }
    }
}

TEST_F(PresetsScreenTest, RowsReadAsItemsOfTheirListsLabelledAsAWholeAndPressedLikeAClick) {
    open();
    const TimerPreset first = timers->presets().first();
    auto* row = named<PresetRow>(presetRow(first));
    EXPECT_EQ(AccessibleReading::role(row), QAccessible::ListItem);
    EXPECT_EQ(AccessibleReading::role(row->parentWidget()), QAccessible::List);
    EXPECT_TRUE(AccessibleReading::state(row).selectable);
    EXPECT_EQ(AccessibleReading::description(row), QStringLiteral("Select to review before starting"));
    // The name, purpose and length are in the row's label; its two buttons are still reached.
    for (QWidget* child : row->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        const bool button =
            child == static_cast<QWidget*>(row->badge()) || child == static_cast<QWidget*>(row->menuButton());
        EXPECT_EQ(AccessibleReading::isRead(child), button)
            << child->metaObject()->className() << " " << child->objectName().toStdString();
    }
    const TimerSequence sequence = timers->sequences().at(1);
    auto* sequenceRowWidget = named<SequenceRow>(sequenceRow(sequence));
    EXPECT_EQ(AccessibleReading::role(sequenceRowWidget), QAccessible::ListItem);
    EXPECT_EQ(AccessibleReading::description(sequenceRowWidget), QStringLiteral("Use this sequence"));

    // Pressing the element does what the click does.
    AccessibleReading::of(sequenceRowWidget)
        ->actionInterface()
        ->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(timers->activeSequenceID(), sequence.id);
    AccessibleReading::of(row)->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    ASSERT_NE(card(), nullptr);
    EXPECT_EQ(root->model().pendingStartRequest()->title(), first.name);
}

TEST_F(PresetsScreenTest, TheKeyboardSelectsRowsAndStepsAndConfirmsThem) {
    open();
    ASSERT_TRUE(root->isKeyNavFocused());
    const auto sequenceRows = screen()->sequencesSection()->rows();
    const auto presetRows = screen()->presetsSection()->rows();
    const struct {
        const char* name;
        int key;
        int selectedSequence; // -1: none
        int selectedPreset;
    } steps[] = {
        {"down to the first sequence", Qt::Key_Down, 0, -1},
        {"down", Qt::Key_Down, 1, -1},
        {"down", Qt::Key_Down, 2, -1},
        {"down to the first preset", Qt::Key_Down, -1, 0},
        {"down", Qt::Key_Down, -1, 1},
        {"up", Qt::Key_Up, -1, 0},
        {"up back to the last sequence", Qt::Key_Up, 2, -1},
    };
    for (const auto& s : steps) {
        key(s.key);
        for (int i = 0; i < sequenceRows.size(); ++i) {
            EXPECT_EQ(sequenceRows.at(i)->isSelected(), i == s.selectedSequence)
                << s.name << " sequence " << i;
            EXPECT_EQ(AccessibleReading::state(sequenceRows.at(i)).selected, i == s.selectedSequence)
                << s.name << " sequence " << i << " as a screen reader hears it";
        }
        for (int i = 0; i < presetRows.size(); ++i) {
            EXPECT_EQ(presetRows.at(i)->isSelected(), i == s.selectedPreset) << s.name << " preset " << i;
            EXPECT_EQ(AccessibleReading::state(presetRows.at(i)).selected, i == s.selectedPreset)
                << s.name << " preset " << i << " as a screen reader hears it";
        }
    }
    key(Qt::Key_Return);
    EXPECT_EQ(timers->activeSequenceID(), timers->sequences().at(2).id)
        << "Return applies the selected sequence";

    auto* card = named<CurrentSequenceCard>(QStringLiteral("presetsScreen.currentSequence"));
    key(Qt::Key_Right);
    EXPECT_TRUE(card->chips().first()->isSelected());
    EXPECT_TRUE(AccessibleReading::state(card->chips().first()).selected);
    EXPECT_FALSE(AccessibleReading::state(card->chips().at(1)).selected);
    key(Qt::Key_Left);
    key(Qt::Key_Left);
    EXPECT_TRUE(card->chips().first()->isSelected()) << "held at the first step";

    key(Qt::Key_Down);
    key(Qt::Key_Return);
    ASSERT_NE(this->card(), nullptr) << "Return hands the selected preset to the confirmation card";
    EXPECT_EQ(root->model().pendingStartRequest()->title(), timers->presets().first().name);
}

TEST_F(PresetsScreenTest, TheMenuKeyOpensTheSelectedRowsOptionsOrTheScreensOwn) {
    open();
    key(Qt::Key_F10, Qt::ShiftModifier);
    QMenu* menu = named<QMenu>(QStringLiteral("presetsScreen.menu"));
    ASSERT_NE(menu, nullptr);
    ASSERT_TRUE(menu->isVisible());
    menu->findChild<QAction*>(QStringLiteral("addPreset"))->trigger();
    menu->close();
    flushDeletes();
    ASSERT_NE(presetEditor(), nullptr);
    QTest::keyClick(presetEditor()->nameField(), Qt::Key_Escape);
    flushDeletes();
    ASSERT_TRUE(root->isKeyNavFocused());

    for (int i = 0; i < 4; ++i) {
        key(Qt::Key_Down); // three sequences, then the first preset
    }
    key(Qt::Key_Menu);
    PresetRow* selected = screen()->presetsSection()->selectedRow();
    ASSERT_NE(selected, nullptr);
    QMenu* rowMenu = named<QAbstractButton>(presetMenu(selected->preset()))->findChild<QMenu*>();
    ASSERT_NE(rowMenu, nullptr);
    EXPECT_TRUE(rowMenu->isVisible());
    rowMenu->findChild<QAction*>(QStringLiteral("edit"))->trigger();
    rowMenu->close();
    flushDeletes();
    ASSERT_NE(presetEditor(), nullptr);
    EXPECT_EQ(presetEditor()->nameField()->text(), selected->preset().name);
}

TEST_F(PresetsScreenTest, APresetsKeyIsRecordedInItsBubbleAndShownOnItsBadge) {
    open();
    const TimerPreset first = timers->presets().first();
    const TimerPreset second = timers->presets().at(1);
    auto* badge = named<ShortcutBadge>(QStringLiteral("presetsScreen.row.shortcut.") + uuid(first.id));
    ASSERT_NE(badge, nullptr);
    EXPECT_FALSE(badge->label());
    EXPECT_EQ(badge->accessibleName(), QStringLiteral("Assign a key to %1").arg(first.name));

    click(badge);
    ShortcutBubble* bubble = screen()->shortcutBubble();
    ASSERT_NE(bubble, nullptr);
    auto* recorder = named<GlobalHotkeys::Recorder>(QStringLiteral("presetsScreen.row.shortcutRecorder.") +
                                                    uuid(first.id));
    ASSERT_NE(recorder, nullptr);
    click(recorder);
    ASSERT_TRUE(recorder->isRecording());
    QKeyEvent press = keyAt(GlobalHotkeys::Key::k, Qt::Key_K, Qt::AltModifier | Qt::MetaModifier);
    QApplication::sendEvent(recorder, &press);

    const QString storedKey = QStringLiteral("GlobalHotkeys_tarvolin.preset.") + uuid(first.id);
    EXPECT_EQ(preferences.value(storedKey).toString(),
              QStringLiteral(R"({"carbonKeyCode":40,"carbonModifiers":2304})"));
    EXPECT_EQ(badge->label(), QStringLiteral("⌥⌘K"));
    EXPECT_EQ(badge->accessibleName(), QStringLiteral("%1 shortcut ⌥⌘K").arg(first.name));
    EXPECT_EQ(screen()->shortcutBubble(), bubble) << "the bubble stays open";
    EXPECT_TRUE(backend.isHeld(*GlobalHotkeys::getShortcut(PresetShortcutNaming::shortcutName(first.id))));

    // The same key for another preset is refused by name.
    click(named(QStringLiteral("presetsScreen.row.shortcut.") + uuid(second.id)));
    flushDeletes();
    auto* secondRecorder = named<GlobalHotkeys::Recorder>(
        QStringLiteral("presetsScreen.row.shortcutRecorder.") + uuid(second.id));
    ASSERT_NE(secondRecorder, nullptr);
    click(secondRecorder);
    QKeyEvent again = keyAt(GlobalHotkeys::Key::k, Qt::Key_K, Qt::AltModifier | Qt::MetaModifier);
    QApplication::sendEvent(secondRecorder, &again);
    AlertOverlay* refusal = alert("recorder.alert");
    ASSERT_NE(refusal, nullptr);
    EXPECT_TRUE(refusal->alert().message.contains(first.name));
    EXPECT_FALSE(preferences.contains(QStringLiteral("GlobalHotkeys_tarvolin.preset.") + uuid(second.id)));
    click(refusal->buttons().first());
    flushDeletes();
    key(Qt::Key_Escape); // ends the recording
    key(Qt::Key_Escape); // closes the bubble
    flushDeletes();
    EXPECT_EQ(screen()->shortcutBubble(), nullptr);
    EXPECT_TRUE(root->isKeyNavFocused()) << "the arrows work again";

    // Clearing in the first preset's bubble takes the text off its badge.
    click(badge);
    auto* clearing = named<GlobalHotkeys::Recorder>(QStringLiteral("presetsScreen.row.shortcutRecorder.") +
                                                    uuid(first.id));
    click(clearing->clearButton());
    EXPECT_FALSE(preferences.contains(storedKey));
    EXPECT_FALSE(badge->label());
}

TEST_F(PresetsScreenTest, ABubblesHeadingWrapsWholeAndTheBubbleGrowsDownOnlyWithinTheScreen) {
    const QString spaced = QStringLiteral("Deep writing block for the quarterly planning document");
    const struct {
        const char* name;
        const char* language;
        QString presetName;
        bool whole; // false: taller than the popover, it shows what fits and reads whole
    } rows[] = {
        {"English, between words", "en", spaced, true},
        {"Japanese, between characters", "ja",
         QStringLiteral("四半期計画書のための深い執筆ブロックと見直しの時間"), true},
        {"one word wider than the bubble, inside it", "en", QStringLiteral("Quarterly").repeated(8), true},
        {"a name taller than the popover", "en", spaced.repeated(20), false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        TranslationCatalog::install(QLatin1String(row.language));
        makeEngine();
        const TimerPreset preset = timers->presets().at(1);
        timers->updatePreset(preset, row.presetName, preset.durationInSeconds / 60);
        open();
        click(named(QStringLiteral("presetsScreen.row.shortcut.") + uuid(preset.id)));
        ShortcutBubble* bubble = screen()->shortcutBubble();
        auto* title = named<QLabel>(QStringLiteral("presetsScreen.row.shortcutPopover.title"));
        ASSERT_NE(title, nullptr);
        EXPECT_EQ(bubble->accessibleName(), ShortcutBubble::tr("Key for %1").arg(row.presetName));
        EXPECT_TRUE(screen()->rect().contains(bubble->geometry()));
        // Broken anywhere, the text takes the fewest lines it can: the heading is at least that tall.
        const QFontMetrics metrics(title->font());
        const QRect fewest =
            metrics.boundingRect(QRect(0, 0, title->width(), 100000), Qt::TextWrapAnywhere, title->text());
        EXPECT_EQ(title->height() >= fewest.height(), row.whole);
        TearDown();
        SetUp();
    }
    TranslationCatalog::install(QStringLiteral("en"));
}

TEST_F(PresetsScreenTest, KOpensTheSelectedPresetsBubbleReadyToRecord) {
    open();
    for (int i = 0; i < 4; ++i) {
        key(Qt::Key_Down);
    }
    key(Qt::Key_K);
    ASSERT_NE(screen()->shortcutBubble(), nullptr);
    EXPECT_EQ(screen()->shortcutBubble()->preset().id, timers->presets().first().id);
    EXPECT_TRUE(screen()->shortcutBubble()->recorder()->isRecording());
    EXPECT_TRUE(GlobalHotkeys::isPaused());

    // A click beside the bubble closes it and ends the recording.
    click(named(QStringLiteral("presetsScreen.shortcutPopover.scrim")));
    flushDeletes();
    EXPECT_EQ(screen()->shortcutBubble(), nullptr);
    EXPECT_FALSE(GlobalHotkeys::isPaused());
    EXPECT_TRUE(GlobalHotkeys::isEnabled());
}

TEST_F(PresetsScreenTest, TheBadgeShowsAStoredKeyWhenItFirstAppearsAndKeepsItsText) {
    makeEngine();
    const TimerPreset first = timers->presets().first();
    const auto name = PresetShortcutNaming::shortcutName(first.id);
    GlobalHotkeys::setShortcut(
        GlobalHotkeys::Shortcut(GlobalHotkeys::Key::j.rawValue, GlobalHotkeys::CarbonModifier::control),
        name);
    open();
    auto* badge = named<ShortcutBadge>(QStringLiteral("presetsScreen.row.shortcut.") + uuid(first.id));
    EXPECT_EQ(badge->label(), QStringLiteral("⌃J"));
    GlobalHotkeys::setShortcut(std::nullopt, name);
    EXPECT_EQ(badge->label(), QStringLiteral("⌃J")) << "changes elsewhere are not followed";
    root->focusCoordinator().focusTab(Tab::timers);
    root->focusCoordinator().focusTab(Tab::presets);
    flushDeletes(); // the old screen goes once the switch is over
    badge = named<ShortcutBadge>(QStringLiteral("presetsScreen.row.shortcut.") + uuid(first.id));
    EXPECT_FALSE(badge->label()) << "a new screen reads the store again";
}

TEST_F(PresetsScreenTest, AKeyRecordedForANewPresetStartsItThroughTheRunningBindings) {
    makeEngine();
    GlobalHotkeysBridge bridge;
    followPresetHotkeys(bridge, *timers,
                        ApplicationHotkeyActions::forTimers([this] { return timers.get(); }).startPreset);
    open();
    click(QStringLiteral("presetsScreen.addButton"));
    typeInto(presetEditor()->nameField(), QStringLiteral("Tea"));
    typeInto(presetEditor()->minutesField(), QStringLiteral("4"));
    click(presetEditor()->saveButton());
    flushDeletes();
    const TimerPreset tea = timers->presets().last();
    ASSERT_EQ(tea.name, QStringLiteral("Tea"));

    click(named(QStringLiteral("presetsScreen.row.shortcut.") + uuid(tea.id)));
    auto* recorder =
        named<GlobalHotkeys::Recorder>(QStringLiteral("presetsScreen.row.shortcutRecorder.") + uuid(tea.id));
    ASSERT_NE(recorder, nullptr);
    click(recorder);
    QKeyEvent press = keyAt(GlobalHotkeys::Key::y, Qt::Key_Y, Qt::ControlModifier | Qt::AltModifier);
    QApplication::sendEvent(recorder, &press);
    key(Qt::Key_Escape); // ends the recording
    key(Qt::Key_Escape); // closes the bubble
    flushDeletes();
    ASSERT_FALSE(GlobalHotkeys::isPaused());

    const GlobalHotkeys::Shortcut recorded(GlobalHotkeys::Key::y.rawValue,
                                           GlobalHotkeys::CarbonModifier::control |
                                               GlobalHotkeys::CarbonModifier::option);
    ASSERT_EQ(GlobalHotkeys::getShortcut(PresetShortcutNaming::shortcutName(tea.id)), recorded);
    EXPECT_TRUE(backend.isHeld(recorded)) << "grabbed on the desktop";
    backend.tap(recorded);
    ASSERT_EQ(timers->timers().size(), 1);
    EXPECT_EQ(timers->timers().first().title, QStringLiteral("Tea"));
    EXPECT_EQ(timers->timers().first().state, TimerState::running);

    // A rename through the editor is what the next release starts; a deleted preset starts nothing.
    chooseFromMenu(presetMenu(tea), "edit");
    typeInto(presetEditor()->nameField(), QStringLiteral("Green tea"));
    click(presetEditor()->saveButton());
    flushDeletes();
    backend.tap(recorded);
    ASSERT_EQ(timers->timers().size(), 2);
    EXPECT_EQ(timers->timers().last().title, QStringLiteral("Green tea"));
    chooseFromMenu(presetMenu(timers->presets().last()), "delete");
    backend.tap(recorded);
    EXPECT_EQ(timers->timers().size(), 2);
}

TEST_F(PresetsScreenTest, EachOverlayKeepsTheKeyboardUntilEscapeClosesItAndGivesItBack) {
    open();
    const auto newSequence = [](PresetsScreenTest& t) {
        t.click(QStringLiteral("presetsScreen.newSequenceButton"));
    };
    const auto sequenceOverlay = [](PresetsScreenTest& t) -> QWidget* {
        return t.screen()->sequenceEditorOverlay();
    };
    // The popover closes as another window takes the keyboard, and opens again.
    const auto showAgain = [](PresetsScreenTest& t) {
        t.root->hide();
        QWidget elsewhere;
        elsewhere.show();
        elsewhere.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&elsewhere));
        t.root->show();
        t.root->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(t.root.get()));
    };
    const struct {
        const char* behaviour;
        std::function<void(PresetsScreenTest&)> open;
        std::function<QWidget*(PresetsScreenTest&)> overlay;
        std::function<void(PresetsScreenTest&)> disturb;
        const char* holder; // what has the keyboard afterwards
    } rows[] = {
        {"a step deleted with the mouse", newSequence, sequenceOverlay,
         [](PresetsScreenTest& t) { t.click(QStringLiteral("presetsScreen.sequenceEditor.step.0.delete")); },
         "presetsScreen.sequenceEditor.nameField"},
        {"a step deleted while its neighbour's row held the keyboard", newSequence, sequenceOverlay,
         [](PresetsScreenTest& t) {
             t.named(QStringLiteral("presetsScreen.sequenceEditor.step.1.minutes"))
                 ->setFocus(Qt::TabFocusReason);
             t.click(QStringLiteral("presetsScreen.sequenceEditor.step.0.delete"));
         },
         "presetsScreen.sequenceEditor.nameField"},
        {"a click on the preset editor's own ground",
         [](PresetsScreenTest& t) { t.click(QStringLiteral("presetsScreen.addButton")); },
         [](PresetsScreenTest& t) -> QWidget* { return t.screen()->presetEditorOverlay(); },
         [](PresetsScreenTest& t) {
             QWidget* sheet = t.presetEditor();
             QTest::mouseClick(sheet, Qt::LeftButton, {}, QPoint(sheet->width() / 2, 40));
         },
         "presetsScreen.addSheet.nameField"},
        {"the popover shown again over the sequence editor", newSequence, sequenceOverlay, showAgain,
         "presetsScreen.sequenceEditor.nameField"},
        {"the popover shown again over the delete question",
         [](PresetsScreenTest& t) {
             t.chooseFromMenu(t.sequenceMenu(t.timers->sequences().first()), "delete");
         },
         [](PresetsScreenTest& t) -> QWidget* { return t.alert("presetsScreen.deleteConfirmation"); },
         showAgain, "presetsScreen.deleteConfirmation.cancel"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.behaviour);
        row.open(*this);
        QWidget* overlay = row.overlay(*this);
        ASSERT_NE(overlay, nullptr);
        row.disturb(*this);
        flushDeletes();
        QWidget* focused = QApplication::focusWidget();
        ASSERT_NE(focused, nullptr);
        EXPECT_EQ(focused->objectName(), QLatin1String(row.holder)) << "not the tab behind";
        EXPECT_TRUE(overlay->isAncestorOf(focused));
        key(Qt::Key_Escape);
        flushDeletes();
        EXPECT_EQ(row.overlay(*this), nullptr) << "Escape closes it";
        EXPECT_TRUE(root->isKeyNavFocused()) << "and the popover has the keyboard again";
    }
    EXPECT_EQ(timers->sequences().size(), 3) << "nothing was saved or deleted";
}

TEST_F(PresetsScreenTest, WhiteSpaceAloneIsNoNameAndSavedNamesLoseTheWhiteSpaceAroundThem) {
    open();
    // Typed through the input method, as a Japanese keyboard sends its wide space.
    const auto commit = [](QLineEdit* field, const QString& text) {
        field->setFocus();
        field->selectAll();
        QInputMethodEvent typed;
        typed.setCommitString(text);
        QApplication::sendEvent(field, &typed);
    };
    const struct {
        const char* behaviour;
        bool sequence;
        QString typed;
        bool saves;
        QString saved;
    } rows[] = {
        {"a preset named by an ideographic space", false, QStringLiteral("\u3000"), false, QString()},
        {"a preset named by no-break and thin spaces", false, QStringLiteral("\u00A0\u2009"), false,
         QString()},
        {"a preset's name between wide spaces", false, QStringLiteral("\u3000Tea\u00A0"), true,
         QStringLiteral("Tea")},
        {"a sequence named by ideographic spaces", true, QStringLiteral("\u3000\u3000"), false, QString()},
        {"a sequence's name between em and ideographic spaces", true, QStringLiteral("\u2003Evening\u3000"),
         true, QStringLiteral("Evening")},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.behaviour);
        click(row.sequence ? QStringLiteral("presetsScreen.newSequenceButton")
                           : QStringLiteral("presetsScreen.addButton"));
        QLineEdit* name = row.sequence ? sequenceEditor()->nameField() : presetEditor()->nameField();
        QAbstractButton* save = row.sequence ? sequenceEditor()->saveButton() : presetEditor()->saveButton();
        commit(name, row.typed);
        ASSERT_EQ(name->text(), row.typed);
        EXPECT_EQ(save->isEnabled(), row.saves);
        if (row.saves) {
            click(save);
        } else {
            key(Qt::Key_Escape);
        }
        flushDeletes();
        ASSERT_EQ(row.sequence ? static_cast<QWidget*>(sequenceEditor()) : presetEditor(), nullptr);
        if (row.saves) {
            EXPECT_EQ(row.sequence ? timers->sequences().last().name : timers->presets().last().name,
                      row.saved);
        }
    }
}
