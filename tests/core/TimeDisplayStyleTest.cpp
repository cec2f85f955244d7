#include "core/TimeDisplayStyle.h"

#include <QCoreApplication>
#include <QTranslator>

#include <gtest/gtest.h>

#include <limits>

namespace {

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

TEST(TimeDisplayStyleTest, RawStringsRoundTripAndNothingElseReads) {
    EXPECT_EQ(allTimeDisplayStyles(), (QList<Style>{Style::japanese, Style::english, Style::symbol}));
    EXPECT_EQ(allMenuBarAlarmFormats(),
              (QList<Format>{Format::targetAndRemaining, Format::remainingOnly, Format::worded}));
    EXPECT_EQ(allMenuBarRemainingDetails(), (QList<Detail>{Detail::seconds, Detail::minutes, Detail::words}));

    QStringList raws;
    for (Style s : allTimeDisplayStyles()) {
        raws << toRaw(s);
        EXPECT_EQ(timeDisplayStyleFromRaw(toRaw(s)), s);
    }
    for (Format f : allMenuBarAlarmFormats()) {
        raws << toRaw(f);
        EXPECT_EQ(menuBarAlarmFormatFromRaw(toRaw(f)), f);
    }
    for (Detail d : allMenuBarRemainingDetails()) {
        raws << toRaw(d);
        EXPECT_EQ(menuBarRemainingDetailFromRaw(toRaw(d)), d);
    }
    EXPECT_EQ(raws, (QStringList{"japanese", "english", "symbol", "targetAndRemaining", "remainingOnly",
                                 "worded", "seconds", "minutes", "words"}));

    for (const char* other :
         {"Japanese", "SYMBOL", "", " english", "TargetAndRemaining", "remaining", "Words"}) {
        EXPECT_FALSE(timeDisplayStyleFromRaw(QString::fromLatin1(other)).has_value()) << other;
        EXPECT_FALSE(menuBarAlarmFormatFromRaw(QString::fromLatin1(other)).has_value()) << other;
        EXPECT_FALSE(menuBarRemainingDetailFromRaw(QString::fromLatin1(other)).has_value()) << other;
    }
}

TEST(TimeDisplayStyleTest, PickerLabelsAndFixedSamples) {
    EXPECT_EQ(label(Style::japanese), QStringLiteral("Japanese"));
    EXPECT_EQ(label(Style::english), QStringLiteral("English"));
    EXPECT_EQ(label(Style::symbol), QStringLiteral("Symbol"));
    EXPECT_EQ(label(Format::targetAndRemaining), QStringLiteral("Target + Remaining"));
    EXPECT_EQ(label(Format::remainingOnly), QStringLiteral("Remaining Only"));
    EXPECT_EQ(label(Format::worded), QStringLiteral("Worded"));
    EXPECT_EQ(label(Detail::seconds), QStringLiteral("Seconds"));
    EXPECT_EQ(label(Detail::minutes), QStringLiteral("Minutes"));
    EXPECT_EQ(label(Detail::words), QStringLiteral("Words"));

    EXPECT_EQ(sample(Style::japanese), u(u"19:44 \u307E\u3067"));
    EXPECT_EQ(sample(Style::english), u(u"until 19:44"));
    EXPECT_EQ(sample(Style::symbol), u(u"\u219219:44"));
    EXPECT_EQ(sample(Format::targetAndRemaining), u(u"19:44 \u00B7 4:05"));
    EXPECT_EQ(sample(Format::remainingOnly), u(u"4:05"));
    EXPECT_EQ(sample(Format::worded), u(u"until 19:44 \u00B7 4:05 left"));
    EXPECT_EQ(sample(Detail::seconds), u(u"2:13:45"));
    EXPECT_EQ(sample(Detail::minutes), u(u"2:13"));
    EXPECT_EQ(sample(Detail::words), u(u"2h 13m 45s"));
}

// Answers for one context only, as a loaded catalogue would.
class OneContextTranslator : public QTranslator {
public:
    QString translate(const char* context, const char* sourceText, const char*, int) const override {
        if (QLatin1String(context) == QLatin1String("TimeDisplayStyle") &&
            QLatin1String(sourceText) == QLatin1String("Japanese")) {
            return QStringLiteral("日本語");
        }
        return {};
    }
    bool isEmpty() const override { return false; }
};

TEST(TimeDisplayStyleTest, LabelsFollowTheInterfaceLanguageButSamplesDoNot) {
    OneContextTranslator translator;
    ASSERT_TRUE(QCoreApplication::installTranslator(&translator));
    const QString translated = label(Style::japanese);
    const QString sampleText = sample(Style::japanese);
    QCoreApplication::removeTranslator(&translator);

    EXPECT_EQ(translated, QStringLiteral("日本語"));
    EXPECT_EQ(sampleText, u(u"19:44 \u307E\u3067"));
}

TEST(TimeDisplayStyleTest, RemainingTimeInEveryDetail) {
    const struct {
        qint64 seconds;
        const char* secondsText;
        const char* minutesText;
        const char* wordsText;
    } cases[] = {
        {-5, "0:00", "0:00", "0s"},
        {0, "0:00", "0:00", "0s"},
        {45, "0:45", "0:45", "45s"},
        {59, "0:59", "0:59", "59s"},
        {60, "1:00", "1:00", "1m 0s"},
        {245, "4:05", "4:05", "4m 5s"},
        {3599, "59:59", "59:59", "59m 59s"},
        {3600, "1:00:00", "1:00", "1h 0m 0s"},
        {3601, "1:00:01", "1:01", "1h 0m 1s"},
        {3725, "1:02:05", "1:03", "1h 2m 5s"},
        {7199, "1:59:59", "2:00", "1h 59m 59s"},
        {90000, "25:00:00", "25:00", "25h 0m 0s"}, // hours never fold into days
        {std::numeric_limits<qint64>::min(), "0:00", "0:00", "0s"},
        // Rounding up at the very top must not overflow.
        {std::numeric_limits<qint64>::max(), "2562047788015215:30:07", "2562047788015215:31",
         "2562047788015215h 30m 7s"},
    };
    for (const auto& c : cases) {
        for (Style style : allTimeDisplayStyles()) { // the same in every style
            EXPECT_EQ(remaining(style, c.seconds, Detail::seconds), QLatin1String(c.secondsText))
                << c.seconds;
            EXPECT_EQ(remaining(style, c.seconds, Detail::minutes), QLatin1String(c.minutesText))
                << c.seconds;
            EXPECT_EQ(remaining(style, c.seconds, Detail::words), QLatin1String(c.wordsText)) << c.seconds;
        }
    }
}

TEST(TimeDisplayStyleTest, UntilAndEndsPerStyle) {
    EXPECT_EQ(until(Style::japanese, at(19, 44)), u(u"19:44 \u307E\u3067"));
    EXPECT_EQ(until(Style::english, at(19, 44)), u(u"until 19:44"));
    EXPECT_EQ(until(Style::symbol, at(19, 44)), u(u"\u219219:44"));
    EXPECT_EQ(ends(Style::japanese, at(19, 44)), u(u"\u7D42\u4E86 19:44"));
    EXPECT_EQ(ends(Style::english, at(19, 44)), u(u"ends 19:44"));
    EXPECT_EQ(ends(Style::symbol, at(19, 44)), u(u"\u219219:44"));

    // Hours without a leading zero, minutes with one; after midnight only the clock time, no date.
    EXPECT_EQ(until(Style::english, at(9, 5)), u(u"until 9:05"));
    EXPECT_EQ(ends(Style::english, at(0, 30).addDays(1)), u(u"ends 0:30"));
}

TEST(TimeDisplayStyleTest, ClockTimesAreWrittenInTheLocalTimeZone) {
    // A moment given in UTC (as stored dates are) reads as the local clock showed it.
    EXPECT_EQ(until(Style::english, at(19, 44).toUTC()), u(u"until 19:44"));
    EXPECT_EQ(
        menuBarAlarm(Style::japanese, at(0, 30).toUTC(), 245, Format::targetAndRemaining, Detail::seconds),
        u(u"0:30 \u00B7 4:05"));
}

TEST(TimeDisplayStyleTest, AlarmTextInEveryFormatAndStyle) {
    const struct {
        Format format;
        Style style;
        const char16_t* text;
    } cases[] = {
        {Format::targetAndRemaining, Style::japanese, u"19:44 \u00B7 4:05"},
        {Format::targetAndRemaining, Style::english, u"19:44 \u00B7 4:05"},
        {Format::targetAndRemaining, Style::symbol, u"\u219219:44 \u00B7 4:05"},
        {Format::remainingOnly, Style::japanese, u"4:05"},
        {Format::remainingOnly, Style::english, u"4:05"},
        {Format::remainingOnly, Style::symbol, u"4:05"},
        // The Japanese worded form joins the time straight to まで, unlike until().
        {Format::worded, Style::japanese, u"19:44\u307E\u3067 \u3042\u30684:05"},
        {Format::worded, Style::english, u"until 19:44 \u00B7 4:05 left"},
        {Format::worded, Style::symbol, u"\u219219:44 \u00B7 4:05"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(menuBarAlarm(c.style, at(19, 44), 245, c.format, Detail::seconds), u(c.text))
            << toRaw(c.format).toStdString() << " " << toRaw(c.style).toStdString();
    }
}

TEST(TimeDisplayStyleTest, AlarmTextUsesTheChosenDetail) {
    EXPECT_EQ(menuBarAlarm(Style::english, at(9, 5), 3725, Format::worded, Detail::words),
              u(u"until 9:05 \u00B7 1h 2m 5s left"));
    EXPECT_EQ(menuBarAlarm(Style::japanese, at(9, 5), 3725, Format::worded, Detail::minutes),
              u(u"9:05\u307E\u3067 \u3042\u30681:03"));
    EXPECT_EQ(menuBarAlarm(Style::symbol, at(9, 5), 3725, Format::targetAndRemaining, Detail::seconds),
              u(u"\u21929:05 \u00B7 1:02:05"));
    EXPECT_EQ(menuBarAlarm(Style::english, at(9, 5), -3, Format::remainingOnly, Detail::words), u(u"0s"));
}

} // namespace
