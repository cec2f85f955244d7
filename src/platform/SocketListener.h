#pragma once
// Serves the running copy's door: accepts its clients while that leaves the program the descriptors it
// needs, hands those of its own user on and refuses all others, and tries again after failures or while
// descriptors are short, with a growing pause. The listening socket is never let go while
// the copy runs, as it is what keeps a second copy from starting.

#include <QObject>
#include <QSet>
#include <QString>
#include <QTimer>

#include <functional>

#include <sys/types.h>

class QSocketNotifier;

class SocketListener : public QObject {
    Q_OBJECT
public:
    // After a failure accepting is tried again this long later, the pause doubling up to the maximum.
    static constexpr int firstRetryMs = 100;
    static constexpr int maxRetryMs = 5000;

    // How many descriptors the door leaves free for the program itself: a client is accepted only while one
    // more than these are free. A save takes the stored file and, when a copy is set aside, that copy and
    // its folder, for two stores at once (6); drawing takes the shared-memory segment the X server hands
    // over for each window's buffer, where a descriptor that cannot be received stalls the display
    // connection for good (2); each thread Qt starts, its pool's among them, wakes its event loop through a
    // descriptor, and GLib ends the process when it cannot have one (4); the first sound starts the media
    // stack's threads, pipes and sockets, 24 more at their peak.
    static constexpr int descriptorReserve = 6 + 2 + 4 + 24;

    // Takes `fd`, a listening non-blocking socket; `clients` takes each accepted client of `user` (a
    // non-blocking socket, now its own). Clients queue until serve(), and while fewer than `reserve` + 1
    // descriptors are free.
    SocketListener(int fd, uid_t user, std::function<void(int fd)> clients, int reserve = descriptorReserve,
                   QObject* parent = nullptr);
    ~SocketListener() override;

    // Accepts from now on (needs an event loop).
    void serve();
    // Accepts no more: later clients queue until the socket closes with this object, then find the door
    // free. The name stays held meanwhile, so no copy starts before this one has ended.
    void stop();
    bool isServing() const { return m_notifier != nullptr; }

private:
    void acceptClients();
    bool admitted(int fd);
    void retryAfter(const QString& what);
    void retry();
    void recovered();

    int m_fd = -1;
    uid_t m_user = 0;
    int m_reserve = 0;
    std::function<void(int fd)> m_clients;
    QSocketNotifier* m_notifier = nullptr;
    QSet<uid_t> m_refusedUsers; // refusals said once per user, so a flood cannot fill the log
    QTimer m_retryTimer;
    int m_retryMs = firstRetryMs;
    bool m_failing = false; // a run of failures has been logged and not yet its end
};
