#include "platform/Preferences.h"
#include "theme/MenuBarAppearancePicker.h"
#include "theme/MenuBarPreviewButton.h"
#include "theme/QvColor.h"

#include <QLabel>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

MenuBarPreviewButton* button(const QWidget& picker, const QString& raw) {
    return picker.findChild<MenuBarPreviewButton*>(MenuBarAppearancePicker::objectNameFor(raw));
}

QStringList selected(const QWidget& picker) {
    QStringList out;
    for (auto* b : picker.findChildren<MenuBarPreviewButton*>()) {
        if (b->isSelected()) {
            out << b->objectName().section(QLatin1Char('.'), -1);
        }
    }
    out.sort();
    return out;
}

bool near(const QColor& a, const QColor& b) {
    return std::abs(a.red() - b.red()) <= 2 && std::abs(a.green() - b.green()) <= 2 &&
           std::abs(a.blue() - b.blue()) <= 2;
}

} // namespace

TEST(MenuBarAppearancePickerTest, HasSixIdentifiedButtonsInOrder) {
    Preferences prefs;
    MenuBarAppearancePicker picker(prefs);
    for (const char* raw : {"iconOnly", "timeOnly", "iconAndTime", "windup", "clock", "minimal"}) {
        auto* b = button(picker, QLatin1String(raw));
        ASSERT_NE(b, nullptr) << raw;
        EXPECT_GE(b->minimumSizeHint().height(), 58);
    }
    EXPECT_EQ(button(picker, QStringLiteral("timeOnly"))->labelText(), QStringLiteral("Time"));
    EXPECT_EQ(button(picker, QStringLiteral("iconAndTime"))->labelText(), QStringLiteral("Icon + Time"));
    EXPECT_EQ(button(picker, QStringLiteral("windup"))->labelText(), QStringLiteral("Wind-up"));
    QStringList headings;
    for (auto* l : picker.findChildren<QLabel*>()) {
        headings << l->text();
    }
    EXPECT_EQ(headings, (QStringList{QStringLiteral("Layout"), QStringLiteral("Icon")}));
}

TEST(MenuBarAppearancePickerTest, NothingStoredSelectsTimeAndWindup) {
    Preferences prefs;
    MenuBarAppearancePicker picker(prefs);
    EXPECT_EQ(selected(picker), (QStringList{QStringLiteral("timeOnly"), QStringLiteral("windup")}));
    EXPECT_TRUE(prefs.keys().isEmpty());
}

TEST(MenuBarAppearancePickerTest, UnknownStoredTextsSelectTheDefaults) {
    Preferences prefs;
    prefs.setString(QStringLiteral("bl.menubar.displayMode"), QStringLiteral("everything"));
    prefs.setString(QStringLiteral("bl.menubar.iconStyle"), QStringLiteral("hourglass"));
    MenuBarAppearancePicker picker(prefs);
    EXPECT_EQ(selected(picker), (QStringList{QStringLiteral("timeOnly"), QStringLiteral("windup")}));
    EXPECT_EQ(picker.currentIconStyle(), MenuBarIconStyle::windup);
}

TEST(MenuBarAppearancePickerTest, ClickingWritesTheChoiceAndMovesTheSelection) {
    Preferences prefs;
    MenuBarAppearancePicker picker(prefs);
    picker.resize(420, 180);
    picker.show();

    QTest::mouseClick(button(picker, QStringLiteral("iconAndTime")), Qt::LeftButton);
    QTest::mouseClick(button(picker, QStringLiteral("minimal")), Qt::LeftButton);
    EXPECT_EQ(prefs.stringValue(QStringLiteral("bl.menubar.displayMode")), QStringLiteral("iconAndTime"));
    EXPECT_EQ(prefs.stringValue(QStringLiteral("bl.menubar.iconStyle")), QStringLiteral("minimal"));
    EXPECT_EQ(selected(picker), (QStringList{QStringLiteral("iconAndTime"), QStringLiteral("minimal")}));
}

TEST(MenuBarAppearancePickerTest, ClickingTheSelectedChoiceWritesAgainAndStaysSelected) {
    Preferences prefs;
    prefs.setString(QStringLiteral("bl.menubar.displayMode"), QStringLiteral("iconOnly"));
    MenuBarAppearancePicker picker(prefs);
    picker.resize(420, 180);
    picker.show();
    QSignalSpy writes(&prefs, &Preferences::changed);
    QTest::mouseClick(button(picker, QStringLiteral("iconOnly")), Qt::LeftButton);
    EXPECT_EQ(writes.count(), 1);
    EXPECT_TRUE(button(picker, QStringLiteral("iconOnly"))->isSelected());
}

TEST(MenuBarAppearancePickerTest, FollowsChangesMadeElsewhere) {
    Preferences prefs;
    MenuBarAppearancePicker picker(prefs);
    prefs.setString(QStringLiteral("bl.menubar.iconStyle"), QStringLiteral("clock"));
    EXPECT_EQ(selected(picker), (QStringList{QStringLiteral("clock"), QStringLiteral("timeOnly")}));
}

TEST(MenuBarAppearancePickerTest, SelectedButtonIsFilledWithTheActionInk) {
    Preferences prefs;
    MenuBarAppearancePicker picker(prefs);
    picker.resize(420, 180);
    const QImage image = picker.grab().toImage();
    const auto fillAt = [&](const QString& raw) {
        const QWidget* b = button(picker, raw);
        // Inside the left edge, clear of the rounded corner and of the centred content.
        const QPoint p = b->mapTo(&picker, QPoint(4, b->height() / 2));
        return image.pixelColor(p);
    };
    EXPECT_TRUE(near(fillAt(QStringLiteral("timeOnly")), QvColor::qvInkAction().resolve(ColorScheme::light)));
    EXPECT_TRUE(near(fillAt(QStringLiteral("iconOnly")), QvColor::qvSurface().resolve(ColorScheme::light)));
    EXPECT_TRUE(near(fillAt(QStringLiteral("windup")), QvColor::qvInkAction().resolve(ColorScheme::light)));
    EXPECT_TRUE(near(fillAt(QStringLiteral("clock")), QvColor::qvSurface().resolve(ColorScheme::light)));
}
