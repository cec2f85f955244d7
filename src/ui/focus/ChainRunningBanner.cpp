#include "ui/focus/ChainRunningBanner.h"

#include "core/ChainCoordinator.h"
#include "theme/QvColor.h"
#include "theme/QvFont.h"
#include "theme/QvSurface.h"
#include "theme/QvText.h"
#include "ui/focus/ReferenceTextButton.h"
#include "ui/kit/ViewEnvironment.h"

#include <QEvent>
#include <QFontMetricsF>
#include <QPainter>

#include <algorithm>

namespace {

constexpr double kLeading = 10;
constexpr double kTrailing = 4;
constexpr double kSpacing = 8;
constexpr double kDot = 6;
constexpr double kMinimumSpacer = 4;

QFont nameFont() {
    return QvFont::qvText(11, QFont::DemiBold);
}

QFont progressFont() {
    return QvFont::qvText(11, QFont::Medium);
}

} // namespace

ChainRunningBanner::ChainRunningBanner(ChainCoordinator& coordinator, QWidget* parent)
    : QWidget(parent), m_coordinator(coordinator) {
    setObjectName(QStringLiteral("quorvane.chain.running"));
    setFixedSize(bannerWidth, bannerHeight);
    m_cancel = new ReferenceTextButton(tr("Cancel"), QvColor::qvDanger(), this);
    connect(m_cancel, &QAbstractButton::clicked, &m_coordinator, &ChainCoordinator::cancel);
    connect(&m_coordinator, &ChainCoordinator::changed, this, &ChainRunningBanner::refresh);
    refresh();
}

QString ChainRunningBanner::progressText(qsizetype currentStepIndex, qsizetype totalSteps) {
    return tr("%1/%2").arg(currentStepIndex + 1).arg(totalSteps);
}

QString ChainRunningBanner::shownProgress() const {
    return progressText(m_coordinator.currentStepIndex(), m_coordinator.totalSteps());
}

QString ChainRunningBanner::shownName() const {
    // The coordinator's name as it is, spaces included; only a lack of room shortens it.
    return QFontMetricsF(nameFont())
        .elidedText(m_coordinator.chainName(), Qt::ElideRight, std::max(0.0, nameRect().width()));
}

QRectF ChainRunningBanner::progressRect() const {
    const double width = QvText::tabularWidth(progressFont(), shownProgress());
    const double right = m_cancel->x() - kMinimumSpacer;
    const double natural = QFontMetricsF(nameFont()).horizontalAdvance(m_coordinator.chainName());
    const double nameLeft = kLeading + kDot + kSpacing;
    // Right after the name while it fits, pinned before the button once it does not.
    const double left = std::min(nameLeft + natural + kSpacing, right - width);
    return {left, 0, width, double(height())};
}

QRectF ChainRunningBanner::nameRect() const {
    const double left = kLeading + kDot + kSpacing;
    return {left, 0, progressRect().left() - kSpacing - left, double(height())};
}

void ChainRunningBanner::refresh() {
    const QSize button = m_cancel->sizeHint();
    m_cancel->setGeometry(int(width() - kTrailing - button.width()), (height() - button.height()) / 2,
                          button.width(), button.height());
    setAccessibleName(m_coordinator.chainName() + QLatin1Char(' ') + shownProgress());
    update();
}

void ChainRunningBanner::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const ColorScheme scheme = ViewEnvironment::colorScheme(this);
    const QPainterPath shape =
        QvSurface::continuousRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 12);
    painter.fillPath(shape, QvColor::qvSurfaceRaised().resolve(scheme));
    painter.strokePath(shape, QPen(QvColor::qvStroke().resolve(scheme), 1));

    painter.setPen(Qt::NoPen);
    painter.setBrush(QvColor::qvOrangeLive().resolve(scheme));
    painter.drawEllipse(QRectF(kLeading, (height() - kDot) / 2, kDot, kDot));

    painter.setFont(nameFont());
    painter.setPen(QvColor::qvTextPrimary().resolve(scheme));
    painter.drawText(nameRect(), Qt::AlignLeft | Qt::AlignVCenter, shownName());
    painter.setFont(progressFont());
    painter.setPen(QvColor::qvTextSecondary().resolve(scheme));
    QvText::drawTabular(painter, progressRect(), Qt::AlignLeft | Qt::AlignVCenter, shownProgress());
}

void ChainRunningBanner::changeEvent(QEvent* event) {
    if (event->type() == QEvent::LanguageChange) {
        m_cancel->setTitle(tr("Cancel"));
        refresh();
    }
    QWidget::changeEvent(event);
}
