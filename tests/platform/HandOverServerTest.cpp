// An answered client keeps its place until it confirms, hangs up or its time is up, however many more
// messages come meanwhile: they wait for their answer, so no sender that had one is dropped.
#include "platform/HandOverServer.h"

#include "platform/HandOver.h"

#include "support/LogCapture.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <vector>

#include <sys/socket.h>
#include <unistd.h>

namespace {

// A client whose whole message the server has been given; returns the client's end.
int handOver(HandOverServer& server, const QByteArray& message) {
    int ends[2];
    ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0, ends);
    const QByteArray framed = HandOver::frame(message);
    EXPECT_EQ(::send(ends[0], framed.constData(), size_t(framed.size()), MSG_NOSIGNAL), framed.size());
    server.serve(ends[1]);
    return ends[0];
}

bool confirm(int fd) {
    return ::send(fd, &HandOver::confirmation, 1, MSG_NOSIGNAL | MSG_DONTWAIT) == 1;
}

bool answered(int fd) {
    char byte = 0;
    return ::recv(fd, &byte, 1, MSG_DONTWAIT) == 1 && byte == HandOver::answer;
}

} // namespace

TEST(HandOverServerTest, AnAnsweredClientKeepsItsPlaceUntilItConfirmsHangsUpOrItsTimeIsUp) {
    const struct {
        const char* behaviour;
        // Returns whether its sender reports success.
        std::function<bool(int fd, LogCapture& log, const QSignalSpy& received)> free;
        const char* logged; // when the message is dropped
    } rows[] = {
        {"it confirms", [](int fd, LogCapture&, const QSignalSpy&) { return confirm(fd); }, nullptr},
        {"it hangs up",
         [](int fd, LogCapture&, const QSignalSpy&) {
             ::shutdown(fd, SHUT_WR);
             return false;
         },
         "its sender did not confirm the answer"},
        // Read before the server gives up on it, a confirmation counts; after, it fails at its sender.
        {"it confirms just as its time is up",
         [](int fd, LogCapture&, const QSignalSpy& received) {
             const bool confirmed = confirm(fd);
             QThread::msleep(400); // the server does not read it before its time is up
             // Its time runs out before the server turns to the socket: the confirmation is found there.
             QElapsedTimer timer;
             timer.start();
             while (received.isEmpty() && timer.elapsed() < 5000) {
                 QCoreApplication::processEvents(QEventLoop::ExcludeSocketNotifiers);
             }
             EXPECT_EQ(received.size(), 1) << "acted on where its time ran out";
             return confirmed;
         },
         nullptr},
        {"its time is up, and then it confirms",
         [](int fd, LogCapture& log, const QSignalSpy&) {
             EXPECT_TRUE(QTest::qWaitFor([&] { return !log.lines().isEmpty(); }, 5000));
             return confirm(fd);
         },
         "its sender did not confirm the answer in time"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.behaviour);
        HandOverServer server({/*clientTimeoutMs=*/300, /*maxWaiting=*/4, /*maxAnswered=*/1});
        QSignalSpy received(&server, &HandOverServer::messageReceived);
        LogCapture log;
        const int first = handOver(server, "first");
        ASSERT_TRUE(answered(first));
        std::vector<int> later;
        for (int i = 0; i < 8; ++i) {
            later.push_back(handOver(server, "later"));
        }
        QCoreApplication::processEvents();
        EXPECT_TRUE(std::none_of(later.begin(), later.end(), answered)) << "answered only as places free";
        log.clear();

        const bool succeeded = row.free(first, log, received);
        // The freed place goes to a waiting message, or else to the next to come.
        QCoreApplication::processEvents();
        later.push_back(handOver(server, "next"));
        ASSERT_TRUE(QTest::qWaitFor([&] { return std::any_of(later.begin(), later.end(), answered); }, 5000));
        EXPECT_EQ(received.size(), succeeded ? 1 : 0);
        EXPECT_EQ(received.value(0).value(0).toByteArray(), succeeded ? QByteArray("first") : QByteArray());
        EXPECT_EQ(log.lines().filter(QStringLiteral("Dropped")),
                  row.logged
                      ? QStringList{QStringLiteral("[SingleInstance] Dropped a handed-over message of 5 "
                                                   "bytes: ") +
                                    QLatin1String(row.logged)}
                      : QStringList());
        ::close(first);
        for (const int fd : later) {
            ::close(fd);
        }
    }
}

TEST(HandOverServerTest, AtTheEndEachConfirmationIsEitherActedOnOrRefusedAtItsSender) {
    HandOverServer server({});
    QSignalSpy received(&server, &HandOverServer::messageReceived);
    const int early = handOver(server, "early");
    const int late = handOver(server, "late");
    ASSERT_TRUE(answered(early) && answered(late));
    ASSERT_TRUE(confirm(early)); // not read yet
    server.finish();
    EXPECT_FALSE(confirm(late));
    EXPECT_EQ(received.size(), 1);
    EXPECT_EQ(received.value(0).value(0).toByteArray(), QByteArray("early"));
    ::close(early);
    ::close(late);
}
