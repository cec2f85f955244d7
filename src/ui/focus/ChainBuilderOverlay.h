#pragma once
// The layer over the timers canvas that holds the chain builder while the popover root says it is open:
// a dim with no tap action and the builder centred on a reference card. Each opening builds a fresh
// builder. The keyboard stays in the builder while it is open (Escape closes it); closing it gives the
// keyboard back to the root.

#include "ui/kit/FocusRing.h"

#include <QPointer>
#include <QWidget>

class ChainBuilderView;
class SurfaceWidget;
class TarvolinTimerMainView;

class ChainBuilderOverlay : public QWidget {
    Q_OBJECT
public:
    static constexpr double dimOpacity = 0.12;
    static constexpr int margin = 16;

    // Covers `canvas` and follows its size; the root must outlive it.
    ChainBuilderOverlay(TarvolinTimerMainView& root, QWidget* canvas);

    // The builder while it is open.
    ChainBuilderView* builder() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool focusNextPrevChild(bool next) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void sync(bool open);
    void closeBuilder();

    TarvolinTimerMainView& m_root;
    QPointer<SurfaceWidget> m_card;
    QPointer<ChainBuilderView> m_builder;
    FocusRing::Keeper m_keeper;
};
