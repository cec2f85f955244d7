#include "platform/TranslationCatalog.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

namespace {
QString enterATime() {
    return QCoreApplication::translate("QuickLaunchParseError", "Enter a time");
}
} // namespace

// The catalogues are embedded at build time; switching languages at run time changes texts at once.
TEST(TranslationCatalogTest, SwitchesBetweenJapaneseAndEnglishAtRunTime) {
    ASSERT_TRUE(TranslationCatalog::install(QStringLiteral("ja")));
    EXPECT_EQ(enterATime(), QStringLiteral("時間を入力してください"));

    ASSERT_TRUE(TranslationCatalog::install(QStringLiteral("en")));
    EXPECT_EQ(enterATime(), QStringLiteral("Enter a time"));

    // A stored language that names nothing falls back to Japanese, the default interface language.
    ASSERT_TRUE(TranslationCatalog::install(QStringLiteral("fr")));
    EXPECT_EQ(enterATime(), QStringLiteral("時間を入力してください"));

    TranslationCatalog::install(QStringLiteral("en"));
}
