#include "support/RealDesktopPanel.h"

#include "support/XfceSettingsDaemon.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusReply>
#include <QDir>
#include <QFile>
#include <QPainter>
#include <QStandardPaths>
#include <QTest>

#include <xcb/xcb.h>

#include <algorithm>
#include <cstdlib>
#include <csignal>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kStartMs = 30'000;
const QString kWatcher = QStringLiteral("org.kde.StatusNotifierWatcher");

// Each helper process in a process group of its own, so what it starts (GNOME Shell's helpers, Plasma's
// daemons) ends with it.
void ownProcessGroup() {
    ::setpgid(0, 0);
}

double luminance(QRgb c) {
    return (0.2126 * qRed(c) + 0.7152 * qGreen(c) + 0.0722 * qBlue(c)) / 255.0;
}

} // namespace

RealDesktopPanel::RealDesktopPanel(Desktop desktop, Shade shade) : m_desktop(desktop), m_shade(shade) {}

RealDesktopPanel::~RealDesktopPanel() {
    stopPanelProcesses();
}

QStringList RealDesktopPanel::requiredTools(Desktop desktop) {
    QStringList tools{QStringLiteral("Xvfb"), QStringLiteral("dbus-daemon"), QStringLiteral("xdotool"),
                      QStringLiteral("tesseract")};
    switch (desktop) {
    case Desktop::gnome:
        tools << QStringLiteral("gnome-shell") << QStringLiteral("gsettings");
        break;
    case Desktop::xfce:
        tools << QStringLiteral("xfce4-panel") << QStringLiteral("xfwm4") << QStringLiteral("xfsettingsd")
              << QStringLiteral("xfconf-query") << XfceSettingsDaemon::program();
        break;
    case Desktop::lxqt:
        tools << QStringLiteral("lxqt-panel") << QStringLiteral("openbox");
        break;
    case Desktop::plasma:
        tools << QStringLiteral("plasmashell") << QStringLiteral("kwin_x11") << QStringLiteral("gdbus");
        break;
    }
    return tools;
}

QString RealDesktopPanel::name(Desktop desktop, Shade shade) {
    const char* names[] = {"GNOME", "XFCE", "LXQt", "Plasma"};
    return QString::fromLatin1(names[int(desktop)]) +
           (shade == Shade::dark ? QStringLiteral(", dark panel") : QStringLiteral(", light panel"));
}

QProcess* RealDesktopPanel::prepare(const QString& logName) {
    auto process = std::make_unique<QProcess>();
    process->setProcessEnvironment(m_environment);
    process->setChildProcessModifier(ownProcessGroup);
    process->setStandardInputFile(QProcess::nullDevice());
    process->setStandardOutputFile(m_home.filePath(logName + QStringLiteral(".log")));
    process->setStandardErrorFile(m_home.filePath(logName + QStringLiteral(".log")), QIODevice::Append);
    m_panel.push_back(std::move(process));
    return m_panel.back().get();
}

QProcess* RealDesktopPanel::spawn(const QString& program, const QStringList& arguments,
                                  const QString& logName) {
    QProcess* process = prepare(logName);
    process->start(program, arguments);
    process->waitForStarted(5000);
    return process;
}

void RealDesktopPanel::stop(QProcess& process) {
    if (process.state() == QProcess::NotRunning) {
        return;
    }
    const auto group = pid_t(process.processId());
    ::kill(-group, SIGTERM);
    if (!process.waitForFinished(3000)) {
        ::kill(-group, SIGKILL);
        process.waitForFinished(3000);
    }
    ::kill(-group, SIGKILL); // whatever it left behind in its group
}

int RealDesktopPanel::run(const QString& program, const QStringList& arguments, int timeoutMs) const {
    QProcess process;
    process.setProcessEnvironment(m_environment);
    process.start(program, arguments);
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished(1000);
        return -1;
    }
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}

bool RealDesktopPanel::start() {
    if (!m_home.isValid()) {
        m_error = QStringLiteral("no temporary folder");
        return false;
    }
    for (const char* dir : {"home", "config", "data", "cache", "runtime"}) {
        QDir(m_home.path()).mkpath(QString::fromLatin1(dir));
    }
    QFile::setPermissions(m_home.filePath(QStringLiteral("runtime")),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    m_xvfb = std::make_unique<XvfbDisplay>(
        QStringLiteral("%1x%2x24").arg(screenSize.width()).arg(screenSize.height()));
    if (!m_xvfb->isRunning()) {
        m_error = m_xvfb->errorString();
        return false;
    }
    // Panels that register a host or take names need a session bus; GNOME Shell and Plasma abort without a
    // system bus. Neither bus starts services of the machine behind the test's back.
    // Plasma starts its daemons (the item watcher among them) through the bus, as a desktop session does.
    m_session = std::make_unique<PrivateSessionBus>(m_desktop == Desktop::plasma
                                                        ? PrivateSessionBus::Services::desktop
                                                        : PrivateSessionBus::Services::none);
    m_system = std::make_unique<PrivateSessionBus>();
    if (!m_session->isRunning() || !m_system->isRunning()) {
        m_error = QStringLiteral("no private bus: ") + m_session->errorString();
        return false;
    }
    m_display = m_xvfb->name();

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name :
         {"WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "QT_QPA_PLATFORMTHEME", "XDG_CURRENT_DESKTOP",
          "DESKTOP_SESSION", "KDE_FULL_SESSION", "GNOME_SETUP_DISPLAY"}) {
        env.remove(QString::fromLatin1(name));
    }
    env.insert(QStringLiteral("DISPLAY"), m_display);
    env.insert(QStringLiteral("HOME"), m_home.filePath(QStringLiteral("home")));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), m_home.filePath(QStringLiteral("config")));
    env.insert(QStringLiteral("XDG_DATA_HOME"), m_home.filePath(QStringLiteral("data")));
    env.insert(QStringLiteral("XDG_CACHE_HOME"), m_home.filePath(QStringLiteral("cache")));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_home.filePath(QStringLiteral("runtime")));
    env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), m_session->address());
    env.insert(QStringLiteral("DBUS_SYSTEM_BUS_ADDRESS"), m_system->address());
    env.insert(QStringLiteral("XDG_SESSION_TYPE"), QStringLiteral("x11"));
    const QString config = m_home.filePath(QStringLiteral("config"));
    switch (m_desktop) {
    case Desktop::gnome:
        env.insert(QStringLiteral("XDG_CURRENT_DESKTOP"), QStringLiteral("GNOME"));
        // Settings in a file: the bus starts no settings service.
        env.insert(QStringLiteral("GSETTINGS_BACKEND"), QStringLiteral("keyfile"));
        break;
    case Desktop::xfce:
        env.insert(QStringLiteral("XDG_CURRENT_DESKTOP"), QStringLiteral("XFCE"));
        QDir().mkpath(config + QStringLiteral("/xfce4/xfconf/xfce-perchannel-xml"));
        // The desktop's default panel layout, so the panel does not ask on its first start.
        QFile::copy(QStringLiteral("/etc/xdg/xfce4/panel/default.xml"),
                    config + QStringLiteral("/xfce4/xfconf/xfce-perchannel-xml/xfce4-panel.xml"));
        break;
    case Desktop::lxqt: {
        env.insert(QStringLiteral("XDG_CURRENT_DESKTOP"), QStringLiteral("LXQt"));
        env.insert(QStringLiteral("QT_QPA_PLATFORMTHEME"), QStringLiteral("lxqt"));
        QDir().mkpath(config + QStringLiteral("/lxqt"));
        QFile::copy(QStringLiteral("/usr/share/lxqt/panel.conf"),
                    config + QStringLiteral("/lxqt/panel.conf"));
        QFile lxqt(QStringLiteral("/usr/share/lxqt/lxqt.conf"));
        if (lxqt.open(QIODevice::ReadOnly)) {
            QByteArray text = lxqt.readAll();
            if (m_shade == Shade::dark) {
                QList<QByteArray> lines = text.split('\n');
                for (QByteArray& line : lines) {
                    if (line.startsWith("theme=")) {
                        line = "theme=dark";
                    }
                }
                text = lines.join('\n');
            }
            QFile out(config + QStringLiteral("/lxqt/lxqt.conf"));
            if (out.open(QIODevice::WriteOnly)) {
                out.write(text);
            }
        }
        break;
    }
    case Desktop::plasma:
        env.insert(QStringLiteral("XDG_CURRENT_DESKTOP"), QStringLiteral("KDE"));
        env.insert(QStringLiteral("KDE_FULL_SESSION"), QStringLiteral("true"));
        env.insert(QStringLiteral("KDE_SESSION_VERSION"), QStringLiteral("5"));
        break;
    }
    m_environment = env;

    if (m_desktop == Desktop::gnome) {
        for (const auto& [key, value] :
             {std::pair{"disable-user-extensions", "false"},
              std::pair{"enabled-extensions", "['ubuntu-appindicators@ubuntu.com']"}}) {
            if (run(QStringLiteral("gsettings"), {QStringLiteral("set"), QStringLiteral("org.gnome.shell"),
                                                  QString::fromLatin1(key), QString::fromLatin1(value)}) !=
                0) {
                m_error = QStringLiteral("gsettings could not enable the item extension");
                return false;
            }
        }
    }
    return startPanelProcesses();
}

bool RealDesktopPanel::startPanelProcesses() {
    switch (m_desktop) {
    case Desktop::gnome:
        spawn(QStringLiteral("gnome-shell"),
              {QStringLiteral("--x11"), QStringLiteral("--replace"), QStringLiteral("--sm-disable")},
              QStringLiteral("gnome-shell"));
        break;
    case Desktop::xfce:
        if (!XfceSettingsDaemon::start(*prepare(QStringLiteral("xfconfd")), kStartMs, &m_error)) {
            return false;
        }
        spawn(QStringLiteral("xfsettingsd"), {QStringLiteral("--no-daemon")}, QStringLiteral("xfsettingsd"));
        spawn(QStringLiteral("xfwm4"), {QStringLiteral("--compositor=off")}, QStringLiteral("xfwm4"));
        // The default panel is dark; the light one is the same panel out of its dark mode.
        run(QStringLiteral("xfconf-query"),
            {QStringLiteral("-c"), QStringLiteral("xfce4-panel"), QStringLiteral("-p"),
             QStringLiteral("/panels/dark-mode"), QStringLiteral("-n"), QStringLiteral("-t"),
             QStringLiteral("bool"), QStringLiteral("-s"),
             m_shade == Shade::dark ? QStringLiteral("true") : QStringLiteral("false")});
        spawn(QStringLiteral("xfce4-panel"), {}, QStringLiteral("xfce4-panel"));
        break;
    case Desktop::lxqt:
        if (m_panel.empty()) {
            spawn(QStringLiteral("openbox"), {}, QStringLiteral("openbox"));
        }
        spawn(QStringLiteral("lxqt-panel"), {}, QStringLiteral("lxqt-panel"));
        break;
    case Desktop::plasma:
        spawn(QStringLiteral("kwin_x11"), {QStringLiteral("--replace")}, QStringLiteral("kwin"));
        spawn(QStringLiteral("plasmashell"), {QStringLiteral("--no-respawn")}, QStringLiteral("plasmashell"));
        break;
    }
    if (m_desktop == Desktop::plasma) {
        // A session's start-up loads the daemon's item watcher; started alone, the daemon is asked for it.
        [[maybe_unused]] const bool asked = QTest::qWaitFor(
            [&] {
                return run(QStringLiteral("gdbus"),
                           {QStringLiteral("call"), QStringLiteral("--session"), QStringLiteral("-d"),
                            QStringLiteral("org.kde.kded5"), QStringLiteral("-o"), QStringLiteral("/kded"),
                            QStringLiteral("-m"), QStringLiteral("org.kde.kded5.loadModule"),
                            QStringLiteral("statusnotifierwatcher")}) == 0;
            },
            kStartMs);
    }
    if (!waitForWatcher(kStartMs)) {
        m_error = name(m_desktop, m_shade) + QStringLiteral(": no item watcher came on the bus");
        return false;
    }
    if (m_desktop == Desktop::gnome) {
        // The shell starts in its overview, where the bar is see-through; Escape leaves it for the desktop,
        // where the bar is black. Pressed until it is, as the shell may not take the first press yet.
        const bool onDesktop = QTest::qWaitFor(
            [&] {
                run(QStringLiteral("xdotool"), {QStringLiteral("key"), QStringLiteral("Escape")});
                QTest::qWait(700);
                return panelLuminance(grabScreen()) < 0.05;
            },
            kStartMs);
        if (!onDesktop) {
            m_error = name(m_desktop, m_shade) + QStringLiteral(": the shell stayed in its overview");
            return false;
        }
    }
    // The panel has drawn itself once its strip shows something: text, icons, an edge.
    const bool drawn = QTest::qWaitFor(
        [&] {
            const QImage screen = grabScreen();
            const QRect strip = panelStrip() & screen.rect();
            double lightest = 0;
            double darkest = 1;
            for (int y = strip.top(); y <= strip.bottom(); y += 2) {
                for (int x = strip.left(); x <= strip.right(); x += 2) {
                    const double l = luminance(screen.pixel(x, y));
                    lightest = std::max(lightest, l);
                    darkest = std::min(darkest, l);
                }
            }
            return lightest - darkest > 0.3;
        },
        kStartMs);
    if (!drawn) {
        m_error = name(m_desktop, m_shade) + QStringLiteral(": the panel drew nothing");
        return false;
    }
    if (m_desktop == Desktop::xfce) {
        // The panel's own light look, or its dark one as a solid ground of the dark mode's grey: the dark
        // mode itself follows the GTK theme, whose default here names no installed theme, so it shows
        // nothing dependable. Set (again, when the panel missed it while starting) until the panel shows it.
        const bool dark = m_shade == Shade::dark;
        double ground = -1;
        const bool shaded = QTest::qWaitFor(
            [&] {
                const QString panel1 = QStringLiteral("/panels/panel-1/");
                run(QStringLiteral("xfconf-query"),
                    {QStringLiteral("-c"), QStringLiteral("xfce4-panel"), QStringLiteral("-p"),
                     panel1 + QStringLiteral("background-style"), QStringLiteral("-n"), QStringLiteral("-t"),
                     QStringLiteral("uint"), QStringLiteral("-s"),
                     dark ? QStringLiteral("1") : QStringLiteral("0")});
                if (dark) {
                    QStringList rgba{QStringLiteral("-c"), QStringLiteral("xfce4-panel"),
                                     QStringLiteral("-p"), panel1 + QStringLiteral("background-rgba"),
                                     QStringLiteral("-n")};
                    for (const char* value : {"0.18", "0.18", "0.18", "1"}) {
                        rgba << QStringLiteral("-t") << QStringLiteral("double") << QStringLiteral("-s")
                             << QString::fromLatin1(value);
                    }
                    run(QStringLiteral("xfconf-query"), rgba);
                }
                QTest::qWait(1000);
                ground = panelLuminance(grabScreen());
                return dark ? ground < 0.35 : ground > 0.65;
            },
            kStartMs);
        if (!shaded) {
            m_error = name(m_desktop, m_shade) +
                      QStringLiteral(": the panel did not take its shade (its ground reads %1)").arg(ground);
            return false;
        }
    }
    QTest::qWait(1500); // and has settled
    return true;
}

void RealDesktopPanel::stopPanelProcesses() {
    // Newest first: the panel before its window manager and settings.
    for (auto it = m_panel.rbegin(); it != m_panel.rend(); ++it) {
        stop(**it);
    }
    m_panel.clear();
}

bool RealDesktopPanel::restartPanel() {
    if (m_desktop == Desktop::lxqt) {
        // The window manager stays; only the panel goes.
        stop(*m_panel.back());
        m_panel.pop_back();
    } else {
        stopPanelProcesses();
    }
    QTest::qWait(500);
    return startPanelProcesses();
}

bool RealDesktopPanel::waitForWatcher(int timeoutMs) {
    return QTest::qWaitFor([&] { return watcherOwnerPid() != 0; }, timeoutMs);
}

quint32 RealDesktopPanel::watcherOwnerPid() const {
    return ownerPid(kWatcher);
}

quint32 RealDesktopPanel::ownerPid(const QString& name) const {
    QDBusConnection bus = QDBusConnection::connectToBus(
        m_environment.value(QStringLiteral("DBUS_SESSION_BUS_ADDRESS")), QStringLiteral("real-panel-probe"));
    const QDBusReply<uint> pid = bus.interface()->servicePid(name);
    return pid.isValid() ? pid.value() : 0;
}

QRect RealDesktopPanel::panelStrip() const {
    // LXQt and Plasma keep their panels at the bottom; the others along the top. GNOME's bar is the
    // thinnest (a notification banner may show just under it), Plasma's the tallest.
    const int height = m_desktop == Desktop::gnome ? 30 : m_desktop == Desktop::plasma ? 48 : 40;
    return m_desktop == Desktop::lxqt || m_desktop == Desktop::plasma
               ? QRect(0, screenSize.height() - height, screenSize.width(), height)
               : QRect(0, 0, screenSize.width(), height);
}

QImage RealDesktopPanel::grabScreen() const {
    xcb_connection_t* connection = xcb_connect(m_display.toLatin1().constData(), nullptr);
    if (xcb_connection_has_error(connection)) {
        xcb_disconnect(connection);
        return {};
    }
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    xcb_get_image_reply_t* reply =
        xcb_get_image_reply(connection,
                            xcb_get_image(connection, XCB_IMAGE_FORMAT_Z_PIXMAP, screen->root, 0, 0,
                                          screen->width_in_pixels, screen->height_in_pixels, ~0u),
                            nullptr);
    QImage image;
    // A 24-bit screen comes as 32 bits a pixel, blue first, as Qt's RGB32 has it on this machine.
    if (reply && reply->depth == 24 &&
        xcb_get_image_data_length(reply) == int(screen->width_in_pixels) * screen->height_in_pixels * 4) {
        image = QImage(xcb_get_image_data(reply), screen->width_in_pixels, screen->height_in_pixels,
                       QImage::Format_RGB32)
                    .copy();
    }
    std::free(reply);
    xcb_disconnect(connection);
    return image;
}

double RealDesktopPanel::panelLuminance(const QImage& screen) const {
    QList<double> values;
    const QRect strip = panelStrip() & screen.rect();
    for (int y = strip.top(); y <= strip.bottom(); y += 4) {
        for (int x = strip.left(); x <= strip.right(); x += 4) {
            values << luminance(screen.pixel(x, y));
        }
    }
    if (values.isEmpty()) {
        return 0;
    }
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

QRect RealDesktopPanel::difference(const QImage& a, const QImage& b, const QRect& within) {
    QRect changed;
    const QRect area = within & a.rect() & b.rect();
    for (int y = area.top(); y <= area.bottom(); ++y) {
        const auto* rowA = reinterpret_cast<const QRgb*>(a.constScanLine(y));
        const auto* rowB = reinterpret_cast<const QRgb*>(b.constScanLine(y));
        for (int x = area.left(); x <= area.right(); ++x) {
            if (std::abs(luminance(rowA[x]) - luminance(rowB[x])) > 0.08) {
                changed |= QRect(x, y, 1, 1);
            }
        }
    }
    return changed;
}

QString RealDesktopPanel::readText(const QImage& picture, const QRect& area, const QString& keepAs) {
    // Enlarged, dark text on a light ground, with a white margin: what OCR reads best.
    // A little of the ground around what changed, so the text does not touch the edge.
    QImage part =
        picture.copy(area.adjusted(-1, -1, 1, 1) & picture.rect()).convertToFormat(QImage::Format_Grayscale8);
    // The ground is what most of the area shows: a dark one means light text, turned dark here.
    std::vector<uchar> values;
    for (int y = 0; y < part.height(); ++y) {
        values.insert(values.end(), part.constScanLine(y), part.constScanLine(y) + part.width());
    }
    if (!values.empty()) {
        std::nth_element(values.begin(), values.begin() + std::ptrdiff_t(values.size() / 2), values.end());
        if (values[values.size() / 2] < 128) {
            part.invertPixels();
        }
    }
    // Four times larger, then black or white: soft edges of small text make OCR take a 5 for a 9.
    part = part.scaled(part.size() * 4, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    for (int y = 0; y < part.height(); ++y) {
        uchar* line = part.scanLine(y);
        for (int x = 0; x < part.width(); ++x) {
            line[x] = line[x] < 128 ? 0 : 255;
        }
    }
    // Dark pieces touching the edge are the ground around a plate's rounded corners, not text: cleared, as
    // OCR takes them for marks and then reads nothing.
    std::vector<QPoint> pending;
    for (int x = 0; x < part.width(); ++x) {
        pending.push_back({x, 0});
        pending.push_back({x, part.height() - 1});
    }
    for (int y = 0; y < part.height(); ++y) {
        pending.push_back({0, y});
        pending.push_back({part.width() - 1, y});
    }
    while (!pending.empty()) {
        const QPoint p = pending.back();
        pending.pop_back();
        if (!part.rect().contains(p) || part.constScanLine(p.y())[p.x()] != 0) {
            continue;
        }
        part.scanLine(p.y())[p.x()] = 255;
        pending.insert(pending.end(),
                       {{p.x() + 1, p.y()}, {p.x() - 1, p.y()}, {p.x(), p.y() + 1}, {p.x(), p.y() - 1}});
    }
    QImage page(part.width() + 80, part.height() + 80, QImage::Format_Grayscale8);
    page.fill(Qt::white);
    {
        QPainter p(&page);
        p.drawImage(40, 40, part);
    }
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("area.png"));
    page.save(file);
    if (!keepAs.isEmpty()) {
        page.save(keepAs);
    }
    QProcess ocr;
    ocr.start(QStringLiteral("tesseract"),
              {file, QStringLiteral("stdout"), QStringLiteral("--psm"), QStringLiteral("7"),
               QStringLiteral("-c"), QStringLiteral("tessedit_char_whitelist=0123456789:hs")});
    ocr.waitForFinished(30'000);
    return QString::fromUtf8(ocr.readAllStandardOutput()).simplified();
}
