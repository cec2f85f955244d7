#include "platform/Preferences.h"
#include "theme/DisplayDensity.h"
#include "theme/ViewEnvironment.h"

#include <QWidget>

#include <gtest/gtest.h>

TEST(DisplayDensityTest, RawValuesAreExactAndCaseSensitive) {
    EXPECT_EQ(displayDensityFromRaw(QStringLiteral("compact")), DisplayDensity::compact);
    EXPECT_EQ(displayDensityFromRaw(QStringLiteral("spacious")), DisplayDensity::spacious);
    EXPECT_FALSE(displayDensityFromRaw(QStringLiteral("Compact")));
    EXPECT_FALSE(displayDensityFromRaw(QStringLiteral("roomy")));
    EXPECT_FALSE(displayDensityFromRaw(QString()));
    EXPECT_EQ(allDisplayDensities(),
              (QList<DisplayDensity>{DisplayDensity::compact, DisplayDensity::spacious}));
    EXPECT_EQ(label(DisplayDensity::spacious), QStringLiteral("Roomy"));
}

TEST(DisplayDensityTest, CompactScalesSpacingsByThreeQuarters) {
    EXPECT_DOUBLE_EQ(scaled(DisplayDensity::compact, 16), 12);
    EXPECT_DOUBLE_EQ(scaled(DisplayDensity::compact, 20), 15);
    EXPECT_DOUBLE_EQ(scaled(DisplayDensity::spacious, 16), 16);
}

TEST(DisplayDensityTest, PreferenceFallsBackToSpacious) {
    Preferences prefs;
    EXPECT_EQ(displayDensityFromPreferences(prefs), DisplayDensity::spacious);
    prefs.setString(displayDensityKey, QStringLiteral("compact"));
    EXPECT_EQ(displayDensityFromPreferences(prefs), DisplayDensity::compact);
    prefs.setString(displayDensityKey, QStringLiteral("COMPACT"));
    EXPECT_EQ(displayDensityFromPreferences(prefs), DisplayDensity::spacious);
    prefs.setBool(displayDensityKey, true);
    EXPECT_EQ(displayDensityFromPreferences(prefs), DisplayDensity::spacious);
}

TEST(ViewEnvironmentTest, DensityIsInheritedDownTheTreeUntilOverridden) {
    QWidget root;
    auto* middle = new QWidget(&root);
    auto* leaf = new QWidget(middle);
    QWidget outsider;

    EXPECT_EQ(ViewEnvironment::displayDensity(leaf), DisplayDensity::spacious);
    ViewEnvironment::setDisplayDensity(&root, DisplayDensity::compact);
    EXPECT_EQ(ViewEnvironment::displayDensity(leaf), DisplayDensity::compact);
    EXPECT_EQ(ViewEnvironment::displayDensity(&outsider), DisplayDensity::spacious);

    ViewEnvironment::setDisplayDensity(middle, DisplayDensity::spacious);
    EXPECT_EQ(ViewEnvironment::displayDensity(leaf), DisplayDensity::spacious);
    EXPECT_EQ(ViewEnvironment::displayDensity(&root), DisplayDensity::compact);

    ViewEnvironment::clearDisplayDensity(middle);
    EXPECT_EQ(ViewEnvironment::displayDensity(leaf), DisplayDensity::compact);

    // A widget moved elsewhere reads its new ancestors.
    leaf->setParent(&outsider);
    EXPECT_EQ(ViewEnvironment::displayDensity(leaf), DisplayDensity::spacious);
}

TEST(ViewEnvironmentTest, ColorSchemeIsInheritedAndDefaultsToLight) {
    QWidget root;
    auto* child = new QWidget(&root);
    EXPECT_EQ(ViewEnvironment::colorScheme(child), ColorScheme::light);
    ViewEnvironment::setColorScheme(&root, ColorScheme::dark);
    EXPECT_EQ(ViewEnvironment::colorScheme(child), ColorScheme::dark);
    ViewEnvironment::setColorScheme(child, ColorScheme::light);
    EXPECT_EQ(ViewEnvironment::colorScheme(child), ColorScheme::light);
    ViewEnvironment::clearColorScheme(child);
    EXPECT_EQ(ViewEnvironment::colorScheme(child), ColorScheme::dark);
}
