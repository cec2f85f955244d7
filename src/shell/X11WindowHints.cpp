#include "shell/X11WindowHints.h"

#include <QAbstractEventDispatcher>
#include <QAbstractNativeEventFilter>
#include <QGuiApplication>
#include <QHash>
#include <QList>
#include <QMargins>
#include <QRegion>
#include <QWidget>
#include <QWindow>

#include <xcb/xcb.h>
#include <xcb/xfixes.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

struct FreeDeleter {
    void operator()(void* p) const { std::free(p); }
};
template <class T> using Reply = std::unique_ptr<T, FreeDeleter>;

xcb_connection_t* connection() {
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->connection() : nullptr;
}

xcb_atom_t atom(xcb_connection_t* c, const char* name) {
    static QHash<QByteArray, xcb_atom_t> cache;
    const QByteArray key(name);
    if (const auto found = cache.constFind(key); found != cache.constEnd()) {
        return *found;
    }
    const Reply<xcb_intern_atom_reply_t> reply(
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, uint16_t(std::strlen(name)), name), nullptr));
    const xcb_atom_t value = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    cache.insert(key, value);
    return value;
}

xcb_window_t rootOf(xcb_connection_t* c) {
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
    return screen ? screen->root : xcb_window_t(XCB_WINDOW_NONE);
}

// The XFixes version agreed with the server, 0 without the extension. It must be agreed on before any
// other request of the extension; once is enough.
uint32_t xfixesVersion(xcb_connection_t* c) {
    static const uint32_t agreed = [c] {
        const xcb_query_extension_reply_t* xfixes = xcb_get_extension_data(c, &xcb_xfixes_id);
        if (!xfixes || !xfixes->present) {
            return 0u;
        }
        const Reply<xcb_xfixes_query_version_reply_t> version(xcb_xfixes_query_version_reply(
            c, xcb_xfixes_query_version(c, XCB_XFIXES_MAJOR_VERSION, XCB_XFIXES_MINOR_VERSION), nullptr));
        return version ? version->major_version : 0u;
    }();
    return agreed;
}

// A length in a widget's logical pixels in the device pixels its window is measured in.
int devicePixels(double logical, double scale) {
    return int(std::lround(logical * scale));
}

// Sets a window's input shape, its region given in the window's logical pixels.
void applyInputRegion(xcb_connection_t* c, const QWindow& window, const QRegion& region) {
    const double scale = window.devicePixelRatio();
    QList<xcb_rectangle_t> rectangles;
    for (const QRect& r : region) {
        const int left = devicePixels(r.x(), scale);
        const int top = devicePixels(r.y(), scale);
        rectangles << xcb_rectangle_t{int16_t(left), int16_t(top),
                                      uint16_t(devicePixels(r.x() + r.width(), scale) - left),
                                      uint16_t(devicePixels(r.y() + r.height(), scale) - top)};
    }
    constexpr uint8_t inputShape = 2; // the SHAPE extension's input kind
    const xcb_xfixes_region_t shape = xcb_generate_id(c);
    xcb_xfixes_create_region(c, shape, uint32_t(rectangles.size()), rectangles.constData());
    xcb_xfixes_set_window_shape_region(c, xcb_window_t(window.winId()), inputShape, 0, 0, shape);
    xcb_xfixes_destroy_region(c, shape);
    xcb_flush(c);
}

// Holds a window's input region and sets it again each time the window comes on screen: a window manager
// may give the frame it puts round the window the window's input shape only when that changes after the
// window was taken in (XFCE's does), so a shape set before leaves the whole frame taking the pointer.
class InputRegionKeeper : public QObject {
public:
    static constexpr const char* name = "x11InputRegion";

    explicit InputRegionKeeper(QWindow* window) : QObject(window), m_window(window) {
        setObjectName(QLatin1String(name));
        window->installEventFilter(this);
    }

    void keep(const QRegion& region) {
        m_region = region;
        if (xcb_connection_t* c = connection()) {
            applyInputRegion(c, *m_window, m_region);
        }
    }

    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Expose) {
            const bool shown = m_window->isExposed();
            if (shown && !m_shown) {
                keep(m_region);
            }
            m_shown = shown;
        }
        return false;
    }

private:
    QWindow* m_window;
    QRegion m_region;
    bool m_shown = false;
};

// The selection a compositing manager holds on the screen the program was started on, as $DISPLAY names
// it (":0.1" is screen 1).
xcb_atom_t compositorSelection(xcb_connection_t* c) {
    int screen = 0;
    char* host = nullptr;
    int display = 0;
    if (xcb_parse_display(nullptr, &host, &display, &screen) == 0) {
        screen = 0;
    }
    std::free(host);
    const QByteArray name = "_NET_WM_CM_S" + QByteArray::number(screen);
    return atom(c, name.constData());
}

// Hears of every change of the selection's owner, reported on the root window, and passes it on.
class CompositorWatch : public QObject, public QAbstractNativeEventFilter {
public:
    CompositorWatch(QObject* context, uint8_t notifyEvent, xcb_window_t root, xcb_atom_t selection,
                    std::function<void()> changed)
        : QObject(context), m_notifyEvent(notifyEvent), m_root(root), m_selection(selection),
          m_changed(std::move(changed)) {
        QAbstractEventDispatcher::instance()->installNativeEventFilter(this);
    }
    ~CompositorWatch() override {
        if (auto* dispatcher = QAbstractEventDispatcher::instance()) {
            dispatcher->removeNativeEventFilter(this);
        }
    }

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) override {
        if (eventType != "xcb_generic_event_t") {
            return false;
        }
        const auto* event = static_cast<const xcb_generic_event_t*>(message);
        if ((event->response_type & 0x7F) != m_notifyEvent) {
            return false;
        }
        const auto* notify = static_cast<const xcb_xfixes_selection_notify_event_t*>(message);
        if (notify->window == m_root && notify->selection == m_selection) {
            // After Qt has taken the event in; windows then change their masks outside its handling.
            QMetaObject::invokeMethod(this, m_changed, Qt::QueuedConnection);
        }
        return false; // Qt watches the same selection for its own use
    }

private:
    uint8_t m_notifyEvent;
    xcb_window_t m_root;
    xcb_atom_t m_selection;
    std::function<void()> m_changed;
};

} // namespace

bool X11WindowHints::isAvailable() {
    return connection() != nullptr;
}

bool X11WindowHints::compositorRunning() {
    xcb_connection_t* c = connection();
    if (!c) {
        return false;
    }
    const xcb_atom_t owned = compositorSelection(c);
    if (owned == XCB_ATOM_NONE) {
        return false;
    }
    const Reply<xcb_get_selection_owner_reply_t> reply(
        xcb_get_selection_owner_reply(c, xcb_get_selection_owner(c, owned), nullptr));
    return reply && reply->owner != XCB_WINDOW_NONE;
}

bool X11WindowHints::watchCompositor(QObject* context, std::function<void()> changed) {
    xcb_connection_t* c = connection();
    if (!c || !context || !QAbstractEventDispatcher::instance()) {
        return false;
    }
    const xcb_atom_t selection = compositorSelection(c);
    if (xfixesVersion(c) == 0 || selection == XCB_ATOM_NONE) {
        return false;
    }
    const xcb_query_extension_reply_t* xfixes = xcb_get_extension_data(c, &xcb_xfixes_id);
    const xcb_window_t root = rootOf(c);
    new CompositorWatch(context, uint8_t(xfixes->first_event + XCB_XFIXES_SELECTION_NOTIFY), root, selection,
                        std::move(changed));
    xcb_xfixes_select_selection_input(c, root, selection,
                                      XCB_XFIXES_SELECTION_EVENT_MASK_SET_SELECTION_OWNER |
                                          XCB_XFIXES_SELECTION_EVENT_MASK_SELECTION_WINDOW_DESTROY |
                                          XCB_XFIXES_SELECTION_EVENT_MASK_SELECTION_CLIENT_CLOSE);
    xcb_flush(c);
    return true;
}

bool X11WindowHints::addStates(QWidget* window, States states) {
    xcb_connection_t* c = connection();
    if (!c || !window) {
        return false;
    }
    const auto id = xcb_window_t(window->winId());
    const xcb_atom_t netWmState = atom(c, "_NET_WM_STATE");
    QList<xcb_atom_t> wanted;
    if (states & skipTaskbar) {
        wanted << atom(c, "_NET_WM_STATE_SKIP_TASKBAR");
    }
    if (states & skipPager) {
        wanted << atom(c, "_NET_WM_STATE_SKIP_PAGER");
    }
    if (states & above) {
        wanted << atom(c, "_NET_WM_STATE_ABOVE");
    }
    if (states & sticky) {
        wanted << atom(c, "_NET_WM_STATE_STICKY");
    }

    if (!window->isVisible()) {
        // Unmapped: merge into the property (Qt keeps what is there when it maps the window).
        QList<xcb_atom_t> current;
        const Reply<xcb_get_property_reply_t> reply(xcb_get_property_reply(
            c, xcb_get_property(c, 0, id, netWmState, XCB_ATOM_ATOM, 0, 1024), nullptr));
        if (reply && reply->format == 32 && reply->type == XCB_ATOM_ATOM) {
            const auto* atoms = static_cast<const xcb_atom_t*>(xcb_get_property_value(reply.get()));
            const int count = xcb_get_property_value_length(reply.get()) / int(sizeof(xcb_atom_t));
            for (int i = 0; i < count; ++i) {
                current << atoms[i];
            }
        }
        for (const xcb_atom_t a : wanted) {
            if (!current.contains(a)) {
                current << a;
            }
        }
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, id, netWmState, XCB_ATOM_ATOM, 32,
                            uint32_t(current.size()), current.constData());
        if (states & sticky) {
            const uint32_t allDesktops = 0xFFFFFFFF;
            xcb_change_property(c, XCB_PROP_MODE_REPLACE, id, atom(c, "_NET_WM_DESKTOP"), XCB_ATOM_CARDINAL,
                                32, 1, &allDesktops);
        }
    } else {
        // Mapped: the window manager owns the property now; ask it, two states a message.
        const xcb_window_t root = rootOf(c);
        for (qsizetype i = 0; i < wanted.size(); i += 2) {
            xcb_client_message_event_t event{};
            event.response_type = XCB_CLIENT_MESSAGE;
            event.format = 32;
            event.window = id;
            event.type = netWmState;
            event.data.data32[0] = 1; // add
            event.data.data32[1] = wanted[i];
            event.data.data32[2] = i + 1 < wanted.size() ? wanted[i + 1] : 0;
            event.data.data32[3] = 1; // from an ordinary application
            xcb_send_event(c, 0, root,
                           XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                           reinterpret_cast<const char*>(&event));
        }
    }
    xcb_flush(c);
    return true;
}

bool X11WindowHints::setFrameExtents(QWidget* window, const QMargins& extents) {
    xcb_connection_t* c = connection();
    if (!c || !window) {
        return false;
    }
    const auto id = xcb_window_t(window->winId());
    const double scale = window->devicePixelRatioF();
    const uint32_t value[4] = {
        uint32_t(devicePixels(extents.left(), scale)), uint32_t(devicePixels(extents.right(), scale)),
        uint32_t(devicePixels(extents.top(), scale)), uint32_t(devicePixels(extents.bottom(), scale))};
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, id, atom(c, "_GTK_FRAME_EXTENTS"), XCB_ATOM_CARDINAL, 32, 4,
                        value);
    xcb_flush(c);
    return true;
}

bool X11WindowHints::setInputRegion(QWidget* window, const QRegion& region) {
    xcb_connection_t* c = connection();
    QWindow* handle = window && window->internalWinId() ? window->windowHandle() : nullptr;
    if (!c || !handle || xfixesVersion(c) < 2) {
        return false;
    }
    // Found by name: it has no meta-object of its own.
    auto* keeper = static_cast<InputRegionKeeper*>(
        handle->findChild<QObject*>(QLatin1String(InputRegionKeeper::name), Qt::FindDirectChildrenOnly));
    if (!keeper) {
        keeper = new InputRegionKeeper(handle);
    }
    keeper->keep(region);
    return true;
}

bool X11WindowHints::setName(QWidget* window, const QString& name) {
    xcb_connection_t* c = connection();
    if (!c || !window) {
        return false;
    }
    const QByteArray text = name.toUtf8();
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, xcb_window_t(window->winId()), atom(c, "_NET_WM_NAME"),
                        atom(c, "UTF8_STRING"), 8, uint32_t(text.size()), text.constData());
    xcb_flush(c);
    return true;
}
