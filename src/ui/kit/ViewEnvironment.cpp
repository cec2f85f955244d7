#include "ui/kit/ViewEnvironment.h"

#include <QWidget>

namespace {

constexpr const char* kDensityProperty = "tt.displayDensity";
constexpr const char* kSchemeProperty = "tt.colorScheme";

QVariant inherited(const QWidget* widget, const char* name) {
    for (const QWidget* w = widget; w; w = w->parentWidget()) {
        const QVariant v = w->property(name);
        if (v.isValid()) {
            return v;
        }
    }
    return {};
}

// Widgets below read the environment when they paint or lay out, so they are told to do both again.
void refresh(QWidget* widget) {
    widget->updateGeometry();
    widget->update();
    for (QWidget* child : widget->findChildren<QWidget*>()) {
        child->updateGeometry();
        child->update();
    }
}

} // namespace

void ViewEnvironment::setDisplayDensity(QWidget* widget, DisplayDensity density) {
    widget->setProperty(kDensityProperty, toRaw(density));
    refresh(widget);
}

void ViewEnvironment::clearDisplayDensity(QWidget* widget) {
    widget->setProperty(kDensityProperty, QVariant());
    refresh(widget);
}

DisplayDensity ViewEnvironment::displayDensity(const QWidget* widget) {
    return displayDensityFromRaw(inherited(widget, kDensityProperty).toString())
        .value_or(DisplayDensity::spacious);
}

void ViewEnvironment::setColorScheme(QWidget* widget, ColorScheme scheme) {
    widget->setProperty(kSchemeProperty,
                        scheme == ColorScheme::dark ? QStringLiteral("dark") : QStringLiteral("light"));
    refresh(widget);
}

void ViewEnvironment::clearColorScheme(QWidget* widget) {
    widget->setProperty(kSchemeProperty, QVariant());
    refresh(widget);
}

ColorScheme ViewEnvironment::colorScheme(const QWidget* widget) {
    return inherited(widget, kSchemeProperty).toString() == QLatin1String("dark") ? ColorScheme::dark
                                                                                  : ColorScheme::light;
}
