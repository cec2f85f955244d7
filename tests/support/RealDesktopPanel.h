#pragma once
// One of the desktops' own panels, brought up the way its desktop does on a display and buses of the
// test's own: GNOME Shell with its item extension, the XFCE panel, the LXQt panel or Plasma's shell. The
// test then runs the program in environment() and reads the panel with grabScreen() and readText().

#include "support/PrivateSessionBus.h"
#include "support/XvfbDisplay.h"

#include <QImage>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRect>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>
#include <vector>

class RealDesktopPanel {
public:
    enum class Desktop { gnome, xfce, lxqt, plasma };
    enum class Shade { light, dark };

    static constexpr QSize screenSize{1600, 1000};

    RealDesktopPanel(Desktop desktop, Shade shade);
    ~RealDesktopPanel();
    RealDesktopPanel(const RealDesktopPanel&) = delete;
    RealDesktopPanel& operator=(const RealDesktopPanel&) = delete;

    // The programs this desktop needs, as the test's skip or failure message names them.
    static QStringList requiredTools(Desktop desktop);
    static QString name(Desktop desktop, Shade shade);

    // Brings up the display, the buses and the panel, and waits until the panel's item watcher is on the
    // bus; false with errorString() when something did not come up.
    bool start();
    QString errorString() const { return m_error; }

    // Ends the panel's processes and starts them again, as a crash or a settings change does.
    bool restartPanel();

    // The environment for a program shown in this panel: the display, the session bus, the desktop's name.
    QProcessEnvironment environment() const { return m_environment; }
    // The strip of the screen the panel occupies.
    QRect panelStrip() const;
    // A picture of the whole screen; null when it could not be taken.
    QImage grabScreen() const;
    // The text OCR reads in `area` of `picture`, enlarged and made black and white first (digits, ':' and 'h'
    // and 's' only); the picture OCR read is also saved as `keepAs` when given.
    static QString readText(const QImage& picture, const QRect& area, const QString& keepAs = {});
    // How light the panel's ground is in a picture of the screen (the median of its strip, 0 to 1).
    double panelLuminance(const QImage& screen) const;
    // Where two pictures of the screen differ (the bounding box of changed pixels within `within`).
    static QRect difference(const QImage& a, const QImage& b, const QRect& within);

    // The pid of the process that owns the item watcher, read from the session bus; 0 when none does.
    quint32 watcherOwnerPid() const;
    // The pid of the process that owns `name` on the session bus; 0 when none does.
    quint32 ownerPid(const QString& name) const;

    // Runs a desktop tool in this environment and returns its exit code (-1 when it did not end in time).
    int run(const QString& program, const QStringList& arguments, int timeoutMs = 15'000) const;

private:
    // A process of the desktop's, set up to run in this environment and log to `logName`.log; not started.
    QProcess* prepare(const QString& logName);
    QProcess* spawn(const QString& program, const QStringList& arguments, const QString& logName);
    bool startPanelProcesses();
    void stopPanelProcesses();
    bool waitForWatcher(int timeoutMs);
    static void stop(QProcess& process);

    Desktop m_desktop;
    Shade m_shade;
    QTemporaryDir m_home;
    QString m_error;
    QString m_display;
    QProcessEnvironment m_environment;
    std::unique_ptr<XvfbDisplay> m_xvfb; // the display and buses are ended last
    std::unique_ptr<PrivateSessionBus> m_session;
    std::unique_ptr<PrivateSessionBus> m_system;
    std::vector<std::unique_ptr<QProcess>> m_panel; // the desktop's own processes
};
