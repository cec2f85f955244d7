#pragma once
// Checks our own update feed (the JSON document UpdateFeed describes) over Qt Network, on the UI thread
// without ever blocking it, and compares the newest published version with this program's.
//
// A check the user started reports every outcome; an automatic one reports only a newer version, so a
// failure at launch (no network yet) bothers nobody. Automatic checks run a while after they are switched
// on, then about once a day by the wall clock, so a laptop that sleeps through the nights still checks;
// after a failure they try again sooner.

#include "services/UpdateChannel.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QTimer>
#include <QUrl>
#include <QVersionNumber>

#include <chrono>
#include <functional>

class QNetworkAccessManager;
class QNetworkReply;

class AppcastUpdateChannel : public UpdateChannel {
    Q_OBJECT
public:
    struct Options {
        // Where the feed lives: https, or http to this machine's loopback (for local testing). Anything
        // else, and an empty address, leaves the channel unavailable.
        QUrl feedUrl;
        QString currentVersion;
        qint64 maxFeedBytes = 1024 * 1024;
        std::chrono::milliseconds timeout = std::chrono::seconds(30); // the whole check, redirects included
        int maxRedirects = 5;
        std::chrono::milliseconds firstAutoCheckDelay = std::chrono::minutes(2);
        std::chrono::milliseconds autoCheckInterval = std::chrono::hours(24);
        std::chrono::milliseconds retryAfterFailure = std::chrono::hours(1);
        // How often the schedule looks at the wall clock.
        std::chrono::milliseconds wakeInterval = std::chrono::hours(1);
        // The wall clock; the current time when empty.
        std::function<QDateTime()> now;
    };

    // The feed and version this build was made with.
    static Options buildOptions();

    explicit AppcastUpdateChannel(QObject* parent = nullptr);
    explicit AppcastUpdateChannel(Options options, QObject* parent = nullptr);
    ~AppcastUpdateChannel() override;

    // Whether `url` may serve as the feed's address.
    static bool isUsableFeedUrl(const QUrl& url);

    bool isAvailable() const override;
    // Joins a check already running, which then reports to the user.
    void checkForUpdates() override;
    // Switching on when already on keeps the schedule as it is.
    void setAutoCheck(bool enabled) override;

    bool autoCheck() const { return m_autoCheck; }
    bool isChecking() const { return m_reply != nullptr; }

signals:
    // After every check that came to an end, automatic or not, once its outcome signal (if any) is out.
    void checkFinished();

private:
    void startCheck(bool userStarted);
    void fetch(const QUrl& url);
    void onReadyRead();
    void onMetaDataChanged();
    void onFinished();
    void succeed(QByteArray body, const QUrl& finalUrl);
    // `detail` goes to the log only.
    void fail(Failure failure, const QString& detail);
    void end(bool succeeded);
    void dropReply();
    void wake();
    QDateTime now() const;

    Options m_options;
    bool m_available = false;
    QVersionNumber m_currentVersion;

    QNetworkAccessManager* m_network = nullptr; // made with the first check
    QNetworkReply* m_reply = nullptr;           // the request in flight, owned by the network manager
    QByteArray m_body;
    int m_redirects = 0;
    bool m_userWaiting = false;
    QTimer m_deadline;

    bool m_autoCheck = false;
    QTimer m_wakeTimer;
    QDateTime m_nextAutoCheck; // invalid: due at the next wake
};
