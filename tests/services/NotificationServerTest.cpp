// The notification service against a real notification server (dunst) on a virtual display and private bus.
#include "services/NotificationService.h"

#include "support/PrivateSessionBus.h"

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

// A child process that is ended with the object.
class Child {
public:
    ~Child() {
        if (process.state() != QProcess::NotRunning) {
            process.terminate();
            if (!process.waitForFinished(3000)) {
                process.kill();
                process.waitForFinished(3000);
            }
        }
    }
    QProcess process;
};

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
    const QString xvfb = QStandardPaths::findExecutable(u"Xvfb"_s);
    if (dunst.isEmpty() || xvfb.isEmpty()) {
        GTEST_SKIP() << "dunst or Xvfb is not installed (scripts/deps.sh --tests installs them)";
    }
    PrivateSessionBus bus;
    if (!bus.isRunning()) {
        GTEST_SKIP() << "no private bus: " << bus.errorString().toStdString();
    }
    QTemporaryDir home;
    ASSERT_TRUE(home.isValid());

    // A display of its own: Xvfb picks a free number and writes it to its output.
    Child display;
    display.process.start(
        xvfb, {u"-displayfd"_s, u"1"_s, u"-screen"_s, u"0"_s, u"640x480x24"_s, u"-nolisten"_s, u"tcp"_s});
    QByteArray number;
    while (!number.contains('\n') && display.process.waitForReadyRead(5000)) {
        number += display.process.readAllStandardOutput();
    }
    if (number.trimmed().isEmpty()) {
        GTEST_SKIP() << "Xvfb did not start: " << display.process.readAllStandardError().toStdString();
    }

    // A server that reads markup, so the escaped body is what it must get.
    const QString config = home.filePath(u"dunstrc"_s);
    QFile file(config);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("[global]\n    markup = full\n");
    file.close();
    Child server;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(u"DISPLAY"_s, u":"_s + QString::fromLatin1(number.trimmed()));
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
        GTEST_SKIP() << "dunst did not start: " << server.process.readAllStandardError().toStdString();
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
