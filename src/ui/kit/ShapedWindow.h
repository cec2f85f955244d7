#pragma once
// A frameless top-level window that draws its own rounded shape. Where a compositor blends windows, the
// window is see-through round its shape and the shape's smoothed edge blends with what lies behind. Where
// none does, the X server would show the see-through ground black, so the window is cut to its shape and
// its ground is filled up to the cut in the colour of its edge, which the edge's smoothing then blends
// into. It follows a compositor that comes or goes while it shows.

#include <QColor>
#include <QWidget>

#include <functional>

class QPainter;
class QPainterPath;

class ShapedWindow : public QWidget {
    Q_OBJECT
public:
    // Asks whether a compositor blends windows on the screen. The shell installs the display's own
    // answer; with none installed the answer is yes (a Wayland session always composites, and the
    // offscreen platform shows nothing).
    static void setCompositorProbe(std::function<bool()> probe);
    static bool compositorRunning();
    // Has every shaped window ask again, as a compositor came or went.
    static void compositorChanged();

    // Whether the window is cut to its shape now (no compositor blends it).
    bool isCut() const { return m_cut; }

protected:
    ShapedWindow(QWidget* parent, Qt::WindowFlags flags);

    // The window's shape, in its own coordinates, for a window covering `bounds`.
    virtual QPainterPath outline(const QRectF& bounds) const = 0;
    // The colour just inside the shape's edge, which fills the ground where the window is cut.
    virtual QColor edgeColor() const = 0;
    // Draws the shape, smoothed; the ground around it is see-through or, where cut, the edge colour.
    // Nothing by default, for a window whose content draws the shape.
    virtual void paintShape(QPainter& painter);
    // Cuts the window again after its outline changed other than by a resize.
    void followOutline();

    void paintEvent(QPaintEvent* event) final;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    bool m_cut = false;
};
