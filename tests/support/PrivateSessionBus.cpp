#include "support/PrivateSessionBus.h"

#include <QFile>

#include <csignal>

namespace {
// No service folders unless asked: nothing on the machine gets started on the test's bus behind its back.
QByteArray busConfig(const QString& socketDir, bool services) {
    return QByteArrayLiteral(
               "<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN\"\n"
               " \"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
               "<busconfig>\n"
               "  <type>session</type>\n"
               "  <listen>unix:dir=") +
           socketDir.toUtf8() +
           QByteArrayLiteral("</listen>\n"
                             "  <auth>EXTERNAL</auth>\n") +
           (services ? QByteArrayLiteral("  <standard_session_servicedirs/>\n") : QByteArray()) +
           QByteArrayLiteral("  <policy context=\"default\">\n"
                             "    <allow send_destination=\"*\" eavesdrop=\"true\"/>\n"
                             "    <allow eavesdrop=\"true\"/>\n"
                             "    <allow own=\"*\"/>\n"
                             "  </policy>\n"
                             "</busconfig>\n");
}
} // namespace

PrivateSessionBus::PrivateSessionBus(Services services) {
    if (!m_dir.isValid()) {
        m_error = QStringLiteral("no temporary folder");
        return;
    }
    const QString configPath = m_dir.filePath(QStringLiteral("bus.conf"));
    QFile config(configPath);
    if (!config.open(QIODevice::WriteOnly) ||
        config.write(busConfig(m_dir.path(), services == Services::desktop)) < 0) {
        m_error = QStringLiteral("cannot write the bus configuration");
        return;
    }
    config.close();

    m_daemon.setProgram(QStringLiteral("dbus-daemon"));
    m_daemon.setArguments({QStringLiteral("--config-file=") + configPath, QStringLiteral("--print-address=1"),
                           QStringLiteral("--nofork"), QStringLiteral("--nopidfile")});
    m_daemon.start();
    if (!m_daemon.waitForStarted(5000)) {
        m_error = QStringLiteral("dbus-daemon did not start: ") + m_daemon.errorString();
        return;
    }
    QByteArray out;
    while (!out.contains('\n') && m_daemon.waitForReadyRead(5000)) {
        out += m_daemon.readAllStandardOutput();
    }
    m_address = QString::fromUtf8(out).trimmed();
    if (m_address.isEmpty()) {
        m_error = QStringLiteral("dbus-daemon printed no address: ") +
                  QString::fromUtf8(m_daemon.readAllStandardError());
    }
}

PrivateSessionBus::~PrivateSessionBus() {
    for (const auto& name : m_connections) {
        QDBusConnection::disconnectFromBus(name);
    }
    resume();
    if (m_daemon.state() != QProcess::NotRunning) {
        m_daemon.terminate();
        if (!m_daemon.waitForFinished(3000)) {
            m_daemon.kill();
            m_daemon.waitForFinished(3000);
        }
    }
}

QDBusConnection PrivateSessionBus::connect(const QString& connectionName) {
    m_connections << connectionName;
    return QDBusConnection::connectToBus(m_address, connectionName);
}

void PrivateSessionBus::pause() {
    if (m_daemon.processId() > 0 && !m_paused) {
        ::kill(static_cast<pid_t>(m_daemon.processId()), SIGSTOP);
        m_paused = true;
    }
}

void PrivateSessionBus::resume() {
    if (m_daemon.processId() > 0 && m_paused) {
        ::kill(static_cast<pid_t>(m_daemon.processId()), SIGCONT);
        m_paused = false;
    }
}
