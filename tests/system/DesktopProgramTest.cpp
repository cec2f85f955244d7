// The real program on a display and buses of the test's own: URLs handed over by a later launch, one
// running copy whatever happens to its folders, a door no other user can use, the notification of a
// finished timer, every way of stopping it keeping the list, the window of a desktop without a tray, and
// the window hints of the popover and the floating window.
#include "ProgramFixture.h"

#include "platform/DataFolderLock.h"
#include "platform/Door.h"
#include "platform/HandOver.h"
#include "platform/SocketListener.h"
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
#include <iostream>
#include <memory>
#include <vector>

#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

const QString kActiveTimers = QStringLiteral("quorvane.activeTimers");

class DesktopProgramTest : public ProgramFixture {
public:
    // Changes the environment of every run of the program, first and later launches alike.
    std::function<void(QProcessEnvironment&)> changeEnvironment;
    QProcessEnvironment environment() const override {
        QProcessEnvironment env = ProgramFixture::environment();
        if (changeEnvironment) {
            changeEnvironment(env);
        }
        return env;
    }
    QString dataFolder() const { return home.filePath(QStringLiteral("config/TarvolinTimer")); }
    QByteArray doorName() const { return Door::name(dataFolder(), ::geteuid()); }
    // A later launch, left running; held at the named moment of its start when `stopAt` names one.
    std::unique_ptr<Program> launch(const QStringList& arguments, const QString& stopAt = {}) const {
        QProcessEnvironment env = environment();
        if (!stopAt.isEmpty()) {
            env.insert(QStringLiteral("TT_STOP_AT"), stopAt);
        }
        auto later = std::make_unique<Program>();
        later->start(env, arguments);
        return later;
    }
    static QList<QUuid> ids(const QList<TimerItem>& timers) {
        QList<QUuid> out;
        for (const TimerItem& t : timers) {
            out << t.id;
        }
        return out;
    }
};

// A client socket connected to the door, as any local process can open one; -1 when it is not reached.
int connectToDoor(const QByteArray& name, bool blocking) {
    const Door::Address door = Door::address(name);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | (blocking ? 0 : SOCK_NONBLOCK), 0);
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&door.address), door.size) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

// Connections that say nothing and stay open, as many as a full queue lets through.
class HeldConnections {
public:
    HeldConnections(const QByteArray& door, int count) {
        for (int i = 0; i < count; ++i) {
            int tries = 0;
            int fd = -1;
            while ((fd = connectToDoor(door, false)) < 0 && errno == EAGAIN && ++tries < 1000) {
                QThread::msleep(2); // the queue is full: the program has not caught up yet
            }
            if (fd >= 0) {
                m_held.push_back(fd);
            }
        }
    }
    ~HeldConnections() {
        for (const int fd : m_held) {
            ::close(fd);
        }
    }
    int count() const { return int(m_held.size()); }

private:
    std::vector<int> m_held;
};

// Connections that each hand `framed` over and never confirm the answer, held open.
class UnconfirmedHandOvers {
public:
    UnconfirmedHandOvers(const QByteArray& door, const QByteArray& framed, int count) {
        for (int i = 0; i < count; ++i) {
            const int fd = connectToDoor(door, true);
            EXPECT_GE(fd, 0) << std::strerror(errno);
            EXPECT_EQ(::send(fd, framed.constData(), size_t(framed.size()), MSG_NOSIGNAL), framed.size());
            m_held.push_back(fd);
        }
    }
    ~UnconfirmedHandOvers() {
        for (const int fd : m_held) {
            ::close(fd);
        }
    }

private:
    std::vector<int> m_held;
};

// The door peer (door_peer.py) run as the user nobody, its standard output gathered.
class OtherUsersPeer {
public:
    // Empty when this test cannot act as another user.
    static QString unavailable() {
        if (::geteuid() != 0) {
            return QStringLiteral("acting as another user needs root");
        }
        if (!QFileInfo::exists(python())) {
            return python() + QStringLiteral(" is not installed");
        }
        if (const QString missing = ProgramFixture::missingTools({QStringLiteral("setpriv")});
            !missing.isEmpty()) {
            return missing + QStringLiteral(" is not installed");
        }
        // A container may deny even root the change of user.
        QProcess probe;
        probe.start(QStringLiteral("setpriv"),
                    asNobody({python(), QStringLiteral("-c"), QStringLiteral("pass")}));
        if (!probe.waitForFinished(kWaitMs) || probe.exitStatus() != QProcess::NormalExit ||
            probe.exitCode() != 0) {
            return QStringLiteral("cannot run a process as the user nobody here: ") +
                   QString::fromLocal8Bit(probe.readAllStandardError());
        }
        return {};
    }
    explicit OtherUsersPeer(const QStringList& arguments) {
        QFile script(QStringLiteral(TT_DOOR_PEER));
        EXPECT_TRUE(script.open(QIODevice::ReadOnly));
        // Given as text, so the user nobody needs no way into the source tree.
        m_process.start(QStringLiteral("setpriv"), asNobody(QStringList{python(), QStringLiteral("-c"),
                                                                        QString::fromUtf8(script.readAll())} +
                                                            arguments));
        EXPECT_TRUE(m_process.waitForStarted(kWaitMs));
    }
    ~OtherUsersPeer() {
        m_process.kill();
        m_process.waitForFinished(3000);
    }
    bool waitFor(const QString& text) {
        return QTest::qWaitFor(
            [&] {
                m_output += QString::fromUtf8(m_process.readAllStandardOutput());
                return m_output.contains(text);
            },
            kWaitMs);
    }
    QString output() {
        m_output += QString::fromUtf8(m_process.readAllStandardOutput());
        return m_output + QString::fromUtf8(m_process.readAllStandardError());
    }

private:
    // Debian's own, which any user may run.
    static QString python() { return QStringLiteral("/usr/bin/python3"); }
    // The arguments of setpriv that run `command` as the user nobody.
    static QStringList asNobody(const QStringList& command) {
        return QStringList{QStringLiteral("--reuid=nobody"), QStringLiteral("--regid=nogroup"),
                           QStringLiteral("--clear-groups")} +
               command;
    }

    QProcess m_process;
    QString m_output;
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

TEST_F(DesktopProgramTest, UnderAFloodEveryLaunchIsCarriedOutExactlyOnce) {
    using Launches = std::vector<std::unique_ptr<Program>>;
    const auto links = [](int count) {
        QList<QStringList> out;
        for (int i = 0; i < count; ++i) {
            out << QStringList{QStringLiteral("quorvane://start?minutes=3&title=Launch%1").arg(i)};
        }
        return out;
    };
    const struct {
        const char* behaviour;
        rlim_t descriptors; // for the program; 0 leaves its own
        // Floods the running copy and starts the launches; returns the flood, held until the launches end.
        std::function<std::shared_ptr<void>(DesktopProgramTest&, Program& first, Launches&)> flood;
    } rows[] = {
        {"idle connections, more than the copy may open", 256,
         [&](DesktopProgramTest& t, Program&, Launches& launches) -> std::shared_ptr<void> {
             auto held = std::make_shared<HeldConnections>(t.doorName(), 1000);
             EXPECT_GT(held->count(), 256);
             launches.push_back(t.launch(links(1).first()));
             return held;
         }},
        // The worst moment: the copy reads the launches' messages and then a flood of others at one go.
        {"hand-overs that are never confirmed, queued just behind the launches", 0,
         [&](DesktopProgramTest& t, Program& first, Launches& launches) -> std::shared_ptr<void> {
             first.signal(SIGSTOP);
             for (const QStringList& link : links(24)) {
                 launches.push_back(t.launch(link, QStringLiteral("hand-over.sent")));
                 EXPECT_TRUE(launches.back()->waitUntilStopped()) << launches.back()->log().toStdString();
             }
             auto flood = std::make_shared<UnconfirmedHandOvers>(
                 t.doorName(), HandOver::frame("url:quorvane://start?minutes=9&title=Unconfirmed"), 64);
             for (const auto& launch : launches) {
                 launch->signal(SIGCONT);
             }
             first.signal(SIGCONT);
             return flood;
         }},
    };
    rlimit own{};
    ::getrlimit(RLIMIT_NOFILE, &own);
    if (own.rlim_max < 1200) {
        TT_SKIP_OR_FAIL("too few descriptors allowed for the flood: " << own.rlim_max);
    }
    const rlimit roomy{own.rlim_max, own.rlim_max};
    ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &roomy), 0);
    for (const auto& row : rows) {
        SCOPED_TRACE(row.behaviour);
        Program first;
        if (row.descriptors > 0) {
            first.limitDescriptors(row.descriptors);
        }
        first.start(environment());
        ASSERT_TRUE(first.waitFor(kReady)) << first.log().toStdString();
        Launches launches;
        std::shared_ptr<void> flood = row.flood(*this, first, launches);
        for (const auto& launch : launches) {
            ASSERT_TRUE(launch->waitForExit()) << launch->log().toStdString();
            EXPECT_EQ(launch->exitCode(), 0) << launch->log().toStdString();
        }
        flood.reset();
        stop(first);
        for (int i = 0; i < int(launches.size()); ++i) {
            EXPECT_EQ(first.count(QStringLiteral("Adding timer: title=\"Launch%1\"").arg(i)), 1)
                << "the link of launch " << i << " carried out once\n"
                << first.log().toStdString();
        }
        EXPECT_EQ(first.count(QStringLiteral("title=\"Unconfirmed\"")), 0);
    }
    ::setrlimit(RLIMIT_NOFILE, &own);
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

// Each launch's link reaches the one running copy exactly once; none of them starts a copy of its own, and
// the list is saved with their timers.
void expectEveryLinkCarriedOutByTheFirst(DesktopProgramTest& t, Program& first,
                                         const std::vector<std::unique_ptr<Program>>& launches,
                                         const QStringList& titles) {
    for (const auto& later : launches) {
        ASSERT_TRUE(later->waitForExit()) << later->log().toStdString();
        EXPECT_EQ(later->exitCode(), 0) << later->log().toStdString();
        EXPECT_FALSE(later->log().contains(kReady)) << "one running copy only";
    }
    for (const QString& title : titles) {
        EXPECT_TRUE(first.waitFor(QStringLiteral("Adding timer: title=\"%1\"").arg(title)))
            << first.log().toStdString();
    }
    QTest::qWait(300); // each timer is added from the event loop, just after its line
    t.stop(first);
    QStringList saved;
    for (const TimerItem& timer : t.savedTimers().value_or(QList<TimerItem>())) {
        saved << timer.title;
    }
    for (const QString& title : titles) {
        EXPECT_EQ(first.count(QStringLiteral("Adding timer: title=\"%1\"").arg(title)), 1)
            << title.toStdString();
        EXPECT_EQ(saved.count(title), 1)
            << title.toStdString() << " saved once in " << saved.join(u',').toStdString();
    }
}

TEST_F(DesktopProgramTest, WhateverHappensToItsFoldersALaterLaunchReachesTheOneRunningCopy) {
    const auto empty = [](const QString& path) {
        for (const QFileInfo& entry : QDir(path).entryInfoList(QDir::AllEntries | QDir::Hidden |
                                                               QDir::System | QDir::NoDotAndDotDot)) {
            ASSERT_TRUE(entry.isDir() ? QDir(entry.filePath()).removeRecursively()
                                      : QFile::remove(entry.filePath()))
                << entry.filePath().toStdString();
        }
    };
    using Launches = std::vector<std::unique_ptr<Program>>;
    const struct {
        const char* behaviour;
        QStringList titles; // of the later launches' links
        // Done to the running copy and its folders; returns the later launches, still running.
        std::function<Launches(DesktopProgramTest&, Program& first, const QList<QStringList>& links)>
            meanwhile;
    } rows[] = {
        {"someone removes the data folder",
         {QStringLiteral("Removed")},
         [](DesktopProgramTest& t, Program&, const QList<QStringList>& links) {
             EXPECT_TRUE(QDir(t.dataFolder()).removeRecursively());
             Launches launches;
             launches.push_back(t.launch(links.first()));
             return launches;
         }},
        // The worst moment: each launch has handed its link over to a copy that is held up (busy, or
        // swapped out), and meanwhile every folder the copy and the launches know of is gone.
        {"held up while its configuration folder and the runtime folder's files go",
         {QStringLiteral("RM1"), QStringLiteral("RM2"), QStringLiteral("RM3")},
         [&](DesktopProgramTest& t, Program& first, const QList<QStringList>& links) {
             first.signal(SIGSTOP);
             EXPECT_TRUE(first.waitUntilStopped());
             EXPECT_TRUE(QDir(t.home.filePath(QStringLiteral("config"))).removeRecursively());
             empty(t.home.filePath(QStringLiteral("runtime")));
             Launches launches;
             for (const QStringList& link : links) {
                 launches.push_back(t.launch(link, QStringLiteral("hand-over.sent")));
                 EXPECT_TRUE(launches.back()->waitUntilStopped()) << launches.back()->log().toStdString();
             }
             for (const auto& later : launches) {
                 later->signal(SIGCONT);
             }
             first.signal(SIGCONT);
             return launches;
         }},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.behaviour);
        Program first;
        first.start(environment());
        ASSERT_TRUE(first.waitFor(kReady)) << first.log().toStdString();
        QList<QStringList> links;
        for (const QString& title : row.titles) {
            links << QStringList{QStringLiteral("quorvane://start?minutes=7&title=") + title};
        }
        const Launches launches = row.meanwhile(*this, first, links);
        expectEveryLinkCarriedOutByTheFirst(*this, first, launches, row.titles);
    }
}

TEST_F(DesktopProgramTest, WhateverStateTheRuntimeFolderIsInEveryLaunchReachesTheRunningCopy) {
    const struct {
        const char* behaviour;
        const char* title;
        std::function<void(QProcessEnvironment&, const QString& base)> runtime;
    } rows[] = {
        {"unset", "Unset",
         [](QProcessEnvironment& env, const QString&) { env.remove(QStringLiteral("XDG_RUNTIME_DIR")); }},
        // Made later by the program's own start-up.
        {"named but absent at start", "Absent",
         [](QProcessEnvironment& env, const QString& base) {
             env.insert(QStringLiteral("XDG_RUNTIME_DIR"), base + QStringLiteral("/later"));
         }},
        {"longer than a socket address can hold", "Long",
         [](QProcessEnvironment& env, const QString& base) {
             const QString path =
                 base + QLatin1Char('/') + QString(std::max<qsizetype>(130 - base.size(), 10), u'r');
             EXPECT_TRUE(QDir().mkpath(path));
             QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
             env.insert(QStringLiteral("XDG_RUNTIME_DIR"), path);
         }},
        {"writable by others", "Shared",
         [](QProcessEnvironment& env, const QString& base) {
             const QString path = base + QStringLiteral("/shared");
             EXPECT_TRUE(QDir().mkpath(path));
             EXPECT_EQ(::chmod(QFile::encodeName(path).constData(), 01777), 0);
             env.insert(QStringLiteral("XDG_RUNTIME_DIR"), path);
         }},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.behaviour);
        QTemporaryDir runtimeHome;
        changeEnvironment = [&](QProcessEnvironment& env) { row.runtime(env, runtimeHome.path()); };
        Program first;
        first.start(environment());
        ASSERT_TRUE(first.waitFor(kReady)) << first.log().toStdString();
        std::vector<std::unique_ptr<Program>> launches;
        // Titles of their own, as each row's copy restores the list the rows before it saved.
        const QStringList titles{QStringLiteral("%1-first").arg(QLatin1String(row.title)),
                                 QStringLiteral("%1-second").arg(QLatin1String(row.title))};
        for (const QString& title : titles) {
            launches.push_back(launch({QStringLiteral("quorvane://start?minutes=7&title=") + title}));
            ASSERT_TRUE(launches.back()->waitForExit()) << launches.back()->log().toStdString();
        }
        expectEveryLinkCarriedOutByTheFirst(*this, first, launches, titles);
        changeEnvironment = nullptr;
    }
}

TEST_F(DesktopProgramTest, ADoorOfAnotherUserIsNeverUsed) {
    if (const QString why = OtherUsersPeer::unavailable(); !why.isEmpty()) {
        GTEST_SKIP() << why.toStdString();
    }
    const QString door = QLatin1Char('@') + QString::fromLatin1(doorName());
    const QString secret = QStringLiteral("quorvane://start?minutes=7&title=SECRET");
    const struct {
        const char* behaviour;
        const char* mode;  // of the door peer
        const char* ready; // what it says once it holds the door
        QString holder;    // as the running copy names it
    } squatters[] = {
        {"another user holds the door and answers as the program does", "serve", "listening",
         QStringLiteral("is held by process ")},
        // Not one connection gets in: the kernel names the holder.
        {"another user only binds the door's name", "bind", "bound",
         QStringLiteral("is held by a socket of user 65534, not by this user (0), that does not answer")},
        {"another user fills the door's queue and never accepts", "full", "full",
         QStringLiteral("is held by a socket of user 65534, not by this user (0), whose queue is full")},
    };
    for (const auto& row : squatters) {
        SCOPED_TRACE(row.behaviour);
        OtherUsersPeer squatter({QLatin1String(row.mode), door});
        ASSERT_TRUE(squatter.waitFor(QLatin1String(row.ready))) << squatter.output().toStdString();
        // The user's program runs all the same, on its own link, alone by the data folder's lock.
        const QString own = QStringLiteral("Own-%1").arg(QLatin1String(row.mode));
        Program first;
        first.start(environment(), {QStringLiteral("quorvane://start?minutes=7&title=") + own});
        ASSERT_TRUE(first.waitFor(kReady)) << first.log().toStdString();
        const QStringList warnings = first.log().split(u'\n').filter(QStringLiteral("[Main] Running where"));
        ASSERT_EQ(warnings.size(), 1) << first.log().toStdString();
        EXPECT_TRUE(warnings[0].contains(door + QLatin1Char(' ') + row.holder)) << warnings[0].toStdString();
        if (std::strcmp(row.mode, "serve") == 0) {
            EXPECT_TRUE(warnings[0].contains(QStringLiteral("of user 65534, not by this user")))
                << warnings[0].toStdString();
        }
        // A later launch cannot reach it: it says so and its link is never carried out.
        auto later = launch({secret});
        ASSERT_TRUE(later->waitForExit()) << later->log().toStdString();
        EXPECT_EQ(later->exitCode(), 1);
        const QStringList errors = later->log().split(u'\n').filter(QStringLiteral("[Main]"));
        ASSERT_EQ(errors.size(), 1) << later->log().toStdString();
        EXPECT_TRUE(errors[0].contains(QStringLiteral("another copy uses the data folder ") +
                                       Door::folder(dataFolder()) +
                                       QStringLiteral(" and cannot be reached from here")))
            << errors[0].toStdString();
        EXPECT_FALSE(later->log().contains(kReady));
        ASSERT_TRUE(first.waitFor(QStringLiteral("Adding timer: title=\"%1\"").arg(own)));
        QTest::qWait(300); // the timer is added from the event loop, just after the line
        stop(first);
        const auto saved = savedTimers();
        ASSERT_TRUE(saved.has_value());
        QStringList titles;
        for (const TimerItem& timer : *saved) {
            titles << timer.title;
        }
        EXPECT_EQ(titles.count(own), 1) << titles.join(u',').toStdString();
        EXPECT_EQ(titles.count(QStringLiteral("SECRET")), 0) << titles.join(u',').toStdString();
        // Nothing was ever sent to the other user's process.
        EXPECT_FALSE(squatter.output().contains(QStringLiteral("received"))) << "the link was sent";
    }
    {
        SCOPED_TRACE("another user hands a link to the running copy");
        Program first;
        first.start(environment());
        ASSERT_TRUE(first.waitFor(kReady)) << first.log().toStdString();
        OtherUsersPeer sender({QStringLiteral("send"), door,
                               QString::fromLatin1(HandOver::frame("url:" + secret.toUtf8()).toHex())});
        EXPECT_TRUE(sender.waitFor(QStringLiteral("hung up"))) << sender.output().toStdString();
        EXPECT_TRUE(
            first.waitFor(QStringLiteral("[SingleInstance] Refused a connection at the door from process")))
            << first.log().toStdString();
        // The user's own launches are still served.
        EXPECT_EQ(launchAgain({QStringLiteral("quorvane://start?minutes=7&title=Own")}), 0);
        EXPECT_TRUE(first.waitFor(QStringLiteral("Adding timer: title=\"Own\"")));
        stop(first);
        EXPECT_FALSE(first.log().contains(QStringLiteral("SECRET"))) << first.log().toStdString();
    }
}

TEST_F(DesktopProgramTest, AStoppedCopyWhoseQueueIsFullIsNeverTakenForAStrangerThoughItsLockIsUndone) {
    Program first;
    first.start(environment(), {QStringLiteral("quorvane://start?minutes=7&title=A0")});
    ASSERT_TRUE(first.waitFor(QStringLiteral("Adding timer: title=\"A0\""))) << first.log().toStdString();
    first.signal(SIGSTOP);
    // Launches that gave up fill its queue: each closed at once, each still waits there to be taken.
    int queued = 0;
    for (int fd; queued < 100'000 && (fd = connectToDoor(doorName(), false)) >= 0; ++queued) {
        ::close(fd);
    }
    ASSERT_EQ(errno, EAGAIN) << std::strerror(errno);
    ASSERT_GT(queued, 0);
    // The folder lock is undone: the door alone is left to decide.
    ASSERT_TRUE(QFile::remove(dataFolder() + QLatin1Char('/') + QLatin1String(DataFolderLock::fileName)));
    auto beside = launch({QStringLiteral("quorvane://start?minutes=7&title=B")});
    ASSERT_TRUE(beside->waitForExit(20'000)) << beside->log().toStdString();
    EXPECT_EQ(beside->exitCode(), 1) << beside->log().toStdString();
    EXPECT_FALSE(beside->log().contains(kReady)) << "a second copy ran\n" << beside->log().toStdString();
    const QStringList lines = beside->log().split(u'\n').filter(QStringLiteral("[Main]"));
    ASSERT_EQ(lines.size(), 1) << beside->log().toStdString();
    EXPECT_TRUE(
        lines[0].contains(QStringLiteral("Could not reach the running copy: the running copy takes no "
                                         "connection at the door @%1: its queue is full")
                              .arg(QString::fromLatin1(doorName()))))
        << lines[0].toStdString();
    // Going on, it takes what waited, and the user's next launch.
    first.signal(SIGCONT);
    EXPECT_EQ(launchAgain({QStringLiteral("quorvane://start?minutes=7&title=C")}), 0);
    ASSERT_TRUE(first.waitFor(QStringLiteral("Adding timer: title=\"C\""))) << first.log().toStdString();
    QTest::qWait(300); // the timer is added from the event loop, just after the line
    stop(first);
    QStringList saved;
    for (const TimerItem& timer : savedTimers().value_or(QList<TimerItem>())) {
        saved << timer.title;
    }
    EXPECT_EQ(saved, (QStringList{QStringLiteral("A0"), QStringLiteral("C")}));
}

TEST_F(DesktopProgramTest, ALaunchThatReachesTheDataFolderByAnotherPathHandsOverToTheOneCopy) {
    // The configuration folder through a symlink, spelled with a trailing "/." besides.
    const QString linked = home.filePath(QStringLiteral("linked-config"));
    ASSERT_TRUE(QFile::link(home.filePath(QStringLiteral("config")), linked));
    Program first;
    first.start(environment());
    ASSERT_TRUE(first.waitFor(kReady)) << first.log().toStdString();
    std::vector<std::unique_ptr<Program>> launches;
    changeEnvironment = [&](QProcessEnvironment& env) {
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), linked + QStringLiteral("/."));
    };
    launches.push_back(launch({QStringLiteral("quorvane://start?minutes=7&title=Linked")}));
    changeEnvironment = nullptr;
    launches.push_back(launch({QStringLiteral("quorvane://start?minutes=7&title=Direct")}));
    expectEveryLinkCarriedOutByTheFirst(*this, first, launches,
                                        {QStringLiteral("Linked"), QStringLiteral("Direct")});
}

TEST_F(DesktopProgramTest, ALaunchThatCannotSeeTheDoorIsKeptOutByTheFolderLock) {
    // Another network namespace has abstract names of its own: the running copy's door is not there.
    QProcess probe;
    probe.start(QStringLiteral("unshare"), {QStringLiteral("-n"), QStringLiteral("true")});
    if (!probe.waitForFinished(kWaitMs) || probe.exitStatus() != QProcess::NormalExit ||
        probe.exitCode() != 0) {
        GTEST_SKIP() << "cannot make a network namespace here (needs root, or user namespaces): "
                     << probe.readAllStandardError().toStdString();
    }
    Program first;
    first.start(environment());
    ASSERT_TRUE(first.waitFor(kReady)) << first.log().toStdString();
    Program outside;
    outside.start(environment(), {QStringLiteral("quorvane://start?minutes=7&title=Outside")},
                  {QStringLiteral("unshare"), QStringLiteral("-n")});
    ASSERT_TRUE(outside.waitForExit(20'000)) << outside.log().toStdString();
    EXPECT_EQ(outside.exitCode(), 1) << outside.log().toStdString();
    EXPECT_FALSE(outside.log().contains(kReady)) << "a second copy ran";
    const QStringList lines = outside.log().split(u'\n').filter(QStringLiteral("[Main]"));
    ASSERT_EQ(lines.size(), 1) << outside.log().toStdString();
    EXPECT_TRUE(lines[0].endsWith(QStringLiteral("[Main] Could not reach the running copy: another copy uses "
                                                 "the data folder %1 and cannot be reached from here")
                                      .arg(Door::folder(dataFolder()))))
        << lines[0].toStdString();
    // The copy is still the one, and serves its own launches.
    EXPECT_EQ(launchAgain({QStringLiteral("quorvane://start?minutes=7&title=Inside")}), 0);
    ASSERT_TRUE(first.waitFor(QStringLiteral("Adding timer: title=\"Inside\"")));
    QTest::qWait(300);
    stop(first);
    EXPECT_FALSE(first.log().contains(QStringLiteral("Outside")));
    QStringList saved;
    for (const TimerItem& timer : savedTimers().value_or(QList<TimerItem>())) {
        saved << timer.title;
    }
    EXPECT_EQ(saved, QStringList{QStringLiteral("Inside")});
}

TEST_F(DesktopProgramTest, ALinkConfirmedJustBeforeTheDisplayGoesIsCarriedOutAndSaved) {
    // When the X server goes, the program may notice first and quit, or Qt ends it from inside its event
    // loop: which comes first varies. Where only the connection Qt draws through is cut, Qt's way is the one
    // way out, as the program's own watch on the display sees nothing.
    const struct {
        const char* behaviour;
        bool serverGoes; // else the server stays, and the program's drawing connection is cut
    } rounds[] = {
        {"the X server goes", true},
        {"the connection Qt draws through is cut, the timers on the screen", false},
        {"the X server goes, again", true},
        {"the connection Qt draws through is cut, the timers on the screen, again", false},
    };
    QStringList titles;
    for (const auto& round : rounds) {
        SCOPED_TRACE(round.behaviour);
        if (!display) {
            display = std::make_unique<XvfbDisplay>(QStringLiteral("1280x1024x24"));
            ASSERT_TRUE(display->isRunning());
        }
        // The copy stops itself once it has answered a launch: the launch confirms, and reports success,
        // while the copy has not read the confirmation yet.
        QProcessEnvironment env = environment();
        env.insert(QStringLiteral("TT_STOP_AT"), QStringLiteral("hand-over.answered"));
        Program first;
        first.start(env);
        ASSERT_TRUE(first.waitFor(kReady)) << first.log().toStdString();
        // Where the connection is cut, the program's timers are on the screen, as a user has them: with no
        // tray they open in a window, made through that connection, once the program has waited for a panel.
        const ProgramWindow window =
            round.serverGoes ? ProgramWindow{} : waitForWindow([](const ProgramWindow&) { return true; });
        ASSERT_TRUE(round.serverGoes || !window.id.isEmpty()) << first.log().toStdString();
        titles << QStringLiteral("Round%1").arg(titles.size());
        EXPECT_EQ(launchAgain({QStringLiteral("quorvane://start?minutes=7&title=") + titles.last()}), 0);
        ASSERT_TRUE(first.waitUntilStopped()) << first.log().toStdString();
        if (round.serverGoes) {
            display.reset();
        } else {
            xcb_connection_t* c = xcb_connect(display->name().toLatin1().constData(), nullptr);
            ASSERT_FALSE(xcb_connection_has_error(c));
            xcb_kill_client(c, window.id.toUInt(nullptr, 16));
            std::free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr)); // done before going on
            xcb_disconnect(c);
        }
        first.signal(SIGCONT);
        ASSERT_TRUE(first.waitForExit()) << first.log().toStdString();
        if (!round.serverGoes) {
            EXPECT_EQ(first.count(QStringLiteral("Ended from inside the event loop")), 1)
                << first.log().toStdString();
        }
        QStringList saved;
        for (const TimerItem& timer : savedTimers().value_or(QList<TimerItem>())) {
            saved << timer.title;
        }
        EXPECT_EQ(saved.join(u','), titles.join(u','))
            << first.log().toStdString() << "STATUS " << first.exitStatus() << " code " << first.exitCode();
    }
}

TEST_F(DesktopProgramTest, NearTheEndOfTheDescriptorTableEveryLinkWhoseLaunchSucceededIsSaved) {
    const QString noRoom =
        QStringLiteral("[SingleInstance] Not letting launches in at the door while fewer than");
    const struct {
        const char* behaviour;
        rlim_t startLimit;
        // How many descriptors are left free once the copy is at rest: the limit is lowered to that while it
        // runs; -1 keeps the one it started with.
        int freeAtRest;
        bool served; // some launches are let in
        // The program's own needs nearly fill the table: its save may find no descriptor either, and then it
        // says so and ends with status 1.
        bool atTheEdge;
    } rows[] = {
        // What the program needs at rest and the door's reserve do not fit.
        {"a limit that leaves no room to serve launches from the start", 40, -1, false, false},
        {"a limit barely above what the program needs, from the start", 19, -1, false, true},
        {"a limit lowered to just above what the program needs at rest", 4096, 1, false, true},
        {"a limit with room for a few launches at a time", 4096, SocketListener::descriptorReserve + 4, true,
         false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.behaviour);
        QFile::remove(preferencesPath());
        writePreferences({{QStringLiteral("bl.hasSeenOnboarding"), true}});
        Program first;
        first.limitDescriptors(row.startLimit);
        first.start(environment());
        ASSERT_TRUE(first.waitFor(kReady)) << first.log().toStdString();
        if (row.freeAtRest < 0) {
            EXPECT_TRUE(first.waitFor(noRoom)) << "said at start\n" << first.log().toStdString();
        } else {
            QTest::qWait(500); // start-up's own descriptors are closed again
            const rlim_t inUse =
                rlim_t(QDir(QStringLiteral("/proc/%1/fd").arg(first.pid()))
                           .entryList(QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot)
                           .size());
            const rlim_t low = inUse + rlim_t(row.freeAtRest);
            const rlimit limit{low, low};
            ASSERT_EQ(::prlimit(pid_t(first.pid()), RLIMIT_NOFILE, &limit, nullptr), 0)
                << std::strerror(errno);
        }
        // A burst: every launch has sent its link before the copy gets to any, so the door meets them all at
        // once.
        first.signal(SIGSTOP);
        std::vector<std::unique_ptr<Program>> launches;
        for (int i = 0; i < 16; ++i) {
            launches.push_back(launch({QStringLiteral("quorvane://start?minutes=5&title=Burst%1").arg(i)},
                                      QStringLiteral("hand-over.sent")));
            ASSERT_TRUE(launches.back()->waitUntilStopped()) << launches.back()->log().toStdString();
        }
        for (const auto& later : launches) {
            later->signal(SIGCONT);
        }
        first.signal(SIGCONT);
        QStringList succeeded;
        for (int i = 0; i < int(launches.size()); ++i) {
            ASSERT_TRUE(launches[i]->waitForExit(20'000)) << launches[i]->log().toStdString();
            if (launches[i]->exitCode() == 0) {
                succeeded << QStringLiteral("Burst%1").arg(i);
            } else {
                EXPECT_EQ(launches[i]->exitCode(), 1) << launches[i]->log().toStdString();
            }
        }
        EXPECT_EQ(!succeeded.isEmpty(), row.served) << first.log().toStdString();
        // The copy gets to its reserve and says so, once for each run of waiting: where there is no room,
        // once in all.
        EXPECT_GE(first.count(noRoom), 1) << first.log().toStdString();
        if (!row.served) {
            EXPECT_EQ(first.count(noRoom), 1) << first.log().toStdString();
        }
        QTest::qWait(300); // each timer is added from the event loop, just after its line
        // SIGTERM ends it, and its last save succeeds, or it says why not.
        first.signal(SIGTERM);
        ASSERT_TRUE(first.waitForExit()) << first.log().toStdString();
        EXPECT_EQ(first.exitStatus(), QProcess::NormalExit);
        const bool saveFailed = first.log().contains(QStringLiteral("Could not write"));
        EXPECT_TRUE(!saveFailed || row.atTheEdge) << first.log().toStdString();
        EXPECT_EQ(first.exitCode(), saveFailed ? 1 : 0) << first.log().toStdString();
        QStringList saved;
        for (const TimerItem& timer : savedTimers().value_or(QList<TimerItem>())) {
            saved << timer.title;
        }
        saved.sort();
        succeeded.sort();
        EXPECT_EQ(saved, succeeded) << "every link whose launch exited 0, and no other\n"
                                    << first.log().toStdString();
    }
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

TEST_F(DesktopProgramTest, TheDoorOfAKilledFirstIsTakenOver) {
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
