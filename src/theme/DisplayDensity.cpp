#include "theme/DisplayDensity.h"

#include "platform/Preferences.h"
#include "theme/ThemeSettingsKeys.h"

#include <QCoreApplication>

QString toRaw(DisplayDensity density) {
    return density == DisplayDensity::compact ? QStringLiteral("compact") : QStringLiteral("spacious");
}

std::optional<DisplayDensity> displayDensityFromRaw(const QString& raw) {
    for (DisplayDensity density : allDisplayDensities()) {
        if (toRaw(density) == raw) {
            return density;
        }
    }
    return std::nullopt;
}

QList<DisplayDensity> allDisplayDensities() {
    return {DisplayDensity::compact, DisplayDensity::spacious};
}

QString label(DisplayDensity density) {
    return density == DisplayDensity::compact ? QCoreApplication::translate("DisplayDensity", "Compact")
                                              : QCoreApplication::translate("DisplayDensity", "Roomy");
}

double spacingMultiplier(DisplayDensity density) {
    return density == DisplayDensity::compact ? 0.75 : 1.0;
}

double scaled(DisplayDensity density, double length) {
    return length * spacingMultiplier(density);
}

DisplayDensity displayDensityFromPreferences(const Preferences& defaults) {
    return displayDensityFromRaw(ThemeSettingsKeys::displayDensity.read(defaults))
        .value_or(DisplayDensity::spacious);
}
