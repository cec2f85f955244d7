#pragma once
// The interface language chosen in the app (not the system's).

#include <QList>
#include <QLocale>
#include <QString>

#include <optional>

enum class AppLanguage { japanese, english };

inline QString toRaw(AppLanguage language) {
    return language == AppLanguage::japanese ? QStringLiteral("ja") : QStringLiteral("en");
}
inline std::optional<AppLanguage> appLanguageFromRaw(const QString& raw) {
    if (raw == QLatin1String("ja")) {
        return AppLanguage::japanese;
    }
    if (raw == QLatin1String("en")) {
        return AppLanguage::english;
    }
    return std::nullopt;
}
// Each language is named in its own script, whatever the interface language.
inline QString label(AppLanguage language) {
    return language == AppLanguage::japanese ? QStringLiteral("日本語") : QStringLiteral("English");
}
inline QLocale locale(AppLanguage language) {
    return QLocale(language == AppLanguage::japanese ? QStringLiteral("ja") : QStringLiteral("en"));
}
inline QList<AppLanguage> allAppLanguages() {
    return {AppLanguage::japanese, AppLanguage::english};
}
