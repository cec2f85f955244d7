#include "ui/kit/ViewEnvironment.h"

#include <QWidget>

#include <gtest/gtest.h>

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
