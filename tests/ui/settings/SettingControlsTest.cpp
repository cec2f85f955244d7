// The settings tab's controls on their own: typed numbers, steppers, switches and pickers, each bound to
// its declared setting and driven with the keyboard and the mouse.
#include "SettingsTestSupport.h"

#include "core/SettingsKeys.h"
#include "platform/Preferences.h"
#include "ui/kit/LabelButton.h"
#include "ui/settings/AccentSwitch.h"
#include "ui/settings/NumberFieldRow.h"
#include "ui/settings/SettingPicker.h"
#include "ui/settings/SettingPickerOption.h"
#include "ui/settings/StepperRow.h"
#include "ui/settings/ToggleCard.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include <limits>

namespace {

QStringList texts(std::initializer_list<const char*> items) {
    QStringList out;
    for (const char* item : items) {
        out << QString::fromUtf8(item);
    }
    return out;
}

// A shown, active window, so the keyboard focus behaves as on a desktop.
struct Window {
    QWidget widget;
    QVBoxLayout* layout = new QVBoxLayout(&widget);
    QPushButton* elsewhere = new QPushButton(QStringLiteral("elsewhere"), &widget);

    Window() { layout->addWidget(elsewhere); }
    void show() {
        widget.resize(420, widget.sizeHint().height());
        widget.show();
        QApplication::setActiveWindow(&widget);
        (void)QTest::qWaitForWindowActive(&widget);
    }
};

} // namespace

TEST(SettingControlsTest, ANumberRowCommitsOnlyStrictWholeNumbersClampedToItsRange) {
    // Range 1...60, stored value 5 before each commit.
    const struct {
        const char* behaviour;
        QString typed;
        qint64 stored;
    } rows[] = {
        {"below the range gives the lower bound", QStringLiteral("0"), 1},
        {"above the range gives the upper bound", QStringLiteral("75"), 60},
        {"a plus sign is read", QStringLiteral("+7"), 7},
        {"a negative number is clamped", QStringLiteral("-3"), 1},
        {"leading zeros are read and dropped", QStringLiteral("007"), 7},
        {"empty text keeps the value", QString(), 5},
        {"letters keep the value", QStringLiteral("abc"), 5},
        {"a space inside keeps the value", QStringLiteral("1 2"), 5},
        {"a leading space keeps the value", QStringLiteral(" 5"), 5},
        {"a trailing space keeps the value", QStringLiteral("9 "), 5},
        {"a sign alone keeps the value", QStringLiteral("+"), 5},
        {"beyond 64 bits keeps the value", QStringLiteral("99999999999999999999"), 5},
        {"full-width digits keep the value", QStringLiteral("１２"), 5},
        {"Arabic-Indic digits keep the value", QStringLiteral("٣"), 5},
    };
    Preferences prefs;
    Window window;
    auto* row = new NumberFieldRow(QT_TRANSLATE_NOOP("SettingsScreen", "Short Break"), QStringLiteral("min"),
                                   prefs, SettingsKeys::pomShortBreakMinutes);
    window.layout->addWidget(row);
    window.show();
    for (const auto& r : rows) {
        SCOPED_TRACE(r.behaviour);
        SettingsKeys::pomShortBreakMinutes.write(prefs, 5);
        typeAndReturn(row->field(), r.typed);
        EXPECT_EQ(SettingsKeys::pomShortBreakMinutes.read(prefs), r.stored);
        EXPECT_EQ(row->field()->text(), QString::number(r.stored)) << "the field shows the committed value";
    }
}

TEST(SettingControlsTest, ANumberRowCommitsOnEveryFocusLossAndKeepsTypingAgainstOutsideWrites) {
    Preferences prefs;
    Window window;
    auto* row = new NumberFieldRow(QT_TRANSLATE_NOOP("SettingsScreen", "Focus Duration"),
                                   QStringLiteral("min"), prefs, SettingsKeys::pomWorkMinutes);
    window.layout->insertWidget(0, row);
    window.show();
    EXPECT_EQ(row->field()->text(), QStringLiteral("25")) << "a fresh store shows the default";

    // Typed, then the keyboard moves on with Tab: the number is written.
    row->field()->setFocus(Qt::OtherFocusReason);
    QTest::keyClick(row->field(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(row->field(), QStringLiteral("40"));
    QTest::keyClick(row->field(), Qt::Key_Tab);
    EXPECT_EQ(SettingsKeys::pomWorkMinutes.read(prefs), 40);

    // Back in the field after Return: someone else writes, the user leaves without typing. Qt's own
    // editingFinished would stay silent here; the row commits the text it shows, i.e. what it last committed.
    typeAndReturn(row->field(), QStringLiteral("30"));
    ASSERT_TRUE(row->field()->hasFocus());
    SettingsKeys::pomWorkMinutes.write(prefs, 90);
    EXPECT_EQ(row->field()->text(), QStringLiteral("30")) << "the text being edited is not replaced";
    window.elsewhere->setFocus(Qt::OtherFocusReason);
    EXPECT_EQ(SettingsKeys::pomWorkMinutes.read(prefs), 30);

    // Not focused: a write by anyone shows at once, even outside the range, until the next commit clamps it.
    SettingsKeys::pomWorkMinutes.write(prefs, 200);
    EXPECT_EQ(row->field()->text(), QStringLiteral("200"));
    typeAndReturn(row->field(), QStringLiteral("200"));
    EXPECT_EQ(SettingsKeys::pomWorkMinutes.read(prefs), 120);

    // A stored value of the wrong type reads as the default.
    window.elsewhere->setFocus(Qt::OtherFocusReason);
    prefs.setString(SettingsKeys::pomWorkMinutes.key, QStringLiteral("forty"));
    EXPECT_EQ(row->field()->text(), QStringLiteral("25"));
}

TEST(SettingControlsTest, ARowWithoutUnitShowsNoUnitText) {
    Preferences prefs;
    NumberFieldRow withUnit(QT_TRANSLATE_NOOP("SettingsScreen", "Focus Duration"), QStringLiteral("min"),
                            prefs, SettingsKeys::pomWorkMinutes);
    NumberFieldRow without(QT_TRANSLATE_NOOP("SettingsScreen", "Rounds"), QString(), prefs,
                           SettingsKeys::pomCycles);
    const QLabel* unit =
        withUnit.findChild<QLabel*>(QStringLiteral("quorvane.settings.unit.bl.pom.workMinutes"));
    ASSERT_NE(unit, nullptr);
    EXPECT_EQ(unit->text(), QStringLiteral("min"));
    EXPECT_EQ(without.findChild<QLabel*>(QStringLiteral("quorvane.settings.unit.bl.pom.cycles")), nullptr);
}

TEST(SettingControlsTest, AStepperMovesByItsStepAndStopsAtTheEndsOfItsRange) {
    const struct {
        const char* behaviour;
        qint64 start;
        bool minusEnabled;
        bool plusEnabled;
        bool pressPlus;
        qint64 after;
    } rows[] = {
        {"at the lower bound minus is off; plus adds one", 1, false, true, true, 2},
        {"inside the range minus takes one", 25, true, true, false, 24},
        {"at the upper bound plus is off; minus takes one", 480, true, false, false, 479},
        {"above the range minus takes one step, not down to the bound", 600, true, false, false, 599},
        {"further above the range the same", 900, true, false, false, 899},
        {"below the range minus is off; plus adds one step", -5, false, true, true, -4},
        {"just below the range plus reaches the bound", 0, false, true, true, 1},
        {"the largest number steps without overflowing", std::numeric_limits<qint64>::max(), true, false,
         false, std::numeric_limits<qint64>::max() - 1},
        {"the smallest number steps without overflowing", std::numeric_limits<qint64>::min(), false, true,
         true, std::numeric_limits<qint64>::min() + 1},
    };
    Preferences prefs;
    Window window;
    auto* row = new StepperRow(QT_TRANSLATE_NOOP("SettingsScreen", "One-key timer length"), nullptr,
                               QStringLiteral("min"), prefs, SettingsKeys::quickPresetMinutes);
    window.layout->addWidget(row);
    window.show();
    EXPECT_EQ(row->valueText(), QStringLiteral("25 min")) << "a fresh store shows the default";
    for (const auto& r : rows) {
        SCOPED_TRACE(r.behaviour);
        SettingsKeys::quickPresetMinutes.write(prefs, r.start);
        EXPECT_EQ(row->minusButton()->isEnabled(), r.minusEnabled);
        EXPECT_EQ(row->plusButton()->isEnabled(), r.plusEnabled);
        // Driven from the keyboard: the focused button answers Space.
        LabelButton* button = r.pressPlus ? row->plusButton() : row->minusButton();
        button->setFocus(Qt::OtherFocusReason);
        QTest::keyClick(button, Qt::Key_Space);
        EXPECT_EQ(SettingsKeys::quickPresetMinutes.read(prefs), r.after);
        EXPECT_EQ(row->valueText(), QStringLiteral("%1 min").arg(r.after));
    }
}

TEST(SettingControlsTest, AToggleCardWritesOnlyThroughItsSwitchAndShowsWhatIsStored) {
    Preferences prefs;
    Window window;
    ToggleCard* card = ToggleCard::bound(QStringLiteral("brain"),
                                         QT_TRANSLATE_NOOP("SettingsScreen", "Auto Start Next Timer"), prefs,
                                         SettingsKeys::pomAutoWork);
    window.layout->addWidget(card);
    window.show();
    EXPECT_FALSE(card->isOn()) << "the default";
    QTest::mouseClick(card, Qt::LeftButton, {}, QPoint(20, card->height() - 6));
    EXPECT_FALSE(prefs.contains(SettingsKeys::pomAutoWork.key))
        << "a click beside the switch changes nothing";
    QTest::mouseClick(card->toggle(), Qt::LeftButton);
    EXPECT_EQ(prefs.boolValue(SettingsKeys::pomAutoWork.key), std::optional<bool>(true));
    EXPECT_TRUE(card->isOn());
    card->toggle()->setFocus(Qt::OtherFocusReason);
    QTest::keyClick(card->toggle(), Qt::Key_Space);
    EXPECT_EQ(prefs.boolValue(SettingsKeys::pomAutoWork.key), std::optional<bool>(false));
    SettingsKeys::pomAutoWork.write(prefs, true);
    EXPECT_TRUE(card->isOn()) << "a write by anyone shows";
    prefs.setInt(SettingsKeys::pomAutoWork.key, 1);
    EXPECT_FALSE(card->isOn()) << "a value of the wrong type reads as the default";
}

TEST(SettingControlsTest, EachPickerWritesTheTappedRawValueAndMarksOnlyTheStoredOne) {
    Preferences prefs;
    const struct {
        const char* picker;
        std::function<SettingPicker*(Preferences&)> make;
        const PreferenceSetting<QString>* setting;
        QStringList raws;
        QStringList labels;
    } rows[] = {
        {"time wording", [](Preferences& p) { return SettingPicker::displayStyle(p, nullptr); },
         &SettingsKeys::displayStyle, texts({"japanese", "english", "symbol"}),
         texts({"Japanese", "English", "Symbol"})},
        {"alarm display", [](Preferences& p) { return SettingPicker::alarmFormat(p, nullptr); },
         &SettingsKeys::menuBarAlarmFormat, texts({"targetAndRemaining", "remainingOnly", "worded"}),
         texts({"Target + Remaining", "Remaining Only", "Worded"})},
        {"remaining detail", [](Preferences& p) { return SettingPicker::remainingDetail(p, nullptr); },
         &SettingsKeys::menuBarRemainingDetail, texts({"seconds", "minutes", "words"}),
         texts({"Seconds", "Minutes", "Words"})},
        {"language", [](Preferences& p) { return SettingPicker::appLanguage(p, nullptr); },
         &SettingsKeys::appLanguage, texts({"ja", "en"}), texts({"日本語", "English"})},
        {"key behaviour", [](Preferences& p) { return SettingPicker::quickPresetBehavior(p, nullptr); },
         &SettingsKeys::quickPresetBehavior, texts({"toggle", "start", "pauseResume"}),
         texts({"Start ↔ Stop", "Always Start New", "Pause / Resume"})},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.picker);
        std::unique_ptr<SettingPicker> picker(r.make(prefs));
        picker->resize(400, picker->sizeHint().height());
        picker->show();
        QStringList labels;
        for (const SettingPickerOption* option : picker->options()) {
            labels << option->labelText();
        }
        EXPECT_EQ(labels, r.labels) << "one option per case, in declaration order";
        EXPECT_EQ(picker->chosenRaw(), r.setting->defaultValue) << "a fresh store marks the default";
        for (const QString& raw : r.raws) {
            QTest::mouseClick(picker->option(raw), Qt::LeftButton);
            EXPECT_EQ(prefs.stringValue(r.setting->key), std::optional<QString>(raw));
            EXPECT_EQ(picker->chosenRaw(), raw);
        }
        // Keyboard: Space on a focused option chooses it.
        picker->option(r.raws.first())->setFocus(Qt::OtherFocusReason);
        QTest::keyClick(picker->option(r.raws.first()), Qt::Key_Space);
        EXPECT_EQ(prefs.stringValue(r.setting->key), std::optional<QString>(r.raws.first()));
        prefs.setString(r.setting->key, QStringLiteral("nonsense"));
        EXPECT_EQ(picker->chosenRaw(), QString()) << "an unknown stored text marks no option";
        prefs.setInt(r.setting->key, 3);
        EXPECT_EQ(picker->chosenRaw(), r.setting->defaultValue)
            << "a value of the wrong type reads as the default";
        prefs.remove(r.setting->key);
    }
}
