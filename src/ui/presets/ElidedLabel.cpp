#include "ui/presets/ElidedLabel.h"

#include <QFontMetrics>

ElidedLabel::ElidedLabel(const QvColor& token, QWidget* parent) : TokenLabel(token, parent) {
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
}

void ElidedLabel::setFullText(const QString& text) {
    m_fullText = text;
    setAccessibleName(text);
    elide();
    updateGeometry();
}

QSize ElidedLabel::sizeHint() const {
    const QFontMetrics metrics(font());
    return QSize(metrics.horizontalAdvance(m_fullText) + 1, metrics.height());
}

QSize ElidedLabel::minimumSizeHint() const {
    return QSize(0, QFontMetrics(font()).height());
}

void ElidedLabel::resizeEvent(QResizeEvent* event) {
    TokenLabel::resizeEvent(event);
    elide();
}

void ElidedLabel::elide() {
    setText(QFontMetrics(font()).elidedText(m_fullText, Qt::ElideRight, std::max(0, width())));
}
