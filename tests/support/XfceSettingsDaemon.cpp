#include "support/XfceSettingsDaemon.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QProcessEnvironment>
#include <QTest>

QString XfceSettingsDaemon::program() {
    return QStringLiteral("/usr/lib/" TT_LIBRARY_ARCHITECTURE "/xfce4/xfconf/xfconfd");
}

bool XfceSettingsDaemon::start(QProcess& process, int timeoutMs, QString* error) {
    process.start(program(), {});
    if (!process.waitForStarted(timeoutMs)) {
        *error = QStringLiteral("xfconfd did not start: ") + process.errorString();
        return false;
    }
    QProcessEnvironment environment = process.processEnvironment();
    if (environment.isEmpty()) {
        environment = QProcessEnvironment::systemEnvironment(); // what a process with none set runs with
    }
    const QString address = environment.value(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"));
    const QString probe = QStringLiteral("xfconfd-probe ") + address;
    const auto serving = [&] {
        const QDBusConnection bus = QDBusConnection::connectToBus(address, probe);
        return bus.isConnected() &&
               bus.interface()->isServiceRegistered(QStringLiteral("org.xfce.Xfconf")).value();
    };
    const auto ended = [&] { return process.state() != QProcess::Running; };
    const bool settled = QTest::qWaitFor([&] { return ended() || serving(); }, timeoutMs);
    const bool up = settled && !ended();
    QDBusConnection::disconnectFromBus(probe);
    if (!up) {
        *error = ended()
                     ? QStringLiteral("xfconfd ended as it started (exit code %1)").arg(process.exitCode())
                     : QStringLiteral("xfconfd did not come on the bus");
    }
    return up;
}
