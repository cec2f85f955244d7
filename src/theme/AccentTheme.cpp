#include "theme/AccentTheme.h"

#include "theme/QvColor.h"

#include <QCoreApplication>

QString toRaw(AccentTheme theme) {
    switch (theme) {
    case AccentTheme::orange:
        return QStringLiteral("orange");
    case AccentTheme::cream:
        return QStringLiteral("cream");
    case AccentTheme::black:
        return QStringLiteral("black");
    case AccentTheme::simple:
        return QStringLiteral("simple");
    }
    return QStringLiteral("orange");
}

std::optional<AccentTheme> accentThemeFromRaw(const QString& raw) {
    for (AccentTheme theme : allAccentThemes()) {
        if (toRaw(theme) == raw) {
            return theme;
        }
    }
    return std::nullopt;
}

QList<AccentTheme> allAccentThemes() {
    return {AccentTheme::orange, AccentTheme::cream, AccentTheme::black, AccentTheme::simple};
}

QString displayName(AccentTheme theme) {
    switch (theme) {
    case AccentTheme::orange:
        return QCoreApplication::translate("AccentTheme", "Orange");
    case AccentTheme::cream:
        return QCoreApplication::translate("AccentTheme", "Cream");
    case AccentTheme::black:
        return QCoreApplication::translate("AccentTheme", "Black");
    case AccentTheme::simple:
        return QCoreApplication::translate("AccentTheme", "Simple");
    }
    return {};
}

QString hexValue(AccentTheme theme) {
    switch (theme) {
    case AccentTheme::orange:
        return QStringLiteral("#fd5321");
    case AccentTheme::cream:
        return QStringLiteral("#c9a15a");
    case AccentTheme::black:
        return QStringLiteral("#1c1c1e");
    case AccentTheme::simple:
        return QStringLiteral("#6b7280");
    }
    return QStringLiteral("#fd5321");
}

QColor color(AccentTheme theme) {
    return QvColor::fromHex(hexValue(theme));
}
