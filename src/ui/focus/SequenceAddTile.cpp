#include "ui/focus/SequenceAddTile.h"

#include "platform/ReduceMotion.h"
#include "theme/QvColor.h"
#include "theme/QvFont.h"
#include "theme/QvSurface.h"
#include "theme/SymbolIcon.h"
#include "ui/focus/HoverFade.h"
#include "ui/kit/ViewEnvironment.h"

#include <QEvent>
#include <QFontMetricsF>
#include <QPainter>

SequenceAddTile::SequenceAddTile(QWidget* parent)
    : PressableButton(0.98, parent), m_hover(new HoverFade(this)) {
    setObjectName(QStringLiteral("quorvane.pomodoro.add"));
    setFixedSize(tileSide, tileSide + liftRoom);
    setFocusPolicy(Qt::TabFocus);
    setAttribute(Qt::WA_Hover);
    // Shown as written in every language.
    setText(QStringLiteral("Add"));
    setAccessibleName(tr("Add or manage Pomodoro sequence"));
}

bool SequenceAddTile::isHovered() const {
    return m_hover->isHovered();
}

int SequenceAddTile::lift() const {
    return isHovered() && !ReduceMotion::enabled() ? -1 : 0;
}

void SequenceAddTile::paintFace(QPainter& painter) {
    painter.setRenderHint(QPainter::Antialiasing);
    const ColorScheme scheme = ViewEnvironment::colorScheme(this);
    const double level = m_hover->level();
    const QRectF tile =
        QRectF(0, liftRoom, tileSide, tileSide).translated(0, ReduceMotion::enabled() ? 0.0 : -level);
    const QPainterPath shape = QvSurface::continuousRoundedRect(tile.adjusted(1, 1, -1, -1), 12);
    if (level > 0) {
        QColor fill = QvColor::qvSurfaceRaised().resolve(scheme);
        fill.setAlphaF(float(fill.alphaF() * level));
        painter.fillPath(shape, fill);
    }
    QPen dash(HoverFade::mix(QvColor::qvStroke().resolve(scheme), QvColor::qvTextSecondary().resolve(scheme),
                             level),
              1, Qt::CustomDashLine, Qt::FlatCap, Qt::MiterJoin);
    dash.setDashPattern({4, 3});
    painter.strokePath(shape, dash);
    QColor ring = QvColor::qvInkAction().resolve(scheme);
    ring.setAlphaF(hasFocus() ? 0.45f : 0.0f);
    painter.strokePath(shape, QPen(ring, 2));

    const QColor ink = QvColor::qvTextSecondary().resolve(scheme);
    const QFont font = QvFont::qvText(11, QFont::Medium);
    const double textHeight = QFontMetricsF(font).height();
    const double symbol = 15;
    const double top = tile.top() + (tile.height() - (symbol + 4 + textHeight)) / 2;
    SymbolIcon::paint(painter, QRectF(tile.center().x() - symbol / 2, top, symbol, symbol),
                      QStringLiteral("plus"), ink);
    painter.setFont(font);
    painter.setPen(ink);
    painter.drawText(QRectF(tile.left(), top + symbol + 4, tile.width(), textHeight), Qt::AlignCenter,
                     text());
}

void SequenceAddTile::enterEvent(QEnterEvent* event) {
    m_hover->setHovered(true);
    PressableButton::enterEvent(event);
}

void SequenceAddTile::leaveEvent(QEvent* event) {
    m_hover->setHovered(false);
    PressableButton::leaveEvent(event);
}

void SequenceAddTile::focusInEvent(QFocusEvent* event) {
    update();
    PressableButton::focusInEvent(event);
}

void SequenceAddTile::focusOutEvent(QFocusEvent* event) {
    update();
    PressableButton::focusOutEvent(event);
}

void SequenceAddTile::changeEvent(QEvent* event) {
    if (event->type() == QEvent::LanguageChange) {
        setAccessibleName(tr("Add or manage Pomodoro sequence"));
    }
    PressableButton::changeEvent(event);
}
