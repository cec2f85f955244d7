#include "ui/kit/TabularTokenLabel.h"

#include "theme/QvText.h"

#include <QFontMetricsF>
#include <QPainter>

#include <cmath>

TabularTokenLabel::TabularTokenLabel(const QvColor& token, QWidget* parent) : TokenLabel(token, parent) {}

QSize TabularTokenLabel::sizeHint() const {
    const QMargins margins = contentsMargins();
    return {int(std::ceil(QvText::tabularWidth(font(), text()))) + 1 + margins.left() + margins.right(),
            int(std::ceil(QFontMetricsF(font()).height())) + margins.top() + margins.bottom()};
}

QSize TabularTokenLabel::minimumSizeHint() const {
    return sizeHint();
}

void TabularTokenLabel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setFont(font());
    painter.setPen(resolvedColor());
    QvText::drawTabular(painter, QRectF(contentsRect()), alignment(), text());
}
