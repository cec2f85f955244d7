#pragma once
// How tightly the popover's screens are laid out: views multiply their spacings by the density's multiplier.

#include <QList>
#include <QString>

#include <optional>

class Preferences;

enum class DisplayDensity { compact, spacious };

QString toRaw(DisplayDensity density);
// Exact, case-sensitive match of a raw value.
std::optional<DisplayDensity> displayDensityFromRaw(const QString& raw);
QList<DisplayDensity> allDisplayDensities();
// The choice's name, in the interface language.
QString label(DisplayDensity density);
double spacingMultiplier(DisplayDensity density);
double scaled(DisplayDensity density, double length);
// The stored choice; a missing key or any text that names no density gives spacious.
DisplayDensity displayDensityFromPreferences(const Preferences& defaults);
