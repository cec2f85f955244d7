#pragma once
// The floating pill at the foot of the popover with one button per tab. It never keeps the selection: the
// root tells it which tab is shown and hears which one the user chose. A choice made here slides the
// selection capsule to its tab; a change made elsewhere (the keyboard) moves it at once.

#include "ui/popover/TarvolinTimerTab.h"

#include <QList>
#include <QRectF>
#include <QVariantAnimation>
#include <QWidget>

class BottomBarTabButton;

class BottomBar : public QWidget {
    Q_OBJECT
public:
    static constexpr int barWidth = 404;
    static constexpr int barHeight = 54;
    static constexpr int containerWidth = 440;
    static constexpr int containerHeight = 70;
    static constexpr int slideDurationMs = 500;
    static constexpr int reducedMotionSlideDurationMs = 100;

    explicit BottomBar(TarvolinTimerTab selected, QWidget* parent = nullptr);

    TarvolinTimerTab selected() const { return m_selected; }
    // Shows the tab as the selected one; slid only when the user's own click asked for it.
    void setSelected(TarvolinTimerTab tab);
    BottomBarTabButton* button(TarvolinTimerTab tab) const;
    // The pill's rectangle, and the capsule's while it slides (empty otherwise).
    QRect barRect() const;
    QRectF slidingCapsule() const { return m_slidingCapsule; }

signals:
    // The user chose a tab (a click, or Space on a focused tab).
    void tabActivated(TarvolinTimerTab tab);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void slideCapsule(BottomBarTabButton* from, BottomBarTabButton* to);

    TarvolinTimerTab m_selected;
    QList<BottomBarTabButton*> m_buttons;
    bool m_userChoosing = false;
    QRectF m_slidingCapsule;
    QVariantAnimation m_slide;
    BottomBarTabButton* m_slideTarget = nullptr;
};
