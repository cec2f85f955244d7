#include "ui/presets/EditorOverlay.h"

#include "theme/QvColor.h"
#include "ui/kit/FocusRing.h"
#include "ui/kit/ViewEnvironment.h"

#include <QEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

EditorOverlay::EditorOverlay(QWidget* card, Keys keys, QWidget* parent)
    : QWidget(parent), m_card(card), m_keys(std::move(keys)) {
    card->setParent(this);
    card->installEventFilter(this);
    setGeometry(parent->rect());
    placeCard();
    card->show();
}

void EditorOverlay::placeCard() {
    if (!m_card) {
        return;
    }
    const QRect room = rect().adjusted(inset, inset, -inset, -inset);
    // A fixed-width card can have a narrower hint; centre the size it will really take.
    QSize size = m_card->sizeHint()
                     .expandedTo(m_card->minimumSize())
                     .boundedTo(m_card->maximumSize())
                     .boundedTo(room.size());
    if (m_card->hasHeightForWidth()) {
        size.setHeight(std::min(room.height(), m_card->heightForWidth(size.width())));
    }
    m_card->setGeometry(QRect(QPoint((width() - size.width()) / 2, (height() - size.height()) / 2), size));
}

bool EditorOverlay::eventFilter(QObject* watched, QEvent* event) {
    // The card grows and shrinks with its steps; it stays centred.
    if (watched == m_card && event->type() == QEvent::LayoutRequest) {
        placeCard();
    }
    return QWidget::eventFilter(watched, event);
}

void EditorOverlay::resizeEvent(QResizeEvent* event) {
    placeCard();
    QWidget::resizeEvent(event);
}

void EditorOverlay::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    QColor dim = QvColor::qvInkPrimary().resolve(ViewEnvironment::colorScheme(this));
    dim.setAlphaF(float(dimOpacity));
    painter.fillRect(rect(), dim);
}

void EditorOverlay::mousePressEvent(QMouseEvent* event) {
    // A click beside the card closes nothing, and reaches nothing behind.
    event->accept();
}

void EditorOverlay::keyPressEvent(QKeyEvent* event) {
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    event->accept();
    if (modifiers != Qt::NoModifier) {
        return;
    }
    if (event->key() == Qt::Key_Escape && m_keys.onEscape) {
        m_keys.onEscape();
    } else if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && m_keys.onReturn) {
        m_keys.onReturn();
    }
}

bool EditorOverlay::focusNextPrevChild(bool next) {
    if (!m_card) {
        return true;
    }
    FocusRing::step(FocusRing::within(m_card), focusWidget(), next);
    return true;
}
