#pragma once
// What one surface draws: its shape's radius, fill, outline, shadows and vertical lift, all resolved colours.

#include <QColor>
#include <QList>

struct SurfaceShadow {
    QColor color; // opaque tint; the opacity below is applied when drawn
    double opacity = 0;
    double blur = 0; // blur radius
    double y = 0;    // vertical offset; shadows never move sideways
    bool operator==(const SurfaceShadow&) const = default;
};

struct SurfaceStyle {
    double cornerRadius = 0;
    QColor fill;
    QColor outline;
    QList<SurfaceShadow> shadows; // drawn in this order, nearest first
    double yOffset = 0;           // the whole surface, shadows included, moves by this much
    bool operator==(const SurfaceStyle&) const = default;
};
