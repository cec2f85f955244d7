#pragma once
// Draws the panel label (icon, pause mark, time in tabular digits) as a picture a panel shows: as tall as
// the panel asks, as wide as the content needs, legible on light and on dark panels.

#include "shell/PanelDBusTypes.h"
#include "theme/MenuBarDisplayContent.h"

#include <QColor>
#include <QFont>
#include <QImage>
#include <QList>
#include <QSize>

class LabelRenderer {
public:
    // The heights offered to panels, which pick the one nearest their own.
    static const QList<int>& offeredHeights();

    // The label's font at a picture height: 14 pixels in a 22-pixel panel, in proportion elsewhere.
    static QFont font(int height);
    // The picture's size: `height` tall, the content's natural width with a margin, never narrower than
    // square (the icon alone is a square icon).
    static QSize size(const MenuBarDisplayContent& content, int height);
    // The content in `ink` on a transparent ground, with a faint halo of the opposite lightness so that it
    // stays legible when the panel turns out to be as dark (or as light) as the ink.
    static QImage render(const MenuBarDisplayContent& content, int height, const QColor& ink);
    // The halo colour for an ink: white around dark ink, black around light ink.
    static QColor haloFor(const QColor& ink);

    // The picture in the wire form of panel items: unpremultiplied ARGB32, most significant byte first.
    static PanelIconPixmap toIconPixmap(const QImage& image);
    // The reverse, for hosts drawing a picture they received; a null image when the bytes do not fit.
    static QImage fromIconPixmap(const PanelIconPixmap& pixmap);
    // The content at every offered height.
    static PanelIconPixmapList iconPixmaps(const MenuBarDisplayContent& content, const QColor& ink);

    LabelRenderer() = delete;
};
