#include "platform/Preferences.h"
#include "theme/DisplayDensity.h"
#include "theme/ThemeSettingsKeys.h"

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
