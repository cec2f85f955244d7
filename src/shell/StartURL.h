#pragma once
// What a URL of the program's own scheme asks for: "quorvane://start?title=Tea&minutes=5" adds and starts a
// timer. Parsing only; the delegate logs and acts.

#include <QList>
#include <QString>

#include <optional>
#include <utility>

class QUrl;

struct StartURL {
    static constexpr qint64 defaultMinutes = 15;
    static constexpr qint64 minMinutes = 1;
    static constexpr qint64 maxMinutes = 480;
    static inline const QString defaultTitle = QStringLiteral("Pelvarine");

    QString title;
    qint64 minutes = defaultMinutes;

    qint64 durationSeconds() const { return minutes * 60; }

    // The request of a URL with the scheme "quorvane" and the host "start" (either in any case); none for
    // any other URL. The first "title" item gives the title ("Pelvarine" when it is empty or missing); the
    // first "minutes" item gives the minutes (15 when missing, empty or not an integer), kept to 1…480.
    static std::optional<StartURL> parse(const QUrl& url);

    // An optional "+" or "-", then ASCII digits only; none for anything else and for values outside 64 bits.
    static std::optional<qint64> parseInteger(const QString& text);

    // The query's items in order, names and values percent-decoded; "+" stays "+", and an item without "="
    // has no value. Names keep their case.
    using QueryItem = std::pair<QString, std::optional<QString>>;
    static QList<QueryItem> queryItems(const QUrl& url);
};
