#pragma once
// One tab of the bottom bar: the tab's symbol, and its title beside it while selected, on a capsule; a
// circle under the pointer; a ring while it holds the keyboard focus. A click never takes the focus.

#include "ui/kit/PressableButton.h"
#include "ui/popover/TarvolinTimerTab.h"

#include <QVariantAnimation>

class BottomBarTabButton : public PressableButton {
    Q_OBJECT
public:
    static constexpr double pressScale = 0.96;
    static constexpr double symbolSide = 18;
    static constexpr double minimumLabelHeight = 44;
    static constexpr int hoverDurationMs = 120;
    static constexpr int reducedMotionHoverDurationMs = 100;

    explicit BottomBarTabButton(TarvolinTimerTab tab, QWidget* parent = nullptr);

    TarvolinTimerTab tab() const { return m_tab; }
    bool isSelected() const { return m_selected; }
    // With a curve and a duration the title grows in (or out) along them; without, at once.
    void setSelected(bool selected, const QEasingCurve* curve = nullptr, int duration = 0);
    bool isHovered() const { return m_hovered; }

    // 0…1 as drawn now: how far the title is in, how far the hover look is on.
    double titleLevel() const { return m_titleLevel; }
    double hoverLevel() const { return m_hoverLevel; }
    // The label's rectangle (symbol, title and padding) as drawn now, and as it is once selected.
    QRectF labelRect() const { return labelRectAt(m_titleLevel); }
    QRectF selectedLabelRect() const { return labelRectAt(1.0); }
    // While the bar slides the selection capsule itself, the button leaves it out.
    void setDrawsCapsule(bool draws);
    // The symbol's and title's colour as drawn now.
    QColor inkColor() const;

protected:
    void paintFace(QPainter& painter) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    QRectF labelRectAt(double titleLevel) const;
    void setHovered(bool hovered);

    TarvolinTimerTab m_tab;
    bool m_selected = false;
    bool m_hovered = false;
    bool m_drawsCapsule = true;
    double m_titleLevel = 0;
    double m_hoverLevel = 0;
    QVariantAnimation m_titleAnimation;
    QVariantAnimation m_hoverAnimation;
};
