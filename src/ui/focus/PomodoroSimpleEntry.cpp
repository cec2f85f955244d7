#include "ui/focus/PomodoroSimpleEntry.h"

#include "theme/QvColor.h"
#include "theme/QvFont.h"
#include "theme/QvSurface.h"
#include "theme/SymbolIcon.h"
#include "ui/kit/AccessibleTraits.h"
#include "ui/kit/ViewEnvironment.h"

#include <QEvent>
#include <QFontMetricsF>
#include <QPainter>

PomodoroSimpleEntry::PomodoroSimpleEntry(QWidget* parent) : PressableButton(0.98, parent) {
    setObjectName(QStringLiteral("quorvane.pomodoro.simpleEntry"));
    setFixedSize(entryWidth, entryHeight);
    setFocusPolicy(Qt::TabFocus);
    retranslate();
}

void PomodoroSimpleEntry::setSubtitle(const QString& subtitle) {
    if (subtitle != m_subtitle) {
        m_subtitle = subtitle;
        AccessibleTraits::setValue(this, subtitle);
        update();
    }
}

void PomodoroSimpleEntry::paintFace(QPainter& painter) {
    painter.setRenderHint(QPainter::Antialiasing);
    const ColorScheme scheme = ViewEnvironment::colorScheme(this);
    const QPainterPath shape =
        QvSurface::continuousRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 12);
    painter.fillPath(shape, QvColor::qvSurface().resolve(scheme));
    painter.strokePath(shape, QPen(QvColor::qvStroke().resolve(scheme), 1));

    const double middle = height() / 2.0;
    const QRectF badge(16, middle - 20, 40, 40);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QvColor::qvSageFill().resolve(scheme));
    painter.drawEllipse(badge);
    SymbolIcon::paint(painter, QRectF(badge.center() - QPointF(8, 8), QSizeF(16, 16)),
                      QStringLiteral("brain"), QvColor::qvTextPrimary().resolve(scheme));

    const QRectF chevron(width() - 16 - 11, middle - 5.5, 11, 11);
    SymbolIcon::paint(painter, chevron, QStringLiteral("chevron.right"),
                      QvColor::qvTextTertiary().resolve(scheme));

    const QFont titleFont = QvFont::qvText(11, QFont::DemiBold);
    const QFont subtitleFont = QvFont::qvText(10, QFont::Normal);
    const double titleHeight = QFontMetricsF(titleFont).height();
    const double subtitleHeight = QFontMetricsF(subtitleFont).height();
    const double left = badge.right() + 12;
    const double textWidth = chevron.left() - 8 - left;
    const double top = middle - (titleHeight + 2 + subtitleHeight) / 2;
    painter.setFont(titleFont);
    painter.setPen(QvColor::qvTextPrimary().resolve(scheme));
    painter.drawText(QRectF(left, top, textWidth, titleHeight), Qt::AlignLeft | Qt::AlignVCenter, text());
    painter.setFont(subtitleFont);
    painter.setPen(QvColor::qvTextSecondary().resolve(scheme));
    painter.drawText(QRectF(left, top + titleHeight + 2, textWidth, subtitleHeight),
                     Qt::AlignLeft | Qt::AlignVCenter, m_subtitle);
}

void PomodoroSimpleEntry::changeEvent(QEvent* event) {
    if (event->type() == QEvent::LanguageChange) {
        retranslate();
    }
    PressableButton::changeEvent(event);
}

void PomodoroSimpleEntry::retranslate() {
    setText(tr("Start Pomodoro"));
    setAccessibleName(text());
    update();
}
