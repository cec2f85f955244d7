#pragma once
// Values a widget hands down to every widget inside it (density, colour scheme), with defaults for the rest.

#include "theme/ColorScheme.h"
#include "theme/DisplayDensity.h"

class QWidget;

class ViewEnvironment {
public:
    // Set on a widget, a value holds for it and all its descendants until one of them sets its own.
    static void setDisplayDensity(QWidget* widget, DisplayDensity density);
    static void clearDisplayDensity(QWidget* widget);
    // The nearest value on the way up the parent chain; spacious when no ancestor set one.
    static DisplayDensity displayDensity(const QWidget* widget);

    static void setColorScheme(QWidget* widget, ColorScheme scheme);
    static void clearColorScheme(QWidget* widget);
    // The nearest value up the parent chain; light when none is set, as the application runs light.
    static ColorScheme colorScheme(const QWidget* widget);

    ViewEnvironment() = delete;
};
