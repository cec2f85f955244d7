#include "ui/kit/ShapedWindow.h"

#include <QApplication>
#include <QPainter>
#include <QPainterPath>
#include <QPolygon>

namespace {

std::function<bool()>& probe() {
    static std::function<bool()> installed;
    return installed;
}

} // namespace

void ShapedWindow::setCompositorProbe(std::function<bool()> probe) {
    ::probe() = std::move(probe);
}

bool ShapedWindow::compositorRunning() {
    return !probe() || probe()();
}

void ShapedWindow::compositorChanged() {
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (auto* shaped = qobject_cast<ShapedWindow*>(window)) {
            shaped->followOutline();
        }
    }
}

ShapedWindow::ShapedWindow(QWidget* parent, Qt::WindowFlags flags)
    : QWidget(parent, flags | Qt::FramelessWindowHint) {
    // Before the native window is made: it then gets a visual with an alpha channel, so a compositor that
    // starts later blends it too.
    setAttribute(Qt::WA_TranslucentBackground);
}

void ShapedWindow::paintShape(QPainter&) {}

void ShapedWindow::followOutline() {
    const bool cut = !compositorRunning();
    if (cut) {
        setMask(QRegion(outline(QRectF(rect())).toFillPolygon().toPolygon()));
    } else {
        clearMask();
    }
    if (cut != m_cut) {
        m_cut = cut;
        update();
    }
}

void ShapedWindow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (m_cut) {
        // Up to the cut, so no pixel on the edge is left half see-through, which would show dark.
        painter.fillRect(rect(), edgeColor());
    }
    painter.setRenderHint(QPainter::Antialiasing);
    paintShape(painter);
}

void ShapedWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    followOutline();
}

void ShapedWindow::showEvent(QShowEvent* event) {
    // A compositor may have come or gone while it was hidden.
    followOutline();
    QWidget::showEvent(event);
}
