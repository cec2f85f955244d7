#include "ui/presets/ListRow.h"

#include "theme/QvColor.h"
#include "theme/QvSurface.h"
#include "ui/kit/AccessibleTraits.h"
#include "ui/kit/ViewEnvironment.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

ListRow::ListRow(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_Hover);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    // An item of its card's list, selected with the keyboard's selection; pressing it is the click.
    AccessibleTraits::setRole(this, QAccessible::ListItem);
    AccessibleTraits::setSelected(this, false);
    AccessibleTraits::setPress(this, [this] { emit activated(); });
}

void ListRow::setSelected(bool selected) {
    if (selected != m_selected) {
        m_selected = selected;
        AccessibleTraits::setSelected(this, selected);
        update();
    }
}

void ListRow::readTextsInLabel(std::initializer_list<QWidget*> texts) {
    for (QWidget* text : texts) {
        AccessibleTraits::setHidden(text);
    }
}

void ListRow::setAccent(const QColor& accent) {
    m_accent = accent;
    update();
}

void ListRow::setPlace(bool first, bool last) {
    if (first != m_first || last != m_last) {
        m_first = first;
        m_last = last;
        update();
    }
}

void ListRow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const ColorScheme scheme = ViewEnvironment::colorScheme(this);
    // The card's rounded ends, so a ground never spills over its corners.
    const auto shapeOf = [this](const QRectF& area, double radius) {
        QPainterPath shape;
        if (!m_first && !m_last) {
            shape.addRect(area);
            return shape;
        }
        shape = QvSurface::continuousRoundedRect(area, radius);
        QPainterPath square;
        if (!m_first) {
            square.addRect(QRectF(area.left(), area.top(), area.width(), area.height() / 2));
        }
        if (!m_last) {
            square.addRect(QRectF(area.left(), area.center().y(), area.width(), area.height() / 2));
        }
        return shape.united(square);
    };
    const QPainterPath shape = shapeOf(QRectF(rect()), cardRadius);

    if (m_selected) {
        QColor ground = m_accent;
        ground.setAlphaF(float(selectedGroundOpacity));
        painter.fillPath(shape, ground);
    } else if (m_hovered) {
        painter.fillPath(shape, QvColor::qvBgCardHover().resolve(scheme));
    }
    if (!m_last) {
        painter.fillRect(QRectF(16, height() - 1, width() - 32, 1), QvColor::qvDivider().resolve(scheme));
    }
    if (m_selected) {
        painter.setPen(QPen(m_accent, 2));
        painter.setBrush(Qt::NoBrush);
        painter.drawPath(shapeOf(QRectF(rect()).adjusted(1, 1, -1, -1), cardRadius - 1));
    }
}

void ListRow::enterEvent(QEnterEvent* event) {
    m_hovered = true;
    update();
    QWidget::enterEvent(event);
}

void ListRow::leaveEvent(QEvent* event) {
    m_hovered = false;
    update();
    QWidget::leaveEvent(event);
}

void ListRow::mousePressEvent(QMouseEvent* event) {
    m_pressed = event->button() == Qt::LeftButton;
    event->accept();
}

void ListRow::mouseReleaseEvent(QMouseEvent* event) {
    const bool click =
        m_pressed && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
    m_pressed = false;
    event->accept();
    if (click) {
        emit activated();
    }
}
