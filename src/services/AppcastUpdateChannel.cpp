#include "services/AppcastUpdateChannel.h"

#include "platform/TarvolinTimerLogger.h"
#include "services/BuildInfo.h"
#include "services/UpdateFeed.h"

#include <QHostAddress>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>

#include <algorithm>
#include <limits>
#include <utility>

namespace {

const QString kContext = QStringLiteral("UpdateChannel");

int toMilliseconds(std::chrono::milliseconds duration) {
    using namespace std::chrono;
    return int(std::clamp<milliseconds::rep>(duration.count(), 0, std::numeric_limits<int>::max()));
}

bool isLoopback(const QUrl& url) {
    const QString host = url.host();
    if (host == QLatin1String("localhost")) {
        return true;
    }
    const QHostAddress address(host);
    return !address.isNull() && address.isLoopback();
}

bool isRedirect(int status) {
    return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

} // namespace

AppcastUpdateChannel::Options AppcastUpdateChannel::buildOptions() {
    Options options;
    options.feedUrl = BuildInfo::updateFeedUrl();
    options.currentVersion = BuildInfo::applicationVersion();
    return options;
}

AppcastUpdateChannel::AppcastUpdateChannel(QObject* parent) : AppcastUpdateChannel(buildOptions(), parent) {}

AppcastUpdateChannel::AppcastUpdateChannel(Options options, QObject* parent)
    : UpdateChannel(parent), m_options(std::move(options)) {
    m_available = isUsableFeedUrl(m_options.feedUrl);
    if (!m_available && !m_options.feedUrl.isEmpty()) {
        // A build misconfiguration, said once per run; an empty address is the normal case and says nothing.
        TT_LOG_WARNING(kContext,
                       QStringLiteral("update feed ignored (https, or http to this machine only): ") +
                           m_options.feedUrl.toString());
    }
    // An unreadable own version compares as 0, so any published release counts as newer.
    m_currentVersion = UpdateFeed::parseVersion(m_options.currentVersion).value_or(QVersionNumber(0));

    m_deadline.setSingleShot(true);
    connect(&m_deadline, &QTimer::timeout, this, [this] {
        fail(Failure::timedOut,
             QStringLiteral("no complete answer within %1 ms").arg(toMilliseconds(m_options.timeout)));
    });
    m_wakeTimer.setTimerType(Qt::VeryCoarseTimer);
    connect(&m_wakeTimer, &QTimer::timeout, this, &AppcastUpdateChannel::wake);
}

AppcastUpdateChannel::~AppcastUpdateChannel() {
    dropReply();
}

bool AppcastUpdateChannel::isUsableFeedUrl(const QUrl& url) {
    if (!url.isValid() || url.host().isEmpty() || !url.userInfo().isEmpty()) {
        return false;
    }
    return url.scheme() == QLatin1String("https") ||
           (url.scheme() == QLatin1String("http") && isLoopback(url));
}

bool AppcastUpdateChannel::isAvailable() const {
    return m_available;
}

void AppcastUpdateChannel::checkForUpdates() {
    if (!m_available) {
        // Nothing to ask; the user still gets an answer.
        emit checkFailed(Failure::notAvailable, failureDescription(Failure::notAvailable));
        return;
    }
    startCheck(true);
}

void AppcastUpdateChannel::setAutoCheck(bool enabled) {
    if (enabled == m_autoCheck) {
        return;
    }
    m_autoCheck = enabled;
    if (!m_available) {
        return;
    }
    if (enabled) {
        m_wakeTimer.setSingleShot(true);
        m_wakeTimer.start(toMilliseconds(m_options.firstAutoCheckDelay));
        return;
    }
    m_wakeTimer.stop();
    if (m_reply && !m_userWaiting) {
        // Nobody is waiting for this answer any more.
        dropReply();
        m_deadline.stop();
    }
}

void AppcastUpdateChannel::wake() {
    if (m_wakeTimer.isSingleShot()) {
        m_wakeTimer.setSingleShot(false);
        m_wakeTimer.start(toMilliseconds(m_options.wakeInterval));
    }
    if (!m_reply && (!m_nextAutoCheck.isValid() || now() >= m_nextAutoCheck)) {
        startCheck(false);
    }
}

QDateTime AppcastUpdateChannel::now() const {
    return m_options.now ? m_options.now() : QDateTime::currentDateTimeUtc();
}

void AppcastUpdateChannel::startCheck(bool userStarted) {
    if (m_reply) {
        m_userWaiting = m_userWaiting || userStarted;
        return;
    }
    m_userWaiting = userStarted;
    m_redirects = 0;
    if (!m_network) {
        m_network = new QNetworkAccessManager(this);
    }
    m_deadline.start(toMilliseconds(m_options.timeout));
    fetch(m_options.feedUrl);
}

void AppcastUpdateChannel::fetch(const QUrl& url) {
    m_body.clear();
    QNetworkRequest request(url);
    // Redirects are ours to judge: no scheme changes but to https, and a bounded number of them.
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    request.setHeader(QNetworkRequest::UserAgentHeader,
                      QString(QStringLiteral("TarvolinTimer/") + m_options.currentVersion));
    request.setRawHeader("Accept", "application/json");
    m_reply = m_network->get(request);
    connect(m_reply, &QNetworkReply::metaDataChanged, this, &AppcastUpdateChannel::onMetaDataChanged);
    connect(m_reply, &QNetworkReply::readyRead, this, &AppcastUpdateChannel::onReadyRead);
    connect(m_reply, &QNetworkReply::finished, this, &AppcastUpdateChannel::onFinished);
}

void AppcastUpdateChannel::onMetaDataChanged() {
    const int status = m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    const QVariant length = m_reply->header(QNetworkRequest::ContentLengthHeader);
    // Refuse an announced oversize body before reading any of it; a redirect's body is never read.
    if (!isRedirect(status) && length.isValid() && length.toLongLong() > m_options.maxFeedBytes) {
        fail(Failure::tooLarge, QStringLiteral("the server announced %1 bytes").arg(length.toLongLong()));
    }
}

void AppcastUpdateChannel::onReadyRead() {
    m_body += m_reply->readAll();
    if (m_body.size() > m_options.maxFeedBytes) {
        fail(Failure::tooLarge, QStringLiteral("more than %1 bytes").arg(m_options.maxFeedBytes));
    }
}

void AppcastUpdateChannel::onFinished() {
    QNetworkReply* reply = m_reply;
    reply->disconnect(this);
    reply->deleteLater();
    m_reply = nullptr;
    m_body += reply->readAll();

    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    const QUrl url = reply->url();
    if (isRedirect(status)) {
        const QUrl target =
            url.resolved(reply->attribute(QNetworkRequest::RedirectionTargetAttribute).toUrl());
        if (++m_redirects > m_options.maxRedirects) {
            fail(Failure::redirectRefused,
                 QStringLiteral("more than %1 redirects").arg(m_options.maxRedirects));
        } else if (!UpdateFeed::mayFollow(m_options.feedUrl, target)) {
            fail(Failure::redirectRefused, QStringLiteral("redirect to ") + target.toString());
        } else {
            fetch(target);
        }
        return;
    }
    if (status != 0 && (status < 200 || status > 299)) {
        fail(Failure::serverError, QStringLiteral("HTTP %1 from ").arg(status) + url.toString());
        return;
    }
    if (reply->error() != QNetworkReply::NoError || status == 0) {
        fail(Failure::unreachable, reply->errorString());
        return;
    }
    if (m_body.size() > m_options.maxFeedBytes) {
        fail(Failure::tooLarge, QStringLiteral("more than %1 bytes").arg(m_options.maxFeedBytes));
        return;
    }
    succeed(std::exchange(m_body, {}), url);
}

void AppcastUpdateChannel::succeed(QByteArray body, const QUrl& finalUrl) {
    // Relative links are resolved against where the feed was actually read, whose scheme also judges them.
    const UpdateFeed::Contents contents = UpdateFeed::read(body, finalUrl);
    if (!contents.readable) {
        fail(Failure::malformed, QStringLiteral("not a feed: ") + finalUrl.toString());
        return;
    }
    const bool userStarted = m_userWaiting;
    end(true);
    if (contents.newest &&
        UpdateFeed::isNewer(*UpdateFeed::parseVersion(contents.newest->version), m_currentVersion)) {
        TT_LOG_INFO(kContext, QStringLiteral("update available: ") + contents.newest->version);
        emit updateAvailable(contents.newest->version, contents.newest->link);
    } else if (userStarted) {
        emit upToDate();
    }
    emit checkFinished();
}

void AppcastUpdateChannel::fail(Failure failure, const QString& detail) {
    const bool userStarted = m_userWaiting;
    end(false);
    const QString line = QStringLiteral("update check failed: ") + detail;
    if (userStarted) {
        TT_LOG_WARNING(kContext, line);
        emit checkFailed(failure, failureDescription(failure));
    } else {
        // An automatic check retries within the hour; offline laptops should not fill the log with errors.
        TT_LOG_INFO(kContext, line);
    }
    emit checkFinished();
}

void AppcastUpdateChannel::end(bool succeeded) {
    dropReply();
    m_deadline.stop();
    m_userWaiting = false;
    m_nextAutoCheck =
        now().addMSecs((succeeded ? m_options.autoCheckInterval : m_options.retryAfterFailure).count());
}

void AppcastUpdateChannel::dropReply() {
    if (!m_reply) {
        return;
    }
    QNetworkReply* reply = m_reply;
    m_reply = nullptr;
    reply->disconnect(this);
    reply->abort();
    reply->deleteLater();
}
