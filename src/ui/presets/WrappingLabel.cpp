#include "ui/presets/WrappingLabel.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QTextLayout>

#include <cmath>

WrappingLabel::WrappingLabel(const QvColor& token, QWidget* parent) : TokenLabel(token, parent) {
    setWordWrap(true); // as it reads to anything that asks the label
}

qreal WrappingLabel::layOut(QTextLayout& layout, qreal width) const {
    QTextOption option(Qt::AlignLeading);
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    option.setTextDirection(layoutDirection());
    layout.setFont(font());
    layout.setTextOption(option);
    const qreal leading = QFontMetricsF(font()).leading();
    qreal y = 0;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(width);
        line.setPosition(QPointF(0, y));
        y += line.height() + leading;
    }
    layout.endLayout();
    return y;
}

int WrappingLabel::heightForWidth(int width) const {
    const QMargins margins = contentsMargins();
    QTextLayout layout(text());
    return int(std::ceil(layOut(layout, width - margins.left() - margins.right()))) + margins.top() +
           margins.bottom();
}

QSize WrappingLabel::sizeHint() const {
    // One line as wide as the text; a layout that fixes the width asks for the height at that width.
    const int width = int(std::ceil(QFontMetricsF(font()).horizontalAdvance(text()))) +
                      contentsMargins().left() + contentsMargins().right();
    return QSize(width, heightForWidth(width));
}

QSize WrappingLabel::minimumSizeHint() const {
    return QSize(0, QFontMetrics(font()).height());
}

void WrappingLabel::paintEvent(QPaintEvent*) {
    const QRectF room = contentsRect();
    QTextLayout layout(text());
    layOut(layout, room.width());
    QPainter painter(this);
    painter.setPen(resolvedColor());
    for (int i = 0; i < layout.lineCount(); ++i) {
        const QTextLine line = layout.lineAt(i);
        const bool cutBelow =
            i + 1 < layout.lineCount() && layout.lineAt(i + 1).rect().bottom() > room.height();
        if (!cutBelow) {
            line.draw(&painter, room.topLeft());
            continue;
        }
        // The lines below do not fit: this one shows what it can of the rest.
        const QString rest = text().mid(line.textStart());
        painter.setFont(font());
        painter.drawText(QRectF(room.left(), room.top() + line.y(), room.width(), line.height()),
                         Qt::AlignLeading | Qt::AlignTop | Qt::TextSingleLine,
                         QFontMetricsF(font()).elidedText(rest, Qt::ElideRight, room.width()));
        break;
    }
}
