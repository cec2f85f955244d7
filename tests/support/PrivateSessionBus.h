#pragma once
// A session bus of the test's own: a dbus-daemon on a socket in a temporary folder, ended with the object.

#include <QDBusConnection>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

class PrivateSessionBus {
public:
    enum class Services {
        none,    // nothing of the machine is started on the bus behind the test's back
        desktop, // the desktop's own services start when asked for, as on a desktop (Plasma needs them)
    };
    // Starts the daemon and waits (a few seconds at most) for its address; see isRunning().
    explicit PrivateSessionBus(Services services = Services::none);
    ~PrivateSessionBus();
    PrivateSessionBus(const PrivateSessionBus&) = delete;
    PrivateSessionBus& operator=(const PrivateSessionBus&) = delete;

    bool isRunning() const { return !m_address.isEmpty(); }
    // Why it did not start, for a skip message.
    QString errorString() const { return m_error; }
    QString address() const { return m_address; }

    // A new connection to this bus under a name of this process; disconnected with the bus.
    QDBusConnection connect(const QString& connectionName);

    // Freezes and thaws the daemon, so a test can see that nothing waits on a stalled bus.
    void pause();
    void resume();

private:
    QTemporaryDir m_dir;
    QProcess m_daemon;
    QString m_address;
    QString m_error;
    QStringList m_connections;
    bool m_paused = false;
};
