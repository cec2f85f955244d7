#include "ui/kit/SettingBinding.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QAbstractItemView>
#include <QLineEdit>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTest>
#include <QVBoxLayout>
#include <QWidget>

#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <limits>

// Readable failures: gtest finds this beside QVariant.
static void PrintTo(const QVariant& value, std::ostream* out) {
    *out << value.typeName() << "(" << value.toString().toStdString() << ")";
}

namespace {

const PreferenceSetting<bool> kFlag{QStringLiteral("test.flag"), true};
const PreferenceSetting<qint64> kMinutes{QStringLiteral("test.minutes"), 25, IntegerRange{1, 120, 5}};
const PreferenceSetting<QString> kStyle{QStringLiteral("test.style"), QStringLiteral("english")};
const PreferenceSetting<QString> kTitle{QStringLiteral("test.title"), QStringLiteral("Focus")};

// One control of each kind, each bound to its own setting, in a shown window.
struct Controls {
    explicit Controls(Preferences& preferences) {
        auto* column = new QVBoxLayout(&window);
        check = new QCheckBox(QStringLiteral("Flag"), &window);
        spin = new QSpinBox(&window);
        combo = new QComboBox(&window);
        line = new QLineEdit(&window);
        combo->addItem(QStringLiteral("Japanese"), QStringLiteral("japanese"));
        combo->addItem(QStringLiteral("English"), QStringLiteral("english"));
        combo->addItem(QStringLiteral("Symbol"), QStringLiteral("symbol"));
        for (QWidget* control : std::initializer_list<QWidget*>{check, spin, combo, line}) {
            column->addWidget(control);
        }
        SettingBinding::bind(*check, preferences, kFlag);
        SettingBinding::bind(*spin, preferences, kMinutes);
        SettingBinding::bind(*combo, preferences, kStyle);
        SettingBinding::bind(*line, preferences, kTitle);
        window.show();
        window.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
    }

    QWidget window;
    QCheckBox* check;
    QSpinBox* spin;
    QComboBox* combo;
    QLineEdit* line;
};

using Shown = std::function<QVariant(const Controls&)>;

QVariant checked(const Controls& c) {
    return c.check->isChecked();
}
QVariant spinValue(const Controls& c) {
    return c.spin->value();
}
QVariant comboRaw(const Controls& c) {
    return c.combo->currentData();
}
QVariant lineText(const Controls& c) {
    return c.line->text();
}

std::function<void(Preferences&)> store(const QString& key, const QVariant& value) {
    return [key, value](Preferences& p) { p.setValue(key, value); };
}

} // namespace

TEST(SettingBinding, ControlShowsTheStoredValueOrTheDefaultAndWritesNothing) {
    struct Row {
        const char* name;
        std::function<void(Preferences&)> prepare;
        Shown shown;
        QVariant expected;
    };
    const auto nothing = [](Preferences&) {};
    const Row rows[] = {
        {"switch, nothing stored", nothing, checked, true},
        {"switch, stored off", store(kFlag.key, false), checked, false},
        {"switch, text stored", store(kFlag.key, QStringLiteral("false")), checked, true},
        {"number, nothing stored", nothing, spinValue, 25},
        {"number, stored", store(kMinutes.key, qint64(40)), spinValue, 40},
        {"number, text stored", store(kMinutes.key, QStringLiteral("40")), spinValue, 25},
        {"number above the range shows the top", store(kMinutes.key, qint64(500)), spinValue, 120},
        {"number past what a spin box holds", store(kMinutes.key, std::numeric_limits<qint64>::max()),
         spinValue, 120},
        {"choice, nothing stored", nothing, comboRaw, QStringLiteral("english")},
        {"choice, stored", store(kStyle.key, QStringLiteral("symbol")), comboRaw, QStringLiteral("symbol")},
        {"choice naming no item shows the default's", store(kStyle.key, QStringLiteral("Symbol")), comboRaw,
         QStringLiteral("english")},
        {"choice, number stored", store(kStyle.key, qint64(1)), comboRaw, QStringLiteral("english")},
        {"text, nothing stored", nothing, lineText, QStringLiteral("Focus")},
        {"text, stored empty", store(kTitle.key, QString()), lineText, QString()},
        {"text, list stored", store(kTitle.key, QStringList{QStringLiteral("x")}), lineText,
         QStringLiteral("Focus")},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Preferences prefs;
        row.prepare(prefs);
        const QVariantMap stored = prefs.dictionary();
        QSignalSpy writes(&prefs, &Preferences::changed);
        Controls controls(prefs);
        EXPECT_EQ(row.shown(controls), row.expected);
        EXPECT_EQ(writes.count(), 0);
        EXPECT_EQ(prefs.dictionary(), stored);
    }
}

TEST(SettingBinding, ControlFollowsWritesByOthersWithoutWritingBack) {
    struct Row {
        const char* name;
        std::function<void(Preferences&)> write;
        Shown shown;
        QVariant expected;
    };
    const Row rows[] = {
        {"switch turned off", [](Preferences& p) { kFlag.write(p, false); }, checked, false},
        {"switch key removed", [](Preferences& p) { p.remove(kFlag.key); }, checked, true},
        {"number", [](Preferences& p) { kMinutes.write(p, 90); }, spinValue, 90},
        {"number below the range shows the bottom", [](Preferences& p) { kMinutes.write(p, -3); }, spinValue,
         1},
        {"choice", [](Preferences& p) { kStyle.write(p, QStringLiteral("japanese")); }, comboRaw,
         QStringLiteral("japanese")},
        {"choice naming no item", [](Preferences& p) { kStyle.write(p, QStringLiteral("none")); }, comboRaw,
         QStringLiteral("english")},
        {"text", [](Preferences& p) { kTitle.write(p, QStringLiteral("Deep work")); }, lineText,
         QStringLiteral("Deep work")},
        {"text of another type", store(kTitle.key, true), lineText, QStringLiteral("Focus")},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Preferences prefs;
        kFlag.write(prefs, true);
        kMinutes.write(prefs, 30);
        kStyle.write(prefs, QStringLiteral("symbol"));
        kTitle.write(prefs, QStringLiteral("Start"));
        Controls controls(prefs);
        QSignalSpy writes(&prefs, &Preferences::changed);
        row.write(prefs);
        EXPECT_EQ(row.shown(controls), row.expected);
        EXPECT_EQ(writes.count(), 1); // the other writer's only
    }
}

TEST(SettingBinding, UserEditWritesTheSettingExactlyOnce) {
    struct Row {
        const char* name;
        std::function<void(Controls&)> edit;
        QString key;
        QVariant stored; // typed as the setting stores it
    };
    const Row rows[] = {
        {"switch clicked",
         [](Controls& c) {
             // On the box itself: a check box takes clicks on its box and label only.
             QTest::mouseClick(c.check, Qt::LeftButton, {}, QPoint(6, c.check->height() / 2));
         },
         kFlag.key, false},
        {"switch toggled by key", [](Controls& c) { QTest::keyClick(c.check, Qt::Key_Space); }, kFlag.key,
         false},
        {"number stepped up by the declared step", [](Controls& c) { QTest::keyClick(c.spin, Qt::Key_Up); },
         kMinutes.key, qint64(35)},
        {"number typed and committed",
         [](Controls& c) {
             c.spin->setFocus();
             c.spin->selectAll();
             QTest::keyClicks(c.spin, QStringLiteral("47"));
             QTest::keyClick(c.spin, Qt::Key_Return);
         },
         kMinutes.key, qint64(47)},
        {"choice moved by key", [](Controls& c) { QTest::keyClick(c.combo, Qt::Key_Up); }, kStyle.key,
         QStringLiteral("japanese")},
        {"the shown default's item chosen over a raw value naming none",
         [](Controls& c) {
             c.combo->showPopup();
             QTest::keyClick(c.combo->view(), Qt::Key_Return);
         },
         kStyle.key, QStringLiteral("english")},
        {"text typed and committed with Return, then focus leaves",
         [](Controls& c) {
             c.line->setFocus();
             QTest::keyClicks(c.line, QStringLiteral(" now"));
             QTest::keyClick(c.line, Qt::Key_Return);
             c.spin->setFocus();
         },
         kTitle.key, QStringLiteral("Start now")},
        {"text typed and committed by leaving",
         [](Controls& c) {
             c.line->setFocus();
             QTest::keyClicks(c.line, QStringLiteral("!"));
             c.spin->setFocus();
         },
         kTitle.key, QStringLiteral("Start!")},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Preferences prefs;
        kFlag.write(prefs, true);
        kMinutes.write(prefs, 30);
        kStyle.write(prefs, QStringLiteral("retired")); // shows the default's item
        kTitle.write(prefs, QStringLiteral("Start"));
        Controls controls(prefs);
        QSignalSpy writes(&prefs, &Preferences::changed);
        row.edit(controls);
        ASSERT_EQ(writes.count(), 1);
        EXPECT_EQ(writes.at(0).at(0).toString(), row.key);
        EXPECT_EQ(prefs.value(row.key), row.stored);
        EXPECT_EQ(prefs.value(row.key).metaType(), row.stored.metaType());
    }
}

TEST(SettingBinding, SpinBoxTakesTheDeclaredRangeAndStep) {
    struct Row {
        const char* name;
        PreferenceSetting<qint64> setting;
        int minimum;
        int maximum;
        int step;
    };
    const Row rows[] = {
        {"declared range", kMinutes, 1, 120, 5},
        {"no range: all a spin box holds", PreferenceSetting<qint64>{QStringLiteral("test.any"), 0},
         std::numeric_limits<int>::min(), std::numeric_limits<int>::max(), 1},
        {"a step of nothing still moves",
         PreferenceSetting<qint64>{QStringLiteral("test.zero"), 0, IntegerRange{0, 10, 0}}, 0, 10, 1},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Preferences prefs;
        QSpinBox spin;
        SettingBinding::bind(spin, prefs, row.setting);
        EXPECT_EQ(spin.minimum(), row.minimum);
        EXPECT_EQ(spin.maximum(), row.maximum);
        EXPECT_EQ(spin.singleStep(), row.step);
    }
}

TEST(SettingBinding, TypingOutlivesAnotherWriteUntilTheUserIsDone) {
    // Each row types into one control while someone else writes its setting, then commits with Return.
    struct Row {
        const char* name;
        std::function<QWidget*(Controls&)> control;
        std::function<void(Controls&)> type;
        std::function<void(Preferences&, int)> writeElsewhere; // writes the n-th value of another writer
        Shown shown;
        QVariant whileTyping;
        QString key;
        QVariant committed;
        QVariant shownAfterSecondWrite;
    };
    const Row rows[] = {
        {"text", [](Controls& c) -> QWidget* { return c.line; },
         [](Controls& c) { QTest::keyClicks(c.line, QStringLiteral(" here")); },
         [](Preferences& p, int n) {
             kTitle.write(p, n == 0 ? QStringLiteral("Elsewhere") : QStringLiteral("Later"));
         },
         lineText, QStringLiteral("Start here"), kTitle.key, QStringLiteral("Start here"),
         QStringLiteral("Later")},
        {"number", [](Controls& c) -> QWidget* { return c.spin; },
         [](Controls& c) {
             c.spin->selectAll();
             QTest::keyClicks(c.spin, QStringLiteral("47"));
         },
         [](Preferences& p, int n) { kMinutes.write(p, n == 0 ? 90 : 60); },
         [](const Controls& c) { return QVariant(c.spin->cleanText()); }, QStringLiteral("47"), kMinutes.key,
         qint64(47), QStringLiteral("60")},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Preferences prefs;
        kMinutes.write(prefs, 30);
        kTitle.write(prefs, QStringLiteral("Start"));
        Controls controls(prefs);
        QWidget* control = row.control(controls);
        control->setFocus();
        ASSERT_TRUE(control->hasFocus());
        row.type(controls);

        row.writeElsewhere(prefs, 0);
        EXPECT_EQ(row.shown(controls), row.whileTyping);

        QSignalSpy writes(&prefs, &Preferences::changed);
        QTest::keyClick(control, Qt::Key_Return);
        EXPECT_EQ(writes.count(), 1);
        EXPECT_EQ(prefs.value(row.key), row.committed);

        // The edit is done: writes by others show again though the control keeps focus.
        row.writeElsewhere(prefs, 1);
        EXPECT_EQ(row.shown(controls), row.shownAfterSecondWrite);
    }
}

TEST(SettingBinding, CommittingAnUnchangedNumberShowsWhatOthersWroteMeanwhile) {
    Preferences prefs;
    kMinutes.write(prefs, 30);
    Controls controls(prefs);
    controls.spin->setFocus();
    controls.spin->selectAll();
    QTest::keyClicks(controls.spin, QStringLiteral("4"));
    kMinutes.write(prefs, 90); // while the user types
    EXPECT_EQ(controls.spin->cleanText(), QStringLiteral("4"));

    QTest::keyClick(controls.spin, Qt::Key_Backspace);
    QTest::keyClicks(controls.spin, QStringLiteral("30")); // back to the number the box held
    QSignalSpy writes(&prefs, &Preferences::changed);
    QTest::keyClick(controls.spin, Qt::Key_Return);
    EXPECT_EQ(writes.count(), 0);
    EXPECT_EQ(controls.spin->value(), 90);
    EXPECT_EQ(kMinutes.read(prefs), 90);
}
