// Putting the socket in place: whatever file lies there is replaced, unless a live process listens on it.
#include "platform/LocalSocketFile.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

// A socket bound at `path`, listening or not; -1 on failure.
int bound(const QString& path, bool listening) {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un address;
    if (!LocalSocketFile::address(path, address) ||
        ::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) != 0 ||
        (listening && ::listen(fd, 4) != 0)) {
        ::close(fd);
        return -1;
    }
    return fd;
}

} // namespace

TEST(LocalSocketFileTest, TheSocketTakesThePlaceOfAnyFileButALiveOne) {
    using Outcome = LocalSocketFile::Placement::Outcome;
    const struct {
        const char* behaviour;
        std::function<int(const QString& path)> before; // leaves a descriptor to close after, or -1
        Outcome outcome;
    } rows[] = {
        {"nothing there", [](const QString&) { return -1; }, Outcome::placed},
        {"a socket a crashed copy left",
         [](const QString& path) {
             ::close(bound(path, true));
             return -1;
         },
         Outcome::placed},
        {"a socket bound but not listening", [](const QString& path) { return bound(path, false); },
         Outcome::placed},
        {"a plain file",
         [](const QString& path) {
             QFile file(path);
             return file.open(QIODevice::WriteOnly) ? -1 : -2;
         },
         Outcome::placed},
        {"a live copy's socket", [](const QString& path) { return bound(path, true); }, Outcome::taken},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.behaviour);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("s.socket"));
        const int before = row.before(path);
        ASSERT_NE(before, -2);
        struct stat there {};
        ::lstat(QFile::encodeName(path).constData(), &there);
        const LocalSocketFile::Placement placement = LocalSocketFile::place(path);
        EXPECT_EQ(placement.outcome, row.outcome) << placement.error.toStdString();
        if (row.outcome == Outcome::taken) {
            EXPECT_EQ(placement.error, QStringLiteral("process %1").arg(::getpid()));
            EXPECT_TRUE(LocalSocketFile::holds(path, {there.st_dev, there.st_ino})) << "left as it was";
        } else {
            EXPECT_TRUE(LocalSocketFile::holds(path, placement.identity));
            EXPECT_EQ(QFileInfo(path).permissions() &
                          ~(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser),
                      QFile::Permissions());
        }
        EXPECT_EQ(
            QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot),
            QStringList{QStringLiteral("s.socket")})
            << "nothing else left behind";
        ::close(placement.fd);
        ::close(before);
    }
}
