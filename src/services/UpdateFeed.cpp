#include "services/UpdateFeed.h"

#include "platform/JsonCodec.h"

#include <string>

namespace {

// Feeds are shallow; anything deeper is not one of ours.
constexpr int kMaxDepth = 16;

std::optional<UpdateFeed::Release> usableRelease(const FlatRecord& item, const QUrl& feedUrl) {
    const std::optional<QString> version = item.string("version");
    const std::optional<QString> link = item.string("link");
    if (!version || !link || !UpdateFeed::parseVersion(*version)) {
        return std::nullopt;
    }
    const QUrl relative(*link, QUrl::StrictMode);
    if (link->isEmpty() || !relative.isValid()) {
        return std::nullopt;
    }
    const QUrl absolute = feedUrl.resolved(relative);
    if (!absolute.isValid() || absolute.host().isEmpty() || !UpdateFeed::mayFollow(feedUrl, absolute)) {
        return std::nullopt;
    }
    return UpdateFeed::Release{*version, absolute};
}

} // namespace

UpdateFeed::Contents UpdateFeed::read(QByteArrayView bytes, const QUrl& feedUrl) {
    JsonReader reader(bytes, kMaxDepth);
    reader.skipByteOrderMark();
    if (!reader.beginObject()) {
        return {};
    }
    std::string key;
    FlatRecord item;
    bool sawItems = false;
    qsizetype items = 0;
    std::optional<Release> newest;
    std::optional<QVersionNumber> newestVersion;
    while (reader.nextMember(key)) {
        if (key != "items") {
            reader.skipValue();
            continue;
        }
        // A repeated member replaces the earlier one, as JSON readers commonly take the last.
        sawItems = true;
        items = 0;
        newest.reset();
        newestVersion.reset();
        if (!reader.beginArray()) {
            return {};
        }
        while (reader.nextElement()) {
            ++items;
            if (reader.peek() != JsonReader::Token::object) {
                reader.skipValue();
                continue;
            }
            if (!reader.readFlatObject(item)) {
                return {};
            }
            std::optional<Release> release = usableRelease(item, feedUrl);
            if (!release) {
                continue;
            }
            const QVersionNumber version = *parseVersion(release->version);
            // The first of equal versions stays.
            if (!newestVersion || isNewer(version, *newestVersion)) {
                newestVersion = version;
                newest = std::move(release);
            }
        }
    }
    if (reader.failed() || !reader.atEnd() || !sawItems || (items > 0 && !newest)) {
        return {};
    }
    return {true, newest};
}

std::optional<QVersionNumber> UpdateFeed::parseVersion(QStringView text) {
    // QVersionNumber also takes a suffix ("1.2-beta") and stops at a part too big for an int: both leave
    // text unread, which we refuse, so only plain dotted numbers pass.
    for (QChar c : text) {
        if (!(c.isDigit() && c.unicode() < 0x80) && c != u'.') {
            return std::nullopt;
        }
    }
    qsizetype suffixIndex = -1;
    QVersionNumber version = QVersionNumber::fromString(text, &suffixIndex);
    if (version.isNull() || suffixIndex != text.size()) {
        return std::nullopt;
    }
    return version;
}

bool UpdateFeed::isNewer(const QVersionNumber& candidate, const QVersionNumber& current) {
    return QVersionNumber::compare(candidate.normalized(), current.normalized()) > 0;
}

bool UpdateFeed::mayFollow(const QUrl& feedUrl, const QUrl& target) {
    if (!target.isValid() || target.host().isEmpty()) {
        return false;
    }
    const QString scheme = target.scheme();
    return scheme == QLatin1String("https") ||
           (scheme == QLatin1String("http") && feedUrl.scheme() == QLatin1String("http"));
}
