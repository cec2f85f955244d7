#pragma once
// What the menu-bar label shows for a display mode, icon style and main-timer state, and how it is drawn.

#include "theme/MenuBarDisplayMode.h"
#include "theme/MenuBarIconStyle.h"

#include <QColor>
#include <QFont>
#include <QList>
#include <QRectF>
#include <QSizeF>
#include <QString>

class QPainter;

struct MenuBarDisplayContent {
    MenuBarDisplayMode mode = MenuBarDisplayMode::timeOnly;
    MenuBarIconStyle iconStyle = MenuBarIconStyle::windup;
    bool isActive = false; // a main timer exists
    bool isPaused = false; // the main timer is paused
    QString timeText;      // shown as given, never translated

    struct Item {
        enum class Kind { icon, pauseMark, time };
        Kind kind;
        QString symbolName; // for the icon and the pause mark
        QString text;       // for the time
        bool operator==(const Item&) const = default;
    };

    static constexpr double spacing = 4;
    static constexpr double pauseMarkFontSize = 8;

    // The row, left to right. Without a main timer every mode shows the icon, so the label is never empty.
    QList<Item> items() const;

    // Drawing uses the container's font and colour; only the pause mark has a size and weight of its own.
    QSizeF size(const QFont& font) const;
    void paint(QPainter& painter, const QRectF& rect, const QFont& font, const QColor& color) const;
    // The square a symbol drawn in this font takes.
    static double symbolSide(const QFont& font);
};
