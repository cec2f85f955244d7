#include "shell/FloatingPanel.h"

#include "shell/X11WindowHints.h"
#include "theme/QvSurface.h"
#include "ui/kit/FloatingTimerSurface.h"
#include "ui/kit/ViewEnvironment.h"

#include <QMouseEvent>
#include <QPainterPath>
#include <QVBoxLayout>
#include <QWindow>

FloatingPanel::FloatingPanel(QWidget* content) : ShapedWindow(nullptr, Qt::Tool | Qt::WindowStaysOnTopHint) {
    setObjectName(QStringLiteral("quorvane.floatingPanel"));
    setFixedSize(contentSize);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(content);
    // Presses are taken by the content, so the panel hears of them through a filter.
    content->installEventFilter(this);
    for (QWidget* child : content->findChildren<QWidget*>()) {
        child->installEventFilter(this);
    }
}

QPoint FloatingPanel::placement(const QRect& available) {
    // x() + width(), not right(): QRect::right() is one pixel short of the edge.
    return {available.x() + available.width() - contentSize.width() - margin, available.y() + margin};
}

void FloatingPanel::present() {
    if (!isVisible()) {
        X11WindowHints::addStates(this, X11WindowHints::skipTaskbar | X11WindowHints::skipPager |
                                            X11WindowHints::above | X11WindowHints::sticky);
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
    // The content draws the card; its fill reaches the edge.
    return QvSurface::qvCard(false, FloatingTimerSurface::cornerRadius, ViewEnvironment::colorScheme(this))
        .fill;
}

void FloatingPanel::mousePressEvent(QMouseEvent* event) {
    // Presses the content leaves alone fell on the panel's background: they move it.
    if (event->button() == Qt::LeftButton && windowHandle() && windowHandle()->startSystemMove()) {
        event->accept();
        return;
    }
    QWidget::mousePressEvent(event);
}
