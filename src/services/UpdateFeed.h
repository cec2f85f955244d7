#pragma once
// The update feed: what a server publishes about the program's releases, and which release is newest.
//
// A feed is one JSON document in UTF-8:
//
//     {
//       "items": [
//         {"version": "1.4.0", "link": "https://example.org/tarvolintimer/releases/1.4.0"},
//         {"version": "1.3.2", "link": "releases/1.3.2.html", "notes": "ignored"}
//       ]
//     }
//
// - "items" (array, required): the published releases, in any order.
// - "version" (string, required): whole numbers joined by dots ("2", "1.4", "1.4.0"), compared part by part
//   as numbers with missing parts counting as 0: "1.10" is newer than "1.9", and "1.4" equals "1.4.0".
// - "link" (string, required): the release's download or notes page, absolute or relative to the address
//   the feed was read from; https, or http only when the feed itself was read over http.
//
// Other members are ignored wherever they are, so the format can grow. An item whose version or link is
// unusable is skipped. A document of any other shape, or whose items are all unusable, is malformed; an
// empty list means nothing is published yet.

#include <QByteArrayView>
#include <QString>
#include <QUrl>
#include <QVersionNumber>

#include <optional>

class UpdateFeed {
public:
    struct Release {
        QString version; // as the feed writes it
        QUrl link;       // absolute
        bool operator==(const Release&) const = default;
    };

    struct Contents {
        bool readable = false;
        std::optional<Release> newest; // none when the list is empty (or the document unreadable)
    };

    // The newest usable release of a feed read from `feedUrl`.
    static Contents read(QByteArrayView bytes, const QUrl& feedUrl);

    // A version as the feed writes it; none for anything but whole numbers joined by dots.
    static std::optional<QVersionNumber> parseVersion(QStringView text);
    // Part by part as numbers; trailing zero parts do not count.
    static bool isNewer(const QVersionNumber& candidate, const QVersionNumber& current);
    // Whether a check of the feed at `feedUrl` may go to `target` (a redirect, or a release's link):
    // https always, http only from a feed read over http; nothing else.
    static bool mayFollow(const QUrl& feedUrl, const QUrl& target);

    UpdateFeed() = delete;
};
