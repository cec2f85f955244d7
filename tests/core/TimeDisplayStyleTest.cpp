#include "core/TimeDisplayStyle.h"
#include "platform/TranslationCatalog.h"

#include <QCoreApplication>
#include <QTranslator>

#include <gtest/gtest.h>

#include <functional>
#include <limits>

namespace {

using namespace Qt::StringLiterals;

using Detail = MenuBarRemainingDetail;
using Format = MenuBarAlarmFormat;
using Style = TimeDisplayStyle;

// Local wall-clock times: the wording writes clocks in the local time zone.
QDateTime at(int hour, int minute) {
    return QDateTime(QDate(2024, 7, 15), QTime(hour, minute), Qt::LocalTime);
}

// Expected texts are written with escapes so the exact code points are checked: U+2192 arrow, U+00B7 middle
// dot, まで U+307E U+3067, あと U+3042 U+3068, 終了 U+7D42 U+4E86.
QString u(const char16_t* text) {
    return QString::fromUtf16(text);
}

TEST(TimeDisplayStyleTest, RawStringsRoundTripAndPickersShowLabelsAndFixedSamples) {
    EXPECT_EQ(allTimeDisplayStyles(), (QList<Style>{Style::japanese, Style::english, Style::symbol}));
    EXPECT_EQ(allMenuBarAlarmFormats(),
              (QList<Format>{Format::targetAndRemaining, Format::remainingOnly, Format::worded}));
    EXPECT_EQ(allMenuBarRemainingDetails(), (QList<Detail>{Detail::seconds, Detail::minutes, Detail::words}));

    QStringList raws, labels, samples;
    auto add = [&](auto value, auto fromRaw) {
        raws << toRaw(value);
        labels << label(value);
        samples << sample(value);
        EXPECT_EQ(fromRaw(toRaw(value)), value);
    };
    for (Style s : allTimeDisplayStyles()) {
        add(s, timeDisplayStyleFromRaw);
    }
    for (Format f : allMenuBarAlarmFormats()) {
        add(f, menuBarAlarmFormatFromRaw);
    }
    for (Detail d : allMenuBarRemainingDetails()) {
        add(d, menuBarRemainingDetailFromRaw);
    }
    EXPECT_EQ(raws, (QStringList{u"japanese"_s, u"english"_s, u"symbol"_s, u"targetAndRemaining"_s,
                                 u"remainingOnly"_s, u"worded"_s, u"seconds"_s, u"minutes"_s, u"words"_s}));
    EXPECT_EQ(labels,
              (QStringList{u"Japanese"_s, u"English"_s, u"Symbol"_s, u"Target + Remaining"_s,
                           u"Remaining Only"_s, u"Worded"_s, u"Seconds"_s, u"Minutes"_s, u"Words"_s}));
    EXPECT_EQ(samples, (QStringList{u(u"19:44 \u307E\u3067"), u(u"until 19:44"), u(u"\u219219:44"),
                                    u(u"19:44 \u00B7 4:05"), u(u"4:05"), u(u"until 19:44 \u00B7 4:05 left"),
                                    u(u"2:13:45"), u(u"2:13"), u(u"2h 13m 45s")}));

    for (const char* other :
         {"Japanese", "SYMBOL", "", " english", "TargetAndRemaining", "remaining", "Words"}) {
        EXPECT_FALSE(timeDisplayStyleFromRaw(QString::fromLatin1(other)).has_value()) << other;
        EXPECT_FALSE(menuBarAlarmFormatFromRaw(QString::fromLatin1(other)).has_value()) << other;
        EXPECT_FALSE(menuBarRemainingDetailFromRaw(QString::fromLatin1(other)).has_value()) << other;
    }
}

// Answers every lookup, as a catalogue that had translated everything would.
class EverythingTranslator : public QTranslator {
public:
    QString translate(const char*, const char* sourceText, const char*, int) const override {
        return QStringLiteral("翻訳:") + QString::fromUtf8(sourceText);
    }
    bool isEmpty() const override { return false; }
};

TEST(TimeDisplayStyleTest, PickerLabelsAndSamplesAreShownAsWrittenInEveryLanguage) {
    const auto texts = [] {
        QStringList out;
        for (Style s : allTimeDisplayStyles()) {
            out << label(s) << sample(s);
        }
        for (Format f : allMenuBarAlarmFormats()) {
            out << label(f) << sample(f);
        }
        for (Detail d : allMenuBarRemainingDetails()) {
            out << label(d) << sample(d);
        }
        return out;
    };
    TranslationCatalog::install(QStringLiteral("en"));
    const QStringList asWritten = texts();
    ASSERT_EQ(asWritten.size(), 18);
    EXPECT_EQ(asWritten.first(), QStringLiteral("Japanese"));

    EverythingTranslator everything;
    const struct {
        const char* name;
        std::function<void()> install;
        std::function<void()> remove;
    } rows[] = {
        {"the Japanese catalogue", [] { ASSERT_TRUE(TranslationCatalog::install(QStringLiteral("ja"))); },
         [] { TranslationCatalog::install(QStringLiteral("en")); }},
        {"a catalogue that would translate anything",
         [&] { ASSERT_TRUE(QCoreApplication::installTranslator(&everything)); },
         [&] { QCoreApplication::removeTranslator(&everything); }},
    };
    for (const auto& row : rows) {
        row.install();
        const QStringList shown = texts();
        row.remove();
        EXPECT_EQ(shown, asWritten) << row.name;
    }
}

TEST(TimeDisplayStyleTest, RemainingTimeInEveryDetail) {
    const struct {
        qint64 seconds;
        const char* secondsText;
        const char* minutesText;
        const char* wordsText;
    } cases[] = {
        // clang-format off
        {-5, "0:00", "0:00", "0s"}, {0, "0:00", "0:00", "0s"}, {45, "0:45", "0:45", "45s"},
        {59, "0:59", "0:59", "59s"}, {60, "1:00", "1:00", "1m 0s"}, {245, "4:05", "4:05", "4m 5s"},
        {3599, "59:59", "59:59", "59m 59s"}, {3600, "1:00:00", "1:00", "1h 0m 0s"},
        {3601, "1:00:01", "1:01", "1h 0m 1s"}, {3725, "1:02:05", "1:03", "1h 2m 5s"},
        {7199, "1:59:59", "2:00", "1h 59m 59s"}, {std::numeric_limits<qint64>::min(), "0:00", "0:00", "0s"},
        {90000, "25:00:00", "25:00", "25h 0m 0s"}, // hours never fold into days
        // Rounding up at the very top must not overflow.
        {std::numeric_limits<qint64>::max(), "2562047788015215:30:07", "2562047788015215:31",
         "2562047788015215h 30m 7s"},
        // clang-format on
    };
    for (const auto& c : cases) {
        for (Style style : allTimeDisplayStyles()) { // the same in every style
            SCOPED_TRACE(c.seconds);
            EXPECT_EQ(remaining(style, c.seconds, Detail::seconds), QLatin1String(c.secondsText));
            EXPECT_EQ(remaining(style, c.seconds, Detail::minutes), QLatin1String(c.minutesText));
            EXPECT_EQ(remaining(style, c.seconds, Detail::words), QLatin1String(c.wordsText));
        }
    }
}

TEST(TimeDisplayStyleTest, UntilAndEndsPerStyleInTheLocalTimeZone) {
    EXPECT_EQ(until(Style::japanese, at(19, 44)), u(u"19:44 \u307E\u3067"));
    EXPECT_EQ(until(Style::english, at(19, 44)), u(u"until 19:44"));
    EXPECT_EQ(until(Style::symbol, at(19, 44)), u(u"\u219219:44"));
    EXPECT_EQ(ends(Style::japanese, at(19, 44)), u(u"\u7D42\u4E86 19:44"));
    EXPECT_EQ(ends(Style::english, at(19, 44)), u(u"ends 19:44"));
    EXPECT_EQ(ends(Style::symbol, at(19, 44)), u(u"\u219219:44"));

    // Hours without a leading zero, minutes with one; after midnight only the clock time, no date.
    EXPECT_EQ(until(Style::english, at(9, 5)), u(u"until 9:05"));
    EXPECT_EQ(ends(Style::english, at(0, 30).addDays(1)), u(u"ends 0:30"));
    // A moment given in UTC (as stored dates are) reads as the local clock showed it.
    EXPECT_EQ(until(Style::english, at(19, 44).toUTC()), u(u"until 19:44"));
}

TEST(TimeDisplayStyleTest, AlarmTextInEveryFormatStyleAndDetail) {
    using F = Format;
    using S = Style;
    using D = Detail;
    const QDateTime eve = at(19, 44);
    const QDateTime morn = at(9, 5);
    const struct {
        F format;
        S style;
        QDateTime target;
        qint64 seconds;
        D detail;
        const char16_t* text;
    } cases[] = {
        {F::targetAndRemaining, S::japanese, eve, 245, D::seconds, u"19:44 \u00B7 4:05"},
        {F::targetAndRemaining, S::english, eve, 245, D::seconds, u"19:44 \u00B7 4:05"},
        {F::targetAndRemaining, S::symbol, eve, 245, D::seconds, u"\u219219:44 \u00B7 4:05"},
        {F::remainingOnly, S::japanese, eve, 245, D::seconds, u"4:05"},
        {F::remainingOnly, S::english, eve, 245, D::seconds, u"4:05"},
        {F::remainingOnly, S::symbol, eve, 245, D::seconds, u"4:05"},
        // The Japanese worded form joins the time straight to まで, unlike until().
        {F::worded, S::japanese, eve, 245, D::seconds, u"19:44\u307E\u3067 \u3042\u30684:05"},
        {F::worded, S::english, eve, 245, D::seconds, u"until 19:44 \u00B7 4:05 left"},
        {F::worded, S::symbol, eve, 245, D::seconds, u"\u219219:44 \u00B7 4:05"},
        // The chosen detail is used; a UTC target is written in local time.
        {F::worded, S::english, morn, 3725, D::words, u"until 9:05 \u00B7 1h 2m 5s left"},
        {F::worded, S::japanese, morn, 3725, D::minutes, u"9:05\u307E\u3067 \u3042\u30681:03"},
        {F::targetAndRemaining, S::symbol, morn, 3725, D::seconds, u"\u21929:05 \u00B7 1:02:05"},
        {F::remainingOnly, S::english, morn, -3, D::words, u"0s"},
        {F::targetAndRemaining, S::japanese, at(0, 30).toUTC(), 245, D::seconds, u"0:30 \u00B7 4:05"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(menuBarAlarm(c.style, c.target, c.seconds, c.format, c.detail), u(c.text))
            << toRaw(c.format).toStdString() << " " << toRaw(c.style).toStdString() << " " << c.seconds;
    }
}

} // namespace
