#pragma once
// XFCE's settings daemon on a test's own session bus. A desktop's bus starts it when a tool first asks; the
// test's bus starts nothing, so the test starts it, from the library folder where it is installed.

#include <QProcess>
#include <QString>

namespace XfceSettingsDaemon {

// Where it is installed: the library folder of the architecture this was built for, which is not on PATH.
// ProgramFixture::missingTools() takes this path as it takes the names of tools on PATH.
QString program();

// Starts it in `process`, which the caller has given its environment (the session bus) and output, and
// waits until it holds its name on that bus: the window manager and the panel read their settings once, at
// start, and keep their defaults when it is not there yet. False with `error` saying why.
bool start(QProcess& process, int timeoutMs, QString* error);

} // namespace XfceSettingsDaemon
