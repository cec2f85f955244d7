#pragma once

#include "platform/Preferences.h"
#include "platform/TranslationCatalog.h"

#include <QDir>
#include <QString>

#include <gtest/gtest.h>

// Gallery tests write each screen's pictures once per interface language, named "<what>-<name>.png".
struct GalleryLanguage {
    const char* name;
    const char* code;
};

// Makes the pictures' folder and runs body(language) in English and then in Japanese, with the catalogue
// installed and the language stored as the settings store it. A catalogue that does not load fails the test.
template <typename Body>
void forEachGalleryLanguage(Preferences& preferences, const char* folder, Body&& body) {
    static constexpr GalleryLanguage languages[] = {{"english", "en"}, {"japanese", "ja"}};
    QDir().mkpath(QLatin1String(folder));
    for (const GalleryLanguage& language : languages) {
        SCOPED_TRACE(language.name);
        ASSERT_TRUE(TranslationCatalog::install(QLatin1String(language.code)));
        preferences.setString(QStringLiteral("bl.appLanguage"), QLatin1String(language.code));
        body(language);
    }
}
