#pragma once
// The settings tab's accent colour, handed down the widget tree: the screen sets it on itself and every
// control inside reads the nearest value when it draws, so a new accent shows at the next repaint.

#include "theme/AccentTheme.h"

#include <QColor>
#include <QVariant>
#include <QWidget>

namespace SettingsAccent {

inline constexpr const char* property = "tt.settingsAccent";

inline void set(QWidget* widget, const QColor& accent) {
    widget->setProperty(property, accent);
    widget->update();
}

// The nearest value up the parent chain; the orange preset when none is set.
inline QColor of(const QWidget* widget) {
    for (const QWidget* w = widget; w; w = w->parentWidget()) {
        const QVariant value = w->property(property);
        if (value.isValid()) {
            return value.value<QColor>();
        }
    }
    return color(AccentTheme::orange);
}

} // namespace SettingsAccent
