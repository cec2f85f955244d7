#include "core/QuickLaunchParser.h"
#include "support/Requirement.h"

#include "support/ScopedTimeZone.h"

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
using Result = QuickLaunchParseResult;

// A day with no clock change in any zone the tests run in.
const QDate testDay(2024, 5, 14);

QDateTime localAt(int hour, int minute, int second = 0, int msec = 0, QDate day = testDay) {
    return QDateTime(day, QTime(hour, minute, second, msec), Qt::LocalTime);
}
Result parseAt(const QString& text, const QDateTime& now = localAt(10, 0)) {
    return QuickLaunchParser::parse(text, now);
}
Result parseAt(const char* text, const QDateTime& now = localAt(10, 0)) {
    return parseAt(QString::fromUtf8(text), now);
}
Result duration(double seconds) {
    return ParsedQuickLaunch(ParsedQuickLaunch::duration{seconds});
}
Result alarm(const QDateTime& date) {
    return ParsedQuickLaunch(ParsedQuickLaunch::alarm{date});
}
Result invalid(const QString& text) {
    return Error(Error::invalidFormat{text});
}
// The tables hold UTF-8 text as typed.
Result invalid(const char* text) {
    return invalid(QString::fromUtf8(text));
}
const Result empty = Error(Error::empty{});
const Result range = Error(Error::outOfRange{});
const Result past = Error(Error::pastTime{});
const Result zero = Error(Error::zeroDuration{});

struct Case {
    const char* text;
    Result expected;
};

void expectTable(const std::vector<Case>& cases, const QDateTime& now = localAt(10, 0)) {
    for (const Case& c : cases) {
        EXPECT_EQ(parseAt(QString::fromUtf8(c.text), now), c.expected) << "text: \"" << c.text << "\"";
    }
}

// Sets TZ for one test and puts the previous value back, so later tests see the machine's zone again.
// The tables below keep several cases to a line.
// clang-format off
TEST(QuickLaunchParserTest, DurationsInEveryUnitCombinationAndFullWidthForm) {
    expectTable({
        {"25", duration(1500)}, {"12", duration(720)}, {"0001", duration(60)}, {"1h30m", duration(5400)},
        {"1d18h", duration(151200)}, {"90s", duration(90)}, {"1hr", duration(3600)}, {"2min", duration(120)},
        {"10sec", duration(10)}, {"3d", duration(259200)}, {"1d2h3m4s", duration(93784)},
        {"1hr1min1sec", duration(3661)}, {"1d1s", duration(86401)}, {"0h5s", duration(5)},
        // Full-width forms, capitals and surrounding space read as plain text.
        {"  25  ", duration(1500)}, {"\t25\n", duration(1500)}, {"\u3000２５\u3000", duration(1500)},
        {"１ｈ３０ｍ", duration(5400)}, {"１Ｈ３０Ｍ", duration(5400)}, {"1H30M", duration(5400)},
        {"１２：３０", alarm(localAt(12, 30))}, {"９ＰＭ", alarm(localAt(21, 0))},
        // Each number is bounded by its range; the sum of bounded terms is not.
        {"999999", duration(59999940)}, {"999999d", duration(86399913600)},
        {"999999d999999h999999m999999s", duration(999999.0 * 90061)},
    });
    EXPECT_EQ(QuickLaunchParser::parse(QStringLiteral("1h30m")), duration(5400)); // the overload without now
}

TEST(QuickLaunchParserTest, EveryErrorCaseAndTheOrderTheyAreCheckedIn) {
    expectTable({
        {"", empty}, {"   ", empty}, {"\u3000\t\n", empty},
        // Unreadable text is reported in its normalised form.
        {"abc", invalid("abc")}, {"ＡＢＣ", invalid("abc")}, {" AbC ", invalid("abc")}, {"1.5", invalid("1.5")},
        {"1.5h", invalid("1.5h")}, {"-5", invalid("-5")}, {"+5", invalid("+5")}, {"1m1h", invalid("1m1h")},
        {"1h1h", invalid("1h1h")}, {"1h 30m", invalid("1h 30m")}, {"30 min", invalid("30 min")},
        {"h", invalid("h")}, {"5x", invalid("5x")},
        // Digits of other scripts are not numbers here, bare or with a unit.
        {"٢٥", invalid("٢٥")}, {"٢٥m", invalid("٢٥m")},
        {"0", zero}, {"00", zero}, {"0m", zero}, {"0h0m", zero}, {"0d0h0m0s", zero},
        {"1000000", range}, {"1000000s", range}, {"1000000d", range},
        // Numbers too long for 64 bits are out of range, not unreadable.
        {"9223372036854775807", range}, {"9223372036854775808", range}, {"99999999999999999999", range},
        {"99999999999999999999m", range}, {"1d99999999999999999999s", range},
        {"99999999999999999999d0s", range}, {"99999999999999999999:00", range},
        {"-99999999999999999999:00", range}, {"99999999999999999999pm", range},
        // A dot or a dash is unreadable before any number is looked at; range before zero.
        {"0.0", invalid("0.0")}, {"1000000.5", invalid("1000000.5")}, {"0h1000000m", range},
        // Clock times: shape, then range, then the past.
        {"99:99:99:99", invalid("99:99:99:99")}, {"24:3x", invalid("24:3x")}, {"9:60", range},
        {"-1:30", range}, {"0am", range}, {"13:00:00pm", invalid("13:00:00pm")},
    });
    EXPECT_EQ(parseAt(QString(1000, u'9') + u'h'), range);
    // Malformed Unicode is unreadable, not fatal.
    const QString loneSurrogate(QChar(0xD800));
    EXPECT_EQ(parseAt(loneSurrogate), invalid(loneSurrogate));
    const QString replaced = QString::fromUtf8("\xff\xfe" "5m");
    EXPECT_EQ(parseAt(replaced), invalid(replaced));
}

TEST(QuickLaunchParserTest, TwentyFourAndTwelveHourClockTimesMeanToday) {
    expectTable({
        {"12:30", alarm(localAt(12, 30))}, {"12:30:15", alarm(localAt(12, 30, 15))},
        {"12::30", alarm(localAt(12, 30))}, {"+12:30", alarm(localAt(12, 30))},
        {"23:59:59", alarm(localAt(23, 59, 59))}, {"10:00:01", alarm(localAt(10, 0, 1))},
        {"10:00", past}, {"9:00", past}, {"0:00", past}, {"24:00", range}, {"12:60", range},
        {"12:30:60", range},
        {"1:2:3:4", invalid("1:2:3:4")}, {":30", invalid(":30")}, {"12:", invalid("12:")},
        {"12: 30", invalid("12: 30")}, {"12 :30", invalid("12 :30")}, {"1h:30", invalid("1h:30")},
        // Twelve-hour forms.
        {"9pm", alarm(localAt(21, 0))}, {"+9pm", alarm(localAt(21, 0))}, {"12pm", alarm(localAt(12, 0))},
        {"11:30am", alarm(localAt(11, 30))}, {"11:59pm", alarm(localAt(23, 59))},
        {"10:01am", alarm(localAt(10, 1))}, {"12am", past}, {"9am", past}, {"10am", past}, {"13pm", range},
        {"9:60pm", range}, {"pm", invalid("pm")}, {"9 pm", invalid("9 pm")},
        {"12:30:15pm", invalid("12:30:15pm")}, {"spam", invalid("spam")}, {"9:pm", invalid("9:pm")},
    });
}

TEST(QuickLaunchParserTest, ClockTimesAreNeverMovedToTomorrow) {
    const QDateTime late = localAt(23, 59, 30);
    expectTable({{"23:59:30", past}, {"0:05", past}, {"12am", past}, {"23:59:31", alarm(late.addSecs(1))}},
                late);
    expectTable({{"0:00", past}, {"0:00:01", alarm(localAt(0, 0, 1))}}, localAt(0, 0));
    // Now with milliseconds counts as later than its whole second.
    expectTable({{"10:00", past}, {"10:00:01", alarm(localAt(10, 0, 1))}}, localAt(10, 0, 0, 500));
}
// clang-format on

TEST(QuickLaunchParserTest, TodayIsTheLocalDateOfNowWhateverItsZone) {
    ScopedTimeZone zone("Asia/Tokyo");
    // 20:00 UTC on the 14th is 05:00 on the 15th in Tokyo.
    const QDateTime now(testDay, QTime(20, 0), Qt::UTC);
    EXPECT_EQ(parseAt("6:00", now), alarm(QDateTime(testDay.addDays(1), QTime(6, 0), Qt::LocalTime)));
    EXPECT_EQ(parseAt("4:00", now), past);
}

TEST(QuickLaunchParserTest, TimesSkippedBySpringForwardMoveToTheEndOfTheGap) {
    ScopedTimeZone zone("America/New_York");
    const QDate springForward(2024, 3, 10); // 02:00 EST became 03:00 EDT
    if (QDateTime(springForward, QTime(2, 30), Qt::LocalTime).isValid()) {
        TT_SKIP_OR_FAIL("no time zone data for America/New_York"
                        << " (tzdata)");
    }
    const QDateTime now = localAt(0, 30, 0, 0, springForward);
    for (const char* text : {"2:00", "2:30", "2:59:59", "2:30am", "3:00"}) {
        EXPECT_EQ(parseAt(text, now), alarm(QDateTime(springForward, QTime(7, 0), Qt::UTC))) << text;
    }
    EXPECT_EQ(parseAt("1:59:59", now), alarm(QDateTime(springForward, QTime(6, 59, 59), Qt::UTC)));
    // After the change the skipped time is in the past like any other.
    EXPECT_EQ(parseAt("2:30", localAt(3, 10, 0, 0, springForward)), past);
}

TEST(QuickLaunchParserTest, HalfHourGapMovesOnlyToItsEnd) {
    ScopedTimeZone zone("Australia/Lord_Howe");
    const QDate change(2024, 10, 6); // 02:00 became 02:30
    if (QDateTime(change, QTime(2, 15), Qt::LocalTime).isValid()) {
        TT_SKIP_OR_FAIL("no time zone data for Australia/Lord_Howe"
                        << " (tzdata)");
    }
    EXPECT_EQ(parseAt("2:15", localAt(1, 0, 0, 0, change)), alarm(localAt(2, 30, 0, 0, change)));
}

TEST(QuickLaunchParserTest, EachErrorHasItsOwnMessage) {
    const std::vector<std::pair<Error, const char*>> messages = {
        {Error(Error::invalidFormat{QStringLiteral("x")}), "Couldn't read that. Try: 10m · 1d18h · 12:30"},
        {Error(Error::empty{}), "Enter a time"},
        {Error(Error::outOfRange{}), "That time isn't allowed"},
        {Error(Error::pastTime{}), "That time has already passed"},
        {Error(Error::zeroDuration{}), "Must be at least 1 second"},
    };
    for (const auto& [error, english] : messages) {
        EXPECT_EQ(error.message(), QString::fromUtf8(english));
    }
}

} // namespace
