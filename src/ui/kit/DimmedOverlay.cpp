#include "ui/kit/DimmedOverlay.h"

#include "theme/QvColor.h"
#include "ui/kit/FocusRing.h"
#include "ui/kit/ViewEnvironment.h"

#include <QEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

DimmedOverlay::DimmedOverlay(QWidget* parent) : QWidget(parent) {
    // Clicks on the dim keep the keyboard where it is, inside the surface.
    setFocusPolicy(Qt::NoFocus);
    parent->installEventFilter(this);
    setGeometry(parent->rect());
    raise();
    show();
}

void DimmedOverlay::setContent(QWidget* content, int margin) {
    if (m_content && m_content != content) {
        m_content->removeEventFilter(this);
        m_content->hide();
        m_content->deleteLater();
    }
    m_content = content;
    m_margin = margin;
    content->setParent(this);
    content->installEventFilter(this);
    placeContent();
    content->show();
}

void DimmedOverlay::placeContent() {
    if (!m_content) {
        return;
    }
    const QRect room = rect().adjusted(m_margin, m_margin, -m_margin, -m_margin);
    const QSize wanted = m_content->sizeHint().isValid() ? m_content->sizeHint() : m_content->size();
    const QSize size = wanted.boundedTo(room.size()).expandedTo(m_content->minimumSize());
    m_content->setGeometry(QRect(
        QPoint(room.x() + (room.width() - size.width()) / 2, room.y() + (room.height() - size.height()) / 2),
        size));
}

bool DimmedOverlay::eventFilter(QObject* watched, QEvent* event) {
    if (watched == parent() && event->type() == QEvent::Resize) {
        setGeometry(parentWidget()->rect());
        placeContent();
    } else if (watched == m_content && event->type() == QEvent::LayoutRequest) {
        placeContent();
    }
    return QWidget::eventFilter(watched, event);
}

void DimmedOverlay::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    QColor dim = QvColor::qvTextPrimary().resolve(ViewEnvironment::colorScheme(this));
    dim.setAlphaF(float(dimOpacity));
    painter.fillRect(rect(), dim);
}

void DimmedOverlay::mousePressEvent(QMouseEvent* event) {
    m_pressOnDim = event->button() == Qt::LeftButton;
    event->accept();
}

void DimmedOverlay::mouseReleaseEvent(QMouseEvent* event) {
    const bool click =
        m_pressOnDim && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
    m_pressOnDim = false;
    event->accept();
    if (click) {
        emit dimClicked();
    }
}

void DimmedOverlay::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        emit escapePressed();
    }
    // Nothing passes to the screen behind.
    event->accept();
}

QList<QWidget*> DimmedOverlay::focusRing() const {
    return FocusRing::within(m_content);
}

void DimmedOverlay::focusContent() {
    const QList<QWidget*> ring = focusRing();
    if (!ring.isEmpty()) {
        ring.first()->setFocus(Qt::OtherFocusReason);
    }
}

bool DimmedOverlay::focusNextPrevChild(bool next) {
    FocusRing::step(focusRing(), focusWidget(), next);
    return true;
}
