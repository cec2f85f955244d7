#pragma once
// Window-manager hints that Qt has no flag for on X11: keep a window out of the taskbar and the window
// switcher, above other windows, on every desktop; name it exactly as given; tell how far a shadow of its
// own reaches round it; let the pointer through parts of it. Elsewhere (Wayland, offscreen) it does nothing.

#include <QFlags>

#include <functional>

class QMargins;
class QObject;
class QRegion;
class QString;
class QWidget;

class X11WindowHints {
public:
    enum State {
        skipTaskbar = 0x1,
        skipPager = 0x2, // the window switcher and the desktop pager
        above = 0x4,
        sticky = 0x8, // on every virtual desktop
    };
    Q_DECLARE_FLAGS(States, State)

    // Adds the states to a top-level widget's window. Before the window is mapped they go into its
    // property, which the window manager reads when it maps it; once it is shown they are asked of the window
    // manager. False when the program does not run on X11.
    static bool addStates(QWidget* window, States states);

    // Names a created top-level widget's window exactly so in window lists (_NET_WM_NAME). False when the
    // program does not run on X11.
    static bool setName(QWidget* window, const QString& name);

    // Tells window managers how far a top-level widget's own drawing (a shadow) reaches round the window they
    // should place and snap (_GTK_FRAME_EXTENTS), in the widget's logical pixels. False when the program
    // does not run on X11.
    static bool setFrameExtents(QWidget* window, const QMargins& extents);

    // Lets a created top-level widget's window take the pointer only inside `region` (its logical pixels);
    // presses elsewhere reach the windows behind it. False when the program does not run on X11, the
    // window is not made yet, or the server cannot (no XFixes 2).
    static bool setInputRegion(QWidget* window, const QRegion& region);

    // Whether the program draws through X11 at all.
    static bool isAvailable();

    // Whether a compositing manager owns the display's screen now (holds its _NET_WM_CM_S<n> selection),
    // so a see-through window is blended with what lies behind it. False when the program does not run
    // on X11.
    static bool compositorRunning();
    // Calls `changed` each time a compositing manager takes or gives up that screen, until `context` is
    // destroyed. False when the program does not run on X11 or its server cannot tell (no XFixes).
    static bool watchCompositor(QObject* context, std::function<void()> changed);

    X11WindowHints() = delete;
};

Q_DECLARE_OPERATORS_FOR_FLAGS(X11WindowHints::States)
