#pragma once
// The interface font at a pixel size and weight, with Japanese glyphs from the CJK face.

#include <QFont>

class QvFont {
public:
    // Sizes are pixels; a Qt point would be a third larger at 96 DPI.
    static QFont qvText(double size, QFont::Weight weight);
    // The same font as qvText; the two names mark text roles, not different faces.
    static QFont qvDisplay(double size, QFont::Weight weight);

    QvFont() = delete;
};
