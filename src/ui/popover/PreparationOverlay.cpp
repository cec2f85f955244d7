#include "ui/popover/PreparationOverlay.h"

#include "theme/QvColor.h"
#include "ui/kit/FocusRing.h"
#include "ui/kit/TimerPreparationView.h"
#include "ui/kit/ViewEnvironment.h"

#include <QEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

PreparationOverlay::PreparationOverlay(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("quorvane.preparation.overlay"));
}

void PreparationOverlay::setCard(TimerPreparationView* card) {
    clearCard();
    m_card = card;
    card->setParent(this);
    // The card grows when its error line appears; it stays centred.
    card->installEventFilter(this);
    placeCard();
    card->show();
}

void PreparationOverlay::clearCard() {
    if (!m_card) {
        return;
    }
    // The card may be the one whose button is being handled right now: hide it at once, delete it later.
    TimerPreparationView* old = m_card;
    m_card = nullptr;
    old->removeEventFilter(this);
    old->hide();
    old->deleteLater();
}

void PreparationOverlay::placeCard() {
    if (!m_card) {
        return;
    }
    const QSize size = m_card->sizeHint();
    m_card->setGeometry(QRect(QPoint((width() - size.width()) / 2, (height() - size.height()) / 2), size));
}

bool PreparationOverlay::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_card && event->type() == QEvent::LayoutRequest) {
        placeCard();
    }
    return QWidget::eventFilter(watched, event);
}

void PreparationOverlay::resizeEvent(QResizeEvent* event) {
    placeCard();
    QWidget::resizeEvent(event);
}

void PreparationOverlay::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    QColor dim = QvColor::qvTextPrimary().resolve(ViewEnvironment::colorScheme(this));
    dim.setAlphaF(float(dimOpacity));
    painter.fillRect(rect(), dim);
}

bool PreparationOverlay::isOnDim(const QPoint& point) const {
    // Clicks on the card's ground that no control took come up here too; only those outside its shape
    // (its shadow included) are on the dim.
    return !(m_card && m_card->cardRect().translated(m_card->pos()).contains(point));
}

void PreparationOverlay::mousePressEvent(QMouseEvent* event) {
    m_pressOnDim = event->button() == Qt::LeftButton && isOnDim(event->position().toPoint());
    event->accept();
}

void PreparationOverlay::mouseReleaseEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    const bool click =
        m_pressOnDim && event->button() == Qt::LeftButton && rect().contains(at) && isOnDim(at);
    m_pressOnDim = false;
    event->accept();
    if (click) {
        emit dimClicked();
    }
}

void PreparationOverlay::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        emit escapePressed();
        return;
    }
    // Nothing else passes to the screen behind.
    event->accept();
}

bool PreparationOverlay::focusNextPrevChild(bool next) {
    if (!m_card) {
        return true;
    }
    // The card's focusable widgets, in their tab order, taken as a ring.
    FocusRing::step(FocusRing::within(m_card), focusWidget(), next);
    return true;
}
