#include "ui/focus/SequenceStepPreview.h"

#include "theme/QvColor.h"
#include "theme/QvFont.h"
#include "theme/QvSurface.h"
#include "ui/kit/TokenLabel.h"
#include "ui/kit/ViewEnvironment.h"
#include "ui/kit/WindowOutline.h"

#include <QPainter>
#include <QVBoxLayout>

SequenceStepPreview::SequenceStepPreview(const PomodoroSequenceStepData& step, QWidget* parent)
    : QWidget(parent, Qt::Popup | Qt::FramelessWindowHint), m_step(step) {
    setObjectName(QStringLiteral("quorvane.pomodoro.step.preview.%1").arg(step.ordinal));
    setAttribute(Qt::WA_TranslucentBackground);
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

void SequenceStepPreview::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const ColorScheme scheme = ViewEnvironment::colorScheme(this);
    const QColor ground = QvColor::qvCanvas().resolve(scheme);
    if (m_cut) {
        painter.fillRect(rect(), ground);
    }
    const QPainterPath shape =
        QvSurface::continuousRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), cornerRadius);
    painter.fillPath(shape, ground);
    painter.strokePath(shape, QPen(QvColor::qvStroke().resolve(scheme), 1));
}

void SequenceStepPreview::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    emit closed();
}

void SequenceStepPreview::followOutline() {
    m_cut = WindowOutline::follow(*this, QvSurface::continuousRoundedRect(QRectF(rect()), cornerRadius));
}

void SequenceStepPreview::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    followOutline();
}

void SequenceStepPreview::showEvent(QShowEvent* event) {
    // A compositor may have come or gone since it was last laid out.
    followOutline();
    QWidget::showEvent(event);
}
