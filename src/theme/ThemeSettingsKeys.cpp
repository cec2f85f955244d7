#include "theme/ThemeSettingsKeys.h"

const QList<PreferenceDeclaration>& ThemeSettingsKeys::all() {
    static const QList<PreferenceDeclaration> declarations = {
        displayDensity.declaration(), hiddenModules.declaration(),   accent.declaration(),
        appearance.declaration(),     customAccentHex.declaration(),
    };
    return declarations;
}
