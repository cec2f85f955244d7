#pragma once
// Keeps one running copy of the program per data folder: the first process locks the folder and serves a
// user-only local socket; a later process hands its message (a URL, or "show yourself") to it and ends.

#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>

#include <deque>
#include <memory>

#include <sys/types.h>

class QSocketNotifier;

class SingleInstance : public QObject {
    Q_OBJECT
public:
    enum class Claim {
        primary,    // this process holds the lock and is to serve the socket
        handedOver, // the running copy answered, and this process confirmed it: the message will be acted on
        failed,     // neither within the time allowed (the message will not be acted on); see the error text
        // No lock can be had (an unreadable folder, a full disk) and no running copy answered: the process
        // runs on without the guard rather than not at all; see the error text.
        unguarded,
    };

    // A message longer than this is refused (a client that claims more is cut off).
    static constexpr qint64 maxMessageBytes = 1 << 20;
    // How long the server waits for a connected client's whole message, and then for its confirmation.
    static constexpr int clientTimeoutMs = 5000;
    // How many connected clients may wait for their message at once, and how many answered ones for their
    // confirmation. One more cuts the oldest, so a flood of idle connections cannot take the descriptors the
    // program needs for itself (to save the timers).
    static constexpr int maxWaitingClients = 32;
    // After a failure the server tries again this long later, doubling the wait up to the maximum.
    static constexpr int firstRetryMs = 100;
    static constexpr int maxRetryMs = 5000;

    // What travels on the socket: the sender writes frame(message); the server answers `answer` once it has
    // the whole message; the sender then writes `confirmation`, and only a confirmed message is acted on.
    static constexpr char answer = '\x06';
    static constexpr char confirmation = '\x17';
    static QByteArray frame(const QByteArray& message);

    // `dataDirectory` (made when missing) is locked for as long as this copy runs; the socket lives in
    // `directory` (made when missing), named after `key`.
    SingleInstance(const QString& dataDirectory, const QString& directory, const QString& key,
                   QObject* parent = nullptr);
    ~SingleInstance() override;

    QString socketPath() const { return m_socketPath; }

    // Takes the lock (a lock dies with the process that held it), or else hands `message` to the copy that
    // holds it. A holder that has only just started may not serve its socket yet, so both are tried again
    // until `timeoutMs` has passed. Blocks; meant for the very start, before any window.
    Claim claim(const QByteArray& message, int timeoutMs, QString* error = nullptr);
    // After claim() gave primary: serves the socket, replacing one that a crashed holder left behind. From
    // then on the socket is kept served: when its file is removed it is made again; when it cannot be made,
    // or stops being served (accepting failed), that is logged and it is made again after a bounded back-off;
    // when no descriptor is free, accepting waits and tries again the same way, the clients kept queued.
    bool listen(QString* error = nullptr);
    bool isListening() const { return m_listener >= 0; }

    // The client half on its own: connects to `socketPath`, sends one message, waits for the answer and
    // confirms it; true only once the confirmation is written. Plain sockets: it needs no application object.
    static bool send(const QString& socketPath, const QByteArray& message, int timeoutMs, QString* error);

    // Where the socket goes: $XDG_RUNTIME_DIR when it names a folder, else `dataDirectory` itself.
    static QString defaultDirectory(const QString& dataDirectory);
    // A short key that names the data folder, so copies working on different folders never meet.
    static QString keyFor(const QString& dataDirectory);

signals:
    // Each message a later process handed over and confirmed after it had the answer.
    void messageReceived(const QByteArray& message);

private:
    struct Client;
    using Clients = std::deque<std::unique_ptr<Client>>;
    enum class Lock { taken, held, unavailable };
    enum class Reading { incomplete, done, refused };

    Lock tryLock(QString* error);
    bool openListener(QString* error);
    void closeListener();
    bool socketFileIsOurs() const;
    void watchFolder();
    void folderChanged();
    void acceptClients();
    void serve(int fd);
    Reading readMessage(Client& client);
    static Reading readConfirmation(Client& client);
    void answerClient(std::unique_ptr<Client> client);
    void clientReadable(quint64 id);
    void dropUnconfirmed(const Client& client, const char* why);
    void cutExpiredClients();
    void armDeadline();
    // Accepting or listening failed: says so once per run of failures and tries again later.
    void retryAfter(const QString& what);
    void retry();
    void recovered();

    QString m_dataDirectory;
    QString m_lockFilePath; // only where the data folder itself cannot be locked
    QString m_socketPath;
    int m_lockFd = -1;
    int m_listener = -1;
    QSocketNotifier* m_listenerNotifier = nullptr;
    // The socket file the listener is bound to, told apart from a file put in its place.
    dev_t m_socketDevice = 0;
    ino_t m_socketInode = 0;
    // Watches the socket's folder (inotify), so a removed socket file is made again without any polling.
    int m_watchFd = -1;
    QSocketNotifier* m_watchNotifier = nullptr;
    bool m_watchFailureLogged = false;
    // Clients that have not sent their whole message yet, oldest first.
    Clients m_waiting;
    // Clients that have been answered and whose confirmation has not come yet, oldest first.
    Clients m_answered;
    quint64 m_nextClientId = 0;
    QElapsedTimer m_clock;
    QTimer m_deadline;   // when the oldest waiting or answered client's time is up
    QTimer m_retryTimer; // listening or accepting again after a failure
    int m_retryMs = firstRetryMs;
    bool m_failing = false; // a run of failures has been logged and not yet its end
    bool m_cutting = false; // cutting the oldest waiting clients has been logged since the wait last emptied
};
