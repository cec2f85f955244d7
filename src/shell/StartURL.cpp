#include "shell/StartURL.h"

#include <QUrl>

#include <algorithm>
#include <limits>

std::optional<qint64> StartURL::parseInteger(const QString& text) {
    qsizetype i = 0;
    bool negative = false;
    if (!text.isEmpty() && (text[0] == QLatin1Char('+') || text[0] == QLatin1Char('-'))) {
        negative = text[0] == QLatin1Char('-');
        i = 1;
    }
    if (i == text.size()) {
        return std::nullopt; // empty, or a sign alone
    }
    // Gathered as a negative number, whose range reaches one further than the positive one.
    qint64 value = 0;
    for (; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c < u'0' || c > u'9') {
            return std::nullopt;
        }
        if (__builtin_mul_overflow(value, 10, &value) ||
            __builtin_sub_overflow(value, qint64(c - u'0'), &value)) {
            return std::nullopt;
        }
    }
    if (negative) {
        return value;
    }
    if (value == std::numeric_limits<qint64>::min()) {
        return std::nullopt;
    }
    return -value;
}

QList<StartURL::QueryItem> StartURL::queryItems(const QUrl& url) {
    QList<QueryItem> items;
    if (!url.hasQuery()) {
        return items;
    }
    // Split on the encoded text, so an encoded "&" or "=" inside a value stays part of it.
    const QString query = url.query(QUrl::FullyEncoded);
    for (const QStringView part : QStringView(query).split(QLatin1Char('&'))) {
        const qsizetype equals = part.indexOf(QLatin1Char('='));
        const auto decode = [](QStringView encoded) { return QUrl::fromPercentEncoding(encoded.toUtf8()); };
        if (equals < 0) {
            items.push_back({decode(part), std::nullopt});
        } else {
            items.push_back({decode(part.left(equals)), decode(part.mid(equals + 1))});
        }
    }
    return items;
}

std::optional<StartURL> StartURL::parse(const QUrl& url) {
    if (url.scheme().compare(QLatin1String("quorvane"), Qt::CaseInsensitive) != 0 ||
        url.host().compare(QLatin1String("start"), Qt::CaseInsensitive) != 0) {
        return std::nullopt;
    }
    std::optional<QString> title;
    std::optional<QString> minutesText;
    bool titleSeen = false;
    bool minutesSeen = false;
    for (const QueryItem& item : queryItems(url)) {
        if (!titleSeen && item.first == QLatin1String("title")) {
            titleSeen = true;
            title = item.second;
        } else if (!minutesSeen && item.first == QLatin1String("minutes")) {
            minutesSeen = true;
            minutesText = item.second;
        }
    }
    StartURL request;
    const qint64 minutes =
        parseInteger(minutesText.value_or(QString::number(defaultMinutes))).value_or(defaultMinutes);
    request.minutes = std::max(std::min(minutes, maxMinutes), minMinutes);
    request.title = title.value_or(QString());
    if (request.title.isEmpty()) {
        request.title = defaultTitle;
    }
    return request;
}
