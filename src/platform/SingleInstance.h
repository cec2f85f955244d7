#pragma once
// Keeps one running copy of the program per data folder. A launch first asks the socket: where a copy
// answers, it hands its message (a URL, or "show yourself") over and ends, whatever else it finds. Only
// where no copy listens does it lock the data folder and put its own socket in place, never over a live
// one; it is then the running copy, and serves the socket for later launches.

#include "platform/DataFolderLock.h"

#include <QByteArray>
#include <QObject>
#include <QString>

#include <memory>

class HandOverServer;
class SocketListener;

class SingleInstance : public QObject {
    Q_OBJECT
public:
    enum class Claim {
        primary,    // this process is the running copy: it holds the lock and the socket's place
        handedOver, // the running copy answered, and this process confirmed it: the message will be acted on
        failed,     // neither within the time allowed (the message will not be acted on); see the error text
        // No lock can be had (an unreadable folder, a full disk) and no running copy answered: the process
        // runs on without the guard rather than not at all; see the error text.
        unguarded,
    };

    // `dataDirectory` (made when missing) is locked for as long as this copy runs; the socket lives in
    // `directory` (made when missing), named after `key`.
    SingleInstance(const QString& dataDirectory, const QString& directory, const QString& key,
                   QObject* parent = nullptr);
    ~SingleInstance() override;

    QString socketPath() const { return m_socketPath; }

    // Hands `message` to the running copy, or else becomes it. A copy that has only just started may not
    // answer yet, and one that holds the lock may not have made its socket yet, so this tries again until
    // `timeoutMs` has passed. Blocks; meant for the very start, before any window.
    Claim claim(const QByteArray& message, int timeoutMs, QString* error = nullptr);
    // After claim() gave primary or unguarded: serves the socket from now on (clients that came meanwhile
    // waited), keeping it served whatever happens to its file and folder; false, with `error`, when it
    // cannot be made yet, and it is tried again later.
    bool listen(QString* error = nullptr);
    bool isListening() const;
    // For the end of the program, while it can still act on messages: removes the socket (later launches
    // wait for this copy to end, then start their own), reports the messages confirmed so far, and lets
    // any later confirmation fail at its sender.
    void finish();

    // Where the socket goes: $XDG_RUNTIME_DIR when it names a folder, else `dataDirectory` itself.
    static QString defaultDirectory(const QString& dataDirectory);
    // A short key that names the data folder, so copies working on different folders never meet.
    static QString keyFor(const QString& dataDirectory);

signals:
    // Each message a later launch handed over and confirmed after it had the answer.
    void messageReceived(const QByteArray& message);

private:
    QString m_dataDirectory;
    QString m_socketPath;
    DataFolderLock m_lock;
    // Declared after the lock, so they end first: the socket goes before the lock is let go.
    std::unique_ptr<HandOverServer> m_server;
    std::unique_ptr<SocketListener> m_listener;
};
