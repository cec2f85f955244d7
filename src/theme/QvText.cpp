#include "theme/QvText.h"

#include "theme/QvColor.h"
#include "theme/QvFont.h"

#include <QFontMetricsF>
#include <QPainter>

#include <algorithm>

QFont QvText::sectionLabelFont() {
    QFont font = QvFont::qvText(10, QFont::DemiBold);
    font.setLetterSpacing(QFont::AbsoluteSpacing, 0.3);
    font.setCapitalization(QFont::AllUppercase);
    return font;
}

const QvColor& QvText::sectionLabelColor() {
    return QvColor::qvInkMuted();
}

bool QvText::isTabularDigit(QChar c) {
    return c.unicode() >= u'0' && c.unicode() <= u'9';
}

double QvText::tabularDigitWidth(const QFont& font) {
    const QFontMetricsF metrics(font);
    double widest = 0;
    for (char16_t d = u'0'; d <= u'9'; ++d) {
        widest = std::max(widest, metrics.horizontalAdvance(QChar(d)));
    }
    return widest;
}

double QvText::tabularWidth(const QFont& font, const QString& text) {
    const QFontMetricsF metrics(font);
    const double cell = tabularDigitWidth(font);
    double width = 0;
    qsizetype runStart = 0;
    for (qsizetype i = 0; i <= text.size(); ++i) {
        if (i == text.size() || isTabularDigit(text[i])) {
            if (i > runStart) {
                width += metrics.horizontalAdvance(text.mid(runStart, i - runStart));
            }
            if (i < text.size()) {
                width += cell;
            }
            runStart = i + 1;
        }
    }
    return width;
}

double QvText::tabularOffset(const QFont& font, const QString& text, qsizetype index) {
    return tabularWidth(font, text.left(index));
}

void QvText::drawTabular(QPainter& painter, const QRectF& rect, Qt::Alignment alignment,
                         const QString& text) {
    const QFont font = painter.font();
    const QFontMetricsF metrics(font);
    const double cell = tabularDigitWidth(font);
    const double width = tabularWidth(font, text);

    double x = rect.left();
    if (alignment & Qt::AlignHCenter) {
        x = rect.center().x() - width / 2;
    } else if (alignment & Qt::AlignRight) {
        x = rect.right() - width;
    }
    double baseline = rect.top() + metrics.ascent();
    if (alignment & Qt::AlignVCenter) {
        baseline = rect.center().y() - metrics.height() / 2 + metrics.ascent();
    } else if (alignment & Qt::AlignBottom) {
        baseline = rect.bottom() - metrics.descent();
    }

    qsizetype runStart = 0;
    for (qsizetype i = 0; i <= text.size(); ++i) {
        if (i == text.size() || isTabularDigit(text[i])) {
            if (i > runStart) {
                const QString run = text.mid(runStart, i - runStart);
                painter.drawText(QPointF(x, baseline), run);
                x += metrics.horizontalAdvance(run);
            }
            if (i < text.size()) {
                const QString digit(text[i]);
                painter.drawText(QPointF(x + (cell - metrics.horizontalAdvance(digit)) / 2, baseline), digit);
                x += cell;
            }
            runStart = i + 1;
        }
    }
}
