// The login manager's sleep and shutdown signals, sent on a bus of the test's own.
#include "platform/LoginManagerWatcher.h"
#include "support/Requirement.h"

#include "support/PrivateSessionBus.h"

#include <QDBusMessage>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

TEST(LoginManagerWatcherTest, EachSignalOfTheLoginManagerBecomesOneAnnouncement) {
    PrivateSessionBus bus;
    if (!bus.isRunning()) {
        TT_SKIP_OR_FAIL(bus.errorString().toStdString());
    }
    LoginManagerWatcher watcher(bus.connect(QStringLiteral("watcher")));
    ASSERT_TRUE(watcher.isListening());
    QSignalSpy resumed(&watcher, &LoginManagerWatcher::resumed);
    QSignalSpy sleeping(&watcher, &LoginManagerWatcher::aboutToSleep);
    QSignalSpy shuttingDown(&watcher, &LoginManagerWatcher::aboutToShutDown);
    QDBusConnection sender = bus.connect(QStringLiteral("logind"));

    const struct {
        const char* behaviour;
        const char* member;
        bool starting;
        int resumed, sleeping, shuttingDown; // counts after the row
    } rows[] = {
        {"going to sleep", "PrepareForSleep", true, 0, 1, 0},
        {"waking up", "PrepareForSleep", false, 1, 1, 0},
        {"a shutdown called off says nothing", "PrepareForShutdown", false, 1, 1, 0},
        {"shutting down", "PrepareForShutdown", true, 1, 1, 1},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.behaviour);
        QDBusMessage signal = QDBusMessage::createSignal(QString::fromLatin1(LoginManagerWatcher::kPath),
                                                         QString::fromLatin1(LoginManagerWatcher::kInterface),
                                                         QString::fromLatin1(row.member));
        signal << row.starting;
        ASSERT_TRUE(sender.send(signal));
        // A ping through the bus: once it is back, the signal before it has been delivered too.
        QDBusMessage ping = QDBusMessage::createMethodCall(
            QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
            QStringLiteral("org.freedesktop.DBus.Peer"), QStringLiteral("Ping"));
        QDBusConnection(QStringLiteral("watcher")).call(ping);
        QTest::qWait(50);
        EXPECT_EQ(resumed.size(), row.resumed);
        EXPECT_EQ(sleeping.size(), row.sleeping);
        EXPECT_EQ(shuttingDown.size(), row.shuttingDown);
    }
}

TEST(LoginManagerWatcherTest, WithNoBusItStaysSilent) {
    LoginManagerWatcher watcher(QDBusConnection(QStringLiteral("tt-no-such-bus")));
    EXPECT_FALSE(watcher.isListening());
}
