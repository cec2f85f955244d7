#pragma once
// A frameless top-level window that draws its own rounded shape. Where a compositor blends windows, the
// window is see-through round its shape and the shape's smoothed edge blends with what lies behind. Where
// none does, the X server would show the see-through ground black, so the window is cut to its shape and
// its ground is filled up to the cut in the colours of its edge, which the edge's smoothing then blends
// into. It follows a compositor that comes or goes while it shows. A window may ask for a shadow round its
// shape: it then keeps room for it on every side, draws it where a compositor runs, and lets the pointer
// through it to what lies behind.

#include "theme/SurfaceStyle.h"

#include <QColor>
#include <QImage>
#include <QList>
#include <QMargins>
#include <QRegion>
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
    // Limits where a window takes the pointer to a region of its own (logical) pixels, so presses elsewhere
    // reach what lies behind. The shell installs the display's own way; with none the whole window takes
    // the pointer.
    static void setInputShaper(std::function<void(QWidget*, const QRegion&)> shaper);

    // Whether the window is cut to its shape now (no compositor blends it).
    bool isCut() const { return m_cut; }
    // The room kept round the shape for its shadow; none for a window without one.
    QMargins shadowMargins() const { return m_shadowMargins; }
    // Where the shape lies: the window less the room for its shadow.
    QRect shapeRect() const { return rect().marginsRemoved(m_shadowMargins); }
    // The whole pixels of the shape: what is left of the window where it is cut, and, for a window with a
    // shadow, where it takes the pointer.
    QRegion shapeRegion() const;

protected:
    ShapedWindow(QWidget* parent, Qt::WindowFlags flags);

    // The window's shape, in its own coordinates, for a shape covering `bounds`.
    virtual QPainterPath outline(const QRectF& bounds) const = 0;
    // The colour just inside the shape's edge, which fills the ground where the window is cut.
    virtual QColor edgeColor() const = 0;
    // Fills the ground where the window is cut: all in edgeColor(), unless the shape's edge changes colour
    // along it, when each place takes the colour just inside the edge there.
    virtual void paintCutGround(QPainter& painter);
    // Draws the shape, smoothed; the ground around it is see-through or, where cut, the edge colour.
    // Nothing by default, for a window whose content draws the shape.
    virtual void paintShape(QPainter& painter);
    // Cuts the window again after its outline changed other than by a resize.
    void followOutline();
    // Gives the shape `shadows` (none: no shadow) and the room round it they need; the content margins
    // become that room, so a layout keeps the content on the shape. The caller sizes the window to match.
    void setShadows(QList<SurfaceShadow> shadows);

    void paintEvent(QPaintEvent* event) final;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    // The shadows on a see-through ground, the window's size; made again when the size or scale changed.
    const QImage& shadowPicture();

    bool m_cut = false;
    QList<SurfaceShadow> m_shadows;
    QMargins m_shadowMargins;
    QImage m_shadowPicture;
    QSize m_shadowPictureSize; // the window's size it was made for
};
