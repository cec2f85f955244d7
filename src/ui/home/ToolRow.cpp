#include "ui/home/ToolRow.h"

#include "theme/QvColor.h"
#include "theme/QvSurface.h"
#include "theme/SymbolIcon.h"
#include "ui/home/QueueListModel.h"
#include "ui/home/QueueMenu.h"
#include "ui/home/TimersTabModel.h"
#include "ui/kit/MotionCurves.h"
#include "ui/kit/NestedMenuPlacement.h"
#include "ui/kit/ViewEnvironment.h"

#include <QEvent>
#include <QMenu>
#include <QPainter>

namespace {

constexpr double kCornerRadius = 12;
constexpr double kSymbolSide = 16;
constexpr int kHoverMs = 120;
constexpr double kFocusRingOpacity = 0.45;

QColor mix(const QColor& from, const QColor& to, double t) {
    const auto channel = [t](float a, float b) { return float(double(a) + (double(b) - double(a)) * t); };
    return QColor::fromRgbF(channel(from.redF(), to.redF()), channel(from.greenF(), to.greenF()),
                            channel(from.blueF(), to.blueF()), channel(from.alphaF(), to.alphaF()));
}

} // namespace

ToolRow::ToolRow(TimersTabModel& model, QWidget* parent) : PressableButton(0.96, parent), m_model(model) {
    setObjectName(QStringLiteral("quorvane.timers.overflow"));
    setFixedSize(side, side);
    setFocusPolicy(Qt::TabFocus);
    setAttribute(Qt::WA_TranslucentBackground);

    m_hoverAnimation.setDuration(kHoverMs);
    m_hoverAnimation.setEasingCurve(MotionCurves::easeOut());
    connect(&m_hoverAnimation, &QVariantAnimation::valueChanged, this, [this](const QVariant& value) {
        m_hoverLevel = value.toDouble();
        update();
    });

    m_menu = new QMenu(this);
    m_menu->setObjectName(QStringLiteral("quorvane.timers.overflowMenu"));
    // The button sits near the panel's corner, so the queue's menus often open leftwards, one by another.
    NestedMenuPlacement::follow(m_menu);
    connect(m_menu, &QMenu::aboutToShow, this, &ToolRow::fillMenu);
    connect(m_menu, &QMenu::aboutToHide, this, &ToolRow::releaseMenu);
    connect(this, &QAbstractButton::clicked, this, &ToolRow::openMenu);
    retranslate();
}

void ToolRow::retranslate() {
    setToolTip(tr("More"));
    setAccessibleName(tr("More timer options"));
    if (m_taskChain) {
        m_taskChain->setText(tr("Task Chain"));
    }
    if (m_floatingWindow) {
        m_floatingWindow->setText(tr("Floating Window"));
    }
}

void ToolRow::openMenu() {
    m_menu->popup(mapToGlobal(QPoint(0, height() + 4)));
}

void ToolRow::fillMenu() {
    releaseMenu();
    m_menu->clear();
    const QColor ink = QvColor::qvTextPrimary().resolve(ViewEnvironment::colorScheme(this));
    const QColor onHighlight = m_menu->palette().color(QPalette::Active, QPalette::HighlightedText);

    // The queue is there while it has entries, followed by a divider.
    m_queueRows = new QueueListModel(m_model.timerList(), m_model.heroId(), this);
    // Bound to this model itself: a released one lives on until its deletion and must not reach the next.
    QueueListModel* rows = m_queueRows;
    connect(&m_model, &TimersTabModel::heroChanged, rows,
            [this, rows] { rows->setHeroId(m_model.heroId()); });
    m_queueMenu = new QueueMenu(*m_queueRows, m_model, m_menu);
    m_menu->addMenu(m_queueMenu);
    m_queueSeparator = m_menu->addSeparator();
    const auto followQueueSize = [this] {
        if (m_queueMenu) {
            const bool any = m_queueMenu->entryCount() > 0;
            m_queueMenu->menuAction()->setVisible(any);
            m_queueSeparator->setVisible(any);
        }
    };
    for (const auto signal : {&QAbstractItemModel::rowsInserted, &QAbstractItemModel::rowsRemoved}) {
        connect(m_queueRows, signal, m_menu, followQueueSize);
    }
    connect(m_queueRows, &QAbstractItemModel::modelReset, m_menu, followQueueSize);
    followQueueSize();

    m_taskChain = nullptr;
    if (m_model.isChainEntryVisible()) {
        m_taskChain = m_menu->addAction(
            SymbolIcon::icon(QStringLiteral("arrow.turn.down.right"), ink, onHighlight), QString());
        m_taskChain->setObjectName(QStringLiteral("quorvane.timers.taskChain"));
        m_taskChain->setEnabled(m_model.isTaskChainEnabled());
        connect(m_taskChain, &QAction::triggered, &m_model, &TimersTabModel::openTaskChain);
    }
    m_floatingWindow =
        m_menu->addAction(SymbolIcon::icon(QStringLiteral("pip"), ink, onHighlight), QString());
    m_floatingWindow->setObjectName(QStringLiteral("quorvane.timers.floatingWindow"));
    connect(m_floatingWindow, &QAction::triggered, &m_model, &TimersTabModel::toggleFloatingWindow);
    retranslate();
}

void ToolRow::releaseMenu() {
    // An item being chosen is still on its way when the menu hides: the queue goes once it is done.
    if (m_queueMenu) {
        m_queueMenu->deleteLater();
    }
    if (m_queueRows) {
        m_queueRows->deleteLater();
    }
    m_queueMenu.clear();
    m_queueRows.clear();
}

void ToolRow::setHovered(bool hovered) {
    if (hovered == m_hovered) {
        return;
    }
    m_hovered = hovered;
    // The same ease whether or not motion is reduced: it is a change of colour only.
    m_hoverAnimation.stop();
    m_hoverAnimation.setStartValue(m_hoverLevel);
    m_hoverAnimation.setEndValue(hovered ? 1.0 : 0.0);
    m_hoverAnimation.start();
}

void ToolRow::paintFace(QPainter& painter) {
    const ColorScheme scheme = ViewEnvironment::colorScheme(this);
    const QPainterPath shape =
        QvSurface::continuousRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), kCornerRadius);
    painter.fillPath(shape, mix(QvColor::qvSurface().resolve(scheme),
                                QvColor::qvSurfaceRaised().resolve(scheme), m_hoverLevel));
    painter.setPen(QPen(QvColor::qvStroke().resolve(scheme), 1));
    painter.drawPath(shape);
    const QPointF centre = QRectF(rect()).center();
    SymbolIcon::paint(
        painter, QRectF(centre.x() - kSymbolSide / 2, centre.y() - kSymbolSide / 2, kSymbolSide, kSymbolSide),
        QStringLiteral("ellipsis"), QvColor::qvTextSecondary().resolve(scheme));
    if (hasFocus()) {
        QColor ring = QvColor::qvInkAction().resolve(scheme);
        ring.setAlphaF(float(kFocusRingOpacity));
        painter.setPen(QPen(ring, 2));
        painter.drawPath(
            QvSurface::continuousRoundedRect(QRectF(rect()).adjusted(1, 1, -1, -1), kCornerRadius));
    }
}

void ToolRow::enterEvent(QEnterEvent* event) {
    PressableButton::enterEvent(event);
    setHovered(true);
}

void ToolRow::leaveEvent(QEvent* event) {
    PressableButton::leaveEvent(event);
    setHovered(false);
}

void ToolRow::changeEvent(QEvent* event) {
    if (event->type() == QEvent::LanguageChange) {
        retranslate();
    }
    PressableButton::changeEvent(event);
}
