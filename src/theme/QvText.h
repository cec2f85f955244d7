#pragma once
// The two shared text treatments: section labels, and digits of equal width for changing numbers.

#include "theme/ColorScheme.h"

#include <QColor>
#include <QFont>
#include <QRectF>
#include <QString>

class QLabel;
class QPainter;

class QvText {
public:
    // 10 px semibold, 0.3 px tracking, shown upper case while the text itself stays as given.
    static QFont sectionLabelFont();
    static QColor sectionLabelColor(ColorScheme scheme);
    // Styles a label as a section label in the colour scheme of its place in the widget tree.
    static void qvSectionLabel(QLabel* label);

    // Qt 6.4 cannot switch on a font's tabular figures, so digits are set in cells as wide as the widest
    // digit; every other character keeps its own advance.
    static double tabularDigitWidth(const QFont& font);
    static double tabularWidth(const QFont& font, const QString& text);
    // Draws with the painter's font and pen, aligned in `rect` (horizontal and vertical flags).
    static void drawTabular(QPainter& painter, const QRectF& rect, Qt::Alignment alignment,
                            const QString& text);

    QvText() = delete;
};
