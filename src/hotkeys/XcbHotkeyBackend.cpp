#include "hotkeys/XcbHotkeyBackend.h"

#include "platform/TarvolinTimerLogger.h"

#include <QSocketNotifier>
#include <QTimer>
#include <QtGlobal>

#include <xcb/xcb.h>
#include <xcb/xcbext.h>
// The keyboard extension's header names a member `explicit`, which C++ reserves.
#define explicit explicit_
#include <xcb/xkb.h>
#undef explicit
#include <xkbcommon/xkbcommon-x11.h>
#include <xkbcommon/xkbcommon.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <utility>
#include <vector>

namespace GlobalHotkeys {

namespace {

const QString kContext = QStringLiteral("GlobalHotkeys");

// The X protocol's numbers for what we look at.
constexpr quint8 kErrorResponse = 0;
constexpr quint8 kBadAccess = 10;
constexpr quint8 kGrabKeyOpcode = 33;

struct FreeDeleter {
    void operator()(void* pointer) const { std::free(pointer); }
};
template <class T> using Reply = std::unique_ptr<T, FreeDeleter>;

quint8 responseType(const xcb_generic_event_t* event) {
    return event->response_type & 0x7f;
}

} // namespace

XcbHotkeyBackend::XcbHotkeyBackend(const QString& displayName, QObject* parent)
    : HotkeyBackend(parent), m_displayName(displayName), m_reconnectTimer(new QTimer(this)) {
    if (qEnvironmentVariable("XDG_SESSION_TYPE") == QStringLiteral("wayland")) {
        TT_LOG_INFO(kContext,
                    QStringLiteral("Wayland session: hotkeys reach us only while an X11 window has focus"));
    }
    m_reconnectTimer->setSingleShot(true);
    connect(m_reconnectTimer, &QTimer::timeout, this, &XcbHotkeyBackend::tryToReconnect);
    const QString error = connectToServer();
    if (!error.isEmpty()) {
        TT_LOG_INFO(kContext, QStringLiteral("Global hotkeys are off: %1").arg(error));
    }
}

XcbHotkeyBackend::~XcbHotkeyBackend() {
    if (m_connection != nullptr) {
        xcb_disconnect(m_connection);
    }
}

QString XcbHotkeyBackend::connectToServer() {
    const QByteArray name = m_displayName.toLocal8Bit();
    int screenNumber = 0;
    xcb_connection_t* connection = xcb_connect(name.isEmpty() ? nullptr : name.constData(), &screenNumber);
    if (xcb_connection_has_error(connection) != 0) {
        xcb_disconnect(connection);
        return QStringLiteral("no X display");
    }
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(connection));
    for (int index = 0; index < screenNumber && screens.rem > 1; ++index) {
        xcb_screen_next(&screens);
    }
    m_connection = connection;
    m_root = screens.data->root;

    // One-time set-up; these few round trips happen before any event is waited for.
    if (xkb_x11_setup_xkb_extension(m_connection, XKB_X11_MIN_MAJOR_XKB_VERSION,
                                    XKB_X11_MIN_MINOR_XKB_VERSION, XKB_X11_SETUP_XKB_EXTENSION_NO_FLAGS,
                                    nullptr, nullptr, &m_xkbFirstEvent, nullptr) == 0) {
        dropConnection();
        return QStringLiteral("the X server has no keyboard extension");
    }
    // A client of the keyboard extension is not sent every core notice of a changed keymap (a new layout,
    // a changed modifier map), so it asks for the extension's own.
    const auto keymapEvents = quint16(XCB_XKB_EVENT_TYPE_NEW_KEYBOARD_NOTIFY | XCB_XKB_EVENT_TYPE_MAP_NOTIFY);
    const auto mapParts =
        quint16(XCB_XKB_MAP_PART_KEY_TYPES | XCB_XKB_MAP_PART_KEY_SYMS | XCB_XKB_MAP_PART_MODIFIER_MAP |
                XCB_XKB_MAP_PART_EXPLICIT_COMPONENTS | XCB_XKB_MAP_PART_KEY_ACTIONS |
                XCB_XKB_MAP_PART_VIRTUAL_MODS | XCB_XKB_MAP_PART_VIRTUAL_MOD_MAP);
    xcb_xkb_select_events_details_t details{};
    details.affectNewKeyboard = XCB_XKB_NKN_DETAIL_KEYCODES;
    details.newKeyboardDetails = XCB_XKB_NKN_DETAIL_KEYCODES;
    xcb_xkb_select_events_aux(m_connection, XCB_XKB_ID_USE_CORE_KBD, keymapEvents, 0, 0, mapParts, mapParts,
                              &details);
    // A held key then sends repeated presses without releases, so it fires once.
    const auto detectable = quint32(XCB_XKB_PER_CLIENT_FLAG_DETECTABLE_AUTO_REPEAT);
    const Reply<xcb_xkb_per_client_flags_reply_t> flags(xcb_xkb_per_client_flags_reply(
        m_connection,
        xcb_xkb_per_client_flags(m_connection, XCB_XKB_ID_USE_CORE_KBD, detectable, detectable, 0, 0, 0),
        nullptr));
    m_detectableAutoRepeat = flags && (flags->value & detectable) != 0;
    if (!m_detectableAutoRepeat) {
        TT_LOG_WARNING(kContext, QStringLiteral("No detectable auto-repeat: a held hotkey fires repeatedly"));
    }
    if (!loadLayout()) {
        dropConnection();
        return QStringLiteral("the keymap could not be read");
    }
    m_notifier = new QSocketNotifier(xcb_get_file_descriptor(m_connection), QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &XcbHotkeyBackend::drain);
    // Anything that arrived with the set-up's answers is already buffered and would wake no notifier.
    QTimer::singleShot(0, this, &XcbHotkeyBackend::drain);
    return {};
}

bool XcbHotkeyBackend::loadLayout() {
    xkb_context* context = xkb_context_new(XKB_CONTEXT_NO_FLAGS);
    if (context == nullptr) {
        return false;
    }
    const int32_t device = xkb_x11_get_core_keyboard_device_id(m_connection);
    xkb_keymap* keymap = device < 0 ? nullptr
                                    : xkb_x11_keymap_new_from_device(context, m_connection, device,
                                                                     XKB_KEYMAP_COMPILE_NO_FLAGS);
    xkb_context_unref(context);
    if (keymap == nullptr) {
        return false;
    }
    // Where Alt, Super and Num Lock sit: the keys of each of the eight modifiers, by their symbols.
    auto layout = std::make_shared<KeyboardLayout>(keymap, XModifierMasks{});
    std::array<QList<quint32>, 8> keysymsPerModifier;
    const Reply<xcb_get_modifier_mapping_reply_t> map(
        xcb_get_modifier_mapping_reply(m_connection, xcb_get_modifier_mapping(m_connection), nullptr));
    if (map) {
        const xcb_keycode_t* keycodes = xcb_get_modifier_mapping_keycodes(map.get());
        const int perModifier = map->keycodes_per_modifier;
        for (int modifier = 0; modifier < 8; ++modifier) {
            for (int slot = 0; slot < perModifier; ++slot) {
                const xcb_keycode_t keycode = keycodes[modifier * perModifier + slot];
                if (keycode != 0) {
                    keysymsPerModifier[size_t(modifier)] += layout->keysyms(keycode);
                }
            }
        }
    }
    m_layout = std::make_shared<KeyboardLayout>(keymap, XModifierMasks::fromModifierMap(keysymsPerModifier));
    xkb_keymap_unref(keymap);
    KeyboardLayout::setCurrent(m_layout);
    return true;
}

std::optional<GrabFailure> XcbHotkeyBackend::grab(quint32 id, const Shortcut& shortcut) {
    if (m_connection == nullptr) {
        if (!m_waitingForServer) {
            return GrabFailure::noDisplay;
        }
        // Placed and asked for once the server is back.
        m_grabs[id] = Grab{shortcut, 0, {}};
        return std::nullopt;
    }
    Grab grab{shortcut, 0, {}};
    if (const auto failure = place(grab)) {
        return failure;
    }
    sendGrab(id, m_grabs[id] = grab);
    return std::nullopt;
}

void XcbHotkeyBackend::ungrab(quint32 id) {
    const auto found = m_grabs.find(id);
    if (found == m_grabs.end()) {
        return;
    }
    if (m_connection != nullptr) {
        sendUngrab(found->second);
        scheduleSync();
    }
    m_grabs.erase(found);
}

std::optional<GrabFailure> XcbHotkeyBackend::place(Grab& grab) const {
    if (!m_layout) {
        return GrabFailure::noDisplay;
    }
    const auto keycode = m_layout->keycode(grab.shortcut.carbonKeyCode);
    if (!keycode) {
        return GrabFailure::keyNotOnKeyboard;
    }
    if (*keycode > 255) {
        // The core protocol's key codes are one byte.
        TT_LOG_WARNING(kContext,
                       QStringLiteral("Key code %1 is beyond the 255 that X key grabs reach").arg(*keycode));
        return GrabFailure::keyNotOnKeyboard;
    }
    const QList<quint16> masks = m_layout->modifierMasks().grabVariants(grab.shortcut.carbonModifiers);
    if (masks.isEmpty()) {
        return GrabFailure::modifierNotOnKeyboard;
    }
    grab.keycode = *keycode;
    grab.masks = masks;
    return std::nullopt;
}

void XcbHotkeyBackend::sendGrab(quint32 id, const Grab& grab) {
    for (quint16 mask : grab.masks) {
        // Unchecked: a refusal comes back among the events, matched by its sequence number.
        const xcb_void_cookie_t cookie =
            xcb_grab_key(m_connection, 1, m_root, mask, xcb_keycode_t(grab.keycode), XCB_GRAB_MODE_ASYNC,
                         XCB_GRAB_MODE_ASYNC);
        m_pendingGrabs[cookie.sequence] = id;
    }
    scheduleSync();
}

void XcbHotkeyBackend::sendUngrab(const Grab& grab) {
    // Ungrabbing touches only our own grabs, so variants another program holds are left alone.
    for (quint16 mask : grab.masks) {
        xcb_ungrab_key(m_connection, xcb_keycode_t(grab.keycode), m_root, mask);
    }
}

void XcbHotkeyBackend::grabAllAnew() {
    std::vector<std::pair<quint32, GrabFailure>> lost;
    for (auto& [id, grab] : m_grabs) {
        if (const auto failure = place(grab)) {
            lost.emplace_back(id, *failure);
            continue;
        }
        sendGrab(id, grab);
    }
    for (const auto& [id, why] : lost) {
        m_grabs.erase(id);
    }
    for (const auto& [id, why] : lost) {
        emit grabFailed(id, why);
    }
}

void XcbHotkeyBackend::scheduleSync() {
    if (m_syncScheduled) {
        return;
    }
    m_syncScheduled = true;
    // Requests made in one turn of the event loop go out together.
    QTimer::singleShot(0, this, &XcbHotkeyBackend::sendSync);
}

void XcbHotkeyBackend::sendSync() {
    m_syncScheduled = false;
    if (m_connection == nullptr) {
        return;
    }
    m_pendingSyncs.push_back(xcb_get_input_focus(m_connection).sequence);
    xcb_flush(m_connection);
}

void XcbHotkeyBackend::drain() {
    for (;;) {
        if (m_connection == nullptr) {
            return;
        }
        bool progressed = handleEvents(false);
        while (m_connection != nullptr && !m_pendingSyncs.empty()) {
            void* reply = nullptr;
            xcb_generic_error_t* error = nullptr;
            if (xcb_poll_for_reply(m_connection, m_pendingSyncs.front(), &reply, &error) == 0) {
                break;
            }
            std::free(reply);
            std::free(error);
            // Refusals of earlier requests arrive before this answer and may have been read along with it.
            handleEvents(true);
            const quint32 answered = m_pendingSyncs.front();
            m_pendingSyncs.pop_front();
            // Every grab sent before it was handled: those without a refusal hold.
            for (auto it = m_pendingGrabs.begin(); it != m_pendingGrabs.end();) {
                it = qint32(it->first - answered) < 0 ? m_pendingGrabs.erase(it) : std::next(it);
            }
            // Settled only when nothing is waiting to be sent either.
            if (m_pendingSyncs.empty() && !m_syncScheduled) {
                emit grabsSettled();
            }
            progressed = true;
        }
        if (m_connection != nullptr && xcb_connection_has_error(m_connection) != 0) {
            loseConnection(QStringLiteral("the X connection broke"));
            return;
        }
        // Looking for an answer may have read further events, which would wake no notifier.
        if (!progressed && !handleEvents(true)) {
            return;
        }
    }
}

bool XcbHotkeyBackend::handleEvents(bool queuedOnly) {
    bool any = false;
    while (m_connection != nullptr) {
        const Reply<xcb_generic_event_t> event(queuedOnly ? xcb_poll_for_queued_event(m_connection)
                                                          : xcb_poll_for_event(m_connection));
        if (!event) {
            break;
        }
        handle(event.get());
        any = true;
    }
    return any;
}

void XcbHotkeyBackend::handle(const void* raw) {
    const auto* event = static_cast<const xcb_generic_event_t*>(raw);
    const quint8 type = responseType(event);
    if (type == kErrorResponse) {
        const auto* error = reinterpret_cast<const xcb_generic_error_t*>(event);
        const auto pending = m_pendingGrabs.find(error->full_sequence);
        if (pending == m_pendingGrabs.end()) {
            return;
        }
        const quint32 id = pending->second;
        // Refusals of the other variants of the same grab need no second report.
        for (auto it = m_pendingGrabs.begin(); it != m_pendingGrabs.end();) {
            it = it->second == id ? m_pendingGrabs.erase(it) : std::next(it);
        }
        // Access is refused when another client holds the combination; anything else is the server's own
        // objection (a key code or modifier it does not accept).
        const bool taken = error->major_code == kGrabKeyOpcode && error->error_code == kBadAccess;
        if (!taken) {
            TT_LOG_WARNING(kContext, QStringLiteral("A key grab was refused with error %1 (request %2)")
                                         .arg(error->error_code)
                                         .arg(error->major_code));
        }
        const auto grab = m_grabs.find(id);
        if (grab != m_grabs.end()) {
            // Undo the variants we did get, so the combination is wholly someone else's.
            sendUngrab(grab->second);
            m_grabs.erase(grab);
            scheduleSync();
            emit grabFailed(id, taken ? GrabFailure::takenByAnotherProgram : GrabFailure::refusedByDesktop);
        }
        return;
    }
    if (type == XCB_KEY_PRESS || type == XCB_KEY_RELEASE) {
        const auto* key = reinterpret_cast<const xcb_key_press_event_t*>(event);
        const auto code = m_layout->carbonKeyCode(key->detail);
        if (!code) {
            return;
        }
        const Shortcut shortcut(*code, m_layout->modifierMasks().carbonModifiers(key->state));
        emit keyEvent(type == XCB_KEY_PRESS ? EventType::keyDown : EventType::keyUp, shortcut);
        return;
    }
    bool keymapChanged = type == XCB_MAPPING_NOTIFY;
    if (type == m_xkbFirstEvent) {
        // Every event of the extension carries its own kind in the second byte.
        const quint8 kind = reinterpret_cast<const xcb_xkb_map_notify_event_t*>(event)->xkbType;
        keymapChanged = kind == XCB_XKB_NEW_KEYBOARD_NOTIFY || kind == XCB_XKB_MAP_NOTIFY;
    }
    if (keymapChanged && !m_keymapReloadScheduled) {
        // One change brings several notices; they are answered once.
        m_keymapReloadScheduled = true;
        QTimer::singleShot(0, this, &XcbHotkeyBackend::reloadKeymap);
    }
}

void XcbHotkeyBackend::reloadKeymap() {
    m_keymapReloadScheduled = false;
    if (m_connection == nullptr || !loadLayout()) {
        return;
    }
    // Key codes and modifier places may have moved.
    for (const auto& [id, grab] : m_grabs) {
        sendUngrab(grab);
    }
    grabAllAnew();
}

void XcbHotkeyBackend::dropConnection() {
    if (m_notifier != nullptr) {
        // Possibly in the middle of its own signal.
        m_notifier->setEnabled(false);
        m_notifier->deleteLater();
        m_notifier = nullptr;
    }
    if (m_connection != nullptr) {
        xcb_disconnect(m_connection);
        m_connection = nullptr;
    }
    m_pendingGrabs.clear();
    m_pendingSyncs.clear();
}

void XcbHotkeyBackend::loseConnection(const QString& why) {
    TT_LOG_WARNING(kContext,
                   QStringLiteral("Global hotkeys are off until the X server is back: %1").arg(why));
    dropConnection();
    m_waitingForServer = true;
    m_reconnectTimer->start(firstRetryMs);
    emit connectionLost();
}

void XcbHotkeyBackend::tryToReconnect() {
    if (m_connection != nullptr) {
        return;
    }
    if (!connectToServer().isEmpty()) {
        // Less and less often, so a server that stays away costs next to nothing.
        m_reconnectTimer->start(std::min(m_reconnectTimer->interval() * 2, longestRetryMs));
        return;
    }
    m_waitingForServer = false;
    TT_LOG_INFO(kContext,
                QStringLiteral("The X server is back: holding %1 hotkeys again").arg(m_grabs.size()));
    grabAllAnew();
}

} // namespace GlobalHotkeys
