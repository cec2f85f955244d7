#pragma once
// Draws the panel item's pictures: squares at the sizes panels use, holding either a glyph or the short
// form of the time, each on a solid plate of the ink's opposite lightness so it reads on light and dark
// panels alike. Also finds the glyphs' icon theme, for panels that draw a named icon themselves.

#include "shell/PanelDBusTypes.h"
#include "shell/PanelShortForm.h"

#include <QColor>
#include <QImage>
#include <QList>
#include <QString>

class LabelRenderer {
public:
    // The square sizes offered to panels, which pick the one nearest their own.
    static const QList<int>& offeredSides();

    // One of the item's glyphs (PanelLabelParts' names) in `ink`; a transparent square for an unknown name.
    static QImage glyph(const QString& iconName, int side, const QColor& ink);
    // The short form in `ink`: the glyph, or the figure filling the square.
    static QImage shortForm(const PanelShortForm& form, int side, const QColor& ink);
    // The plate's colour for an ink: white under dark ink, black under light ink.
    static QColor haloFor(const QColor& ink);

    // Both at every offered side, in wire form.
    static PanelIconPixmapList glyphPixmaps(const QString& iconName, const QColor& ink);
    static PanelIconPixmapList shortFormPixmaps(const PanelShortForm& form, const QColor& ink);

    // The picture in the wire form of panel items: unpremultiplied ARGB32, most significant byte first.
    static PanelIconPixmap toIconPixmap(const QImage& image);
    // The reverse, for hosts drawing a picture they received; a null image when the bytes do not fit.
    static QImage fromIconPixmap(const PanelIconPixmap& pixmap);

    // The folder holding the glyphs as an icon theme (hicolor/scalable/status/<name>.svg): installed
    // beside the program's data, or in the build tree; empty when neither is there.
    static QString iconThemePath();

    LabelRenderer() = delete;
};
