// The notification service against a notification server of our own on a private bus.
#include "services/NotificationService.h"
#include "support/Requirement.h"

#include "support/FakeNotificationServer.h"
#include "support/LogCapture.h"
#include "support/PrivateSessionBus.h"

#include "QStringPrinting.h"

#include <QRegularExpression>
#include <QSet>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {

using namespace Qt::StringLiterals;
using Post = std::function<void(NotificationService&)>;

constexpr int kWaitMs = 5000;

class NotificationServiceTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { s_bus = std::make_unique<PrivateSessionBus>(); }
    static void TearDownTestSuite() { s_bus.reset(); }

    void SetUp() override {
        if (!s_bus->isRunning()) {
            TT_SKIP_OR_FAIL("no private bus: " << s_bus->errorString().toStdString());
        }
    }

    // Each test gets fresh connections, so no name or answer is left over from the one before.
    QDBusConnection connection(const char* role) {
        return s_bus->connect(QString::fromLatin1(role) + QString::number(++s_connections));
    }

    std::unique_ptr<FakeNotificationServer> startServer(bool bodyMarkup) {
        auto server = std::make_unique<FakeNotificationServer>(connection("server"), bodyMarkup);
        EXPECT_TRUE(server->isRegistered());
        return server;
    }

    static bool waitForCount(const FakeNotificationServer& server, qsizetype count) {
        return QTest::qWaitFor([&] { return server.notifications().size() >= count; }, kWaitMs);
    }

    static inline std::unique_ptr<PrivateSessionBus> s_bus;
    static inline int s_connections = 0;
};

TEST_F(NotificationServiceTest, EachOperationPostsItsTitleBodyAndIdentifier) {
    struct Row {
        const char* behaviour;
        Post post;
        QString body;
        QString prefix;
    };
    const QList<Row> rows = {
        {"named timer", [](auto& s) { s.postTimerComplete(u"Tea"_s, 180, false); }, u"Tea - timer done"_s,
         u"timer."_s},
        {"unnamed timer shows its length", [](auto& s) { s.postTimerComplete({}, 1500, false); },
         u"25:00 - timer done"_s, u"timer."_s},
        {"unnamed alarm of over an hour", [](auto& s) { s.postTimerComplete({}, 3725, true); },
         u"1:02:05 - alarm done"_s, u"timer."_s},
        {"schedule with memo", [](auto& s) { s.postScheduleActivated(u"Stretch"_s, u"10:00"_s); },
         u"Stretch — scheduled timer started"_s, u"schedule."_s},
        {"schedule without memo", [](auto& s) { s.postScheduleActivated({}, u"10:00"_s); },
         u"Scheduled timer started (10:00)"_s, u"schedule."_s},
        {"named chain", [](auto& s) { s.scheduleQueueChainCompleted(u"Morning"_s); },
         u"Morning - chain complete"_s, u"queueChain."_s},
        {"unnamed chain", [](auto& s) { s.scheduleQueueChainCompleted({}); },
         u"Chained timers - chain complete"_s, u"queueChain."_s},
        {"focus phase", [](auto& s) { s.postPomodoroPhaseStart(PomodoroPhase::work); },
         u"Focus time — let's go!"_s, u"pomodoro."_s},
        {"short break", [](auto& s) { s.postPomodoroPhaseStart(PomodoroPhase::shortBreak); }, u"Break time"_s,
         u"pomodoro."_s},
        {"long break reads like a short one",
         [](auto& s) { s.postPomodoroPhaseStart(PomodoroPhase::longBreak); }, u"Break time"_s,
         u"pomodoro."_s},
    };
    const QRegularExpression upperUuid(u"^[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}$"_s);

    auto server = startServer(false);
    NotificationService service(connection("client"));
    QSet<QString> ids;
    for (const auto& row : rows) {
        SCOPED_TRACE(row.behaviour);
        const qsizetype before = server->notifications().size();
        row.post(service);
        ASSERT_TRUE(waitForCount(*server, before + 1));
        const auto& n = server->notifications().last();
        EXPECT_EQ(n.summary, u"TarvolinTimer"_s);
        EXPECT_EQ(n.appName, u"TarvolinTimer"_s);
        EXPECT_EQ(n.body, row.body);
        EXPECT_EQ(n.replacesId, 0u); // never replaces an earlier notification
        const QString id = n.hints.value(QLatin1String(NotificationService::kIdentifierHint)).toString();
        EXPECT_TRUE(id.startsWith(row.prefix)) << id.toStdString();
        EXPECT_TRUE(upperUuid.match(id.mid(row.prefix.size())).hasMatch()) << id.toStdString();
        ids.insert(id);
    }
    // A new identifier every time, even for two posts of one kind: none replaces another.
    EXPECT_EQ(ids.size(), rows.size());
}

TEST_F(NotificationServiceTest, BodyIsEscapedOnlyForServersThatReadMarkup) {
    struct Row {
        const char* behaviour;
        bool bodyMarkup;
        QString body;
    };
    const QList<Row> rows = {
        {"markup server gets entities", true, u"&lt;b&gt;Tea &amp; cake&lt;/b&gt; - timer done"_s},
        {"plain server gets the text as typed", false, u"<b>Tea & cake</b> - timer done"_s},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.behaviour);
        auto server = startServer(row.bodyMarkup);
        NotificationService service(connection("client"));
        service.postTimerComplete(u"<b>Tea & cake</b>"_s, 60, false);
        ASSERT_TRUE(waitForCount(*server, 1));
        EXPECT_EQ(server->notifications()[0].body, row.body);
    }
}

TEST_F(NotificationServiceTest, ANewServerIsAskedAgainWhetherItReadsMarkup) {
    NotificationService service(connection("client"));
    {
        auto plain = startServer(false);
        service.postTimerComplete(u"a & b"_s, 60, false);
        ASSERT_TRUE(waitForCount(*plain, 1));
        EXPECT_EQ(plain->notifications()[0].body, u"a & b - timer done"_s);
    }
    auto markup = startServer(true);
    service.postTimerComplete(u"a & b"_s, 60, false);
    ASSERT_TRUE(waitForCount(*markup, 1));
    EXPECT_EQ(markup->notifications()[0].body, u"a &amp; b - timer done"_s);
}

TEST_F(NotificationServiceTest, PomodoroPhaseArrivesAfterATenthOfASecondOthersAtOnce) {
    auto server = startServer(false);
    NotificationService service(connection("client"));
    const qint64 postedAt = server->clock().elapsed();
    service.postPomodoroPhaseStart(PomodoroPhase::work);
    service.postTimerComplete(u"Tea"_s, 60, false);
    ASSERT_TRUE(waitForCount(*server, 2));
    const auto& first = server->notifications()[0];
    const auto& second = server->notifications()[1];
    EXPECT_EQ(first.body, u"Tea - timer done"_s);
    EXPECT_EQ(second.body, u"Focus time — let's go!"_s);
    EXPECT_GE(second.receivedAtMs - postedAt, NotificationService::kPomodoroDelayMs);
}

TEST_F(NotificationServiceTest, PermissionIsAServerAnsweringAndADenialIsLoggedWithoutWaiting) {
    struct Row {
        const char* behaviour;
        bool serverPresent;
        QStringList lines;
        bool busPresent = true;
    };
    const QList<Row> rows = {
        {"a server answers: nothing is logged", true, {}},
        {"no server: the denial is logged",
         false,
         {u"[NotificationService] Notification permission denied"_s}},
        // A pending call on a connection that never connected would never finish.
        {"no bus at all: the denial is logged",
         false,
         {u"[NotificationService] Notification permission denied"_s},
         false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.behaviour);
        std::unique_ptr<FakeNotificationServer> server;
        if (row.serverPresent) {
            server = startServer(false);
        }
        NotificationService service(row.busPresent ? connection("client")
                                                   : QDBusConnection(u"never-connected"_s));
        QSignalSpy answered(&service, &NotificationService::capabilitiesAnswered);
        LogCapture log;
        service.requestAuthorization();
        service.postTimerComplete(u"Tea"_s, 60, false);
        // Both calls returned before any answer: the caller never waits on the bus.
        EXPECT_TRUE(answered.isEmpty());
        EXPECT_TRUE(log.lines().isEmpty());
        ASSERT_TRUE(answered.wait(kWaitMs));
        EXPECT_EQ(answered.first().first().toBool(), row.serverPresent);
        EXPECT_EQ(log.lines(), row.lines);
        if (!row.lines.isEmpty()) {
            EXPECT_EQ(log.entries()[0].level, TarvolinTimerLogger::Level::error);
        }
    }
}

TEST_F(NotificationServiceTest, AStalledBusDelaysNothingAndThePostArrivesOnceItWakes) {
    auto server = startServer(false);
    NotificationService service(connection("client"));
    LogCapture log;
    s_bus->pause();
    service.requestAuthorization();
    service.postTimerComplete(u"Tea"_s, 60, false);
    service.postPomodoroPhaseStart(PomodoroPhase::shortBreak);
    QTest::qWait(200); // the event loop runs on while the bus sleeps
    EXPECT_TRUE(server->notifications().isEmpty());
    s_bus->resume();
    ASSERT_TRUE(waitForCount(*server, 2));
    EXPECT_EQ(server->notifications()[0].body, u"Tea - timer done"_s);
    EXPECT_EQ(server->notifications()[1].body, u"Break time"_s);
    EXPECT_TRUE(log.lines().isEmpty());
}

} // namespace
