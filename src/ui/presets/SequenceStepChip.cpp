#include "ui/presets/SequenceStepChip.h"

#include "theme/QvColor.h"
#include "theme/QvFont.h"
#include "theme/QvSurface.h"
#include "theme/QvText.h"
#include "ui/kit/AccessibleTraits.h"
#include "ui/kit/ViewEnvironment.h"
#include "ui/presets/PresetsScreenModel.h"

#include <QEvent>
#include <QFontMetricsF>
#include <QPainter>

SequenceStepChip::SequenceStepChip(const SequenceStep& step, int ordinal, QWidget* parent)
    : QWidget(parent), m_step(step), m_ordinal(ordinal) {
    setObjectName(QStringLiteral("presetsScreen.currentSequence.step.%1").arg(ordinal));
    setFixedSize(chipWidth, chipHeight);
    // The keyboard selects steps on the card: the chosen one reads as selected.
    AccessibleTraits::setRole(this, QAccessible::ListItem);
    AccessibleTraits::setSelected(this, false);
    retranslate();
}

QString SequenceStepChip::kindLabel() const {
    return m_step.kind == SequenceStepKind::focus ? QStringLiteral("Focus") : QStringLiteral("Break");
}

void SequenceStepChip::setSelected(bool selected) {
    if (selected != m_selected) {
        m_selected = selected;
        AccessibleTraits::setSelected(this, selected);
        update();
    }
}

void SequenceStepChip::retranslate() {
    setAccessibleName(QStringLiteral("%1 %2, %3")
                          .arg(m_ordinal)
                          .arg(kindLabel(), PresetsScreenModel::minutesText(m_step.minutes)));
}

void SequenceStepChip::changeEvent(QEvent* event) {
    if (event->type() == QEvent::LanguageChange) {
        retranslate();
        update();
    }
    QWidget::changeEvent(event);
}

void SequenceStepChip::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const ColorScheme scheme = ViewEnvironment::colorScheme(this);
    const bool focus = m_step.kind == SequenceStepKind::focus;
    const double line = m_selected ? 2 : 1;
    const QPainterPath shape = QvSurface::continuousRoundedRect(
        QRectF(rect()).adjusted(line / 2, line / 2, -line / 2, -line / 2), 12);
    painter.fillPath(shape, (focus ? QvColor::qvSageFill() : QvColor::qvSurface()).resolve(scheme));
    QColor border = (m_selected ? QvColor::qvInkAction() : QvColor::qvStroke()).resolve(scheme);
    if (m_selected) {
        border.setAlphaF(0.45f);
    }
    painter.setPen(QPen(border, line));
    painter.drawPath(shape);

    const QFont kindFont = QvFont::qvText(11, QFont::DemiBold);
    const QFont minutesFont = QvFont::qvText(11, QFont::Normal);
    const double kindHeight = QFontMetricsF(kindFont).height();
    painter.setFont(kindFont);
    painter.setPen(QvColor::qvTextPrimary().resolve(scheme));
    painter.drawText(QRectF(10, 10, width() - 10, kindHeight), Qt::AlignLeft | Qt::AlignTop, kindLabel());
    painter.setFont(minutesFont);
    painter.setPen(QvColor::qvTextSecondary().resolve(scheme));
    QvText::drawTabular(painter,
                        QRectF(10, 10 + kindHeight + 4, width() - 10, QFontMetricsF(minutesFont).height()),
                        Qt::AlignLeft | Qt::AlignTop, PresetsScreenModel::minutesText(m_step.minutes));

    const QFont ordinalFont = QvFont::qvText(9, QFont::Medium);
    painter.setFont(ordinalFont);
    painter.setPen(QvColor::qvTextTertiary().resolve(scheme));
    painter.drawText(QRectF(0, 4, width() - 4, QFontMetricsF(ordinalFont).height()),
                     Qt::AlignRight | Qt::AlignTop, QString::number(m_ordinal));
}
