#pragma once
// The preset accent colours the user picks from; the raw value is the stored form.

#include <QColor>
#include <QList>
#include <QString>

#include <optional>

enum class AccentTheme { orange, cream, black, simple };

QString toRaw(AccentTheme theme);
std::optional<AccentTheme> accentThemeFromRaw(const QString& raw);
QList<AccentTheme> allAccentThemes();
// The chip's name, in the interface language.
QString displayName(AccentTheme theme);
QString hexValue(AccentTheme theme);
QColor color(AccentTheme theme);
