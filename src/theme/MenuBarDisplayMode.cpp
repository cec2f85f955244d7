#include "theme/MenuBarDisplayMode.h"

#include "platform/Preferences.h"

#include <QCoreApplication>

QString toRaw(MenuBarDisplayMode mode) {
    switch (mode) {
    case MenuBarDisplayMode::iconOnly:
        return QStringLiteral("iconOnly");
    case MenuBarDisplayMode::timeOnly:
        return QStringLiteral("timeOnly");
    case MenuBarDisplayMode::iconAndTime:
        return QStringLiteral("iconAndTime");
    }
    return QStringLiteral("timeOnly");
}

std::optional<MenuBarDisplayMode> menuBarDisplayModeFromRaw(const QString& raw) {
    for (MenuBarDisplayMode mode : allMenuBarDisplayModes()) {
        if (toRaw(mode) == raw) {
            return mode;
        }
    }
    return std::nullopt;
}

QList<MenuBarDisplayMode> allMenuBarDisplayModes() {
    return {MenuBarDisplayMode::iconOnly, MenuBarDisplayMode::timeOnly, MenuBarDisplayMode::iconAndTime};
}

QString label(MenuBarDisplayMode mode) {
    switch (mode) {
    case MenuBarDisplayMode::iconOnly:
        return QCoreApplication::translate("MenuBarDisplayMode", "Icon");
    case MenuBarDisplayMode::timeOnly:
        return QCoreApplication::translate("MenuBarDisplayMode", "Time");
    case MenuBarDisplayMode::iconAndTime:
        return QCoreApplication::translate("MenuBarDisplayMode", "Icon + Time");
    }
    return {};
}

void MenuBarDisplayModeMigration::migrateLegacyPreference(Preferences& defaults) {
    // Any stored value, even one of another type or naming no mode, is the user's and is left alone.
    if (defaults.contains(menuBarDisplayModeKey)) {
        return;
    }
    const bool showIcon = defaults.boolValue(menuBarShowIconKey).value_or(false);
    defaults.setString(menuBarDisplayModeKey,
                       toRaw(showIcon ? MenuBarDisplayMode::iconAndTime : MenuBarDisplayMode::timeOnly));
}
