// The notification service against a real notification server (dunst) on a virtual display and private bus.
#include "services/NotificationService.h"
#include "support/Requirement.h"

#include "support/ChildProcess.h"
#include "support/PrivateSessionBus.h"
#include "support/XvfbDisplay.h"

#include "QStringPrinting.h"

#include <QDBusArgument>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusReply>
#include <QDBusVariant>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace {

using namespace Qt::StringLiterals;

constexpr int kWaitMs = 10000;

QDBusMessage dunstCall(QDBusConnection& bus, const QString& interface, const QString& method,
                       const QVariantList& arguments = {}) {
    auto call = QDBusMessage::createMethodCall(u"org.freedesktop.Notifications"_s,
                                               u"/org/freedesktop/Notifications"_s, interface, method);
    call.setArguments(arguments);
    return bus.call(call, QDBus::Block, 3000); // a test may wait; the program never does
}

uint displayed(QDBusConnection& bus) {
    const QDBusMessage reply = dunstCall(bus, u"org.freedesktop.DBus.Properties"_s, u"Get"_s,
                                         {u"org.dunstproject.cmd0"_s, u"displayedLength"_s});
    if (reply.type() != QDBusMessage::ReplyMessage) {
        return 0;
    }
    return reply.arguments().value(0).value<QDBusVariant>().variant().toUInt();
}

TEST(NotificationServer, ARealServerAcceptsAndShowsOurNotification) {
    const QString dunst = QStandardPaths::findExecutable(u"dunst"_s);
    if (dunst.isEmpty()) {
        TT_SKIP_OR_FAIL("dunst is not installed (scripts/deps.sh --tests installs it)");
    }
    PrivateSessionBus bus;
    if (!bus.isRunning()) {
        TT_SKIP_OR_FAIL("no private bus: " << bus.errorString().toStdString());
    }
    QTemporaryDir home;
    ASSERT_TRUE(home.isValid());
    const XvfbDisplay display;
    if (!display.isRunning()) {
        TT_SKIP_OR_FAIL(display.errorString().toStdString());
    }

    // A server that reads markup, so the escaped body is what it must get.
    const QString config = home.filePath(u"dunstrc"_s);
    QFile file(config);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("[global]\n    markup = full\n");
    file.close();
    ChildProcess server;
    QProcessEnvironment env = display.environment(QProcessEnvironment::systemEnvironment());
    env.insert(u"DBUS_SESSION_BUS_ADDRESS"_s, bus.address());
    env.insert(u"HOME"_s, home.path());
    env.insert(u"XDG_CONFIG_HOME"_s, home.path());
    server.process.setProcessEnvironment(env);
    server.process.start(dunst, {u"-config"_s, config});
    QDBusConnection test = bus.connect(u"test"_s);
    if (!QTest::qWaitFor(
            [&] {
                return test.interface()->isServiceRegistered(u"org.freedesktop.Notifications"_s).value() ||
                       server.process.state() == QProcess::NotRunning;
            },
            kWaitMs) ||
        server.process.state() == QProcess::NotRunning) {
        TT_SKIP_OR_FAIL("dunst did not start: " << server.process.readAllStandardError().toStdString());
    }

    NotificationService service(bus.connect(u"client"_s));
    service.postTimerComplete(u"Tea & cake"_s, 180, false);
    ASSERT_TRUE(QTest::qWaitFor([&] { return displayed(test) == 1; }, kWaitMs));

    // Closed notifications go to the server's history, where their texts can be read back.
    dunstCall(test, u"org.dunstproject.cmd0"_s, u"NotificationCloseAll"_s);
    QList<QVariantMap> history;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            const QDBusMessage reply =
                dunstCall(test, u"org.dunstproject.cmd0"_s, u"NotificationListHistory"_s);
            history = qdbus_cast<QList<QVariantMap>>(reply.arguments().value(0));
            return !history.isEmpty();
        },
        kWaitMs));
    ASSERT_EQ(history.size(), 1);
    EXPECT_EQ(history[0].value(u"appname"_s).toString(), u"TarvolinTimer"_s);
    EXPECT_EQ(history[0].value(u"summary"_s).toString(), u"TarvolinTimer"_s);
    EXPECT_EQ(history[0].value(u"body"_s).toString(), u"Tea &amp; cake - timer done"_s);
}

} // namespace
