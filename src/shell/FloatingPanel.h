#pragma once
// The floating timer window's frame: a 200 × 54 card, frameless, above other windows on every desktop, kept
// out of the taskbar and the window switcher, shaped to the card's rounded rectangle with a soft shadow of
// its own round it where a compositor runs; a click anywhere on the card makes it the active window.

#include "ui/kit/ShapedWindow.h"

#include <QPoint>
#include <QPointer>
#include <QRect>
#include <QSize>

class FloatingTimerSurface;

class FloatingPanel : public ShapedWindow {
    Q_OBJECT
public:
    static constexpr QSize contentSize{200, 54};
    static constexpr int margin = 20;

    // `content` is the card or holds it; it fills the card's place and becomes the panel's child.
    explicit FloatingPanel(QWidget* content);

    // The panel's top-left corner that puts the card's top right corner `margin` in from the right edge and
    // `margin` down from the top edge of `available`.
    QPoint placement(const QRect& available) const;

    // Shows the panel in front of other windows and gives it the focus.
    void present();

protected:
    QPainterPath outline(const QRectF& bounds) const override;
    QColor edgeColor() const override;
    void paintCutGround(QPainter& painter) override;
    void mousePressEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPointer<FloatingTimerSurface> m_card;
};
