#include "ui/focus/MinuteStepper.h"

#include "theme/QvColor.h"
#include "theme/QvSurface.h"
#include "theme/SymbolIcon.h"
#include "ui/kit/ViewEnvironment.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>

#include <algorithm>

MinuteStepper::MinuteStepper(int minimum, int maximum, QWidget* parent)
    : QWidget(parent), m_minimum(minimum), m_maximum(maximum), m_value(minimum) {
    setFocusPolicy(Qt::TabFocus);
    setFixedSize(sizeHint());
    connect(&m_repeat, &QTimer::timeout, this, &MinuteStepper::repeatStep);
}

QSize MinuteStepper::sizeHint() const {
    return {22, 30};
}

void MinuteStepper::setValue(int value) {
    const int clamped = std::clamp(value, m_minimum, m_maximum);
    if (clamped != m_value) {
        m_value = clamped;
        update();
    }
}

void MinuteStepper::stepBy(int steps) {
    const int before = m_value;
    setValue(m_value + steps);
    if (m_value != before) {
        emit valueChanged(m_value);
    }
}

void MinuteStepper::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const ColorScheme scheme = ViewEnvironment::colorScheme(this);
    const QPainterPath shape = QvSurface::continuousRoundedRect(QRectF(rect()).adjusted(1, 1, -1, -1), 6);
    painter.fillPath(shape, QvColor::qvBgSurface().resolve(scheme));
    painter.strokePath(shape, QPen(QvColor::qvBorder().resolve(scheme), 1));
    if (hasFocus()) {
        QColor ring = QvColor::qvInkAction().resolve(scheme);
        ring.setAlphaF(0.45f);
        painter.strokePath(shape, QPen(ring, 2));
    }
    const QColor ink = QvColor::qvInkPrimary().resolve(scheme);
    QColor spent = ink;
    spent.setAlphaF(0.3f);
    const double side = 9;
    const double x = (width() - side) / 2;
    SymbolIcon::paint(painter, QRectF(x, height() / 4.0 - side / 2 + 1, side, side),
                      QStringLiteral("chevron.up"), m_value < m_maximum ? ink : spent);
    SymbolIcon::paint(painter, QRectF(x, 3 * height() / 4.0 - side / 2 - 1, side, side),
                      QStringLiteral("chevron.down"), m_value > m_minimum ? ink : spent);
}

int MinuteStepper::directionAt(const QPointF& point) const {
    if (!QRectF(rect()).contains(point)) {
        return 0;
    }
    return point.y() < height() / 2.0 ? 1 : -1;
}

void MinuteStepper::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    m_heldDirection = directionAt(event->position());
    m_heldInside = m_heldDirection != 0;
    stepBy(m_heldDirection);
    // Held down, it goes on stepping after the desktop's usual pause, at the desktop's pace.
    m_repeat.start(style()->styleHint(QStyle::SH_SpinBox_ClickAutoRepeatThreshold, nullptr, this));
    event->accept();
}

void MinuteStepper::mouseMoveEvent(QMouseEvent* event) {
    if (m_heldDirection != 0) {
        // Off the half it was pressed on, it waits until the pointer comes back.
        m_heldInside = directionAt(event->position()) == m_heldDirection;
    }
    QWidget::mouseMoveEvent(event);
}

void MinuteStepper::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        stopRepeating();
    }
    QWidget::mouseReleaseEvent(event);
}

void MinuteStepper::hideEvent(QHideEvent* event) {
    stopRepeating();
    QWidget::hideEvent(event);
}

void MinuteStepper::repeatStep() {
    m_repeat.setInterval(style()->styleHint(QStyle::SH_SpinBox_ClickAutoRepeatRate, nullptr, this));
    if (m_heldInside) {
        stepBy(m_heldDirection);
    }
}

void MinuteStepper::stopRepeating() {
    m_repeat.stop();
    m_heldDirection = 0;
    m_heldInside = false;
}

void MinuteStepper::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Up) {
        stepBy(1);
    } else if (event->key() == Qt::Key_Down) {
        stepBy(-1);
    } else {
        QWidget::keyPressEvent(event);
        return;
    }
    event->accept();
}

void MinuteStepper::focusInEvent(QFocusEvent* event) {
    update();
    QWidget::focusInEvent(event);
}

void MinuteStepper::focusOutEvent(QFocusEvent* event) {
    update();
    QWidget::focusOutEvent(event);
}
