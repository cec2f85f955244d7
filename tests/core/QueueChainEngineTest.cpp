// Task chains as values and the chain state machine: step order, callbacks, notifications, errors, pausing.
#include "core/QueueChain.h"
#include "core/QueueChainEngine.h"
#include "core/QueueChainState.h"
#include "support/FakeServices.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

#include <cmath>
#include <ostream>

// Readable failure messages for states.
void PrintTo(const QueueChainState& state, std::ostream* os) {
    static const char* const names[] = {"running", "paused", "idle", "completed", "cancelled"};
    *os << names[state.value().index()];
    if (const auto index = state.currentStepIndex()) {
        *os << "(" << *index << ")";
    }
}

namespace {

using namespace Qt::StringLiterals;

using S = QueueChainState;

QueueChain chainOf(const QString& name, const QList<double>& durations) {
    QueueChain chain{QUuid::createUuid(), name, {}};
    for (qsizetype i = 0; i < durations.size(); ++i) {
        chain.steps << QueueChainStep{QUuid::createUuid(), QStringLiteral("step %1").arg(i), durations.at(i)};
    }
    return chain;
}

// ---- Records and states ----

TEST(QueueChainTest, TotalDurationAndEqualityFollowTheStepsInOrder) {
    const QueueChain chain = chainOf(QStringLiteral("c"), {600, 1200});
    EXPECT_DOUBLE_EQ(chain.totalDuration(), 1800);
    QueueChain copy = chain;
    EXPECT_EQ(qHash(copy), qHash(chain));
    copy.steps[1].duration = 1200.5;
    EXPECT_NE(copy, chain);
    copy = chain;
    std::swap(copy.steps[0], copy.steps[1]);
    EXPECT_NE(copy, chain);
}

TEST(QueueChainStateTest, PredicatesAndIndexFollowTheCase) {
    const QDateTime t = QDateTime::fromSecsSinceEpoch(0, Qt::UTC);
    // terminal, running, paused, index
    const std::tuple<S, bool, bool, bool, std::optional<qsizetype>> rows[] = {
        {S::running{3, t}, false, true, false, 3}, {S::paused{2, 30.0}, false, false, true, 2},
        {S::idle{}, false, false, false, {}},      {S::completed{}, true, false, false, {}},
        {S::cancelled{}, true, false, false, {}},
    };
    for (const auto& [state, terminal, running, paused, index] : rows) {
        SCOPED_TRACE(::testing::PrintToString(state));
        EXPECT_EQ(state.isTerminal(), terminal);
        EXPECT_EQ(state.isRunning(), running);
        EXPECT_EQ(state.isPaused(), paused);
        EXPECT_EQ(state.currentStepIndex(), index);
    }
    EXPECT_NE(S(S::paused{2, 30.0}), S(S::paused{2, 29.5}));
    EXPECT_NE(S(S::running{1, t}), S(S::running{1, t.addMSecs(1)}));
    EXPECT_EQ(QueueChain{}.totalDuration(), 0);
    EXPECT_TRUE(QueueChain{}.isEmpty());
}

TEST(QueueChainTest, JsonKeepsTheFieldKeysAndNeedsEachOfThem) {
    QueueChain chain = chainOf(QStringLiteral("Morning \"routine\""), {90.5, 1500});
    chain.steps[0].name = QStringLiteral("書く");
    const QByteArray json = chain.toJson();
    const QByteArray id = chain.id.toString(QUuid::WithoutBraces).toUpper().toUtf8();
    EXPECT_TRUE(json.startsWith("{\"id\":\"" + id + "\",\"name\":")) << json.constData();
    EXPECT_TRUE(json.contains(",\"steps\":[{\"id\":")) << json.constData();
    EXPECT_EQ(QueueChain::fromJson(json), chain);
    EXPECT_EQ(QueueChainStep::fromJson(chain.steps[0].toJson()), chain.steps[0]);

    const QByteArray stepId = "\"0F8FAD5B-D9CB-469F-A165-70867728950E\"";
    const QByteArray badSteps[] = {
        "{\"id\":" + stepId + ",\"name\":\"a\"}",
        "{\"id\":" + stepId + ",\"name\":\"a\",\"duration\":\"60\"}",
        "{\"id\":\"not-a-uuid\",\"name\":\"a\",\"duration\":60}",
    };
    for (const QByteArray& bad : badSteps) {
        EXPECT_FALSE(QueueChainStep::fromJson(bad)) << bad.constData();
        EXPECT_FALSE(QueueChain::fromJson("{\"id\":" + stepId + ",\"name\":\"c\",\"steps\":[" + bad + "]}"))
            << "one bad step spoils the chain: " << bad.constData();
    }
    EXPECT_FALSE(QueueChain::fromJson("{\"id\":" + stepId + ",\"name\":\"c\"}"));
}

TEST(QueueChainTest, FromJsonTakesTheLastOfARepeatedMemberAndRefusesAnythingElseMalformed) {
    const QByteArray id = "\"0F8FAD5B-D9CB-469F-A165-70867728950E\"";
    const auto step = [&id](const QByteArray& duration) {
        return "{\"id\":" + id + ",\"name\":\"s\",\"duration\":" + duration + "}";
    };
    const auto chain = [&id](const QByteArray& steps, const QByteArray& more = {}) {
        return "{\"id\":" + id + ",\"name\":\"c\",\"steps\":" + steps + more + "}";
    };
    const QByteArray nested(254, '['), nestedEnd(254, ']');
    struct Row {
        const char* behaviour;
        QByteArray json;
        std::optional<QList<double>> durations; // none: refused
    };
    const Row rows[] = {
        {"a leading byte-order mark is passed over", "\xEF\xBB\xBF" + chain("[" + step("60") + "]"),
         QList<double>{60}},
        {"no steps", chain("[]"), QList<double>{}},
        {"steps that are no list", chain("{}"), std::nullopt},
        {"steps that are null", chain("null"), std::nullopt},
        {"a step that is no object", chain("[\"a\"]"), std::nullopt},
        {"a step in a list of its own", chain("[[" + step("60") + "]]"), std::nullopt},
        {"repeated steps: a good last list counts", chain("[1]", ",\"steps\":[" + step("7") + "]"),
         QList<double>{7}},
        {"repeated steps: a bad last list spoils", chain("[" + step("7") + "]", ",\"steps\":{}"),
         std::nullopt},
        {"repeated steps: an empty last list counts", chain("[" + step("7") + "]", ",\"steps\":[]"),
         QList<double>{}},
        {"a repeated step duration: the last counts",
         chain("[" + step("60").replace("}", ",\"duration\":61}") + "]"), QList<double>{61}},
        {"a repeated name that is no text", chain("[]", ",\"name\":1"), std::nullopt},
        {"a fraction and an exponent", chain("[" + step("90.5") + "," + step("15e2") + "]"),
         QList<double>{90.5, 1500}},
        {"an integer too large for 64 bits", chain("[" + step("123456789012345678901234567890") + "]"),
         QList<double>{1.2345678901234568e29}},
        {"a duration beyond a double", chain("[" + step("1e400") + "]"), std::nullopt},
        {"a duration in text", chain("[" + step("\"60\"") + "]"), std::nullopt},
        {"a lower-case id", QByteArray(chain("[]")).replace(id, QByteArray(id).toLower()), QList<double>{}},
        {"an id in braces", QByteArray(chain("[]")).replace(id, "\"{" + id.mid(1).chopped(1) + "}\""),
         std::nullopt},
        {"unknown members are ignored", chain("[" + step("60").replace("}", ",\"x\":{\"y\":[]}}") + "]"),
         QList<double>{60}},
        {"step members nested 256 deep",
         chain("[" + step("60").replace("}", ",\"x\":[[" + nested + nestedEnd + "]]}") + "]"),
         QList<double>{60}},
        {"step members nested deeper",
         chain("[" + step("60").replace("}", ",\"x\":[[[" + nested + nestedEnd + "]]]}") + "]"),
         std::nullopt},
        {"a trailing comma among the steps", chain("[" + step("60") + ",]"), std::nullopt},
        {"text after the object", chain("[]") + ",", std::nullopt},
        {"a list at the top", "[" + chain("[]") + "]", std::nullopt},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.behaviour);
        const auto decoded = QueueChain::fromJson(row.json);
        EXPECT_EQ(decoded.has_value(), row.durations.has_value()) << row.json.constData();
        if (decoded && row.durations) {
            QList<double> durations;
            for (const QueueChainStep& s : decoded->steps) {
                durations << s.duration;
            }
            EXPECT_EQ(durations, *row.durations);
            EXPECT_EQ(decoded->name, QStringLiteral("c"));
        }
    }
}

TEST(QueueChainTest, WrittenChainsReadBackExactly) {
    const double durations[] = {0.0,
                                -0.0,
                                0.1,
                                1.0 / 3,
                                1500,
                                1e15,
                                1e16,
                                1e21,
                                1e-4,
                                1e-7,
                                5e-324,
                                1.7976931348623157e308,
                                9007199254740992.0,
                                12345678901234568.0};
    for (const double duration : durations) {
        SCOPED_TRACE(duration);
        const QueueChainStep step{QUuid::createUuid(), QStringLiteral("s"), duration};
        const auto back = QueueChainStep::fromJson(step.toJson());
        EXPECT_EQ(back, step) << step.toJson().constData();
        EXPECT_EQ(back && std::signbit(back->duration), std::signbit(duration));
    }
    // Names with characters that need escaping, and a leading U+FEFF that is part of the name.
    const QString names[] = {QStringLiteral("q\"b\\s/\n\t\x01\x7f"), QStringLiteral("書く 😀 \u2028"),
                             QStringLiteral("\uFEFF\uFEFFmarked"), QString()};
    for (const QString& name : names) {
        SCOPED_TRACE(name.toStdString());
        QueueChain chain = chainOf(name, {60});
        chain.steps[0].name = name;
        EXPECT_EQ(QueueChain::fromJson(chain.toJson()), chain);
    }
    for (const double notFinite : {NAN, INFINITY}) { // written as null, which no duration accepts
        const QueueChainStep step{QUuid::createUuid(), QStringLiteral("s"), notFinite};
        EXPECT_FALSE(QueueChainStep::fromJson(step.toJson()));
    }
}

// ---- The engine ----

class QueueChainEngineTest : public ::testing::Test {
protected:
    QDateTime now = QDateTime::fromSecsSinceEpoch(1'715'670'000, Qt::UTC);
    RecordingNotificationService notification;
    QueueChainEngine engine{notification, [this] { return now; }};
    QStringList events; // callbacks and notifications in the order they happened

    void SetUp() override {
        notification.journal = &events;
        engine.onStepCompleted = [this](qsizetype i) {
            events << QStringLiteral("step %1 while %2")
                          .arg(i)
                          .arg(QString::fromStdString(::testing::PrintToString(engine.state())));
        };
        engine.onChainCompleted = [this] {
            events << QStringLiteral("chainCompleted while %1")
                          .arg(QString::fromStdString(::testing::PrintToString(engine.state())));
        };
        engine.onCancelled = [this] { events << QStringLiteral("cancelled"); };
    }
    S runningAt(qsizetype index) const { return S::running{index, now}; }
};

TEST_F(QueueChainEngineTest, StepsRunInOrderAndTheChainCompletesOnceAfterItsLastStepCallback) {
    for (const bool each : {false, true}) { // posting at the end only, unless asked for each step
        SCOPED_TRACE(each);
        events.clear();
        notification.chainCompletions.clear();
        engine.setNotifyEachStep(each);
        const QueueChain chain = chainOf(QStringLiteral("Three"), {60, 120, 180});
        ASSERT_EQ(engine.start(chain), std::nullopt);
        EXPECT_EQ(engine.currentStep(), chain.steps[0]);
        EXPECT_TRUE(events.isEmpty()) << "starting calls nothing and posts nothing";
        for (qsizetype i = 0; i < 2; ++i) {
            now = now.addSecs(60);
            EXPECT_TRUE(engine.completeCurrentStep());
            EXPECT_EQ(engine.state(), runningAt(i + 1)) << "the next step is stamped with the clock";
        }
        EXPECT_TRUE(engine.completeCurrentStep());
        EXPECT_EQ(events.filter(QStringLiteral("step")),
                  (QStringList{u"step 0 while running(0)"_s, u"step 1 while running(1)"_s,
                               u"step 2 while running(2)"_s}));
        EXPECT_EQ(events.mid(events.size() - 3),
                  (QStringList{u"step 2 while running(2)"_s, u"notification.scheduleQueueChainCompleted"_s,
                               u"chainCompleted while completed"_s}));
        EXPECT_EQ(engine.chain(), chain) << "the chain stays after it ends";
        EXPECT_FALSE(engine.currentStep());
        EXPECT_FALSE(engine.completeCurrentStep());
        EXPECT_EQ(notification.chainCompletions, QStringList(each ? 3 : 1, QStringLiteral("Three")));
    }
}

TEST_F(QueueChainEngineTest, EmptyChainIsRefusedBeforeAnActiveOneAndNothingChanges) {
    const QueueChain empty = chainOf(QStringLiteral("e"), {});
    EXPECT_EQ(engine.start(empty), QueueChainEngineError::emptyChain);
    EXPECT_EQ(engine.state(), S());
    EXPECT_FALSE(engine.chain());

    const QueueChain running = chainOf(QStringLiteral("r"), {60, 60});
    ASSERT_EQ(engine.start(running), std::nullopt);
    QSignalSpy stateSpy(&engine, &QueueChainEngine::stateChanged);
    QSignalSpy chainSpy(&engine, &QueueChainEngine::chainChanged);
    for (const bool paused : {false, true}) {
        if (paused) {
            engine.pause(10);
        }
        EXPECT_EQ(engine.start(empty), QueueChainEngineError::emptyChain);
        EXPECT_EQ(engine.start(chainOf(QStringLiteral("other"), {60})), QueueChainEngineError::alreadyActive);
    }
    EXPECT_EQ(engine.chain(), running);
    EXPECT_EQ(chainSpy.count(), 0);
    EXPECT_EQ(stateSpy.count(), 1) << "only the pause changed the state";
}

TEST_F(QueueChainEngineTest, CancelEndsIdleRunningAndPausedChainsButNotEndedOnes) {
    engine.cancel();
    EXPECT_EQ(engine.state(), S(S::cancelled{}));
    engine.cancel();
    EXPECT_EQ(events, QStringList{u"cancelled"_s}) << "a second cancel calls nothing";

    ASSERT_EQ(engine.start(chainOf(QStringLiteral("a"), {60, 60})), std::nullopt);
    engine.cancel();
    EXPECT_FALSE(engine.currentStep());
    const QueueChain next = chainOf(QStringLiteral("b"), {60});
    ASSERT_EQ(engine.start(next), std::nullopt) << "a cancelled chain can be followed by another";
    EXPECT_EQ(engine.chain(), next);
    engine.pause(3);
    engine.cancel();
    EXPECT_EQ(events.count(QStringLiteral("cancelled")), 3);
    EXPECT_TRUE(notification.calls.isEmpty()) << "cancelling posts nothing";

    ASSERT_EQ(engine.start(next), std::nullopt);
    engine.completeCurrentStep();
    engine.cancel();
    EXPECT_EQ(engine.state(), S(S::completed{}));
    EXPECT_EQ(events.count(QStringLiteral("cancelled")), 3);
}

TEST_F(QueueChainEngineTest, PauseKeepsTheTimeLeftNeverBelowZeroAndResumeRestamps) {
    QSignalSpy spy(&engine, &QueueChainEngine::stateChanged);
    engine.pause(5);
    engine.resume();
    EXPECT_EQ(spy.count(), 0) << "neither applies to an idle engine";

    ASSERT_EQ(engine.start(chainOf(QStringLiteral("a"), {60, 60})), std::nullopt);
    engine.completeCurrentStep();
    const struct { double given, kept; } cases[] = {{-5, 0}, {std::nan(""), 0}, {12.5, 12.5}};
    for (const auto& c : cases) {
        engine.pause(c.given);
        EXPECT_EQ(engine.state(), S(S::paused{1, c.kept})) << c.given;
        EXPECT_EQ(engine.currentStep()->name, QStringLiteral("step 1")) << "a paused chain keeps its step";
        EXPECT_FALSE(engine.completeCurrentStep()) << "a paused step cannot be completed";
        engine.pause(99);
        EXPECT_EQ(engine.state().asPaused()->remainingAtPause, c.kept) << "pausing twice changes nothing";
        now = now.addSecs(7);
        engine.resume();
        EXPECT_EQ(engine.state(), runningAt(1));
    }
}

TEST_F(QueueChainEngineTest, ObserversSeeTheNewChainBeforeTheNewState) {
    QStringList seen;
    QObject::connect(&engine, &QueueChainEngine::chainChanged, [&] {
        seen << QStringLiteral("chain %1 while %2").arg(engine.chain()->name).arg(engine.state().isRunning());
    });
    QObject::connect(&engine, &QueueChainEngine::stateChanged,
                     [&] { seen << QStringLiteral("state %1").arg(engine.state().isRunning()); });
    ASSERT_EQ(engine.start(chainOf(QStringLiteral("a"), {60})), std::nullopt);
    EXPECT_EQ(seen, (QStringList{u"chain a while 0"_s, u"state 1"_s}));
}

} // namespace
