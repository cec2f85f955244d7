#include "core/QuickLaunchParser.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

#include <ctime>
#include <ostream>

void PrintTo(const ParsedQuickLaunch& parsed, std::ostream* os) {
    if (const auto* d = std::get_if<ParsedQuickLaunch::duration>(&parsed.value())) {
        *os << "duration(" << d->seconds << ")";
    } else {
        *os << "alarm("
            << std::get<ParsedQuickLaunch::alarm>(parsed.value()).date.toString(Qt::ISODate).toStdString()
            << ")";
    }
}

void PrintTo(const QuickLaunchParseError& error, std::ostream* os) {
    static const char* const names[] = {"invalidFormat", "empty", "outOfRange", "pastTime", "zeroDuration"};
    *os << names[error.value().index()];
    if (const auto* e = std::get_if<QuickLaunchParseError::invalidFormat>(&error.value())) {
        *os << "(\"" << e->text.toStdString() << "\")";
    }
}

namespace {

using Error = QuickLaunchParseError;

// A day with no clock change in any zone the tests run in.
const QDate testDay(2024, 5, 14);

QDateTime localAt(int hour, int minute, int second = 0, int msec = 0, QDate day = testDay) {
    return QDateTime(day, QTime(hour, minute, second, msec), Qt::LocalTime);
}

QuickLaunchParseResult parseAt(const QString& text, const QDateTime& now = localAt(10, 0)) {
    return QuickLaunchParser::parse(text, now);
}

QuickLaunchParseResult duration(double seconds) {
    return ParsedQuickLaunch(ParsedQuickLaunch::duration{seconds});
}
QuickLaunchParseResult alarm(const QDateTime& date) {
    return ParsedQuickLaunch(ParsedQuickLaunch::alarm{date});
}
QuickLaunchParseResult failure(Error::Case error) {
    return QuickLaunchParseError(std::move(error));
}
QuickLaunchParseResult invalid(const QString& text) {
    return failure(Error::invalidFormat{text});
}

struct Case {
    const char* text;
    QuickLaunchParseResult expected;
};

void expectTable(const std::vector<Case>& cases, const QDateTime& now = localAt(10, 0)) {
    for (const Case& c : cases) {
        EXPECT_EQ(parseAt(QString::fromUtf8(c.text), now), c.expected) << "text: \"" << c.text << "\"";
    }
}

// Sets TZ for one test and puts the previous value back, so later tests see the machine's zone again.
class ScopedTimeZone {
public:
    explicit ScopedTimeZone(const char* zone)
        : m_wasSet(qEnvironmentVariableIsSet("TZ")), m_previous(qgetenv("TZ")) {
        qputenv("TZ", zone);
        tzset();
    }
    ~ScopedTimeZone() {
        if (m_wasSet) {
            qputenv("TZ", m_previous);
        } else {
            qunsetenv("TZ");
        }
        tzset();
    }

private:
    bool m_wasSet;
    QByteArray m_previous;
};

TEST(QuickLaunchParserTest, DurationsInEveryUnitAndCombination) {
    expectTable({
        {"25", duration(1500)},
        {"12", duration(720)},
        {"0001", duration(60)},
        {"1h30m", duration(5400)},
        {"1d18h", duration(151200)},
        {"90s", duration(90)},
        {"1hr", duration(3600)},
        {"2min", duration(120)},
        {"10sec", duration(10)},
        {"3d", duration(259200)},
        {"1d2h3m4s", duration(93784)},
        {"1hr1min1sec", duration(3661)},
        {"1d1s", duration(86401)},
        {"0h5s", duration(5)},
    });
}

TEST(QuickLaunchParserTest, FullWidthCapitalsAndSurroundingSpaceReadAsPlainText) {
    expectTable({
        {"  25  ", duration(1500)},
        {"\t25\n", duration(1500)},
        {"\u3000２５\u3000", duration(1500)},
        {"１ｈ３０ｍ", duration(5400)},
        {"１Ｈ３０Ｍ", duration(5400)},
        {"1H30M", duration(5400)},
        {"１２：３０", alarm(localAt(12, 30))},
        {"９ＰＭ", alarm(localAt(21, 0))},
    });
}

TEST(QuickLaunchParserTest, EmptyAfterTrimmingIsEmpty) {
    expectTable({
        {"", failure(Error::empty{})},
        {"   ", failure(Error::empty{})},
        {"\u3000\t\n", failure(Error::empty{})},
    });
}

TEST(QuickLaunchParserTest, UnreadableDurationsCarryTheNormalisedText) {
    expectTable({
        {"abc", invalid("abc")},
        {"ＡＢＣ", invalid("abc")},
        {" AbC ", invalid("abc")},
        {"1.5", invalid("1.5")},
        {"1.5h", invalid("1.5h")},
        {"-5", invalid("-5")},
        {"+5", invalid("+5")},
        {"1m1h", invalid("1m1h")},
        {"1h1h", invalid("1h1h")},
        {"1h 30m", invalid("1h 30m")},
        {"30 min", invalid("30 min")},
        {"h", invalid("h")},
        {"5x", invalid("5x")},
        // Digits of other scripts are not numbers here, bare or with a unit.
        {"٢٥", invalid("٢٥")},
        {"٢٥m", invalid("٢٥m")},
    });
}

TEST(QuickLaunchParserTest, ZeroLengthsAreRefused) {
    expectTable({
        {"0", failure(Error::zeroDuration{})},
        {"00", failure(Error::zeroDuration{})},
        {"0m", failure(Error::zeroDuration{})},
        {"0h0m", failure(Error::zeroDuration{})},
        {"0d0h0m0s", failure(Error::zeroDuration{})},
    });
}

TEST(QuickLaunchParserTest, EachNumberIsBoundedByItsRange) {
    expectTable({
        {"999999", duration(59999940)},
        {"1000000", failure(Error::outOfRange{})},
        {"1000000s", failure(Error::outOfRange{})},
        {"1000000d", failure(Error::outOfRange{})},
        {"999999d", duration(86399913600)},
        {"999999d999999h999999m999999s", duration(999999.0 * 90061)},
    });
}

TEST(QuickLaunchParserTest, NumbersTooLongForSixtyFourBitsAreOutOfRange) {
    expectTable({
        {"9223372036854775807", failure(Error::outOfRange{})},
        {"9223372036854775808", failure(Error::outOfRange{})},
        {"99999999999999999999", failure(Error::outOfRange{})},
        {"99999999999999999999m", failure(Error::outOfRange{})},
        {"1d99999999999999999999s", failure(Error::outOfRange{})},
        {"99999999999999999999d0s", failure(Error::outOfRange{})},
        {"99999999999999999999:00", failure(Error::outOfRange{})},
        {"-99999999999999999999:00", failure(Error::outOfRange{})},
        {"99999999999999999999pm", failure(Error::outOfRange{})},
    });
    const QString thousandDigits(1000, u'9');
    EXPECT_EQ(parseAt(thousandDigits + u'h'), failure(Error::outOfRange{}));
}

TEST(QuickLaunchParserTest, ErrorsAreCheckedInOrder) {
    expectTable({
        // A dot or a dash is unreadable before any number is looked at.
        {"0.0", invalid("0.0")},
        {"1000000.5", invalid("1000000.5")},
        // Range before zero: the oversized term decides even when the rest is 0.
        {"0h1000000m", failure(Error::outOfRange{})},
        // Clock times: shape, then range, then the past.
        {"99:99:99:99", invalid("99:99:99:99")},
        {"24:3x", invalid("24:3x")},
        {"9:60", failure(Error::outOfRange{})},
        {"-1:30", failure(Error::outOfRange{})},
        {"0am", failure(Error::outOfRange{})},
        {"13:00:00pm", invalid("13:00:00pm")},
    });
}

TEST(QuickLaunchParserTest, TwentyFourHourClockTimesMeanToday) {
    expectTable({
        {"12:30", alarm(localAt(12, 30))},
        {"12:30:15", alarm(localAt(12, 30, 15))},
        {"12::30", alarm(localAt(12, 30))},
        {"+12:30", alarm(localAt(12, 30))},
        {"23:59:59", alarm(localAt(23, 59, 59))},
        {"10:00:01", alarm(localAt(10, 0, 1))},
        {"10:00", failure(Error::pastTime{})},
        {"9:00", failure(Error::pastTime{})},
        {"0:00", failure(Error::pastTime{})},
        {"24:00", failure(Error::outOfRange{})},
        {"12:60", failure(Error::outOfRange{})},
        {"12:30:60", failure(Error::outOfRange{})},
        {"1:2:3:4", invalid("1:2:3:4")},
        {":30", invalid(":30")},
        {"12:", invalid("12:")},
        {"12: 30", invalid("12: 30")},
        {"12 :30", invalid("12 :30")},
        {"1h:30", invalid("1h:30")},
    });
}

TEST(QuickLaunchParserTest, TwelveHourClockTimesMeanToday) {
    expectTable({
        {"9pm", alarm(localAt(21, 0))},
        {"+9pm", alarm(localAt(21, 0))},
        {"12pm", alarm(localAt(12, 0))},
        {"11:30am", alarm(localAt(11, 30))},
        {"11:59pm", alarm(localAt(23, 59))},
        {"10:01am", alarm(localAt(10, 1))},
        {"12am", failure(Error::pastTime{})},
        {"9am", failure(Error::pastTime{})},
        {"10am", failure(Error::pastTime{})},
        {"13pm", failure(Error::outOfRange{})},
        {"0am", failure(Error::outOfRange{})},
        {"9:60pm", failure(Error::outOfRange{})},
        {"pm", invalid("pm")},
        {"9 pm", invalid("9 pm")},
        {"12:30:15pm", invalid("12:30:15pm")},
        {"spam", invalid("spam")},
        {"9:pm", invalid("9:pm")},
    });
}

TEST(QuickLaunchParserTest, ClockTimesAreNeverMovedToTomorrow) {
    const QDateTime lateEvening = localAt(23, 59, 30);
    expectTable(
        {
            {"23:59:30", failure(Error::pastTime{})},
            {"0:05", failure(Error::pastTime{})},
            {"12am", failure(Error::pastTime{})},
            {"23:59:31", alarm(localAt(23, 59, 31))},
        },
        lateEvening);
    expectTable({{"0:00", failure(Error::pastTime{})}, {"0:00:01", alarm(localAt(0, 0, 1))}}, localAt(0, 0));
}

TEST(QuickLaunchParserTest, NowWithMillisecondsCountsAsLaterThanItsSecond) {
    expectTable({{"10:00", failure(Error::pastTime{})}, {"10:00:01", alarm(localAt(10, 0, 1))}},
                localAt(10, 0, 0, 500));
}

TEST(QuickLaunchParserTest, TodayIsTheLocalDateOfNowWhateverItsZone) {
    ScopedTimeZone zone("Asia/Tokyo");
    // 20:00 UTC on the 14th is 05:00 on the 15th in Tokyo.
    const QDateTime now(testDay, QTime(20, 0), Qt::UTC);
    EXPECT_EQ(parseAt("6:00", now), alarm(QDateTime(testDay.addDays(1), QTime(6, 0), Qt::LocalTime)));
    EXPECT_EQ(parseAt("4:00", now), failure(Error::pastTime{}));
}

TEST(QuickLaunchParserTest, TimesSkippedBySpringForwardMoveToTheEndOfTheGap) {
    ScopedTimeZone zone("America/New_York");
    const QDate springForward(2024, 3, 10); // 02:00 EST became 03:00 EDT
    if (QDateTime(springForward, QTime(2, 30), Qt::LocalTime).isValid()) {
        GTEST_SKIP() << "no time zone data for America/New_York";
    }
    const QDateTime threeAm = QDateTime(springForward, QTime(7, 0), Qt::UTC);
    const QDateTime now = localAt(0, 30, 0, 0, springForward);
    for (const char* text : {"2:00", "2:30", "2:59:59", "2:30am", "3:00"}) {
        const QuickLaunchParseResult result = parseAt(QString::fromLatin1(text), now);
        EXPECT_EQ(result, alarm(threeAm)) << text;
    }
    EXPECT_EQ(parseAt("1:59:59", now), alarm(QDateTime(springForward, QTime(6, 59, 59), Qt::UTC)));
    // After the change the skipped time is in the past like any other.
    EXPECT_EQ(parseAt("2:30", localAt(3, 10, 0, 0, springForward)), failure(Error::pastTime{}));
}

TEST(QuickLaunchParserTest, HalfHourGapMovesOnlyToItsEnd) {
    ScopedTimeZone zone("Australia/Lord_Howe");
    const QDate change(2024, 10, 6); // 02:00 became 02:30
    if (QDateTime(change, QTime(2, 15), Qt::LocalTime).isValid()) {
        GTEST_SKIP() << "no time zone data for Australia/Lord_Howe";
    }
    EXPECT_EQ(parseAt("2:15", localAt(1, 0, 0, 0, change)), alarm(localAt(2, 30, 0, 0, change)));
}

TEST(QuickLaunchParserTest, EqualityFollowsCaseAndPayload) {
    EXPECT_NE(duration(60), alarm(localAt(12, 0)));
    EXPECT_NE(duration(60), duration(120));
    EXPECT_EQ(alarm(localAt(12, 0)), alarm(localAt(12, 0).toUTC()));
    EXPECT_NE(invalid("a"), invalid("b"));
    EXPECT_NE(failure(Error::pastTime{}), failure(Error::outOfRange{}));
}

TEST(QuickLaunchParserTest, EachErrorHasItsOwnMessage) {
    const std::vector<std::pair<Error, const char*>> messages = {
        {Error(Error::invalidFormat{"x"}), "Couldn't read that. Try: 10m · 1d18h · 12:30"},
        {Error(Error::empty{}), "Enter a time"},
        {Error(Error::outOfRange{}), "That time isn't allowed"},
        {Error(Error::pastTime{}), "That time has already passed"},
        {Error(Error::zeroDuration{}), "Must be at least 1 second"},
    };
    for (const auto& [error, english] : messages) {
        EXPECT_EQ(error.message(), QString::fromUtf8(english));
    }
}

TEST(QuickLaunchParserTest, OverloadWithoutNowParsesDurationsTheSame) {
    EXPECT_EQ(QuickLaunchParser::parse("1h30m"), duration(5400));
}

TEST(QuickLaunchParserTest, MalformedUnicodeIsUnreadableNotFatal) {
    const QString loneSurrogate(QChar(0xD800));
    EXPECT_EQ(parseAt(loneSurrogate), invalid(loneSurrogate));
    const QString replaced = QString::fromUtf8("\xff\xfe"
                                               "5m");
    EXPECT_EQ(parseAt(replaced), invalid(replaced));
}

} // namespace
