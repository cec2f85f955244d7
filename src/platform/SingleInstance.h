#pragma once
// Keeps one running copy of the program per data folder: the first process holds a lock file and serves a
// user-only local socket; a later process hands its message (a URL, or "show yourself") to it and ends.

#include <QByteArray>
#include <QLockFile>
#include <QObject>
#include <QString>

class QLocalServer;
class QLocalSocket;

class SingleInstance : public QObject {
    Q_OBJECT
public:
    enum class Claim {
        primary,    // this process holds the lock and is to serve the socket
        handedOver, // the running copy received and acknowledged the message
        failed,     // neither within the time allowed; see the error text
        // The lock file cannot be made (a full disk, a read-only folder) and no running copy answered: the
        // process runs on without the guard rather than not at all; see the error text.
        unguarded,
    };

    // A message longer than this is refused (a client that claims more is cut off).
    static constexpr qint64 maxMessageBytes = 1 << 20;
    // How long the server waits for a connected client's whole message.
    static constexpr int clientTimeoutMs = 5000;

    // The lock and the socket live in `directory` (made when missing), named after `key`.
    SingleInstance(const QString& directory, const QString& key, QObject* parent = nullptr);
    ~SingleInstance() override;

    QString lockPath() const { return m_lockPath; }
    QString socketPath() const { return m_socketPath; }

    // Takes the lock (a lock left by a process that no longer runs is taken over), or else hands `message`
    // to the copy that holds it. A holder that has only just started may not serve its socket yet, so both
    // are tried again until `timeoutMs` has passed. Blocks; meant for the very start, before any window.
    Claim claim(const QByteArray& message, int timeoutMs, QString* error = nullptr);
    // After claim() gave primary: serves the socket, replacing one that a crashed holder left behind.
    bool listen(QString* error = nullptr);
    bool isListening() const;

    // The client half on its own: connects to `socketPath`, sends one message and waits for the
    // acknowledgement. Plain sockets, so it needs no application object.
    static bool send(const QString& socketPath, const QByteArray& message, int timeoutMs, QString* error);

    // Where the files go: $XDG_RUNTIME_DIR when it names a folder, else `dataDirectory` itself.
    static QString defaultDirectory(const QString& dataDirectory);
    // A short key that names the data folder, so copies working on different folders never meet.
    static QString keyFor(const QString& dataDirectory);

signals:
    // Each complete message a later process handed over; it has already been acknowledged.
    void messageReceived(const QByteArray& message);

private:
    void accept();
    void readFrom(QLocalSocket* socket);

    QString m_lockPath;
    QString m_socketPath;
    QLockFile m_lock;
    QLocalServer* m_server = nullptr;
};
