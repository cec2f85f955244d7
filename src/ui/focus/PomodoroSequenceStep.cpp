#include "ui/focus/PomodoroSequenceStep.h"

#include "platform/ReduceMotion.h"
#include "theme/QvColor.h"
#include "theme/QvFont.h"
#include "theme/QvSurface.h"
#include "theme/QvText.h"
#include "ui/focus/HoverFade.h"
#include "ui/kit/AccessibleTraits.h"
#include "ui/kit/ViewEnvironment.h"

#include <QEvent>
#include <QFontMetricsF>
#include <QPainter>

PomodoroSequenceStep::PomodoroSequenceStep(const PomodoroSequenceStepData& step, QWidget* parent)
    : PressableButton(0.98, parent), m_hover(new HoverFade(this)) {
    setFixedSize(tileWidth, tileHeight + liftRoom);
    setFocusPolicy(Qt::TabFocus);
    setAttribute(Qt::WA_Hover);
    // One of the row's steps; the session's current one reads as selected.
    AccessibleTraits::setRole(this, QAccessible::ListItem);
    AccessibleTraits::setSelected(this, false);
    setStep(step);
}

void PomodoroSequenceStep::setStep(const PomodoroSequenceStepData& step) {
    m_step = step;
    setObjectName(QStringLiteral("quorvane.pomodoro.step.%1").arg(step.ordinal));
    // The title is drawn as written; the accessible label is in the interface language.
    setText(step.title);
    retranslate();
    update();
}

void PomodoroSequenceStep::setRunning(bool running) {
    if (running == m_running) {
        return;
    }
    m_running = running;
    AccessibleTraits::setSelected(this, running);
    update();
}

double PomodoroSequenceStep::restOpacity() const {
    return isEnabled() || m_running ? 1.0 : disabledOpacity;
}

bool PomodoroSequenceStep::isHovered() const {
    return m_hover->isHovered();
}

int PomodoroSequenceStep::lift() const {
    return isHovered() && !ReduceMotion::enabled() ? -1 : 0;
}

QRectF PomodoroSequenceStep::tileRect() const {
    return {0, double(liftRoom), double(tileWidth), double(tileHeight)};
}

void PomodoroSequenceStep::paintFace(QPainter& painter) {
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setOpacity(painter.opacity() * restOpacity());
    const ColorScheme scheme = ViewEnvironment::colorScheme(this);
    const double level = m_hover->level();
    const QRectF tile = tileRect().translated(0, ReduceMotion::enabled() ? 0.0 : -level);
    const QPainterPath shape = QvSurface::continuousRoundedRect(tile.adjusted(1, 1, -1, -1), 12);

    painter.fillPath(shape, (m_step.isFocus ? QvColor::qvSageFill() : QvColor::qvSurface()).resolve(scheme));
    painter.strokePath(shape, QPen(HoverFade::mix(QvColor::qvStroke().resolve(scheme),
                                                  QvColor::qvTextTertiary().resolve(scheme), level),
                                   1));
    QColor ring = QvColor::qvInkAction().resolve(scheme);
    ring.setAlphaF(hasFocus() ? float(focusRingOpacity) : 0.0f);
    painter.strokePath(shape, QPen(ring, 2));
    if (m_running) {
        painter.strokePath(shape, QPen(QvColor::qvOrangeLive().resolve(scheme), 2));
    }

    const QFont titleFont = QvFont::qvText(11, QFont::DemiBold);
    const QFont minutesFont = QvFont::qvText(11, QFont::Normal);
    const double titleHeight = QFontMetricsF(titleFont).height();
    const double minutesHeight = QFontMetricsF(minutesFont).height();
    const double left = tile.left() + 10;
    const double top = tile.top() + 12;
    painter.setFont(titleFont);
    painter.setPen(QvColor::qvTextPrimary().resolve(scheme));
    painter.drawText(QRectF(left, top, tile.width() - 20, titleHeight), Qt::AlignLeft | Qt::AlignVCenter,
                     m_step.title);
    painter.setFont(minutesFont);
    painter.setPen(QvColor::qvTextSecondary().resolve(scheme));
    QvText::drawTabular(painter, QRectF(left, top + titleHeight + 4, tile.width() - 20, minutesHeight),
                        Qt::AlignLeft | Qt::AlignVCenter, PomodoroCardModel::minutesText(m_step.minutes));

    const QFont ordinalFont = QvFont::qvText(9, QFont::Medium);
    painter.setFont(ordinalFont);
    painter.setPen(QvColor::qvTextTertiary().resolve(scheme));
    painter.drawText(QRectF(tile.left() + 64 - 10, tile.top() + 10 - 8, 20, 16), Qt::AlignCenter,
                     QString::number(m_step.ordinal));
    if (m_running) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(QvColor::qvOrangeLive().resolve(scheme));
        painter.drawEllipse(QPointF(tile.left() + 66, tile.top() + 4), 3, 3);
    }
}

void PomodoroSequenceStep::setHovered(bool hovered) {
    m_hover->setHovered(hovered);
}

void PomodoroSequenceStep::enterEvent(QEnterEvent* event) {
    m_pointerInside = true;
    // A tile that may not be clicked never shows the pointer over it.
    setHovered(isEnabled());
    PressableButton::enterEvent(event);
}

void PomodoroSequenceStep::leaveEvent(QEvent* event) {
    m_pointerInside = false;
    setHovered(false);
    PressableButton::leaveEvent(event);
}

void PomodoroSequenceStep::focusInEvent(QFocusEvent* event) {
    update();
    PressableButton::focusInEvent(event);
}

void PomodoroSequenceStep::focusOutEvent(QFocusEvent* event) {
    update();
    PressableButton::focusOutEvent(event);
}

void PomodoroSequenceStep::changeEvent(QEvent* event) {
    if (event->type() == QEvent::EnabledChange) {
        setHovered(m_pointerInside && isEnabled());
        update();
    } else if (event->type() == QEvent::LanguageChange) {
        retranslate();
    }
    PressableButton::changeEvent(event);
}

void PomodoroSequenceStep::retranslate() {
    setAccessibleName(PomodoroCardModel::stepAccessibleLabel(m_step));
}
