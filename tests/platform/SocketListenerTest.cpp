// The door hands on the clients of its own user only, and says once per user that it refused another's;
// it leaves the program its reserve of descriptors, and says a run of waiting for them once, and its end
// once.
#include "platform/SocketListener.h"

#include "platform/DescriptorLimit.h"
#include "platform/Door.h"

#include "support/FullDescriptorTable.h"
#include "support/LogCapture.h"

#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include <sys/socket.h>
#include <unistd.h>

TEST(SocketListenerTest, OnlyClientsOfItsOwnUserAreHandedOn) {
    const struct {
        const char* behaviour;
        uid_t served; // whose door it is; the clients are this process's
        bool handedOn;
    } rows[] = {
        {"clients of its own user", ::geteuid(), true},
        {"clients of another user", ::geteuid() + 1, false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.behaviour);
        const QByteArray name = "tarvolintimer-test-" + QByteArray::number(::getpid());
        const Door::Opening door = Door::open(name);
        ASSERT_EQ(door.outcome, Door::Opening::Outcome::opened) << qPrintable(door.error);
        int handedOn = 0;
        SocketListener listener(door.fd, row.served, [&](int fd) {
            ++handedOn;
            ::close(fd);
        });
        LogCapture log;
        listener.serve();
        std::vector<int> clients;
        for (int i = 0; i < 3; ++i) {
            const Door::Address at = Door::address(name);
            clients.push_back(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
            ASSERT_EQ(::connect(clients.back(), reinterpret_cast<const sockaddr*>(&at.address), at.size), 0);
        }
        // Each client is taken off the queue, and a refused one is hung up on without a byte.
        const auto hungUp = [](int fd) {
            char byte = 0;
            return ::recv(fd, &byte, 1, MSG_DONTWAIT) == 0;
        };
        EXPECT_TRUE(QTest::qWaitFor(
            [&] { return handedOn == 3 || std::all_of(clients.begin(), clients.end(), hungUp); }, 5000));
        EXPECT_EQ(handedOn, row.handedOn ? 3 : 0);
        EXPECT_EQ(log.lines(), row.handedOn
                                   ? QStringList()
                                   : QStringList{QStringLiteral("[SingleInstance] Refused a connection "
                                                                "at the door from process %1 of user "
                                                                "%2: only this user's launches are "
                                                                "served")
                                                     .arg(::getpid())
                                                     .arg(::geteuid())});
        for (const int fd : clients) {
            ::close(fd);
        }
    }
}

// The door takes a client only while one more descriptor than its reserve is free, so the program always
// has the reserve to save and draw with; launches wait meanwhile, and are let in as descriptors come back.
// A run of such waits is said once, and so is its end.
TEST(SocketListenerTest, ClientsWaitWhileTheReserveIsShortAndARunOfWaitingIsSaidOnceAndSoIsItsEnd) {
    constexpr int kReserve = 3;
    const QByteArray name = "tarvolintimer-test-run-" + QByteArray::number(::getpid());
    const Door::Opening door = Door::open(name);
    ASSERT_EQ(door.outcome, Door::Opening::Outcome::opened) << qPrintable(door.error);
    std::vector<int> accepted; // kept open, as the server keeps its clients
    int fewestLeft = kReserve + 100;
    SocketListener listener(
        door.fd, ::geteuid(),
        [&](int fd) {
            accepted.push_back(fd);
            fewestLeft = std::min(fewestLeft, DescriptorLimit::freeDescriptors(kReserve + 100));
        },
        kReserve);
    constexpr int kClients = 4;
    std::vector<int> clients;
    for (int i = 0; i < kClients; ++i) {
        const Door::Address at = Door::address(name);
        clients.push_back(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
        ASSERT_EQ(::connect(clients.back(), reinterpret_cast<const sockaddr*>(&at.address), at.size), 0);
    }
    LogCapture log;
    {
        // Out of descriptors, then the reserve back, then one at a time: each one more than the reserve lets
        // one client in, all within one run of waiting.
        FullDescriptorTable full;
        EXPECT_EQ(DescriptorLimit::freeDescriptors(100), 0);
        listener.serve();
        for (int i = 0; i < kReserve; ++i) {
            ASSERT_TRUE(full.giveBackOne());
        }
        EXPECT_EQ(DescriptorLimit::freeDescriptors(100), kReserve);
        for (int i = 0; i < kClients; ++i) {
            ASSERT_TRUE(full.giveBackOne());
            ASSERT_TRUE(QTest::qWaitFor([&] { return int(accepted.size()) == i + 1; }, 10000)) << i;
        }
        EXPECT_EQ(fewestLeft, kReserve) << "a client was let in with the reserve short";
    }
    const auto said = [&](const QString& start) { return int(log.lines().filter(start).size()); };
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return said(QStringLiteral("Accepting at the door again")) > 0; }, 10000));
    EXPECT_EQ(said(QStringLiteral("[SingleInstance] Not letting launches in at the door while fewer than 4 "
                                  "descriptors are free (the open-file limit is ")),
              1)
        << qPrintable(log.lines().join(u'\n'));
    EXPECT_EQ(said(QStringLiteral("[SingleInstance] Accepting at the door again")), 1)
        << qPrintable(log.lines().join(u'\n'));
    for (const int fd : accepted) {
        ::close(fd);
    }
    for (const int fd : clients) {
        ::close(fd);
    }
}
