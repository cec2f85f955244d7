#include "ui/focus/SequenceStepPreview.h"

#include "theme/QvColor.h"
#include "theme/QvFont.h"
#include "theme/QvSurface.h"
#include "ui/kit/TokenLabel.h"
#include "ui/kit/ViewEnvironment.h"

#include <QPainter>
#include <QVBoxLayout>

SequenceStepPreview::SequenceStepPreview(const PomodoroSequenceStepData& step, QWidget* parent)
    : ShapedWindow(parent, Qt::Popup), m_step(step) {
    setObjectName(QStringLiteral("quorvane.pomodoro.step.preview.%1").arg(step.ordinal));
    setFixedWidth(previewWidth);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(12, 12, 12, 12);
    column->setSpacing(4);
    const auto add = [&](const QvColor& token, double size, QFont::Weight weight, const QString& text) {
        auto* label = new TokenLabel(token, this);
        label->setFont(QvFont::qvText(size, weight));
        label->setText(text);
        label->setWordWrap(true);
        column->addWidget(label);
    };
    add(QvColor::qvTextPrimary(), 13, QFont::DemiBold, PomodoroCardModel::localizedStepName(step.isFocus));
    add(QvColor::qvTextSecondary(), 12, QFont::Normal, PomodoroCardModel::minutesText(step.minutes));
    add(QvColor::qvTextTertiary(), 12, QFont::Normal, tr("Starts from step 1"));
    setAccessibleName(PomodoroCardModel::stepAccessibleLabel(step));
}

void SequenceStepPreview::popUpAbove(const QWidget& anchor) {
    adjustSize();
    const QPoint top = anchor.mapToGlobal(QPoint(anchor.width() / 2, 0));
    move(top.x() - width() / 2, top.y() - height() - 4);
    show();
}

QPainterPath SequenceStepPreview::outline(const QRectF& bounds) const {
    return QvSurface::continuousRoundedRect(bounds, cornerRadius);
}

QColor SequenceStepPreview::edgeColor() const {
    return QvColor::qvCanvas().resolve(ViewEnvironment::colorScheme(this));
}

void SequenceStepPreview::paintShape(QPainter& painter) {
    const QPainterPath shape = outline(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5));
    painter.fillPath(shape, edgeColor());
    painter.strokePath(shape, QPen(QvColor::qvStroke().resolve(ViewEnvironment::colorScheme(this)), 1));
}

void SequenceStepPreview::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    emit closed();
}
