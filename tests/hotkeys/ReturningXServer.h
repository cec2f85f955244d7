#pragma once
// An X server of the test's own that can be stopped and started again on the same display number, as a
// display server that restarts under a running program.

#include "support/ChildProcess.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcessEnvironment>
#include <QStandardPaths>
#include <QString>

#include <xcb/xcb.h>

class ReturningXServer {
public:
    // Starts Xvfb on a free number well above those Xvfb picks for itself; see isRunning().
    ReturningXServer() {
        if (QStandardPaths::findExecutable(QStringLiteral("Xvfb")).isEmpty()) {
            m_error = QStringLiteral("Xvfb is not installed (scripts/deps.sh --tests installs it)");
            return;
        }
        const int first = 600 + int(QCoreApplication::applicationPid() % 300);
        for (int number = first; number < first + 40; ++number) {
            if (QFile::exists(QStringLiteral("/tmp/.X%1-lock").arg(number))) {
                continue;
            }
            m_number = number;
            if (start()) {
                return;
            }
        }
        m_number = -1;
        m_error = QStringLiteral("no display number was free");
    }

    bool isRunning() const { return m_xvfb.process.state() == QProcess::Running; }
    QString errorString() const { return m_error; }
    QString name() const { return QStringLiteral(":%1").arg(m_number); }
    QProcessEnvironment environment(QProcessEnvironment environment) const {
        environment.insert(QStringLiteral("DISPLAY"), name());
        return environment;
    }

    // Ends the server; its clients see their connections close.
    void stop() { m_xvfb.stop(); }

    // Starts it (again) on its number and waits until it takes connections; false when it did not.
    bool start() {
        m_xvfb.process.start(QStandardPaths::findExecutable(QStringLiteral("Xvfb")),
                             {name(), QStringLiteral("-screen"), QStringLiteral("0"),
                              QStringLiteral("640x480x24"), QStringLiteral("-nolisten"),
                              QStringLiteral("tcp")});
        if (!m_xvfb.process.waitForStarted(5000)) {
            return false;
        }
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < 10000 && m_xvfb.process.state() == QProcess::Running) {
            xcb_connection_t* connection = xcb_connect(name().toLatin1().constData(), nullptr);
            const bool up = xcb_connection_has_error(connection) == 0;
            xcb_disconnect(connection);
            if (up) {
                return true;
            }
            m_xvfb.process.waitForFinished(50);
        }
        m_xvfb.stop();
        return false;
    }

private:
    ChildProcess m_xvfb;
    int m_number = -1;
    QString m_error;
};
