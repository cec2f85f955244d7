#pragma once
// Cuts a frameless top-level window that paints its own rounded shape on a see-through ground to that
// shape where no compositor blends windows: there the X server shows the see-through ground black.

#include <QRegion>

#include <functional>

class QPainterPath;
class QWidget;

class WindowOutline {
public:
    // Asks whether a compositor blends windows on the screen. The shell installs the display's own
    // answer; with none installed the answer is yes (a Wayland session always composites, and the
    // offscreen platform shows nothing).
    static void setCompositorProbe(std::function<bool()> probe);
    static bool compositorRunning();

    // The pixels inside `shape`, for a window mask.
    static QRegion regionOf(const QPainterPath& shape);

    // Cuts `window` to `shape` (in its own coordinates) when no compositor runs, and lifts a cut
    // otherwise. True when the window is cut: it should then paint its ground opaque up to the cut, as
    // a half-covered pixel at the edge would otherwise show darkened.
    static bool follow(QWidget& window, const QPainterPath& shape);

    WindowOutline() = delete;
};
