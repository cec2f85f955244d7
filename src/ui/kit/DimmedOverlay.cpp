#include "ui/kit/DimmedOverlay.h"

#include "ui/kit/KeyPress.h"
#include "ui/kit/ViewEnvironment.h"

#include <QEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

DimmedOverlay::DimmedOverlay(QWidget* parent) : DimmedOverlay(parent, QvColor::qvTextPrimary()) {
    raise();
    show();
}

DimmedOverlay::DimmedOverlay(QWidget* parent, const QvColor& dim)
    : QWidget(parent), m_dim(dim), m_keeper(this, [this] { return FocusRing::within(m_content); }) {
    // Clicks on the dim keep the keyboard where it is, inside the surface.
    setFocusPolicy(Qt::NoFocus);
    parent->installEventFilter(this);
    setGeometry(parent->rect());
}

void DimmedOverlay::setContent(QWidget* content, int margin) {
    if (m_content != content) {
        clearContent();
    }
    m_content = content;
    m_margin = margin;
    content->setParent(this);
    // The surface grows and shrinks with what it shows; it stays centred.
    content->installEventFilter(this);
    placeContent();
    content->show();
}

void DimmedOverlay::clearContent() {
    if (!m_content) {
        return;
    }
    QWidget* old = m_content;
    m_content = nullptr;
    old->removeEventFilter(this);
    old->hide();
    old->deleteLater();
}

void DimmedOverlay::placeContent() {
    if (!m_content) {
        return;
    }
    const QRect room = rect().adjusted(m_margin, m_margin, -m_margin, -m_margin);
    // A fixed-width surface can have a narrower hint; centre the size it will really take.
    const QSize wanted = m_content->sizeHint().isValid() ? m_content->sizeHint() : m_content->size();
    QSize size = wanted.expandedTo(m_content->minimumSize())
                     .boundedTo(m_content->maximumSize())
                     .boundedTo(room.size());
    if (m_content->hasHeightForWidth()) {
        size.setHeight(std::min(room.height(), m_content->heightForWidth(size.width())));
    }
    m_content->setGeometry(QRect(
        QPoint(room.x() + (room.width() - size.width()) / 2, room.y() + (room.height() - size.height()) / 2),
        size));
}

bool DimmedOverlay::eventFilter(QObject* watched, QEvent* event) {
    if (watched == parent() && event->type() == QEvent::Resize) {
        setGeometry(parentWidget()->rect());
    } else if (watched == m_content && event->type() == QEvent::LayoutRequest) {
        placeContent();
    }
    return QWidget::eventFilter(watched, event);
}

void DimmedOverlay::resizeEvent(QResizeEvent* event) {
    placeContent();
    QWidget::resizeEvent(event);
}

void DimmedOverlay::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    QColor dim = m_dim.resolve(ViewEnvironment::colorScheme(this));
    dim.setAlphaF(float(dimOpacity));
    painter.fillRect(rect(), dim);
}

bool DimmedOverlay::isOnDim(const QPoint&) const {
    return true;
}

void DimmedOverlay::mousePressEvent(QMouseEvent* event) {
    m_pressOnDim = event->button() == Qt::LeftButton && isOnDim(event->position().toPoint());
    event->accept();
}

void DimmedOverlay::mouseReleaseEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    const bool click =
        m_pressOnDim && event->button() == Qt::LeftButton && rect().contains(at) && isOnDim(at);
    m_pressOnDim = false;
    event->accept();
    if (click) {
        emit dimClicked();
    }
}

void DimmedOverlay::keyPressEvent(QKeyEvent* event) {
    if (KeyPress::isPlainEscape(*event)) {
        emit escapePressed();
    }
    // Nothing passes to the screen behind.
    event->accept();
}

void DimmedOverlay::focusContent() {
    const QList<QWidget*> ring = FocusRing::within(m_content);
    if (!ring.isEmpty()) {
        ring.first()->setFocus(Qt::OtherFocusReason);
    }
}

bool DimmedOverlay::focusNextPrevChild(bool next) {
    FocusRing::step(FocusRing::within(m_content), focusWidget(), next);
    return true;
}
