// One running copy per data folder: the lock, the hand-over of a later launch's message, and what the
// server does with clients that misbehave.
#include "platform/SingleInstance.h"

#include <QFileInfo>
#include <QSignalSpy>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QtEndian>

#include <gtest/gtest.h>

#include <future>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

const QString kKey = QStringLiteral("tt-test");

// Runs a later launch's claim on another thread while this one serves the socket.
SingleInstance::Claim claimFromAnotherThread(const QString& directory, const QByteArray& message,
                                             int timeoutMs, QString* error = nullptr) {
    auto result = std::async(std::launch::async, [&] {
        SingleInstance later(directory, kKey);
        return later.claim(message, timeoutMs, error);
    });
    while (result.wait_for(std::chrono::milliseconds(5)) != std::future_status::ready) {
        QCoreApplication::processEvents();
    }
    return result.get();
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
    SingleInstance first(dir.path(), kKey);
    ASSERT_EQ(first.claim("unused", 1000), SingleInstance::Claim::primary);
    QString error;
    ASSERT_TRUE(first.listen(&error)) << error.toStdString();
    QSignalSpy received(&first, &SingleInstance::messageReceived);
    for (const auto& row : rows) {
        SCOPED_TRACE(row.behaviour);
        received.clear();
        EXPECT_EQ(claimFromAnotherThread(dir.path(), row.message, 5000), SingleInstance::Claim::handedOver);
        ASSERT_EQ(received.size(), 1);
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
    SingleInstance first(dir.path(), kKey);
    ASSERT_EQ(first.claim("unused", 1000), SingleInstance::Claim::primary);
    QSignalSpy received(&first, &SingleInstance::messageReceived);
    // The first serves its socket only after a while, as after a slow start-up.
    QTimer::singleShot(300, &first, [&first] { first.listen(); });
    EXPECT_EQ(claimFromAnotherThread(dir.path(), "show", 5000), SingleInstance::Claim::handedOver);
    EXPECT_EQ(received.size(), 1);
}

TEST(SingleInstanceTest, AFirstThatNeverAnswersMakesTheLaterLaunchFail) {
    QTemporaryDir dir;
    SingleInstance first(dir.path(), kKey);
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
    SingleInstance instance(dir.filePath(QStringLiteral("blocked/sub")), kKey);
    QString error;
    EXPECT_EQ(instance.claim("show", 300, &error), SingleInstance::Claim::unguarded);
    EXPECT_TRUE(error.startsWith(QStringLiteral("Cannot create the lock file"))) << qPrintable(error);
}

TEST(SingleInstanceTest, TheLockPassesOnWhenTheFirstEnds) {
    QTemporaryDir dir;
    {
        SingleInstance first(dir.path(), kKey);
        ASSERT_EQ(first.claim("unused", 1000), SingleInstance::Claim::primary);
        ASSERT_TRUE(first.listen());
    }
    SingleInstance next(dir.path(), kKey);
    EXPECT_EQ(next.claim("show", 1000), SingleInstance::Claim::primary);
    EXPECT_TRUE(next.listen()) << "the socket left behind is replaced";
}

TEST(SingleInstanceTest, AClientThatClaimsTooLongAMessageIsCutOffAndTheServerGoesOn) {
    QTemporaryDir dir;
    SingleInstance first(dir.path(), kKey);
    ASSERT_EQ(first.claim("unused", 1000), SingleInstance::Claim::primary);
    ASSERT_TRUE(first.listen());
    QSignalSpy received(&first, &SingleInstance::messageReceived);

    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray path = QFile::encodeName(first.socketPath());
    std::memcpy(address.sun_path, path.constData(), size_t(path.size()));
    ASSERT_EQ(::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)), 0);
    char header[4];
    qToBigEndian(quint32(SingleInstance::maxMessageBytes + 1), header);
    ASSERT_EQ(::write(fd, header, 4), 4);
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
    EXPECT_EQ(received.size(), 1);
}

TEST(SingleInstanceTest, EachDataFolderHasItsOwnKey) {
    EXPECT_EQ(SingleInstance::keyFor(QStringLiteral("/home/a/.config/TarvolinTimer")),
              SingleInstance::keyFor(QStringLiteral("/home/a/.config/TarvolinTimer/")));
    EXPECT_EQ(SingleInstance::keyFor(QStringLiteral("/home/a/.config/TarvolinTimer")),
              SingleInstance::keyFor(QStringLiteral("/home/a/.config/../.config/TarvolinTimer")));
    EXPECT_NE(SingleInstance::keyFor(QStringLiteral("/home/a/.config/TarvolinTimer")),
              SingleInstance::keyFor(QStringLiteral("/home/b/.config/TarvolinTimer")));
}
