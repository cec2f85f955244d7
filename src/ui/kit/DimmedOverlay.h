#pragma once
// A layer over its parent that dims it and holds one surface in its middle, for the passing screens shown
// inside a window (a card to confirm, an editor, a question). The keyboard stays in the surface while the
// layer shows: Tab cycles through it, focus that would leave it for the screen behind comes back, and when
// the layer closes the keyboard goes back to where it was before (or to the widget named for it). No key or
// click reaches the screen behind; Escape and a click on the dim are reported, not acted on.

#include "theme/QvColor.h"
#include "ui/kit/FocusRing.h"

#include <QPointer>
#include <QWidget>

class DimmedOverlay : public QWidget {
    Q_OBJECT
public:
    static constexpr double dimOpacity = 0.12;

    // Covers `parent` whole and follows its size; shown at once, above its siblings.
    explicit DimmedOverlay(QWidget* parent);

    // Takes the surface as its child, in place of any shown one (which is dropped), and keeps it centred at
    // its preferred size, within `margin` of the edges.
    void setContent(QWidget* content, int margin = 0);
    QWidget* content() const { return m_content; }
    // Drops the surface, if any: hidden at once and deleted later, as its own button may be closing it.
    void clearContent();
    // Gives the surface's first control in Tab order the keyboard.
    void focusContent();
    // Where the keyboard goes when the layer closes; by default the widget that had it when the layer
    // showed.
    void setFocusReturn(QWidget* widget) { m_keeper.setReturnTo(widget); }

signals:
    void dimClicked();
    void escapePressed();

protected:
    // A layer its owner shows when it is needed, dimmed in `dim`.
    DimmedOverlay(QWidget* parent, const QvColor& dim);

    // Whether a click at `point` of the layer is on the dim; by default every click that reaches the layer.
    virtual bool isOnDim(const QPoint& point) const;

    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool focusNextPrevChild(bool next) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void placeContent();

    QvColor m_dim;
    QPointer<QWidget> m_content;
    int m_margin = 0;
    bool m_pressOnDim = false;
    FocusRing::Keeper m_keeper;
};
