#pragma once
// What the panel item shows, worked out for each kind of panel from the label's content and the main
// timer's remaining and whole length. Square panels get a short form that fills a small square: whole
// minutes left (rounded up, so 24:01 reads 25), seconds in the last minute, hours past 99 minutes.
// Label panels get a glyph the panel recolours and the label's own text beside it, once.

#include "theme/MenuBarDisplayContent.h"

#include <QString>

struct PanelShortForm {
    enum class Kind {
        glyph,   // the icon alone: no main timer, or a mode that shows no time
        minutes, // whole minutes left, rounded up
        seconds, // seconds left, in the last minute
        hours,   // whole hours left, rounded up, past 99 minutes
    };
    // The gauge's fill is kept in this many steps of the timer's whole length, so it changes when the figure
    // does and not in between.
    static constexpr int gaugeSteps = 60;

    Kind kind = Kind::glyph;
    qint64 value = 0;    // the figure shown
    bool paused = false; // the main timer is paused: a pause mark beside the figure
    bool gauge = false; // icon and time: beside the figure, a gauge of what is left of the timer, as the dial
                        // shows it
    int gaugeFill = 0;  // the gauge's fill, 0 to gaugeSteps
    MenuBarIconStyle iconStyle = MenuBarIconStyle::windup;

    // The figure as drawn: "25", "45", "2h"; empty for the glyph.
    QString figure() const;
    // The mark drawn after the figure that tells seconds from minutes; empty for minutes.
    QString unitMark() const;

    // `remaining` and `total` are the main timer's, in seconds (ignored without one).
    static PanelShortForm of(const MenuBarDisplayContent& content, qint64 remaining, qint64 total);

    bool operator==(const PanelShortForm&) const = default;
};

// The item's icon and label for a panel that draws labels.
struct PanelLabelParts {
    QString iconName; // a glyph of the item's own icon theme; empty when the row starts with the time
    QString label;    // what stands after the glyph; empty when the row shows no time
    QString guide;    // as wide as the widest text the label takes while this timer runs

    static PanelLabelParts of(const MenuBarDisplayContent& content);
    // The glyph's name for an icon style, and for the pause mark.
    static QString glyphName(MenuBarIconStyle style);
    static QString pausedGlyphName();
    // Put before the time when the row holds both the icon and the pause mark.
    static const QString pauseMark;

    bool operator==(const PanelLabelParts&) const = default;
};
