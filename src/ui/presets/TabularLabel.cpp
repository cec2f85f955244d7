#include "ui/presets/TabularLabel.h"

#include "theme/QvText.h"
#include "ui/kit/ViewEnvironment.h"

#include <QFontMetricsF>
#include <QPainter>

#include <cmath>

TabularLabel::TabularLabel(const QvColor& token, QWidget* parent) : QWidget(parent), m_token(token) {
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void TabularLabel::setText(const QString& text) {
    if (text == m_text) {
        return;
    }
    m_text = text;
    setAccessibleName(text);
    updateGeometry();
    update();
}

QSize TabularLabel::sizeHint() const {
    return QSize(int(std::ceil(QvText::tabularWidth(font(), m_text))) + 1,
                 int(std::ceil(QFontMetricsF(font()).height())));
}

void TabularLabel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setFont(font());
    painter.setPen(m_token.resolve(ViewEnvironment::colorScheme(this)));
    QvText::drawTabular(painter, QRectF(rect()), Qt::AlignRight | Qt::AlignVCenter, m_text);
}
