#pragma once
// What the menu-bar label shows (icon, time or both), and the one-time move from the older on/off icon
// switch.

#include <QList>
#include <QString>

#include <optional>

class Preferences;

enum class MenuBarDisplayMode { iconOnly, timeOnly, iconAndTime };

QString toRaw(MenuBarDisplayMode mode);
std::optional<MenuBarDisplayMode> menuBarDisplayModeFromRaw(const QString& raw);
QList<MenuBarDisplayMode> allMenuBarDisplayModes();
// The picker's name of the mode, in the interface language.
QString label(MenuBarDisplayMode mode);

namespace MenuBarDisplayModeMigration {
// Stores the mode that the older "show icon" switch meant, unless the mode key holds anything at all.
void migrateLegacyPreference(Preferences& defaults);
} // namespace MenuBarDisplayModeMigration
