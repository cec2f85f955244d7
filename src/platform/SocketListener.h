#pragma once
// Keeps the running copy's socket in place and served: accepts its clients, makes it again when its file
// or folder goes, tries again after failures with a growing pause, and leaves the place to another live
// copy that holds it rather than take it back.

#include "platform/LocalSocketFile.h"

#include <QObject>
#include <QString>
#include <QTimer>

#include <functional>

class FolderWatch;
class QSocketNotifier;

class SocketListener : public QObject {
    Q_OBJECT
public:
    // After a failure the socket is tried again this long later, the pause doubling up to the maximum.
    static constexpr int firstRetryMs = 100;
    static constexpr int maxRetryMs = 5000;

    // `clients` takes each accepted client (a non-blocking socket, now its own); `beforePlacing` runs each
    // time just before the socket is made.
    SocketListener(const QString& socketPath, std::function<void(int fd)> clients,
                   std::function<void()> beforePlacing, QObject* parent = nullptr);
    ~SocketListener() override; // removes the socket file while it is still ours

    // Puts the socket in place now, without serving it yet (clients queue until serve()); needs no event
    // loop. `why` says who holds the place (taken) or what failed.
    LocalSocketFile::Placement::Outcome place(QString* why);
    // Serves from now on and keeps the socket served; false, with `error`, when it could not be made yet.
    bool serve(QString* error);
    bool isListening() const { return m_fd >= 0; }

private:
    // Makes the socket (again) and serves it, saying in one line what happened, opening with `event`
    // when something happened to it; false when it is not served.
    bool placeAgain(const QString& event, QString* error = nullptr);
    void watchFolder();
    void folderChanged();
    void startAccepting();
    void acceptClients();
    void closeListener();
    void retryAfter(const QString& what);
    void retry();
    void recovered();

    QString m_path;
    std::function<void(int fd)> m_clients;
    std::function<void()> m_beforePlacing;
    int m_fd = -1;
    LocalSocketFile::Identity m_identity; // of the file the listener is bound to
    QSocketNotifier* m_notifier = nullptr;
    FolderWatch* m_watch = nullptr;
    bool m_serving = false;
    bool m_watchFailing = false; // a failure to watch has been logged, and no watch has worked since
    QTimer m_retryTimer;
    int m_retryMs = firstRetryMs;
    bool m_failing = false;     // a run of failures has been logged and not yet its end
    bool m_leftToOther = false; // another copy holds the place, as has been logged
};
