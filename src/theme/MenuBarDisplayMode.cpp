#include "theme/MenuBarDisplayMode.h"

#include "core/SettingsKeys.h"
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
    if (SettingsKeys::menuBarDisplayMode.isStored(defaults)) {
        return;
    }
    const bool showIcon = SettingsKeys::menuBarShowIcon.read(defaults);
    SettingsKeys::menuBarDisplayMode.write(
        defaults, toRaw(showIcon ? MenuBarDisplayMode::iconAndTime : MenuBarDisplayMode::timeOnly));
}
