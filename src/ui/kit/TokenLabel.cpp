#include "ui/kit/TokenLabel.h"

#include "theme/QvText.h"
#include "ui/kit/ViewEnvironment.h"

TokenLabel::TokenLabel(const QvColor& token, QWidget* parent) : QLabel(parent), m_token(token) {
    applyColor();
}

TokenLabel* TokenLabel::makeSectionLabel(QWidget* parent) {
    auto* label = new TokenLabel(QvText::sectionLabelColor(), parent);
    label->setFont(QvText::sectionLabelFont());
    return label;
}

void TokenLabel::setToken(const QvColor& token) {
    m_token = token;
    applyColor();
    update();
}

QColor TokenLabel::resolvedColor() const {
    return m_token.resolve(ViewEnvironment::colorScheme(this));
}

void TokenLabel::applyColor() {
    const QColor wanted = resolvedColor();
    if (palette().color(foregroundRole()) == wanted) {
        return;
    }
    QPalette changed = palette();
    changed.setColor(foregroundRole(), wanted);
    setPalette(changed);
}

void TokenLabel::paintEvent(QPaintEvent* event) {
    // The scheme is read from the ancestors, which tell nobody when they change it, so the colour is
    // settled here, just before the label's own drawing reads its palette.
    applyColor();
    QLabel::paintEvent(event);
}
