#include "platform/TarvolinTimerLogger.h"

#include "support/LogCapture.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

namespace {

using namespace Qt::StringLiterals;
using Level = TarvolinTimerLogger::Level;

// Which of the three calls got through, as bits, so a child process can report it as its exit code.
enum Reached { infoLine = 1, warningLine = 2, errorLine = 4 };

struct RuleCase {
    const char* name;
    const char* rules;
    int reached;
};

// clang-format off
const std::vector<RuleCase> kRuleCases{
    {"no rules: every level", "", infoLine | warningLine | errorLine},
    {"info off", "com.user.quorvane.app.info=false", warningLine | errorLine},
    {"warning off leaves errors", "com.user.quorvane.app.warning=false", infoLine | errorLine},
    {"critical off leaves warnings", "com.user.quorvane.app.critical=false", infoLine | warningLine},
    {"the whole category off", "com.user.quorvane.app=false", 0},
    {"another category's rule", "com.user.other.info=false", infoLine | warningLine | errorLine},
};
// clang-format on

class TarvolinTimerLoggerTest : public ::testing::Test {
protected:
    void TearDown() override { QLoggingCategory::setFilterRules(QString()); }
};

TEST_F(TarvolinTimerLoggerTest, ADisabledLevelNeitherReachesTheSinkNorBuildsItsMessage) {
    for (const RuleCase& row : kRuleCases) {
        SCOPED_TRACE(row.name);
        QLoggingCategory::setFilterRules(QString::fromLatin1(row.rules));
        int built = 0;
        const auto message = [&built](const char* text) {
            ++built;
            return QString::fromLatin1(text);
        };
        LogCapture log;
        TT_LOG_INFO(u"Ctx"_s, message("i"));
        TT_LOG_WARNING(u"Ctx"_s, message("w"));
        TT_LOG_ERROR(u"Ctx"_s, message("e"));

        QStringList expected;
        QList<Level> levels;
        for (const auto& [bit, line, level] :
             {std::tuple{infoLine, "[Ctx] i", Level::info}, std::tuple{warningLine, "[Ctx] w", Level::error},
              std::tuple{errorLine, "[Ctx] e", Level::error}}) {
            if (row.reached & bit) {
                expected << QString::fromLatin1(line);
                levels << level;
            }
        }
        EXPECT_EQ(log.lines(), expected);
        EXPECT_EQ(built, expected.size()); // a message is built only for a line that is written
        ASSERT_EQ(log.entries().size(), levels.size());
        for (qsizetype i = 0; i < levels.size(); ++i) {
            EXPECT_EQ(log.entries().at(i).level, levels.at(i)) << i;
        }

        // The plain functions, called by code not yet on the macros, follow the same rules.
        log.clear();
        TarvolinTimerLogger::info(u"i"_s, u"Ctx"_s);
        TarvolinTimerLogger::warning(u"w"_s, u"Ctx"_s);
        TarvolinTimerLogger::error(u"e"_s, u"Ctx"_s);
        EXPECT_EQ(log.lines(), expected);
    }
}

TEST_F(TarvolinTimerLoggerTest, TheEnvironmentsLoggingRulesApplyFromTheStart) {
    // The rules are read when the application starts, so each case runs in a fresh copy of this program.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    for (const RuleCase& row : kRuleCases) {
        SCOPED_TRACE(row.name);
        ::setenv("QT_LOGGING_RULES", row.rules, 1);
        EXPECT_EXIT(
            {
                int reached = 0;
                TarvolinTimerLogger::setSink([&reached](Level, const QString& line) {
                    reached |= line.endsWith(u'i') ? infoLine : line.endsWith(u'w') ? warningLine : errorLine;
                });
                TT_LOG_INFO(u"Ctx"_s, u"i"_s);
                TT_LOG_WARNING(u"Ctx"_s, u"w"_s);
                TT_LOG_ERROR(u"Ctx"_s, u"e"_s);
                std::_Exit(reached);
            },
            ::testing::ExitedWithCode(row.reached), "");
    }
    ::unsetenv("QT_LOGGING_RULES");
}

TEST_F(TarvolinTimerLoggerTest, LinesKeepTheirFormWithControlCharactersEscaped) {
    // clang-format off
    const std::vector<std::tuple<const char*, QString, QString, QString>> cases{
        {"plain", u"Ctx"_s, u"Saved 3 timers"_s, u"[Ctx] Saved 3 timers"_s},
        {"line breaks cannot start a new entry", u"Ctx"_s, u"a\n[Other] b\r"_s, u"[Ctx] a\\n[Other] b\\r"_s},
        {"a tab stays", u"Ctx"_s, u"a\tb"_s, u"[Ctx] a\tb"_s},
        {"other controls as hex", u"Ctx"_s, u"\x1b[31m\x7f"_s, u"[Ctx] \\x1b[31m\\x7f"_s},
        {"the context is escaped too", u"C\ntx"_s, u"m"_s, u"[C\\ntx] m"_s},
        {"text beyond ASCII stays", u"Ctx"_s, u"お茶 🍵"_s, u"[Ctx] お茶 🍵"_s},
    };
    // clang-format on
    for (const auto& [name, context, message, line] : cases) {
        SCOPED_TRACE(name);
        LogCapture log;
        TT_LOG_INFO(context, message);
        EXPECT_EQ(log.lines(), QStringList{line});
        EXPECT_EQ(TarvolinTimerLogger::formatLine(message, context), line);
    }
}

} // namespace
