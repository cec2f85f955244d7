// One running copy per user and data folder: the door, taken by one process only and handed over to
// otherwise, never to another user's process; the folder lock beside it, for where the door cannot decide;
// the hand-over of a later launch's message (acted on only once its sender confirmed the answer), and what
// the server does with clients that misbehave.
#include "platform/SingleInstance.h"
#include "platform/DataFolderLock.h"
#include "platform/Door.h"
#include "platform/FaultPoint.h"
#include "platform/HandOver.h"

#include "support/FullDescriptorTable.h"
#include "support/LogCapture.h"
#include "support/NoSocketDiagnostics.h"

#include <QDir>
#include <QFileInfo>
#include <QSignalSpy>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QtEndian>

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <future>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// The data folder of the copies a test runs.
QString dataIn(const QString& directory) {
    return directory + QStringLiteral("/data");
}

// Runs a later launch's claim on another thread while this one serves the door.
SingleInstance::Claim claimFromAnotherThread(const QString& directory, const QByteArray& message,
                                             int timeoutMs, QString* error = nullptr,
                                             uid_t user = ::geteuid()) {
    auto result = std::async(std::launch::async, [&] {
        SingleInstance later(dataIn(directory), user);
        return later.claim(message, timeoutMs, error);
    });
    while (result.wait_for(std::chrono::milliseconds(5)) != std::future_status::ready) {
        QCoreApplication::processEvents();
    }
    return result.get();
}

// A bare client connected to the door, as any local process could open one; -1 on failure.
int connectTo(const QByteArray& door) {
    const Door::Address at = Door::address(door);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&at.address), at.size) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

// What the server sent a bare client first: its answer byte, or nothing when it hung up without one;
// nullopt when neither came in time.
std::optional<QByteArray> firstReply(int fd) {
    std::optional<QByteArray> reply;
    [[maybe_unused]] const bool came = QTest::qWaitFor(
        [&] {
            char byte = 0;
            const ssize_t n = ::recv(fd, &byte, 1, MSG_DONTWAIT);
            if (n >= 0) {
                reply = QByteArray(&byte, int(n));
            }
            return reply.has_value();
        },
        5000);
    return reply;
}

} // namespace

TEST(SingleInstanceTest, ALaterLaunchHandsItsMessageToTheFirst) {
    const struct {
        const char* behaviour;
        QByteArray message;
    } rows[] = {
        {"a URL", QByteArrayLiteral("url:quorvane://start?minutes=2&title=Tea")},
        {"the request to be shown", QByteArrayLiteral("show")},
        {"an empty message", QByteArray()},
        {"bytes of every value", QByteArray("a\0b\nc\xff", 6)},
        {"a 100 kB message", QByteArray(100 * 1024, 'x')},
    };
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    SingleInstance first(dataIn(dir.path()));
    ASSERT_EQ(first.claim("unused", 1000), SingleInstance::Claim::primary);
    QString error;
    ASSERT_TRUE(first.listen(&error)) << error.toStdString();
    QSignalSpy received(&first, &SingleInstance::messageReceived);
    for (const auto& row : rows) {
        SCOPED_TRACE(row.behaviour);
        received.clear();
        EXPECT_EQ(claimFromAnotherThread(dir.path(), row.message, 5000), SingleInstance::Claim::handedOver);
        // Acted on once the confirmation is read, just after the sender wrote it.
        ASSERT_TRUE(QTest::qWaitFor([&] { return received.size() == 1; }, 5000));
        EXPECT_EQ(received[0][0].toByteArray(), row.message);
    }
}

TEST(SingleInstanceTest, ALaterLaunchWaitsForAFirstThatIsStillStarting) {
    QTemporaryDir dir;
    SingleInstance first(dataIn(dir.path()));
    ASSERT_EQ(first.claim("unused", 1000), SingleInstance::Claim::primary);
    QSignalSpy received(&first, &SingleInstance::messageReceived);
    // The first serves its socket only after a while, as after a slow start-up.
    QTimer::singleShot(300, &first, [&first] { first.listen(); });
    EXPECT_EQ(claimFromAnotherThread(dir.path(), "show", 5000), SingleInstance::Claim::handedOver);
    EXPECT_TRUE(QTest::qWaitFor([&] { return received.size() == 1; }, 5000));
}

TEST(SingleInstanceTest, AFirstThatNeverAnswersMakesTheLaterLaunchFail) {
    QTemporaryDir dir;
    SingleInstance first(dataIn(dir.path()));
    ASSERT_EQ(first.claim("unused", 1000), SingleInstance::Claim::primary);
    QString error;
    EXPECT_EQ(claimFromAnotherThread(dir.path(), "show", 300, &error), SingleInstance::Claim::failed);
    EXPECT_FALSE(error.isEmpty());
}

TEST(SingleInstanceTest, WithNoSocketToBeHadTheLaunchRunsUnguarded) {
    QTemporaryDir dir;
    SingleInstance instance(dataIn(dir.path()));
    QString error;
    SingleInstance::Claim claim;
    {
        FullDescriptorTable full;
        claim = instance.claim("show", 300, &error);
    }
    EXPECT_EQ(claim, SingleInstance::Claim::unguarded);
    EXPECT_TRUE(error.startsWith(QStringLiteral("Cannot open the door @tarvolintimer-")))
        << qPrintable(error);
    EXPECT_FALSE(instance.listen());
}

TEST(SingleInstanceTest, TheDoorPassesOnWhenTheFirstEnds) {
    QTemporaryDir dir;
    {
        SingleInstance first(dataIn(dir.path()));
        ASSERT_EQ(first.claim("unused", 1000), SingleInstance::Claim::primary);
        ASSERT_TRUE(first.listen());
    }
    SingleInstance next(dataIn(dir.path()));
    EXPECT_EQ(next.claim("show", 1000), SingleInstance::Claim::primary);
    EXPECT_TRUE(next.listen());
}

TEST(SingleInstanceTest, AClientThatClaimsTooLongAMessageIsCutOffAndTheServerGoesOn) {
    QTemporaryDir dir;
    SingleInstance first(dataIn(dir.path()));
    ASSERT_EQ(first.claim("unused", 1000), SingleInstance::Claim::primary);
    ASSERT_TRUE(first.listen());
    QSignalSpy received(&first, &SingleInstance::messageReceived);

    const int fd = connectTo(first.doorName());
    ASSERT_GE(fd, 0);
    QByteArray header = HandOver::frame({});
    qToBigEndian(quint32(HandOver::maxMessageBytes + 1), header.data() + header.size() - 4);
    ASSERT_EQ(::write(fd, header.constData(), size_t(header.size())), header.size());
    // The server hangs up without an answer.
    bool closed = QTest::qWaitFor(
        [fd] {
            char byte = 0;
            return ::recv(fd, &byte, 1, MSG_DONTWAIT) == 0;
        },
        3000);
    ::close(fd);
    EXPECT_TRUE(closed);
    EXPECT_EQ(received.size(), 0);
    EXPECT_EQ(claimFromAnotherThread(dir.path(), "show", 5000), SingleInstance::Claim::handedOver);
    EXPECT_TRUE(QTest::qWaitFor([&] { return received.size() == 1; }, 5000));
}

TEST(SingleInstanceTest, AClientQueuedWithNoDescriptorLeftIsLetInLaterAndTheSocketStaysServed) {
    QTemporaryDir dir;
    SingleInstance first(dataIn(dir.path()));
    ASSERT_EQ(first.claim("unused", 1000), SingleInstance::Claim::primary);
    ASSERT_TRUE(first.listen());
    QSignalSpy received(&first, &SingleInstance::messageReceived);
    LogCapture log;
    // A client queued with its whole message before the server gets to accept it.
    const int fd = connectTo(first.doorName());
    ASSERT_GE(fd, 0);
    const QByteArray framed = HandOver::frame("queued");
    ASSERT_EQ(::write(fd, framed.constData(), size_t(framed.size())), framed.size());
    {
        FullDescriptorTable full;
        EXPECT_TRUE(QTest::qWaitFor([&] { return !log.lines().isEmpty(); }, 3000));
    }
    ASSERT_FALSE(log.lines().isEmpty());
    EXPECT_TRUE(
        log.lines()[0].startsWith(u"[SingleInstance] Not letting launches in at the door while fewer "))
        << qPrintable(log.lines()[0]);
    // With descriptors free again the queued client is answered, and later launches are too.
    EXPECT_EQ(firstReply(fd), QByteArray(1, HandOver::answer));
    EXPECT_EQ(::write(fd, &HandOver::confirmation, 1), 1);
    EXPECT_TRUE(QTest::qWaitFor([&] { return received.size() == 1; }, 5000));
    ::close(fd);
    EXPECT_EQ(received.value(0).value(0).toByteArray(), QByteArray("queued"));
    EXPECT_EQ(claimFromAnotherThread(dir.path(), "show", 5000), SingleInstance::Claim::handedOver);
    EXPECT_TRUE(first.isListening());
}

TEST(SingleInstanceTest, EachUserAndDataFolderHasADoorOfItsOwn) {
    const QString folder = QStringLiteral("/home/a/.config/TarvolinTimer");
    const QByteArray door = Door::name(folder, 1000);
    EXPECT_EQ(Door::name(folder + QLatin1Char('/'), 1000), door);
    EXPECT_EQ(Door::name(QStringLiteral("/home/a/.config/../.config/TarvolinTimer"), 1000), door);
    EXPECT_NE(Door::name(QStringLiteral("/home/b/.config/TarvolinTimer"), 1000), door);
    EXPECT_NE(Door::name(folder, 1001), door);
    // Every path that reaches one folder, through symlinks too, names its door; whether it exists yet or not.
    QTemporaryDir dir;
    ASSERT_TRUE(QDir().mkpath(dir.filePath(QStringLiteral("real/config/TarvolinTimer"))));
    ASSERT_TRUE(QDir().mkpath(dir.filePath(QStringLiteral("real/deeper/still"))));
    ASSERT_TRUE(
        QFile::link(dir.filePath(QStringLiteral("real/config")), dir.filePath(QStringLiteral("link"))));
    ASSERT_TRUE(QFile::link(dir.filePath(QStringLiteral("real/deeper/still")),
                            dir.filePath(QStringLiteral("real/up"))));
    for (const char* made : {"TarvolinTimer", "Later/TarvolinTimer"}) {
        SCOPED_TRACE(made);
        const QByteArray own =
            Door::name(dir.filePath(QStringLiteral("real/config/")) + QLatin1String(made), 1000);
        for (const char* other : {"link/", "link/./", "real/up/../../config/", "real/up/../../../link/"}) {
            SCOPED_TRACE(other);
            EXPECT_EQ(Door::name(dir.filePath(QLatin1String(other)) + QLatin1String(made), 1000), own);
        }
    }
    // Whole in an address, whatever the path's length.
    const QByteArray deep = Door::name(QLatin1Char('/') + QString(4000, u'd'), 4294967294U);
    EXPECT_LT(deep.size(), qsizetype(sizeof(sockaddr_un::sun_path)));
}

TEST(SingleInstanceTest, NoSecondCopyOfADataFolderStartsWhileTheFirstRuns) {
    const struct {
        const char* behaviour;
        const char* secondData;
        std::function<void(const QString& data)> meanwhile;
        SingleInstance::Claim second;
    } rows[] = {
        {"a copy of the same folder", "data", nullptr, SingleInstance::Claim::failed},
        {"a copy of the same folder spelled another way", "other/../data/", nullptr,
         SingleInstance::Claim::failed},
        {"a copy of the same folder, removed and made anew", "data",
         [](const QString& data) {
             ASSERT_TRUE(QDir(data).removeRecursively());
             ASSERT_TRUE(QDir().mkpath(data));
         },
         SingleInstance::Claim::failed},
        {"a copy of the same folder, removed", "data",
         [](const QString& data) { ASSERT_TRUE(QDir(data).removeRecursively()); },
         SingleInstance::Claim::failed},
        {"a copy of the same folder reached through a symlink", "link/", nullptr,
         SingleInstance::Claim::failed},
        {"a copy of another folder", "other", nullptr, SingleInstance::Claim::primary},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.behaviour);
        QTemporaryDir dir;
        ASSERT_TRUE(QDir().mkpath(dir.filePath(QStringLiteral("data"))));
        ASSERT_TRUE(QFile::link(dir.filePath(QStringLiteral("data")), dir.filePath(QStringLiteral("link"))));
        // The first does not serve its door: the second can only refuse or take over.
        SingleInstance first(dir.filePath(QStringLiteral("data")));
        ASSERT_EQ(first.claim("unused", 1000), SingleInstance::Claim::primary);
        if (row.meanwhile) {
            row.meanwhile(dir.filePath(QStringLiteral("data")));
        }
        SingleInstance second(dir.filePath(QLatin1String(row.secondData)));
        EXPECT_EQ(second.claim("show", 300), row.second);
    }
}

TEST(SingleInstanceTest, AMessageIsActedOnExactlyWhenItsSenderReportsSuccess) {
    // Each sender connects and sends its message; it returns whether it would report success.
    const auto bare = [](const QByteArray& bytes, const std::function<bool(int fd)>& afterSending) {
        return [bytes, afterSending](const QByteArray& door) {
            const int fd = connectTo(door);
            const bool sent = fd >= 0 && ::write(fd, bytes.constData(), size_t(bytes.size())) == bytes.size();
            const bool succeeded = sent && afterSending(fd);
            ::close(fd);
            return succeeded;
        };
    };
    const auto answeredThen = [](std::optional<char> reply) {
        return [reply](int fd) {
            if (firstReply(fd) == QByteArray(1, HandOver::answer) && reply) {
                return ::write(fd, &*reply, 1) == 1 && *reply == HandOver::confirmation;
            }
            return false;
        };
    };
    const struct {
        const char* behaviour;
        std::function<bool(const QByteArray& door)> sender;
        bool succeeds;
        const char* logged; // what the server says of a message it drops
        // A sender that gave up is usual (its launch tries again or reports failure): not an error.
        TarvolinTimerLogger::Level level = TarvolinTimerLogger::Level::info;
    } rows[] = {
        {"a sender that confirms the answer",
         [](const QByteArray& door) {
             auto result = std::async(std::launch::async, [&] {
                 return HandOver::send(door, "confirmed", ::geteuid(), 5000, nullptr) ==
                        HandOver::Delivery::confirmed;
             });
             while (result.wait_for(std::chrono::milliseconds(5)) != std::future_status::ready) {
                 QCoreApplication::processEvents();
             }
             return result.get();
         },
         true, nullptr},
        // As when the running copy is stopped: it reads the message only after the sender gave up.
        {"a sender that gave up before the answer",
         [](const QByteArray& door) {
             return std::async(std::launch::async,
                               [&] {
                                   return HandOver::send(door, "gave up", ::geteuid(), 200, nullptr) ==
                                          HandOver::Delivery::confirmed;
                               })
                 .get();
         },
         false, "[SingleInstance] Dropped a handed-over message of 7 bytes: its sender had already given up"},
        {"a sender that hangs up after the answer", bare(HandOver::frame("hung up"), answeredThen({})), false,
         "[SingleInstance] Dropped a handed-over message of 7 bytes: its sender did not confirm"},
        {"a sender that answers with another byte", bare(HandOver::frame("garbled"), answeredThen('x')),
         false, "[SingleInstance] Dropped a handed-over message of 7 bytes: its sender did not confirm",
         TarvolinTimerLogger::Level::error},
        {"a sender of another kind, refused unanswered",
         bare(QByteArray("\0\0\0\4show", 8), [](int fd) { return firstReply(fd) != QByteArray(); }), false,
         nullptr},
    };
    QTemporaryDir dir;
    SingleInstance first(dataIn(dir.path()));
    ASSERT_EQ(first.claim("unused", 1000), SingleInstance::Claim::primary);
    ASSERT_TRUE(first.listen());
    QSignalSpy received(&first, &SingleInstance::messageReceived);
    LogCapture log;
    for (const auto& row : rows) {
        SCOPED_TRACE(row.behaviour);
        received.clear();
        log.clear();
        const bool succeeded = row.sender(first.doorName());
        EXPECT_EQ(succeeded, row.succeeds);
        if (succeeded) {
            EXPECT_TRUE(QTest::qWaitFor([&] { return received.size() == 1; }, 5000));
        } else if (row.logged) {
            EXPECT_TRUE(QTest::qWaitFor(
                [&] {
                    return !log.lines().isEmpty() && log.lines()[0].startsWith(QLatin1String(row.logged));
                },
                5000))
                << qPrintable(log.lines().join(u'\n'));
            EXPECT_EQ(log.entries().value(0).level, row.level);
        }
        EXPECT_EQ(received.size(), succeeded ? 1 : 0);
        EXPECT_EQ(log.lines().size(), row.logged ? 1 : 0) << qPrintable(log.lines().join(u'\n'));
    }
}

TEST(SingleInstanceTest, ALaunchThatFindsTheDoorTakenHandsOverToItsHolderOrTakesItOnceFree) {
    struct Machine {
        QTemporaryDir dir;
        std::unique_ptr<SingleInstance> copy; // the running copy, served from this thread
        std::unique_ptr<QSignalSpy> received;
        void start() {
            copy = std::make_unique<SingleInstance>(dataIn(dir.path()));
            ASSERT_EQ(copy->claim("unused", 1000), SingleInstance::Claim::primary);
            ASSERT_TRUE(copy->listen());
            received = std::make_unique<QSignalSpy>(copy.get(), &SingleInstance::messageReceived);
        }
    };
    const struct {
        const char* behaviour;
        std::function<void(Machine&)> before;
        // The launch is held at this moment of its claim while `atMoment` runs here; until then this thread
        // serves nothing.
        const char* moment;
        std::function<void(Machine&)> atMoment;
        SingleInstance::Claim claim;
    } rows[] = {
        {"a copy whose data folder was removed",
         [](Machine& m) {
             m.start();
             ASSERT_TRUE(QDir(dataIn(m.dir.path())).removeRecursively());
         },
         nullptr, nullptr, SingleInstance::Claim::handedOver},
        {"a copy that has bound the door and not listened yet", [](Machine&) {}, "door.bound",
         [](Machine&) {}, SingleInstance::Claim::handedOver},
        {"a copy that ends just after the launch found the door taken", [](Machine& m) { m.start(); },
         "single-instance.door-in-use", [](Machine& m) { m.copy.reset(); }, SingleInstance::Claim::primary},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.behaviour);
        Machine machine;
        row.before(machine);
        std::atomic<bool> held = false;
        std::atomic<bool> released = false;
        // The first to reach the moment is held: the running copy where it is still starting, else the
        // launch.
        FaultPoint::setHandler([&](const char* moment) {
            if (row.moment && std::strcmp(moment, row.moment) == 0 && !held.exchange(true)) {
                while (!released) {
                    QThread::msleep(1);
                }
            }
        });
        // A copy still starting, on a thread of its own: it serves its door there once it listens.
        std::unique_ptr<QThread> starting;
        if (row.moment && !machine.copy && std::strcmp(row.moment, "door.bound") == 0) {
            starting.reset(QThread::create([&] {
                SingleInstance starter(dataIn(machine.dir.path()));
                EXPECT_EQ(starter.claim("unused", 1000), SingleInstance::Claim::primary);
                starter.listen();
                QSignalSpy received(&starter, &SingleInstance::messageReceived);
                EXPECT_TRUE(received.wait(5000));
            }));
            starting->start();
            ASSERT_TRUE(QTest::qWaitFor([&] { return held.load(); }, 5000));
        }
        auto claim = std::async(std::launch::async, [&] {
            SingleInstance later(dataIn(machine.dir.path()));
            return later.claim("show", 5000);
        });
        if (starting) {
            QThread::msleep(200); // the launch finds the door bound, and no one listening
            released = true;
        }
        while (claim.wait_for(std::chrono::milliseconds(5)) != std::future_status::ready) {
            if (held && !released) {
                row.atMoment(machine);
                released = true;
            }
            if (!row.moment || released) {
                QCoreApplication::processEvents();
            }
        }
        EXPECT_EQ(claim.get(), row.claim);
        if (starting) {
            EXPECT_TRUE(starting->wait(5000));
        }
        FaultPoint::setHandler(nullptr);
        if (machine.copy) {
            EXPECT_TRUE(QTest::qWaitFor([&] { return machine.received->size() == 1; }, 5000));
        }
    }
}

namespace {

enum class AtTheDoor { nobody, listener, bindsOnly, fullQueue };

// A process at a door, as anyone may be: one that listens, one that only binds the name, or one that listens
// with room for one connection in its queue and fills it itself, never accepting. The door's socket, and
// the one that fills its queue; -1 on failure.
std::pair<int, int> strangerAt(const QByteArray& door, AtTheDoor kind) {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    const Door::Address at = Door::address(door);
    if (::bind(fd, reinterpret_cast<const sockaddr*>(&at.address), at.size) != 0 ||
        (kind != AtTheDoor::bindsOnly && ::listen(fd, kind == AtTheDoor::fullQueue ? 0 : 64) != 0)) {
        ::close(fd);
        return {-1, -1};
    }
    int filler = -1;
    if (kind == AtTheDoor::fullQueue) {
        filler = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
        EXPECT_EQ(::connect(filler, reinterpret_cast<const sockaddr*>(&at.address), at.size), 0);
        const int another = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
        EXPECT_NE(::connect(another, reinterpret_cast<const sockaddr*>(&at.address), at.size), 0);
        EXPECT_EQ(errno, EAGAIN) << "the queue is not full";
        ::close(another);
    }
    return {fd, filler};
}

} // namespace

TEST(SingleInstanceTest, TheKernelNamesTheSocketThatHoldsADoorWithNoConnectionMade) {
    const struct {
        const char* behaviour;
        int type;        // of the socket bound to the name, 0 for none
        int listen;      // its queue's room; -1: it does not listen
        int connections; // made to it, the first of them taken when `taken`
        bool taken;
        std::optional<Door::Holder> holder; // the user is this process's
        const char* error = "";
    } rows[] = {
        {"nobody holds the name", 0, -1, 0, false, std::nullopt, "no socket holds the name now"},
        {"a socket only binds it", SOCK_STREAM, -1, 0, false, Door::Holder{0, false, 0}},
        {"a listener with two connections waiting", SOCK_STREAM, 8, 2, false, Door::Holder{0, true, 2}},
        // A connection taken shares the listener's name, but not always its owner.
        {"a listener whose one connection was taken", SOCK_STREAM, 8, 1, true, Door::Holder{0, true, 0}},
        {"a datagram socket holds a name of its own kind", SOCK_DGRAM, -1, 0, false, std::nullopt,
         "no socket holds the name now"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.behaviour);
        const QByteArray name = "tarvolintimer-test-" + QByteArray::number(::getpid()) + '-' +
                                QByteArray::number(qint64(&row - rows));
        const Door::Address at = Door::address(name);
        std::vector<int> open;
        if (row.type != 0) {
            open.push_back(::socket(AF_UNIX, row.type | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
            ASSERT_EQ(::bind(open[0], reinterpret_cast<const sockaddr*>(&at.address), at.size), 0);
            ASSERT_TRUE(row.listen < 0 || ::listen(open[0], row.listen) == 0);
        }
        for (int i = 0; i < row.connections; ++i) {
            open.push_back(connectTo(name));
            ASSERT_GE(open.back(), 0);
        }
        if (row.taken) {
            open.push_back(::accept4(open[0], nullptr, nullptr, SOCK_CLOEXEC));
            ASSERT_GE(open.back(), 0);
        }
        QString error;
        const std::optional<Door::Holder> holder = Door::holder(name, &error);
        ASSERT_EQ(holder.has_value(), row.holder.has_value()) << qPrintable(error);
        if (holder) {
            EXPECT_EQ(holder->user, ::geteuid());
            EXPECT_EQ(holder->listening, row.holder->listening);
            EXPECT_EQ(holder->waiting, row.holder->waiting);
        } else {
            EXPECT_EQ(error, QLatin1String(row.error));
        }
        for (const int fd : open) {
            ::close(fd);
        }
    }
}

TEST(SingleInstanceTest, WhereTheDoorCannotDecideTheFolderLockKeepsOneCopyAndNothingReachesAStranger) {
    // This process stands for another user at the door: the launch is told its own user is someone else,
    // so the process it finds there is not of its user. In the rows of the user's own, it is the user's
    // own copy, held up.
    const uid_t someoneElse = ::geteuid() + 1;
    using Holder = std::shared_ptr<void>;
    // What holds the data folder meanwhile.
    const auto free = [](const QString&) { return Holder(); };
    const auto lockedByACopy = [](const QString& data) {
        auto lock = std::make_shared<DataFolderLock>(data);
        EXPECT_EQ(lock->take(), DataFolderLock::State::taken);
        return Holder(lock);
    };
    // A copy whose door the launch does not see (its door has another name, as from another namespace).
    const auto runningBehindAnotherDoor = [](const QString& data) {
        auto copy = std::make_shared<SingleInstance>(data, ::geteuid() + 2);
        EXPECT_EQ(copy->claim("unused", 1000), SingleInstance::Claim::primary);
        return Holder(copy);
    };
    const auto unlockable = [](const QString& data) {
        EXPECT_TRUE(QDir(data).mkdir(QLatin1String(DataFolderLock::fileName)));
        return Holder();
    };
    const QString foreign = QStringLiteral("the door @%door is held by process %pid of user %me, not by this "
                                           "user (%them); nothing was sent to it");
    const QString unreachable =
        QStringLiteral("another copy uses the data folder %folder and cannot be reached from here");
    const QString strangerWhoseQueueIsFull = QStringLiteral(
        "the door @%door is held by a socket of user %me, not by this user (%them), whose queue is full");
    const QString strangerBound = QStringLiteral(
        "the door @%door is held by a socket of user %me, not by this user (%them), that does not answer");
    const QString heldUp = QStringLiteral("the running copy takes no connection at the door @%door: ");
    const QString untold = QStringLiteral("the door @%door is held by a process that %1 there, whose cannot "
                                          "be told (socket: Address family not "
                                          "supported by protocol)");
    enum Whose { stranger, own, untoldByTheKernel };
    // Each deadline past the one-second grace of a door whose holder cannot be told, where the launch is to
    // keep asking.
    const struct {
        const char* behaviour;
        AtTheDoor atTheDoor;
        std::function<Holder(const QString& data)> folder;
        int timeoutMs;
        SingleInstance::Claim claim;
        QString error;
        Whose whose = stranger;
    } rows[] = {
        {"another user listens at the door", AtTheDoor::listener, free, 3000,
         SingleInstance::Claim::lockedOnly, foreign},
        // Not one connection gets in: the kernel tells whose it is, at once.
        {"another user only binds the door", AtTheDoor::bindsOnly, free, 3000,
         SingleInstance::Claim::lockedOnly, strangerBound},
        {"another user's process whose queue is full holds the door", AtTheDoor::fullQueue, free, 3000,
         SingleInstance::Claim::lockedOnly, strangerWhoseQueueIsFull},
        // The user's own copy, stopped or stuck, whatever the lock says (removing the folder undoes it).
        {"the user's own process whose queue is full holds the door", AtTheDoor::fullQueue, free, 2500,
         SingleInstance::Claim::failed, heldUp + QStringLiteral("its queue is full (1 waiting)"), own},
        {"the user's own process only binds the door", AtTheDoor::bindsOnly, free, 2500,
         SingleInstance::Claim::failed, heldUp + QStringLiteral("it does not listen yet"), own},
        {"the user's own process whose queue is full holds the door, and a copy holds the folder",
         AtTheDoor::fullQueue, lockedByACopy, 300, SingleInstance::Claim::failed,
         heldUp + QStringLiteral("its queue is full (1 waiting)"), own},
        // Where the kernel cannot tell, a full queue is taken for the user's own copy held up.
        {"a process whose queue is full holds the door, whose the kernel cannot tell", AtTheDoor::fullQueue,
         free, 2500, SingleInstance::Claim::failed, untold.arg(QStringLiteral("takes no connection")),
         untoldByTheKernel},
        {"a process only binds the door, whose the kernel cannot tell", AtTheDoor::bindsOnly, free, 3000,
         SingleInstance::Claim::lockedOnly, untold.arg(QStringLiteral("does not answer")), untoldByTheKernel},
        {"another user listens, and a copy holds the folder", AtTheDoor::listener, lockedByACopy, 300,
         SingleInstance::Claim::failed, unreachable + QStringLiteral(" (") + foreign + QLatin1Char(')')},
        {"another user's process whose queue is full holds the door, and a copy holds the folder",
         AtTheDoor::fullQueue, lockedByACopy, 300, SingleInstance::Claim::failed,
         unreachable + QStringLiteral(" (") + strangerWhoseQueueIsFull + QLatin1Char(')')},
        {"another user only binds, and a copy holds the folder", AtTheDoor::bindsOnly, lockedByACopy, 300,
         SingleInstance::Claim::failed,
         unreachable + QStringLiteral(" (") + strangerBound + QLatin1Char(')')},
        {"a copy behind another door holds the folder", AtTheDoor::nobody, runningBehindAnotherDoor, 300,
         SingleInstance::Claim::failed, unreachable},
        // The door alone decides, as the lock would keep no second copy out.
        {"another user listens, and the folder cannot be locked", AtTheDoor::listener, unlockable, 300,
         SingleInstance::Claim::failed, foreign},
        {"nobody at the door, and the folder cannot be locked", AtTheDoor::nobody, unlockable, 300,
         SingleInstance::Claim::primary, QString()},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.behaviour);
        QTemporaryDir dir;
        const QString data = dataIn(dir.path());
        ASSERT_TRUE(QDir().mkpath(data));
        const Holder holder = row.folder(data);
        const uid_t user = row.whose == own ? ::geteuid() : someoneElse;
        const QByteArray door = Door::name(data, user);
        const auto [stranger, filler] =
            row.atTheDoor == AtTheDoor::nobody ? std::pair(-1, -1) : strangerAt(door, row.atTheDoor);
        ASSERT_TRUE(row.atTheDoor == AtTheDoor::nobody || stranger >= 0);

        SingleInstance launch(data, user);
        QString error;
        const auto claim = [&] {
            return launch.claim("url:quorvane://start?title=SECRET", row.timeoutMs, &error);
        };
        EXPECT_EQ(row.whose != untoldByTheKernel
                      ? claim()
                      : std::async(std::launch::async,
                                   [&] {
                                       EXPECT_TRUE(refuseSocketDiagnosticsOnThisThread())
                                           << std::strerror(errno);
                                       return claim();
                                   })
                            .get(),
                  row.claim);
        QString expected = row.error;
        expected.replace(QLatin1String("%door"), QString::fromLatin1(door))
            .replace(QLatin1String("%pid"), QString::number(::getpid()))
            .replace(QLatin1String("%me"), QString::number(::geteuid()))
            .replace(QLatin1String("%them"), QString::number(someoneElse))
            .replace(QLatin1String("%folder"), Door::folder(data));
        EXPECT_EQ(error, expected);
        // A copy that runs by the lock alone holds it: no other copy takes the folder meanwhile.
        if (row.claim == SingleInstance::Claim::lockedOnly) {
            EXPECT_EQ(DataFolderLock(data).take(), DataFolderLock::State::held);
            EXPECT_FALSE(launch.listen());
        }
        if (row.claim == SingleInstance::Claim::primary) {
            EXPECT_TRUE(launch.lockError().startsWith(QStringLiteral("Cannot lock ")))
                << qPrintable(launch.lockError());
        }
        // The launch connected once at most, and went without a byte: a holder known to be another user's is
        // not asked again, and a full queue lets no connection in.
        if (row.atTheDoor == AtTheDoor::listener || row.atTheDoor == AtTheDoor::fullQueue) {
            int connections = 0;
            for (int client; (client = ::accept4(stranger, nullptr, nullptr, SOCK_CLOEXEC)) >= 0;) {
                ++connections;
                char byte = 0;
                EXPECT_EQ(::recv(client, &byte, 1, MSG_DONTWAIT), filler >= 0 ? -1 : 0);
                ::close(client);
            }
            EXPECT_EQ(connections, 1)
                << (filler >= 0 ? "the queue's own filler only" : "one from the launch");
        }
        for (const int fd : {stranger, filler}) {
            if (fd >= 0) {
                ::close(fd);
            }
        }
    }
}
