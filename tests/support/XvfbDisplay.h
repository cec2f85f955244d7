#pragma once
// An X display of the test's own: Xvfb on a free display number, ended with the object.

#include "support/ChildProcess.h"

#include <QProcessEnvironment>
#include <QString>

class XvfbDisplay {
public:
    // Starts Xvfb (640 × 480 unless told otherwise) and waits a few seconds at most for its number; see
    // isRunning().
    explicit XvfbDisplay(const QString& screen = QStringLiteral("640x480x24"));

    bool isRunning() const { return !m_name.isEmpty(); }
    // Why it did not start, for a skip message.
    QString errorString() const { return m_error; }
    // ":N", the value for DISPLAY.
    QString name() const { return m_name; }
    // `environment` with DISPLAY set to this display.
    QProcessEnvironment environment(QProcessEnvironment environment) const;

private:
    ChildProcess m_xvfb;
    QString m_name;
    QString m_error;
};

// Takes every key off the Super (Mod4) modifier of the display named `display`, as a keymap tool can:
// afterwards no key gives Super. Returns whether the server accepted the new mapping.
bool removeSuperModifierKeys(const QString& display);
