#include "ui/presets/MinutesStepper.h"

#include "theme/QvColor.h"
#include "theme/QvFont.h"
#include "theme/QvSurface.h"
#include "theme/QvText.h"
#include "ui/kit/AccessibleTraits.h"
#include "ui/kit/LabelButton.h"
#include "ui/kit/TabularTokenLabel.h"
#include "ui/kit/ViewEnvironment.h"
#include "ui/presets/PresetsLook.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPainter>

MinutesStepper::MinutesStepper(QWidget* parent) : QWidget(parent) {
    setFocusPolicy(Qt::TabFocus);
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(2, 0, 2, 0);
    row->setSpacing(2);
    m_minus = new LabelButton(
        PresetsLook::pressedScale,
        PresetsLook::symbolButton(QStringLiteral("minus"), QvColor::qvInkSecondary(), 12, QSize(22, 26)),
        this);
    m_minus->setFocusPolicy(Qt::NoFocus);
    m_minus->setObjectName(QStringLiteral("minus"));
    row->addWidget(m_minus);
    // The minutes keep one width per digit, so the unit holds still as they step.
    m_label = new TabularTokenLabel(QvColor::qvInkPrimary(), this);
    QFont font = QvFont::qvText(13, QFont::Normal);
    m_label->setFont(font);
    m_label->setAlignment(Qt::AlignCenter);
    // Room for the widest value (999) and a gap on each side, so the buttons never touch the text.
    m_label->setFixedWidth(int(QvText::tabularWidth(font, tr("%1 min").arg(999))) + 8);
    row->addWidget(m_label);
    m_plus = new LabelButton(
        PresetsLook::pressedScale,
        PresetsLook::symbolButton(QStringLiteral("plus"), QvColor::qvInkSecondary(), 12, QSize(22, 26)),
        this);
    m_plus->setFocusPolicy(Qt::NoFocus);
    m_plus->setObjectName(QStringLiteral("plus"));
    row->addWidget(m_plus);
    // One element, as a stepper reads: named by its value, changed with the arrow keys once it has focus.
    AccessibleTraits::setRole(this, QAccessible::SpinBox);
    AccessibleTraits::readAsOne(this);
    connect(m_minus, &QAbstractButton::clicked, this, [this] { emit valueRequested(m_value - 1); });
    connect(m_plus, &QAbstractButton::clicked, this, [this] { emit valueRequested(m_value + 1); });
    refresh();
}

void MinutesStepper::setValue(qint64 minutes) {
    if (minutes != m_value) {
        m_value = minutes;
        refresh();
    }
}

QString MinutesStepper::text() const {
    return tr("%1 min").arg(m_value);
}

void MinutesStepper::refresh() {
    m_label->setText(text());
    setAccessibleName(text());
}

void MinutesStepper::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Up:
    case Qt::Key_Plus:
        emit valueRequested(m_value + 1);
        event->accept();
        return;
    case Qt::Key_Down:
    case Qt::Key_Minus:
        emit valueRequested(m_value - 1);
        event->accept();
        return;
    default:
        QWidget::keyPressEvent(event);
    }
}

void MinutesStepper::changeEvent(QEvent* event) {
    if (event->type() == QEvent::LanguageChange) {
        refresh();
    }
    QWidget::changeEvent(event);
}

void MinutesStepper::focusInEvent(QFocusEvent* event) {
    QWidget::focusInEvent(event);
    update();
}

void MinutesStepper::focusOutEvent(QFocusEvent* event) {
    QWidget::focusOutEvent(event);
    update();
}

void MinutesStepper::paintEvent(QPaintEvent*) {
    if (!hasFocus()) {
        return;
    }
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QColor ring = QvColor::qvInkAction().resolve(ViewEnvironment::colorScheme(this));
    ring.setAlphaF(0.45f);
    painter.setPen(QPen(ring, 2));
    painter.drawPath(QvSurface::continuousRoundedRect(QRectF(rect()).adjusted(1, 1, -1, -1), 6));
}
