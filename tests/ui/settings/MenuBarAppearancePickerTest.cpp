#include "platform/Preferences.h"
#include "support/ManualAnimationClock.h"
#include "support/PixelProbe.h"
#include "theme/QvColor.h"
#include "ui/kit/TokenLabel.h"
#include "ui/kit/ViewEnvironment.h"
#include "ui/settings/MenuBarAppearancePicker.h"
#include "ui/settings/MenuBarPreviewButton.h"

#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include <functional>

namespace {

const QString kModeKey = QStringLiteral("bl.menubar.displayMode");
const QString kStyleKey = QStringLiteral("bl.menubar.iconStyle");

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

} // namespace

TEST(MenuBarAppearancePickerTest, HasSixIdentifiedButtonsUnderTwoHeadings) {
    Preferences prefs;
    MenuBarAppearancePicker picker(prefs);
    const std::pair<const char*, const char*> buttons[] = {
        {"iconOnly", "Icon"},  {"timeOnly", "Time"}, {"iconAndTime", "Icon + Time"},
        {"windup", "Wind-up"}, {"clock", "Clock"},   {"minimal", "Minimal"}};
    for (const auto& [raw, text] : buttons) {
        const MenuBarPreviewButton* b = button(picker, QLatin1String(raw));
        ASSERT_NE(b, nullptr) << raw;
        EXPECT_EQ(b->labelText(), QLatin1String(text));
        EXPECT_GE(b->minimumSizeHint().height(), 58);
    }
    QStringList headings;
    for (auto* l : picker.findChildren<TokenLabel*>()) {
        headings << l->text();
    }
    EXPECT_EQ(headings, (QStringList{QStringLiteral("Layout"), QStringLiteral("Icon")}));
}

TEST(MenuBarAppearancePickerTest, ClicksWriteTheChoiceAndTheSelectionFollowsThePreferences) {
    Preferences prefs;
    prefs.setString(kModeKey, QStringLiteral("everything"));
    prefs.setString(kStyleKey, QStringLiteral("hourglass"));
    QSignalSpy writes(&prefs, &Preferences::changed);
    MenuBarAppearancePicker picker(prefs);
    picker.resize(420, 180);
    picker.show();
    // Unknown texts select the defaults, and clicking the selected choice writes it all the same.
    EXPECT_EQ(selected(picker), (QStringList{QStringLiteral("timeOnly"), QStringLiteral("windup")}));
    EXPECT_EQ(writes.count(), 0);
    QTest::mouseClick(button(picker, QStringLiteral("timeOnly")), Qt::LeftButton);
    QTest::mouseClick(button(picker, QStringLiteral("timeOnly")), Qt::LeftButton);
    EXPECT_EQ(writes.count(), 2);
    EXPECT_EQ(prefs.stringValue(kModeKey), QStringLiteral("timeOnly"));

    QTest::mouseClick(button(picker, QStringLiteral("iconAndTime")), Qt::LeftButton);
    QTest::mouseClick(button(picker, QStringLiteral("minimal")), Qt::LeftButton);
    EXPECT_EQ(prefs.stringValue(kModeKey), QStringLiteral("iconAndTime"));
    EXPECT_EQ(prefs.stringValue(kStyleKey), QStringLiteral("minimal"));
    EXPECT_EQ(selected(picker), (QStringList{QStringLiteral("iconAndTime"), QStringLiteral("minimal")}));

    prefs.setString(kStyleKey, QStringLiteral("clock")); // changed elsewhere
    EXPECT_EQ(selected(picker), (QStringList{QStringLiteral("clock"), QStringLiteral("iconAndTime")}));
}

TEST(MenuBarAppearancePickerTest, NothingStoredFillsTimeAndWindupWithTheActionInkAndAHeldButtonFades) {
    ManualAnimationClock clock;
    Preferences prefs;
    MenuBarAppearancePicker picker(prefs);
    EXPECT_TRUE(prefs.keys().isEmpty());
    picker.resize(420, 180);
    const QImage image = picker.grab().toImage();
    const QColor ink = QvColor::qvInkAction().resolve(ColorScheme::light);
    const QColor surface = QvColor::qvSurface().resolve(ColorScheme::light);
    const auto distance = PixelProbe::distance;
    // Inside the left edge, clear of the rounded corner and of the centred content.
    const auto fillOf = [&](const QImage& in, const QWidget* b) {
        return in.pixelColor(b->mapTo(&picker, QPoint(8, b->height() / 2)));
    };
    for (const auto& [raw, want] :
         {std::pair{"timeOnly", ink}, {"windup", ink}, {"iconOnly", surface}, {"clock", surface}}) {
        EXPECT_LE(distance(fillOf(image, button(picker, QLatin1String(raw))), want), 2) << raw;
    }

    // Held down, a button is drawn at 86 % opacity over what lies behind it.
    MenuBarPreviewButton* held = button(picker, QStringLiteral("timeOnly"));
    held->setDown(true);
    picker.grab();
    clock.advanceBy(PressableButton::durationMs);
    EXPECT_DOUBLE_EQ(held->faceScale(), MenuBarPreviewButton::pressScale);
    const QImage pressed = picker.grab().toImage();
    const QColor behind =
        pressed.pixelColor(held->mapTo(&picker, QPoint(held->width() + 4, held->height() / 2)));
    const QColor faded = QColor::fromRgbF(0.86f * ink.redF() + 0.14f * behind.redF(),
                                          0.86f * ink.greenF() + 0.14f * behind.greenF(),
                                          0.86f * ink.blueF() + 0.14f * behind.blueF());
    EXPECT_GT(distance(behind, ink), 100);
    EXPECT_LE(distance(fillOf(pressed, held), faded), 3) << fillOf(pressed, held).name().toStdString();
}

TEST(MenuBarAppearancePickerTest, HeadingsAndButtonsFollowAChangeOfSchemeWhileShown) {
    const QColor grey(128, 128, 128); // both schemes' inks stand out on it
    QWidget window;
    window.setAutoFillBackground(true);
    QPalette palette = window.palette();
    palette.setColor(QPalette::Window, grey);
    window.setPalette(palette);
    Preferences prefs;
    auto* picker = new MenuBarAppearancePicker(prefs);
    (new QVBoxLayout(&window))->addWidget(picker);
    window.resize(420, 200);
    window.show();
    const QList<TokenLabel*> headings = picker->findChildren<TokenLabel*>();
    ASSERT_EQ(headings.size(), 2);
    const MenuBarPreviewButton* selected = button(*picker, QStringLiteral("timeOnly"));

    const struct {
        const char* name;
        std::function<void()> change;
        ColorScheme expected;
    } rows[] = {
        {"shown light", [] {}, ColorScheme::light},
        {"the window turns dark", [&] { ViewEnvironment::setColorScheme(&window, ColorScheme::dark); },
         ColorScheme::dark},
        {"and light again", [&] { ViewEnvironment::setColorScheme(&window, ColorScheme::light); },
         ColorScheme::light},
    };
    for (const auto& row : rows) {
        row.change();
        const QImage image = window.grab().toImage();
        const ColorScheme other = row.expected == ColorScheme::light ? ColorScheme::dark : ColorScheme::light;
        for (TokenLabel* heading : headings) {
            const QColor ink =
                PixelProbe::inkIn(image, QRect(heading->mapTo(&window, QPoint()), heading->size()), grey);
            EXPECT_LE(PixelProbe::distance(ink, QvColor::qvInkSecondary().resolve(row.expected)), 24)
                << row.name << " " << heading->text().toStdString() << " " << ink.name().toStdString();
            EXPECT_GT(PixelProbe::distance(ink, QvColor::qvInkSecondary().resolve(other)), 100) << row.name;
        }
        const QColor fill = image.pixelColor(selected->mapTo(&window, QPoint(8, selected->height() / 2)));
        EXPECT_LE(PixelProbe::distance(fill, QvColor::qvInkAction().resolve(row.expected)), 2) << row.name;
    }
}
