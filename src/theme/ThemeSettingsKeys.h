#pragma once
// The theme layer's own preferences, each declared once with its type and default. The menu-bar keys are
// settings-model keys and are declared with the others in core/SettingsKeys.h.

#include "platform/PreferenceSetting.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace ThemeSettingsKeys {

// Raw DisplayDensity; only read (no control writes it).
inline const PreferenceSetting<QString> displayDensity{QStringLiteral("bl.displayDensity"),
                                                       QStringLiteral("spacious")};
// Raw ModuleID values of the hidden home-screen modules, in no particular order.
inline const PreferenceSetting<QStringList> hiddenModules{QStringLiteral("bl.modules.hidden"), QStringList{}};
// Raw AccentTheme.
inline const PreferenceSetting<QString> accent{QStringLiteral("quorvane.theme.accent"),
                                               QStringLiteral("orange")};
// Raw Appearance.
inline const PreferenceSetting<QString> appearance{QStringLiteral("quorvane.theme.appearance"),
                                                   QStringLiteral("light")};
// The custom accent as hexadecimal colour text; absent when there is none.
inline const PreferenceSetting<std::optional<QString>> customAccentHex{
    QStringLiteral("quorvane.theme.customAccentHex"), std::nullopt};

// All of the above, in that order.
const QList<PreferenceDeclaration>& all();

} // namespace ThemeSettingsKeys
