#include "theme/MenuBarIconStyle.h"

#include <QCoreApplication>

QString toRaw(MenuBarIconStyle style) {
    switch (style) {
    case MenuBarIconStyle::windup:
        return QStringLiteral("windup");
    case MenuBarIconStyle::clock:
        return QStringLiteral("clock");
    case MenuBarIconStyle::minimal:
        return QStringLiteral("minimal");
    }
    return QStringLiteral("windup");
}

std::optional<MenuBarIconStyle> menuBarIconStyleFromRaw(const QString& raw) {
    for (MenuBarIconStyle style : allMenuBarIconStyles()) {
        if (toRaw(style) == raw) {
            return style;
        }
    }
    return std::nullopt;
}

QList<MenuBarIconStyle> allMenuBarIconStyles() {
    return {MenuBarIconStyle::windup, MenuBarIconStyle::clock, MenuBarIconStyle::minimal};
}

QString label(MenuBarIconStyle style) {
    switch (style) {
    case MenuBarIconStyle::windup:
        return QCoreApplication::translate("MenuBarIconStyle", "Wind-up");
    case MenuBarIconStyle::clock:
        return QCoreApplication::translate("MenuBarIconStyle", "Clock");
    case MenuBarIconStyle::minimal:
        return QCoreApplication::translate("MenuBarIconStyle", "Minimal");
    }
    return {};
}

QString symbolName(MenuBarIconStyle style) {
    switch (style) {
    case MenuBarIconStyle::windup:
        return QStringLiteral("timer");
    case MenuBarIconStyle::clock:
        return QStringLiteral("clock");
    case MenuBarIconStyle::minimal:
        return QStringLiteral("circle.dashed");
    }
    return QStringLiteral("timer");
}
