// The running copy's socket kept in place: made again where its file or folder went, and left, in one
// line, to another live copy that took the place, until that one lets it go.
#include "platform/SocketListener.h"

#include "support/LogCapture.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include <unistd.h>

namespace {

std::unique_ptr<SocketListener> serving(const QString& path) {
    auto listener = std::make_unique<SocketListener>(
        path, [](int fd) { ::close(fd); }, nullptr);
    QString error;
    EXPECT_TRUE(listener->serve(&error)) << error.toStdString();
    return listener;
}

} // namespace

TEST(SocketListenerTest, ASocketThatGoesIsMadeAgainUnlessAnotherCopyServesItsPlace) {
    const struct {
        const char* behaviour;
        // Done to the copy's socket; may leave another copy serving its place.
        std::function<std::unique_ptr<SocketListener>(const QString& path)> meanwhile;
        const char* logged; // the one line the copy says, %1 standing for the socket's path
    } rows[] = {
        {"its file removed", [](const QString& path) { return QFile::remove(path), nullptr; },
         "The socket file %1 was removed or replaced; made it again"},
        {"its folder removed",
         [](const QString& path) {
             QDir(QFileInfo(path).path()).removeRecursively();
             return nullptr;
         },
         "The folder of the socket %1 was removed; made it again"},
        {"another copy's socket in its place",
         [](const QString& path) {
             QFile::remove(path);
             return serving(path);
         },
         "The socket file %1 was removed or replaced, and another copy (process %2) serves it now; leaving "
         "it to that copy"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.behaviour);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("run/s.socket"));
        ASSERT_TRUE(QDir().mkpath(QFileInfo(path).path()));
        const auto copy = serving(path);
        LogCapture log;
        auto other = row.meanwhile(path);
        const QString line =
            QStringLiteral("[SingleInstance] ") + QString::fromLatin1(row.logged).arg(path).arg(::getpid());
        ASSERT_TRUE(QTest::qWaitFor([&] { return !log.lines().isEmpty(); }, 5000));
        QTest::qWait(200); // a fight over the place would say more by now
        EXPECT_EQ(log.lines(), QStringList{line});
        EXPECT_EQ(copy->isListening(), !other);
        if (other) {
            // Once the other copy lets the place go, this one serves it again.
            log.clear();
            other.reset();
            EXPECT_TRUE(QTest::qWaitFor([&] { return copy->isListening(); }, 5000));
            EXPECT_EQ(log.lines(),
                      QStringList{QStringLiteral("[SingleInstance] Serving %1 again").arg(path)});
        }
        EXPECT_TRUE(QFileInfo::exists(path));
    }
}
