#pragma once
// Listens to the system's login manager (logind, on the system bus) for the machine going to sleep,
// waking up and shutting down. It only listens: no call waits on the bus, and with no system bus it stays
// silent.

#include <QDBusConnection>
#include <QObject>

class LoginManagerWatcher : public QObject {
    Q_OBJECT
public:
    static constexpr const char* kPath = "/org/freedesktop/login1";
    static constexpr const char* kInterface = "org.freedesktop.login1.Manager";

    // Subscribes on `bus`; a bus that is not connected gives a watcher that never signals.
    explicit LoginManagerWatcher(QDBusConnection bus, QObject* parent = nullptr);

    bool isListening() const { return m_listening; }

signals:
    // The machine has just woken up.
    void resumed();
    // The machine is about to sleep.
    void aboutToSleep();
    // The machine is about to power off or restart.
    void aboutToShutDown();

private slots:
    void onPrepareForSleep(bool starting);
    void onPrepareForShutdown(bool starting);

private:
    bool m_listening = false;
};
