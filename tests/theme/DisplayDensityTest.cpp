#include "platform/Preferences.h"
#include "theme/DisplayDensity.h"
#include "theme/ThemeSettingsKeys.h"
#include "theme/ViewEnvironment.h"

#include <QWidget>

#include <gtest/gtest.h>

TEST(DisplayDensityTest, PreferenceReadsExactTextElseSpaciousAndCompactScalesByThreeQuarters) {
    Preferences prefs;
    EXPECT_EQ(displayDensityFromPreferences(prefs), DisplayDensity::spacious);
    prefs.setString(ThemeSettingsKeys::displayDensity.key, QStringLiteral("compact"));
    EXPECT_EQ(displayDensityFromPreferences(prefs), DisplayDensity::compact);
    for (const QVariant& other : {QVariant(QStringLiteral("COMPACT")), QVariant(QStringLiteral("roomy")),
                                  QVariant(QString()), QVariant(true)}) {
        prefs.setValue(ThemeSettingsKeys::displayDensity.key, other);
        EXPECT_EQ(displayDensityFromPreferences(prefs), DisplayDensity::spacious)
            << other.toString().toStdString();
    }
    EXPECT_EQ(displayDensityFromRaw(QStringLiteral("spacious")), DisplayDensity::spacious);
    EXPECT_EQ(label(DisplayDensity::spacious), QStringLiteral("Roomy"));
    EXPECT_DOUBLE_EQ(scaled(DisplayDensity::compact, 16), 12);
    EXPECT_DOUBLE_EQ(scaled(DisplayDensity::compact, 20), 15);
    EXPECT_DOUBLE_EQ(scaled(DisplayDensity::spacious, 16), 16);
}

TEST(ViewEnvironmentTest, DensityAndSchemeAreInheritedDownTheTreeUntilOverridden) {
    QWidget root, outsider;
    auto* middle = new QWidget(&root);
    auto* leaf = new QWidget(middle);
    EXPECT_EQ(ViewEnvironment::displayDensity(leaf), DisplayDensity::spacious);
    EXPECT_EQ(ViewEnvironment::colorScheme(leaf), ColorScheme::light);
    ViewEnvironment::setDisplayDensity(&root, DisplayDensity::compact);
    ViewEnvironment::setColorScheme(&root, ColorScheme::dark);
    EXPECT_EQ(ViewEnvironment::displayDensity(leaf), DisplayDensity::compact);
    EXPECT_EQ(ViewEnvironment::colorScheme(leaf), ColorScheme::dark);
    EXPECT_EQ(ViewEnvironment::displayDensity(&outsider), DisplayDensity::spacious);

    ViewEnvironment::setDisplayDensity(middle, DisplayDensity::spacious);
    ViewEnvironment::setColorScheme(middle, ColorScheme::light);
    EXPECT_EQ(ViewEnvironment::displayDensity(leaf), DisplayDensity::spacious);
    EXPECT_EQ(ViewEnvironment::colorScheme(leaf), ColorScheme::light);
    EXPECT_EQ(ViewEnvironment::displayDensity(&root), DisplayDensity::compact);

    ViewEnvironment::clearDisplayDensity(middle);
    ViewEnvironment::clearColorScheme(middle);
    EXPECT_EQ(ViewEnvironment::displayDensity(leaf), DisplayDensity::compact);
    EXPECT_EQ(ViewEnvironment::colorScheme(leaf), ColorScheme::dark);

    leaf->setParent(&outsider); // a widget moved elsewhere reads its new ancestors
    EXPECT_EQ(ViewEnvironment::displayDensity(leaf), DisplayDensity::spacious);
}
