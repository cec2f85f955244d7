// The real program on a display and buses of the test's own: URLs handed over by a later launch, the
// notification of a finished timer, every way of stopping it keeping the list, the window of a desktop
// without a tray, and the window hints of the popover and the floating window.
#include "ProgramFixture.h"

#include "platform/SingleInstance.h"
#include "support/FakeNotificationServer.h"
#include "support/FakeStatusNotifierWatcher.h"

#include <QDBusMessage>
#include <QElapsedTimer>
#include <QThread>

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <functional>
#include <vector>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

const QString kActiveTimers = QStringLiteral("quorvane.activeTimers");

class DesktopProgramTest : public ProgramFixture {
public:
    static QList<QUuid> ids(const QList<TimerItem>& timers) {
        QList<QUuid> out;
        for (const TimerItem& t : timers) {
            out << t.id;
        }
        return out;
    }
};

} // namespace

TEST_F(DesktopProgramTest, ASecondLaunchHandsItsURLToTheFirstAndEnds) {
    Program first;
    first.start(environment());
    ASSERT_TRUE(first.waitFor(kReady)) << first.log().toStdString();

    EXPECT_EQ(launchAgain({QStringLiteral("quorvane://start?minutes=2&title=Tea")}), 0);
    ASSERT_TRUE(first.waitFor(QStringLiteral("[AppDelegate] Adding timer: title=\"Tea\" minutes=2")));
    QTest::qWait(300); // the timer is added from the event loop, just after the line
    stop(first);
    EXPECT_EQ(first.count(kReady), 1) << "one running copy only";
    const auto saved = savedTimers();
    ASSERT_TRUE(saved.has_value());
    ASSERT_EQ(saved->size(), 1);
    EXPECT_EQ(saved->first().title, QStringLiteral("Tea"));
    EXPECT_EQ(saved->first().totalDuration, 120);
    EXPECT_EQ(saved->first().state, TimerState::running);
    EXPECT_LE(saved->first().remaining, 120);
}

TEST_F(DesktopProgramTest, AFloodOfHeldConnectionsUnderALowDescriptorLimitStillLetsALinkThrough) {
    constexpr int kFlood = 1000;
    rlimit own{};
    ::getrlimit(RLIMIT_NOFILE, &own);
    if (own.rlim_max < rlim_t(kFlood) + 200) {
        TT_SKIP_OR_FAIL("too few descriptors allowed for the flood: " << own.rlim_max);
    }
    const rlimit roomy{own.rlim_max, own.rlim_max};
    ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &roomy), 0);
    Program first;
    first.limitDescriptors(256); // fewer than the flood
    first.start(environment());
    ASSERT_TRUE(first.waitFor(kReady)) << first.log().toStdString();

    const QString socketPath = home.filePath(QStringLiteral("runtime/")) +
                               SingleInstance::keyFor(home.filePath(QStringLiteral("config/TarvolinTimer"))) +
                               QStringLiteral(".socket");
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray path = QFile::encodeName(socketPath);
    ASSERT_LT(size_t(path.size()), sizeof(address.sun_path));
    std::memcpy(address.sun_path, path.constData(), size_t(path.size()));
    // Connections that say nothing and stay open, as many as a full queue lets through.
    std::vector<int> held;
    for (int i = 0; i < kFlood; ++i) {
        const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
        ASSERT_GE(fd, 0);
        held.push_back(fd);
        int tries = 0;
        while (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) != 0 &&
               errno == EAGAIN && ++tries < 1000) {
            QThread::msleep(2); // the queue is full: the program has not caught up yet
        }
    }

    EXPECT_EQ(launchAgain({QStringLiteral("quorvane://start?minutes=3&title=Flood")}), 0);
    EXPECT_TRUE(first.waitFor(QStringLiteral("[AppDelegate] Adding timer: title=\"Flood\" minutes=3")))
        << first.log().toStdString();
    for (const int fd : held) {
        ::close(fd);
    }
    ::setrlimit(RLIMIT_NOFILE, &own);
    stop(first);
}

TEST_F(DesktopProgramTest, ALinkWhoseLaunchFailedWhileTheCopyWasStoppedIsNotCarriedOutLater) {
    const QString url = QStringLiteral("quorvane://start?minutes=2&title=Stopped");
    const QString added = QStringLiteral("Adding timer: title=\"Stopped\"");
    Program first;
    first.start(environment());
    ASSERT_TRUE(first.waitFor(kReady)) << first.log().toStdString();
    first.signal(SIGSTOP);
    const int failedLaunch = launchAgain({url}); // runs out its whole deadline
    first.signal(SIGCONT);
    EXPECT_EQ(failedLaunch, 1);
    // Continued, the copy reads the message, finds its sender gone and drops it.
    ASSERT_TRUE(first.waitFor(QStringLiteral("[SingleInstance] Dropped a handed-over message")))
        << first.log().toStdString();
    // The user tries again: exactly one timer.
    EXPECT_EQ(launchAgain({url}), 0);
    ASSERT_TRUE(first.waitFor(added)) << first.log().toStdString();
    QTest::qWait(300); // the timer is added from the event loop, just after the line
    stop(first);
    EXPECT_EQ(first.count(added), 1) << first.log().toStdString();
    const auto saved = savedTimers();
    ASSERT_TRUE(saved.has_value());
    ASSERT_EQ(saved->size(), 1);
    EXPECT_EQ(saved->first().title, QStringLiteral("Stopped"));
}

TEST_F(DesktopProgramTest, ACleanerEmptyingTheRuntimeFolderLosesNoLinkAndStartsNoSecondCopy) {
    Program first;
    first.start(environment());
    ASSERT_TRUE(first.waitFor(kReady)) << first.log().toStdString();
    const QDir runtime(home.filePath(QStringLiteral("runtime")));
    for (const QFileInfo& entry :
         runtime.entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot)) {
        ASSERT_TRUE(entry.isDir() ? QDir(entry.filePath()).removeRecursively()
                                  : QFile::remove(entry.filePath()))
            << entry.filePath().toStdString();
    }
    EXPECT_EQ(launchAgain({QStringLiteral("quorvane://start?minutes=4&title=Cleaned")}), 0);
    EXPECT_TRUE(first.waitFor(QStringLiteral("[AppDelegate] Adding timer: title=\"Cleaned\" minutes=4")))
        << first.log().toStdString();
    stop(first);
    EXPECT_EQ(first.count(kReady), 1) << "one running copy only";
}

TEST_F(DesktopProgramTest, OddURLsGiveExactlyTheirResultAndBreakNothing) {
    const QString longTitle(100 * 1024, QLatin1Char('t'));
    const struct {
        const char* behaviour;
        QString url;
        std::optional<std::pair<QString, qint64>> timer;
    } rows[] = {
        {"negative minutes give one", QStringLiteral("quorvane://start?minutes=-30&title=neg"),
         std::pair{QStringLiteral("neg"), qint64(60)}},
        {"huge minutes give the default",
         QStringLiteral("quorvane://start?minutes=123456789012345678901234&title=huge"),
         std::pair{QStringLiteral("huge"), qint64(900)}},
        {"eight hours at most", QStringLiteral("quorvane://start?minutes=99999&title=long"),
         std::pair{QStringLiteral("long"), qint64(28800)}},
        {"letters give the default", QStringLiteral("quorvane://start?minutes=abc&title=letters"),
         std::pair{QStringLiteral("letters"), qint64(900)}},
        {"an unknown host starts nothing", QStringLiteral("quorvane://stop?minutes=5&title=no"),
         std::nullopt},
        {"another scheme starts nothing", QStringLiteral("https://start?minutes=5&title=no"), std::nullopt},
        {"broken percent signs", QStringLiteral("quorvane://start?title=%zz%&minutes=%"),
         std::pair{QStringLiteral("%zz%"), qint64(900)}},
        {"a 100 kB title is kept whole", QStringLiteral("quorvane://start?minutes=3&title=") + longTitle,
         std::pair{longTitle, qint64(180)}},
    };
    Program first;
    first.start(environment());
    ASSERT_TRUE(first.waitFor(kReady));
    QList<std::pair<QString, qint64>> expected;
    for (const auto& row : rows) {
        SCOPED_TRACE(row.behaviour);
        const int received = first.count(QStringLiteral("URL event received: "));
        EXPECT_EQ(launchAgain({row.url}), 0);
        EXPECT_TRUE(QTest::qWaitFor(
            [&] { return first.count(QStringLiteral("URL event received: ")) > received; }, kWaitMs));
        if (row.timer) {
            expected << *row.timer;
        }
    }
    QTest::qWait(300);
    ASSERT_TRUE(first.running()) << "no URL ends the program";
    stop(first);
    const auto saved = savedTimers();
    ASSERT_TRUE(saved.has_value());
    QList<std::pair<QString, qint64>> actual;
    for (const TimerItem& t : *saved) {
        actual << std::pair{t.title, t.totalDuration};
    }
    EXPECT_EQ(actual, expected);
}

TEST_F(DesktopProgramTest, ATimerStartedByURLPostsItsNotificationWhenItEnds) {
    FakeNotificationServer server(session->connect(QStringLiteral("notifications")));
    ASSERT_TRUE(server.isRegistered());
    Program first;
    first.start(environment());
    ASSERT_TRUE(first.waitFor(kReady));
    EXPECT_EQ(launchAgain({QStringLiteral("quorvane://start?minutes=1&title=Tea")}), 0);
    ASSERT_TRUE(first.waitFor(QStringLiteral("Adding timer: title=\"Tea\"")));
    QElapsedTimer sinceStart;
    sinceStart.start();
    // Held up for 20 s five seconds in (a frozen session, a debugger): the time still counts, so the timer
    // ends a minute after it started, not 20 s later.
    QTest::qWait(5000);
    first.signal(SIGSTOP);
    QTest::qWait(20'000);
    first.signal(SIGCONT);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !server.notifications().isEmpty(); }, 72'000 - 25'000))
        << first.log().toStdString();
    EXPECT_GT(sinceStart.elapsed(), 55'000);
    EXPECT_EQ(server.notifications().first().summary, QStringLiteral("TarvolinTimer"));
    EXPECT_EQ(server.notifications().first().body, QStringLiteral("Tea - timer done"));
    stop(first);
}

TEST_F(DesktopProgramTest, EveryWayOfStoppingItSavesTheListAndTheNextStartRestoresItPaused) {
    const struct {
        const char* behaviour;
        std::function<void(DesktopProgramTest&, Program&)> stopIt;
        bool quitsCleanly = true; // Qt itself may end the program with status 1 when the display dies
    } rows[] = {
        {"SIGTERM", [](DesktopProgramTest&, Program& p) { p.signal(SIGTERM); }},
        {"SIGINT", [](DesktopProgramTest&, Program& p) { p.signal(SIGINT); }},
        {"SIGHUP", [](DesktopProgramTest&, Program& p) { p.signal(SIGHUP); }},
        {"the system shutting down",
         [](DesktopProgramTest& t, Program& p) {
             QDBusConnection logind = t.system->connect(QStringLiteral("logind"));
             // The program listens only once its start-up has returned: say it until it goes.
             [[maybe_unused]] const bool ended = QTest::qWaitFor(
                 [&] {
                     QDBusMessage signal =
                         QDBusMessage::createSignal(QStringLiteral("/org/freedesktop/login1"),
                                                    QStringLiteral("org.freedesktop.login1.Manager"),
                                                    QStringLiteral("PrepareForShutdown"));
                     signal << true;
                     logind.send(signal);
                     return !p.running();
                 },
                 kWaitMs);
         }},
        {"the display going away", [](DesktopProgramTest& t, Program&) { t.display.reset(); }, false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.behaviour);
        writePreferences({{QStringLiteral("bl.hasSeenOnboarding"), true}});
        if (!display) {
            display = std::make_unique<XvfbDisplay>(QStringLiteral("1280x1024x24"));
        }
        {
            Program program;
            program.start(environment());
            ASSERT_TRUE(program.waitFor(kReady));
            EXPECT_EQ(launchAgain({QStringLiteral("quorvane://start?minutes=5&title=kept")}), 0);
            ASSERT_TRUE(program.waitFor(QStringLiteral("Adding timer")));
            QTest::qWait(300);
            row.stopIt(*this, program);
            ASSERT_TRUE(program.waitForExit()) << program.log().toStdString();
            EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
            if (row.quitsCleanly) {
                EXPECT_EQ(program.exitCode(), 0) << program.log().toStdString();
            }
        }
        const auto saved = savedTimers();
        ASSERT_TRUE(saved.has_value());
        ASSERT_EQ(saved->size(), 1);
        EXPECT_EQ(saved->first().title, QStringLiteral("kept"));

        if (!display) {
            display = std::make_unique<XvfbDisplay>(QStringLiteral("1280x1024x24"));
        }
        Program next;
        next.start(environment());
        ASSERT_TRUE(next.waitFor(QStringLiteral("[Main] Running with 1 timers"))) << next.log().toStdString();
        stop(next);
        const auto restored = savedTimers();
        ASSERT_TRUE(restored.has_value());
        ASSERT_EQ(restored->size(), 1);
        EXPECT_EQ(restored->first().id, saved->first().id);
        EXPECT_EQ(restored->first().state, TimerState::paused);
    }
}

TEST_F(DesktopProgramTest, AHundredStartsAndTermsLoseNoneOfAThousandTimers) {
    QList<TimerItem> timers;
    const TimerState states[] = {TimerState::running, TimerState::paused, TimerState::idle};
    for (int i = 0; i < 1000; ++i) {
        TimerItem item =
            TimerItem::make(QUuid::createUuid(), QStringLiteral("timer %1").arg(i), 600 + i, states[i % 3],
                            false, std::nullopt, std::nullopt, QDateTime::currentDateTimeUtc());
        item.remaining = 300 + i;
        timers << item;
    }
    writePreferences(
        {{QStringLiteral("bl.hasSeenOnboarding"), true}, {kActiveTimers, *TimerItem::encodeList(timers)}});
    for (int cycle = 0; cycle < 100; ++cycle) {
        SCOPED_TRACE(cycle);
        Program program;
        program.start(environment());
        ASSERT_TRUE(program.waitFor(QStringLiteral("[Main] Running with 1000 timers")))
            << program.log().toStdString();
        stop(program);
        const auto saved = savedTimers();
        ASSERT_TRUE(saved.has_value());
        ASSERT_EQ(ids(*saved), ids(timers));
    }
}

TEST_F(DesktopProgramTest, WithNoTrayTheWindowOpensAtLaunchAndALaterLaunchShowsItAgain) {
    Program first;
    first.start(environment());
    ASSERT_TRUE(first.waitFor(kReady));
    EXPECT_EQ(launchAgain({QStringLiteral("quorvane://start?minutes=25&title=Tea")}), 0);
    const QString window = waitForWindow(QStringLiteral("440x720"));
    ASSERT_FALSE(window.isEmpty())
        << x11(QStringLiteral("xwininfo"), {QStringLiteral("-root"), QStringLiteral("-tree")}).toStdString();
    EXPECT_TRUE(x11(QStringLiteral("xprop"), {QStringLiteral("-id"), window, QStringLiteral("WM_NAME")})
                    .contains(QStringLiteral("TarvolinTimer")));
    EXPECT_FALSE(netWmState(window).contains(QStringLiteral("SKIP_TASKBAR")))
        << "an ordinary window is in the taskbar";
    QTest::qWait(500);
    screenshot(window, QStringLiteral("no-tray-window"));

    closeWindow(window);
    EXPECT_TRUE(QTest::qWaitFor([&] { return windowsOfSize(QStringLiteral("440x720")).isEmpty(); }, kWaitMs));
    ASSERT_TRUE(first.running()) << "closing the window does not quit";
    EXPECT_EQ(launchAgain({}), 0);
    EXPECT_FALSE(waitForWindow(QStringLiteral("440x720")).isEmpty()) << "a later launch shows it again";
    stop(first);
}

TEST_F(DesktopProgramTest, ThePopoverAndTheFloatingWindowStayOutOfTheTaskbar) {
    startWatcher();
    writePreferences({{QStringLiteral("bl.hasSeenOnboarding"), true},
                      {QStringLiteral("bl.floating.showOnStart"), true},
                      {QStringLiteral("bl.appLanguage"), QStringLiteral("en")}});
    Program first;
    first.start(environment());
    ASSERT_TRUE(first.waitFor(kReady));
    // The floating window: its card top right of the screen, 20 px in, above everything on every desktop.
    const ProgramWindow card = waitForCard(QSize(200, 54));
    const QString floating = card.id;
    ASSERT_FALSE(floating.isEmpty());
    EXPECT_EQ(cardOf(card).topLeft(), QPoint(1060, 20));
    for (const char* state : {"_NET_WM_STATE_ABOVE", "_NET_WM_STATE_STICKY", "_NET_WM_STATE_SKIP_TASKBAR",
                              "_NET_WM_STATE_SKIP_PAGER"}) {
        EXPECT_TRUE(netWmState(floating).contains(QString::fromLatin1(state))) << state;
    }
    EXPECT_TRUE(windowsOfSize(QStringLiteral("440x720")).isEmpty())
        << "with a tray nothing else opens at launch";
    QTest::qWait(300);
    screenshot(floating, QStringLiteral("floating-window")); // before the popover may cover it

    // A later launch opens the popover as a popover, since there is a tray.
    EXPECT_EQ(launchAgain({}), 0);
    const QString popover = waitForWindow(QStringLiteral("440x720"));
    ASSERT_FALSE(popover.isEmpty());
    for (const char* state : {"_NET_WM_STATE_SKIP_TASKBAR", "_NET_WM_STATE_SKIP_PAGER"}) {
        EXPECT_TRUE(netWmState(popover).contains(QString::fromLatin1(state))) << state;
    }
    QTest::qWait(500);
    screenshot(popover, QStringLiteral("popover"));
    stop(first);
}

TEST_F(DesktopProgramTest, TheLockOfAKilledFirstIsTakenOver) {
    Program killed;
    killed.start(environment());
    ASSERT_TRUE(killed.waitFor(kReady));
    killed.signal(SIGKILL);
    ASSERT_TRUE(killed.waitForExit());

    Program next;
    next.start(environment());
    ASSERT_TRUE(next.waitFor(kReady)) << next.log().toStdString();
    EXPECT_FALSE(next.log().contains(QStringLiteral("Handed over")));
    EXPECT_EQ(launchAgain({QStringLiteral("quorvane://start?title=after")}), 0);
    EXPECT_TRUE(next.waitFor(QStringLiteral("Adding timer: title=\"after\"")));
    stop(next);
}
