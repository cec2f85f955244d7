// One running copy per data folder: a launch hands over to the copy that serves the socket, whatever the
// lock says, the lock, the hand-over of a later launch's message (acted on only once its sender confirmed
// the answer), the socket kept served when its file goes, and what the server does with clients that
// misbehave.
#include "platform/SingleInstance.h"
#include "platform/FaultPoint.h"
#include "platform/HandOver.h"
#include "platform/LocalSocketFile.h"

#include "support/LogCapture.h"

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
#include <optional>
#include <vector>

#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

const QString kKey = QStringLiteral("tt-test");

// The data folder of the copies a test runs; their sockets go to `directory` itself, as to a runtime folder.
QString dataIn(const QString& directory) {
    return directory + QStringLiteral("/data");
}

// Runs a later launch's claim on another thread while this one serves the socket.
SingleInstance::Claim claimFromAnotherThread(const QString& directory, const QByteArray& message,
                                             int timeoutMs, QString* error = nullptr) {
    auto result = std::async(std::launch::async, [&] {
        SingleInstance later(dataIn(directory), directory, kKey);
        return later.claim(message, timeoutMs, error);
    });
    while (result.wait_for(std::chrono::milliseconds(5)) != std::future_status::ready) {
        QCoreApplication::processEvents();
    }
    return result.get();
}

// A bare client connected to the server's socket, as any local process could open one; -1 on failure.
int connectTo(const QString& socketPath) {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray path = QFile::encodeName(socketPath);
    std::memcpy(address.sun_path, path.constData(), size_t(path.size()));
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) != 0) {
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

// Every entry of the socket's folder but the data folder goes, as a cleaner of the runtime folder does it.
void emptySocketFolder(const QString& directory) {
    const QDir folder(directory);
    for (const QString& name :
         folder.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot)) {
        if (name != QLatin1String("data")) {
            ASSERT_TRUE(QFile::remove(folder.filePath(name))) << qPrintable(name);
        }
    }
}

// Every descriptor this process may open is taken (the soft limit lowered to just above those in use), so
// the next accept fails; all is given back when it goes.
class FullDescriptorTable {
public:
    FullDescriptorTable() {
        ::getrlimit(RLIMIT_NOFILE, &m_previous);
        const int source = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
        const rlimit low{rlim_t(source) + 8, m_previous.rlim_max};
        ::setrlimit(RLIMIT_NOFILE, &low);
        m_taken.push_back(source);
        for (int fd = 0; (fd = ::fcntl(source, F_DUPFD_CLOEXEC, 0)) >= 0;) {
            m_taken.push_back(fd);
        }
    }
    ~FullDescriptorTable() {
        for (int fd : m_taken) {
            ::close(fd);
        }
        ::setrlimit(RLIMIT_NOFILE, &m_previous);
    }

private:
    rlimit m_previous{};
    std::vector<int> m_taken;
};

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
    SingleInstance first(dataIn(dir.path()), dir.path(), kKey);
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
    // Only its owner may reach the socket.
    const QFileInfo socket(first.socketPath());
    EXPECT_EQ(socket.permissions() &
                  (QFile::ReadGroup | QFile::WriteGroup | QFile::ReadOther | QFile::WriteOther),
              QFile::Permissions());
}

TEST(SingleInstanceTest, ALaterLaunchWaitsForAFirstThatIsStillStarting) {
    QTemporaryDir dir;
    SingleInstance first(dataIn(dir.path()), dir.path(), kKey);
    ASSERT_EQ(first.claim("unused", 1000), SingleInstance::Claim::primary);
    QSignalSpy received(&first, &SingleInstance::messageReceived);
    // The first serves its socket only after a while, as after a slow start-up.
    QTimer::singleShot(300, &first, [&first] { first.listen(); });
    EXPECT_EQ(claimFromAnotherThread(dir.path(), "show", 5000), SingleInstance::Claim::handedOver);
    EXPECT_TRUE(QTest::qWaitFor([&] { return received.size() == 1; }, 5000));
}

TEST(SingleInstanceTest, AFirstThatNeverAnswersMakesTheLaterLaunchFail) {
    QTemporaryDir dir;
    SingleInstance first(dataIn(dir.path()), dir.path(), kKey);
    ASSERT_EQ(first.claim("unused", 1000), SingleInstance::Claim::primary);
    QString error;
    EXPECT_EQ(claimFromAnotherThread(dir.path(), "show", 300, &error), SingleInstance::Claim::failed);
    EXPECT_FALSE(error.isEmpty());
}

TEST(SingleInstanceTest, WithNoPlaceForTheLockTheLaunchRunsUnguarded) {
    QTemporaryDir dir;
    // A file where the folder should be: no lock can be made there, even as root.
    QFile blocker(dir.filePath(QStringLiteral("blocked")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const QString blocked = dir.filePath(QStringLiteral("blocked/sub"));
    SingleInstance instance(blocked, blocked, kKey);
    QString error;
    EXPECT_EQ(instance.claim("show", 300, &error), SingleInstance::Claim::unguarded);
    EXPECT_TRUE(error.startsWith(QStringLiteral("Cannot lock"))) << qPrintable(error);
}

TEST(SingleInstanceTest, TheLockPassesOnWhenTheFirstEnds) {
    QTemporaryDir dir;
    {
        SingleInstance first(dataIn(dir.path()), dir.path(), kKey);
        ASSERT_EQ(first.claim("unused", 1000), SingleInstance::Claim::primary);
        ASSERT_TRUE(first.listen());
    }
    SingleInstance next(dataIn(dir.path()), dir.path(), kKey);
    EXPECT_EQ(next.claim("show", 1000), SingleInstance::Claim::primary);
    EXPECT_TRUE(next.listen()) << "the socket left behind is replaced";
}

TEST(SingleInstanceTest, AClientThatClaimsTooLongAMessageIsCutOffAndTheServerGoesOn) {
    QTemporaryDir dir;
    SingleInstance first(dataIn(dir.path()), dir.path(), kKey);
    ASSERT_EQ(first.claim("unused", 1000), SingleInstance::Claim::primary);
    ASSERT_TRUE(first.listen());
    QSignalSpy received(&first, &SingleInstance::messageReceived);

    const int fd = connectTo(first.socketPath());
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

TEST(SingleInstanceTest, AnAcceptWithNoDescriptorLeftIsTriedAgainAndTheSocketStaysServed) {
    QTemporaryDir dir;
    SingleInstance first(dataIn(dir.path()), dir.path(), kKey);
    ASSERT_EQ(first.claim("unused", 1000), SingleInstance::Claim::primary);
    ASSERT_TRUE(first.listen());
    QSignalSpy received(&first, &SingleInstance::messageReceived);
    LogCapture log;
    // A client queued with its whole message before the server gets to accept it.
    const int fd = connectTo(first.socketPath());
    ASSERT_GE(fd, 0);
    const QByteArray framed = HandOver::frame("queued");
    ASSERT_EQ(::write(fd, framed.constData(), size_t(framed.size())), framed.size());
    {
        FullDescriptorTable full;
        EXPECT_TRUE(QTest::qWaitFor([&] { return !log.lines().isEmpty(); }, 3000));
    }
    ASSERT_FALSE(log.lines().isEmpty());
    EXPECT_TRUE(log.lines()[0].startsWith(u"[SingleInstance] Could not accept a connection on "))
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

TEST(SingleInstanceTest, EachDataFolderHasItsOwnKey) {
    EXPECT_EQ(SingleInstance::keyFor(QStringLiteral("/home/a/.config/TarvolinTimer")),
              SingleInstance::keyFor(QStringLiteral("/home/a/.config/TarvolinTimer/")));
    EXPECT_EQ(SingleInstance::keyFor(QStringLiteral("/home/a/.config/TarvolinTimer")),
              SingleInstance::keyFor(QStringLiteral("/home/a/.config/../.config/TarvolinTimer")));
    EXPECT_NE(SingleInstance::keyFor(QStringLiteral("/home/a/.config/TarvolinTimer")),
              SingleInstance::keyFor(QStringLiteral("/home/b/.config/TarvolinTimer")));
}

TEST(SingleInstanceTest, NoSecondCopyOfADataFolderStartsWhileTheFirstRuns) {
    const struct {
        const char* behaviour;
        const char* firstData;
        const char* secondData;
        std::function<void(const QString& directory)> meanwhile;
        SingleInstance::Claim second;
    } rows[] = {
        {"a copy of the same folder", "data", "data", nullptr, SingleInstance::Claim::failed},
        {"a copy of the same folder, every file beside the socket gone", "data", "data", emptySocketFolder,
         SingleInstance::Claim::failed},
        // Where the folder itself cannot be locked, a lock file beside the socket stands in.
        {"a copy of the same unlockable folder", "plain/data", "plain/data", nullptr,
         SingleInstance::Claim::failed},
        {"a copy of another folder", "data", "other", nullptr, SingleInstance::Claim::primary},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.behaviour);
        QTemporaryDir dir;
        QFile plain(dir.filePath(QStringLiteral("plain")));
        ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
        plain.close();
        // Neither copy serves its socket: the second can only refuse or take over.
        const QString firstData = dir.filePath(QLatin1String(row.firstData));
        SingleInstance first(firstData, dir.path(), SingleInstance::keyFor(firstData));
        ASSERT_EQ(first.claim("unused", 1000), SingleInstance::Claim::primary);
        if (row.meanwhile) {
            row.meanwhile(dir.path());
        }
        const QString secondData = dir.filePath(QLatin1String(row.secondData));
        SingleInstance second(secondData, dir.path(), SingleInstance::keyFor(secondData));
        EXPECT_EQ(second.claim("show", 300), row.second);
    }
}

TEST(SingleInstanceTest, ASocketWhoseFileGoesIsMadeAgainAndItsClientsAreStillServed) {
    const struct {
        const char* behaviour;
        std::function<void(const QString& socketPath, const QString& directory)> remove;
    } rows[] = {
        {"the socket file removed", [](const QString& socket, const QString&) { QFile::remove(socket); }},
        {"every file of its folder removed",
         [](const QString&, const QString& directory) { emptySocketFolder(directory); }},
        {"a plain file moved in its place",
         [](const QString& socket, const QString& directory) {
             const QString plain = directory + QStringLiteral("/plain");
             QFile file(plain);
             ASSERT_TRUE(file.open(QIODevice::WriteOnly));
             file.close();
             ASSERT_EQ(
                 std::rename(QFile::encodeName(plain).constData(), QFile::encodeName(socket).constData()), 0);
         }},
    };
    QTemporaryDir dir;
    SingleInstance first(dataIn(dir.path()), dir.path(), kKey);
    ASSERT_EQ(first.claim("unused", 1000), SingleInstance::Claim::primary);
    ASSERT_TRUE(first.listen());
    QSignalSpy received(&first, &SingleInstance::messageReceived);
    for (const auto& row : rows) {
        SCOPED_TRACE(row.behaviour);
        received.clear();
        // A client that connected before the file went and has sent half its message.
        const int early = connectTo(first.socketPath());
        ASSERT_GE(early, 0);
        const QByteArray framed = HandOver::frame("early");
        ASSERT_EQ(::write(early, framed.constData(), 6), 6);
        row.remove(first.socketPath(), dir.path());

        EXPECT_EQ(claimFromAnotherThread(dir.path(), "later", 5000), SingleInstance::Claim::handedOver);
        ASSERT_TRUE(QTest::qWaitFor([&] { return received.size() == 1; }, 5000));
        EXPECT_EQ(received[0][0].toByteArray(), QByteArray("later"));
        ASSERT_EQ(::write(early, framed.constData() + 6, size_t(framed.size() - 6)), framed.size() - 6);
        EXPECT_EQ(firstReply(early), QByteArray(1, HandOver::answer));
        ASSERT_EQ(::write(early, &HandOver::confirmation, 1), 1);
        EXPECT_TRUE(QTest::qWaitFor([&] { return received.size() == 2; }, 5000));
        EXPECT_EQ(received.value(1).value(0).toByteArray(), QByteArray("early"));
        ::close(early);
        EXPECT_EQ(QFileInfo(first.socketPath()).permissions() &
                      (QFile::ReadGroup | QFile::WriteGroup | QFile::ReadOther | QFile::WriteOther),
                  QFile::Permissions());
    }
}

TEST(SingleInstanceTest, AMessageIsActedOnExactlyWhenItsSenderReportsSuccess) {
    // Each sender connects and sends its message; it returns whether it would report success.
    const auto bare = [](const QByteArray& bytes, const std::function<bool(int fd)>& afterSending) {
        return [bytes, afterSending](const QString& socketPath) {
            const int fd = connectTo(socketPath);
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
        std::function<bool(const QString& socketPath)> sender;
        bool succeeds;
        const char* logged; // what the server says of a message it drops
    } rows[] = {
        {"a sender that confirms the answer",
         [](const QString& socketPath) {
             auto result = std::async(std::launch::async, [&] {
                 return HandOver::send(socketPath, "confirmed", 5000, nullptr) ==
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
         [](const QString& socketPath) {
             return std::async(std::launch::async,
                               [&] {
                                   return HandOver::send(socketPath, "gave up", 200, nullptr) ==
                                          HandOver::Delivery::confirmed;
                               })
                 .get();
         },
         false, "[SingleInstance] Dropped a handed-over message of 7 bytes: its sender had already given up"},
        {"a sender that hangs up after the answer", bare(HandOver::frame("hung up"), answeredThen({})), false,
         "[SingleInstance] Dropped a handed-over message of 7 bytes: its sender did not confirm"},
        {"a sender that answers with another byte", bare(HandOver::frame("garbled"), answeredThen('x')),
         false, "[SingleInstance] Dropped a handed-over message of 7 bytes: its sender did not confirm"},
        {"a sender of another kind, refused unanswered",
         bare(QByteArray("\0\0\0\4show", 8), [](int fd) { return firstReply(fd) != QByteArray(); }), false,
         nullptr},
    };
    QTemporaryDir dir;
    SingleInstance first(dataIn(dir.path()), dir.path(), kKey);
    ASSERT_EQ(first.claim("unused", 1000), SingleInstance::Claim::primary);
    ASSERT_TRUE(first.listen());
    QSignalSpy received(&first, &SingleInstance::messageReceived);
    LogCapture log;
    for (const auto& row : rows) {
        SCOPED_TRACE(row.behaviour);
        received.clear();
        log.clear();
        const bool succeeded = row.sender(first.socketPath());
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
        }
        EXPECT_EQ(received.size(), succeeded ? 1 : 0);
        EXPECT_EQ(log.lines().size(), row.logged ? 1 : 0) << qPrintable(log.lines().join(u'\n'));
    }
}

TEST(SingleInstanceTest, ALaunchHandsOverToWhicheverCopyServesTheSocketWhateverTheLockSays) {
    struct Machine {
        QTemporaryDir dir;
        std::unique_ptr<SingleInstance> copy; // the running copy, served from this thread
        std::unique_ptr<QSignalSpy> received;
        void start() {
            copy = std::make_unique<SingleInstance>(dataIn(dir.path()), dir.path(), kKey);
            ASSERT_EQ(copy->claim("unused", 1000), SingleInstance::Claim::primary);
            ASSERT_TRUE(copy->listen());
            received = std::make_unique<QSignalSpy>(copy.get(), &SingleInstance::messageReceived);
        }
        void makeDataAnew() const {
            ASSERT_TRUE(QDir(dataIn(dir.path())).removeRecursively());
            ASSERT_TRUE(QDir().mkpath(dataIn(dir.path())));
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
        {"a copy whose data folder was made anew",
         [](Machine& m) {
             m.start();
             m.makeDataAnew();
         },
         nullptr, nullptr, SingleInstance::Claim::handedOver},
        {"a copy making its socket again just after the launch locked the new folder",
         [](Machine& m) {
             m.start();
             m.makeDataAnew();
             ASSERT_TRUE(QFile::remove(m.copy->socketPath()));
         },
         "single-instance.locked",
         [](Machine& m) {
             EXPECT_TRUE(QTest::qWaitFor([&] { return QFileInfo::exists(m.copy->socketPath()); }, 5000));
         },
         SingleInstance::Claim::handedOver},
        {"another launch that locks and serves just after this one asked", [](Machine&) {},
         "single-instance.asked", [](Machine& m) { m.start(); }, SingleInstance::Claim::handedOver},
        {"a socket file that a crashed copy left",
         [](Machine& m) {
             const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
             sockaddr_un address;
             ASSERT_TRUE(LocalSocketFile::address(m.dir.filePath(kKey + QStringLiteral(".socket")), address));
             ASSERT_EQ(::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)), 0);
             ::close(fd);
         },
         nullptr, nullptr, SingleInstance::Claim::primary},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.behaviour);
        Machine machine;
        row.before(machine);
        std::atomic<bool> held = false;
        std::atomic<bool> released = false;
        FaultPoint::setHandler([&](const char* moment) {
            if (row.moment && std::strcmp(moment, row.moment) == 0 && !held.exchange(true)) {
                while (!released) {
                    QThread::msleep(1);
                }
            }
        });
        auto claim = std::async(std::launch::async, [&] {
            SingleInstance later(dataIn(machine.dir.path()), machine.dir.path(), kKey);
            return later.claim("show", 5000);
        });
        while (claim.wait_for(std::chrono::milliseconds(5)) != std::future_status::ready) {
            if (held && !released) {
                row.atMoment(machine);
                released = true;
            }
            if (!row.moment || released) {
                QCoreApplication::processEvents();
            }
        }
        FaultPoint::setHandler(nullptr);
        EXPECT_EQ(claim.get(), row.claim);
        if (machine.copy) {
            EXPECT_TRUE(QTest::qWaitFor([&] { return machine.received->size() == 1; }, 5000));
        }
    }
}
