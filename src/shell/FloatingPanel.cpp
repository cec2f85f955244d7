#include "shell/FloatingPanel.h"

#include "shell/X11WindowHints.h"
#include "theme/QvSurface.h"
#include "ui/kit/FloatingTimerSurface.h"
#include "ui/kit/ViewEnvironment.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QVBoxLayout>
#include <QWindow>

namespace {

// A floating card's shadow, black so it shows on any desktop: a close, darker one along the edge and a wider,
// fainter one, both a little below the card. Window managers draw none for a see-through window.
const QList<SurfaceShadow> kShadows = {{Qt::black, 0.16, 2, 1}, {Qt::black, 0.2, 8, 3}};

} // namespace

FloatingPanel::FloatingPanel(QWidget* content) : ShapedWindow(nullptr, Qt::Tool | Qt::WindowStaysOnTopHint) {
    setObjectName(QStringLiteral("quorvane.floatingPanel"));
    m_card = qobject_cast<FloatingTimerSurface*>(content);
    if (!m_card) {
        m_card = content->findChild<FloatingTimerSurface*>();
    }
    setShadows(kShadows);
    setFixedSize(contentSize.grownBy(shadowMargins()));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(content);
    // Presses are taken by the content, so the panel hears of them through a filter.
    content->installEventFilter(this);
    for (QWidget* child : content->findChildren<QWidget*>()) {
        child->installEventFilter(this);
    }
}

QPoint FloatingPanel::placement(const QRect& available) const {
    // x() + width(), not right(): QRect::right() is one pixel short of the edge.
    const QMargins shadow = shadowMargins();
    return {available.x() + available.width() - contentSize.width() - margin - shadow.left(),
            available.y() + margin - shadow.top()};
}

void FloatingPanel::present() {
    if (!isVisible()) {
        X11WindowHints::addStates(this, X11WindowHints::skipTaskbar | X11WindowHints::skipPager |
                                            X11WindowHints::above | X11WindowHints::sticky);
        // Window managers that read it place and snap the card, not its shadow.
        X11WindowHints::setFrameExtents(this, shadowMargins());
    }
    show();
    raise();
    activateWindow();
}

bool FloatingPanel::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonPress && !isActiveWindow()) {
        activateWindow();
    }
    return QWidget::eventFilter(watched, event);
}

QPainterPath FloatingPanel::outline(const QRectF& bounds) const {
    return QvSurface::continuousRoundedRect(bounds, FloatingTimerSurface::cornerRadius);
}

QColor FloatingPanel::edgeColor() const {
    // The content draws the card; content without one gets the idle card's fill.
    return m_card ? m_card->edgeColor()
                  : QvSurface::qvCard(false, FloatingTimerSurface::cornerRadius,
                                      ViewEnvironment::colorScheme(this))
                        .fill;
}

void FloatingPanel::paintCutGround(QPainter& painter) {
    if (!m_card) {
        ShapedWindow::paintCutGround(painter);
        return;
    }
    // The card's colours follow its state, and along its left edge the strip's: each place of the ground
    // takes the colour the card shows just inside the edge there. The card repaints what lies under it
    // whenever it changes, as it is not opaque, so the ground keeps up with it.
    const QPoint at = m_card->mapTo(this, QPoint(0, 0));
    painter.save();
    painter.translate(at);
    m_card->paintEdgeGround(painter, QRectF(rect().translated(-at)));
    painter.restore();
}

void FloatingPanel::mousePressEvent(QMouseEvent* event) {
    // Presses the content leaves alone fell on the card's background: they move it. Presses on the shadow,
    // where the display lets them reach the window at all, move nothing.
    if (!shapeRegion().contains(event->position().toPoint())) {
        event->ignore();
        return;
    }
    if (event->button() == Qt::LeftButton && windowHandle() && windowHandle()->startSystemMove()) {
        event->accept();
        return;
    }
    QWidget::mousePressEvent(event);
}
