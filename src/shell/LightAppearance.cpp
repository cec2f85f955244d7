#include "shell/LightAppearance.h"

#include "theme/QvColor.h"

#include <QApplication>
#include <QStyleFactory>

QPalette LightAppearance::palette() {
    const auto light = [](const QvColor& colour) { return colour.resolve(ColorScheme::light); };
    QPalette p;
    for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
        p.setColor(group, QPalette::Window, light(QvColor::qvCanvas()));
        p.setColor(group, QPalette::WindowText, light(QvColor::qvTextPrimary()));
        p.setColor(group, QPalette::Base, light(QvColor::qvSurface()));
        p.setColor(group, QPalette::AlternateBase, light(QvColor::qvSurfaceMuted()));
        p.setColor(group, QPalette::Text, light(QvColor::qvTextPrimary()));
        p.setColor(group, QPalette::PlaceholderText, light(QvColor::qvTextTertiary()));
        p.setColor(group, QPalette::Button, light(QvColor::qvSurfaceRaised()));
        p.setColor(group, QPalette::ButtonText, light(QvColor::qvTextPrimary()));
        p.setColor(group, QPalette::BrightText, light(QvColor::qvDanger()));
        p.setColor(group, QPalette::Highlight, light(QvColor::qvInkAction()));
        p.setColor(group, QPalette::HighlightedText, light(QvColor::qvInkOnAction()));
        p.setColor(group, QPalette::ToolTipBase, light(QvColor::qvSurfaceRaised()));
        p.setColor(group, QPalette::ToolTipText, light(QvColor::qvTextPrimary()));
        p.setColor(group, QPalette::Light, light(QvColor::qvSurfaceRaised()));
        p.setColor(group, QPalette::Midlight, light(QvColor::qvSurfaceMuted()));
        p.setColor(group, QPalette::Mid, light(QvColor::qvStroke()));
        p.setColor(group, QPalette::Dark, light(QvColor::qvTextTertiary()));
        p.setColor(group, QPalette::Shadow, light(QvColor::qvTextSecondary()));
    }
    const QColor muted = light(QvColor::qvTextTertiary());
    p.setColor(QPalette::Disabled, QPalette::WindowText, muted);
    p.setColor(QPalette::Disabled, QPalette::Text, muted);
    p.setColor(QPalette::Disabled, QPalette::ButtonText, muted);
    p.setColor(QPalette::Disabled, QPalette::Window, light(QvColor::qvCanvas()));
    p.setColor(QPalette::Disabled, QPalette::Base, light(QvColor::qvSurfaceMuted()));
    p.setColor(QPalette::Disabled, QPalette::Button, light(QvColor::qvSurfaceMuted()));
    return p;
}

void LightAppearance::apply() {
    // A desktop style may draw from the desktop's own (dark) colours; Fusion draws from the palette.
    if (QStyle* fusion = QStyleFactory::create(QStringLiteral("Fusion"))) {
        QApplication::setStyle(fusion);
    }
    QApplication::setPalette(palette());
}
