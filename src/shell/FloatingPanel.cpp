#include "shell/FloatingPanel.h"

#include "shell/X11WindowHints.h"

#include <QMouseEvent>
#include <QVBoxLayout>
#include <QWindow>

FloatingPanel::FloatingPanel(QWidget* content)
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
    setObjectName(QStringLiteral("quorvane.floatingPanel"));
    setFixedSize(contentSize);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(content);
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

void FloatingPanel::mousePressEvent(QMouseEvent* event) {
    // Presses that reach the panel itself fell on its background: they move it.
    if (event->button() == Qt::LeftButton && windowHandle() && windowHandle()->startSystemMove()) {
        event->accept();
        return;
    }
    QWidget::mousePressEvent(event);
}
