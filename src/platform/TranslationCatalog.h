#pragma once
// Installs the message catalogue of the in-app language; English texts are the sources themselves.

#include <QString>

class TranslationCatalog {
public:
    // "ja" or "en"; anything else is treated as Japanese, the default interface language.
    // Returns false when the catalogue could not be loaded (texts then stay English).
    static bool install(const QString& languageRaw);
    // The catalogue's resource path for a language code.
    static QString resourcePath(const QString& languageRaw);

    TranslationCatalog() = delete;
};
