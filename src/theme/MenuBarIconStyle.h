#pragma once
// Which icon the menu-bar label draws.

#include <QList>
#include <QString>

#include <optional>

enum class MenuBarIconStyle { windup, clock, minimal };

QString toRaw(MenuBarIconStyle style);
std::optional<MenuBarIconStyle> menuBarIconStyleFromRaw(const QString& raw);
QList<MenuBarIconStyle> allMenuBarIconStyles();
// The picker's name of the style, in the interface language.
QString label(MenuBarIconStyle style);
// The symbol the style draws ("timer", "clock", "circle.dashed").
QString symbolName(MenuBarIconStyle style);
