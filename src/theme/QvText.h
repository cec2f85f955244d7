#pragma once
// The two shared text treatments: section labels, and digits of equal width for changing numbers.

#include "theme/QvColor.h"

#include <QFont>
#include <QRectF>
#include <QString>

class QPainter;

class QvText {
public:
    // 10 px semibold, 0.3 px tracking, shown upper case while the text itself stays as given.
    static QFont sectionLabelFont();
    // A token, so a label resolves it in whatever scheme it is drawn in.
    static const QvColor& sectionLabelColor();

    // Qt 6.4 cannot switch on a font's tabular figures, so digits are set in cells as wide as the widest
    // digit; every other character keeps its own advance.
    static bool isTabularDigit(QChar c);
    static double tabularDigitWidth(const QFont& font);
    static double tabularWidth(const QFont& font, const QString& text);
    // Where the character at `index` starts, measured from the text's left edge.
    static double tabularOffset(const QFont& font, const QString& text, qsizetype index);
    // Draws with the painter's font and pen, aligned in `rect` (horizontal and vertical flags).
    static void drawTabular(QPainter& painter, const QRectF& rect, Qt::Alignment alignment,
                            const QString& text);

    QvText() = delete;
};
