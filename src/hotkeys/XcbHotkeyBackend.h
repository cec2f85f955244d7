#pragma once
// System-wide key grabs on the X11 root window through a connection of our own. Its socket is watched by
// the Qt event loop, so grabs, their refusals and key events are all handled without ever waiting on the
// server. A connection of our own rather than Qt's: it works whatever platform Qt runs on, its per-client
// settings (detectable auto-repeat) leave Qt's own key handling alone, and the refusal of a grab comes
// back to us by its request's sequence number rather than into Qt's error log.

#include "hotkeys/HotkeyBackend.h"
#include "hotkeys/KeyboardLayout.h"

#include <QList>
#include <QString>

#include <deque>
#include <map>
#include <memory>

class QSocketNotifier;
class QTimer;
struct xcb_connection_t;

namespace GlobalHotkeys {

class XcbHotkeyBackend : public HotkeyBackend {
    Q_OBJECT
public:
    // Connects to `displayName` (":1"), or to $DISPLAY when empty. Without a display it grabs nothing. A
    // connection that breaks later is tried again, less and less often, and every grab is asked for anew
    // once the server is back.
    explicit XcbHotkeyBackend(const QString& displayName = {}, QObject* parent = nullptr);
    ~XcbHotkeyBackend() override;

    bool isConnected() const { return m_connection != nullptr; }
    // Whether the server stops sending a release before each repeated press of a held key.
    bool hasDetectableAutoRepeat() const { return m_detectableAutoRepeat; }
    std::shared_ptr<const KeyboardLayout> layout() const { return m_layout; }

    std::optional<GrabFailure> grab(quint32 id, const Shortcut& shortcut) override;
    void ungrab(quint32 id) override;

    // The first wait before trying a lost server again, and the longest.
    static constexpr int firstRetryMs = 500;
    static constexpr int longestRetryMs = 60'000;

private:
    struct Grab {
        Shortcut shortcut;
        quint32 keycode = 0;
        QList<quint16> masks;
    };

    // Connects and reads the keyboard; on failure leaves no connection behind and says why.
    QString connectToServer();
    bool loadLayout();
    // Where the grab's key and modifiers sit on this keyboard, or why they cannot be grabbed.
    std::optional<GrabFailure> place(Grab& grab) const;
    void sendGrab(quint32 id, const Grab& grab);
    void sendUngrab(const Grab& grab);
    // Every grab placed and asked for again; those that no longer fit this keyboard are given up.
    void grabAllAnew();
    // One round trip marks the end of the requests sent so far; its answer says they were all handled.
    void scheduleSync();
    void sendSync();
    void drain();
    // Handles the events already read (or, first, all the socket holds); true when there were any.
    bool handleEvents(bool queuedOnly);
    // One event or error, as xcb delivers it.
    void handle(const void* event);
    void reloadKeymap();
    void dropConnection();
    // The server went away: the grabs are kept, to be asked for again when it is back.
    void loseConnection(const QString& why);
    void tryToReconnect();

    QString m_displayName;
    xcb_connection_t* m_connection = nullptr;
    quint32 m_root = 0;
    QSocketNotifier* m_notifier = nullptr;
    QTimer* m_reconnectTimer;
    std::shared_ptr<const KeyboardLayout> m_layout;
    bool m_detectableAutoRepeat = false;
    bool m_syncScheduled = false;
    bool m_keymapReloadScheduled = false;
    // The keyboard extension's events are numbered from here.
    quint8 m_xkbFirstEvent = 0;
    // Set once a connection was lost; grabs asked for meanwhile wait for the server.
    bool m_waitingForServer = false;
    std::map<quint32, Grab> m_grabs;
    // Sequence number of each grab request not yet answered → the grab's id.
    std::map<quint32, quint32> m_pendingGrabs;
    std::deque<quint32> m_pendingSyncs;
};

} // namespace GlobalHotkeys
