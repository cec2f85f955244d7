#pragma once
// The real program on a display and buses of the test's own, with its preferences seeded before it starts,
// and the X tools that read its windows: shared by the desktop end-to-end tests.

#include "core/TimerItem.h"
#include "support/Requirement.h"
#include "platform/Preferences.h"
#include "support/FakeStatusNotifierWatcher.h"
#include "support/PrivateSessionBus.h"
#include "support/XvfbDisplay.h"

#include <QDBusConnection>
#include <QDir>
#include <QMargins>
#include <QFile>
#include <QFileInfo>
#include <QPoint>
#include <QProcess>
#include <QRect>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <xcb/xcb.h>

#include <csignal>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <optional>
#include <utility>

inline const QString kReady = QStringLiteral("[Main] Running with");
constexpr int kWaitMs = 15'000;

// One run of the program, its standard error gathered while the test waits.
class Program {
public:
    ~Program() { kill(); }

    // Runs the program with at most `count` open descriptors, soft and hard alike, so it cannot raise them.
    void limitDescriptors(rlim_t count) {
        m_process.setChildProcessModifier([count] {
            const rlimit limit{count, count};
            ::setrlimit(RLIMIT_NOFILE, &limit);
        });
    }
    // `through`, when given, is a command that runs the program (unshare -n, say): the program and its
    // arguments follow it.
    void start(const QProcessEnvironment& env, const QStringList& arguments = {},
               const QStringList& through = {}) {
        m_process.setProcessEnvironment(env);
        m_process.setProcessChannelMode(QProcess::SeparateChannels);
        QObject::connect(&m_process, &QProcess::readyReadStandardError,
                         [this] { m_log += QString::fromUtf8(m_process.readAllStandardError()); });
        if (!through.isEmpty()) {
            m_process.start(through.first(),
                            through.mid(1) + QStringList{QStringLiteral(TT_PROGRAM_PATH)} + arguments);
        } else {
            m_process.start(QStringLiteral(TT_PROGRAM_PATH), arguments);
        }
        m_process.waitForStarted(kWaitMs);
    }
    bool waitFor(const QString& text, int timeoutMs = kWaitMs) {
        return QTest::qWaitFor([&] { return m_log.contains(text); }, timeoutMs);
    }
    int count(const QString& text) const { return int(m_log.count(text)); }
    bool waitForExit(int timeoutMs = kWaitMs) {
        return QTest::qWaitFor([&] { return m_process.state() == QProcess::NotRunning; }, timeoutMs);
    }
    void signal(int number) { ::kill(pid_t(m_process.processId()), number); }
    // Waits until it has stopped itself (SIGSTOP) or been stopped.
    bool waitUntilStopped(int timeoutMs = kWaitMs) const {
        const QString stat = QStringLiteral("/proc/%1/stat").arg(m_process.processId());
        return QTest::qWaitFor(
            [&] {
                QFile file(stat);
                // The state follows the command name, which is in parentheses.
                const QByteArray line = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
                return line.mid(line.lastIndexOf(')') + 2, 1) == "T";
            },
            timeoutMs);
    }
    void kill() {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished(3000);
        }
    }
    qint64 processId() const { return m_process.processId(); }
    bool running() const { return m_process.state() == QProcess::Running; }
    qint64 pid() const { return m_process.processId(); }
    int exitCode() const { return m_process.exitCode(); }
    QProcess::ExitStatus exitStatus() const { return m_process.exitStatus(); }
    const QString& log() const { return m_log; }

private:
    QProcess m_process;
    QString m_log;
};

// A window of the program as the X server has it.
struct ProgramWindow {
    QString id;     // "0x…"
    QString title;  // as xwininfo prints it: quoted, or "(has no name)"
    QRect geometry; // on the screen
};

class ProgramFixture : public ::testing::Test {
public: // the rows of a table reach the fixture
    QTemporaryDir home;
    std::unique_ptr<XvfbDisplay> display;
    std::unique_ptr<PrivateSessionBus> session;
    std::unique_ptr<PrivateSessionBus> system; // stands in for the system bus, where the login manager is
    std::unique_ptr<FakeStatusNotifierWatcher> watcher; // declared after the buses, so it goes first
    int connections = 0;

    // The desktop tools (xdotool, …) every test of the fixture needs; without one the tests are skipped.
    explicit ProgramFixture(QStringList tools = {}) : m_tools(std::move(tools)) {}

    void SetUp() override {
        if (const QString missing = missingTools(m_tools); !missing.isEmpty()) {
            TT_SKIP_OR_FAIL("not installed (scripts/deps.sh --tests installs it): " << missing.toStdString());
        }
        makeHomeFolders();
        display = std::make_unique<XvfbDisplay>(screen());
        if (!display->isRunning()) {
            TT_SKIP_OR_FAIL(display->errorString().toStdString());
        }
        session = std::make_unique<PrivateSessionBus>();
        system = std::make_unique<PrivateSessionBus>();
        if (!session->isRunning() || !system->isRunning()) {
            TT_SKIP_OR_FAIL("no private bus: " << session->errorString().toStdString());
        }
        writePreferences({{QStringLiteral("bl.hasSeenOnboarding"), true}});
    }

    // The test display's size and depth.
    virtual QString screen() const { return QStringLiteral("1280x1024x24"); }

    // The program's own configuration, data and runtime folders under `home`.
    void makeHomeFolders() {
        ASSERT_TRUE(home.isValid());
        for (const char* dir : {"config", "data", "runtime"}) {
            ASSERT_TRUE(QDir(home.path()).mkpath(QString::fromLatin1(dir)));
        }
        QFile::setPermissions(home.filePath(QStringLiteral("runtime")),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    // Skips the test when one of these desktop tools (a name on PATH, or a full path) is missing.
    static QString missingTools(const QStringList& tools) {
        QStringList missing;
        for (const QString& tool : tools) {
            if (QStandardPaths::findExecutable(tool).isEmpty()) {
                missing << tool;
            }
        }
        return missing.join(QStringLiteral(", "));
    }

    // A connection of its own to the test's session bus, under a name not used before.
    QDBusConnection newConnection(const QString& role) {
        return session->connect(role + QString::number(++connections));
    }

    // A panel that shows items, so the program's item and its menu are on the bus.
    void startWatcher() {
        watcher = std::make_unique<FakeStatusNotifierWatcher>(newConnection(QStringLiteral("watcher")));
        ASSERT_TRUE(watcher->isRegistered());
    }

    // Where a panel reaches the program's item once it has registered; empty when it did not in time.
    QString waitForItemService() const {
        if (!QTest::qWaitFor([&] { return !watcher->registrations().isEmpty(); }, kWaitMs)) {
            return {};
        }
        const FakeStatusNotifierWatcher::Registration& item = watcher->registrations().constLast();
        // An item registered by its object path is reached at the unique name that registered it.
        return item.service.startsWith(QLatin1Char('/')) ? item.sender : item.service;
    }

    virtual QProcessEnvironment environment() const {
        QProcessEnvironment env = display->environment(QProcessEnvironment::systemEnvironment());
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), home.filePath(QStringLiteral("config")));
        env.insert(QStringLiteral("XDG_DATA_HOME"), home.filePath(QStringLiteral("data")));
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), home.filePath(QStringLiteral("runtime")));
        env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), session->address());
        env.insert(QStringLiteral("DBUS_SYSTEM_BUS_ADDRESS"), system->address());
        env.remove(QStringLiteral("WAYLAND_DISPLAY"));
        return env;
    }

    QString preferencesPath() const {
        return home.filePath(QStringLiteral("config/TarvolinTimer/preferences.json"));
    }

    void writePreferences(const QVariantMap& values) {
        ASSERT_TRUE(QDir().mkpath(QFileInfo(preferencesPath()).path()));
        QFile file(preferencesPath());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(Preferences::serialize(values));
    }

    QVariantMap readPreferences() const {
        QFile file(preferencesPath());
        if (!file.open(QIODevice::ReadOnly)) {
            return {};
        }
        return Preferences::deserialize(file.readAll()).value_or(QVariantMap());
    }

    std::optional<QList<TimerItem>> savedTimers() const {
        const QVariant data = readPreferences().value(QStringLiteral("quorvane.activeTimers"));
        if (data.typeId() != QMetaType::QByteArray) {
            return std::nullopt;
        }
        return TimerItem::decodeList(data.toByteArray());
    }

    // A later launch: returns its exit code, or -1 when it did not end in time.
    int launchAgain(const QStringList& arguments) {
        Program later;
        later.start(environment(), arguments);
        if (!later.waitForExit()) {
            return -1;
        }
        return later.exitStatus() == QProcess::NormalExit ? later.exitCode() : -1;
    }

    void stop(Program& program, int signalNumber = SIGTERM) {
        program.signal(signalNumber);
        ASSERT_TRUE(program.waitForExit());
        EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(program.exitCode(), 0) << program.log().toStdString();
    }

    QString x11(const QString& tool, const QStringList& arguments) const {
        QProcess process;
        process.setProcessEnvironment(environment());
        process.start(tool, arguments);
        process.waitForFinished(kWaitMs);
        return QString::fromUtf8(process.readAllStandardOutput());
    }

    // Runs xdotool on the test display; true when it succeeded.
    bool xdotool(const QStringList& arguments) const {
        QProcess process;
        process.setProcessEnvironment(environment());
        process.start(QStringLiteral("xdotool"), arguments);
        return process.waitForFinished(kWaitMs) && process.exitStatus() == QProcess::NormalExit &&
               process.exitCode() == 0;
    }

    // The program's mapped windows, top-level or embedded in another program's (a tray's).
    QList<ProgramWindow> programWindows() const {
        static const QRegularExpression line(
            QStringLiteral("^\\s*(0x[0-9a-f]+) (.*?): \\(\"tarvolintimer\" "
                           "\"tarvolintimer\"\\)\\s+(\\d+)x(\\d+)\\+-?\\d+\\+-?\\d+"
                           "\\s+\\+(-?\\d+)\\+(-?\\d+)"));
        QList<ProgramWindow> windows;
        for (const QString& row :
             x11(QStringLiteral("xwininfo"), {QStringLiteral("-root"), QStringLiteral("-tree")})
                 .split(QLatin1Char('\n'))) {
            const auto match = line.match(row);
            if (match.hasMatch() &&
                x11(QStringLiteral("xwininfo"), {QStringLiteral("-id"), match.captured(1)})
                    .contains(QStringLiteral("IsViewable"))) {
                windows << ProgramWindow{match.captured(1), match.captured(2),
                                         QRect(match.captured(5).toInt(), match.captured(6).toInt(),
                                               match.captured(3).toInt(), match.captured(4).toInt())};
            }
        }
        return windows;
    }

    // The ids of the program's mapped windows of that size ("440x720").
    QStringList windowsOfSize(const QString& size) const {
        QStringList ids;
        for (const ProgramWindow& window : programWindows()) {
            if (QStringLiteral("%1x%2").arg(window.geometry.width()).arg(window.geometry.height()) == size) {
                ids << window.id;
            }
        }
        return ids;
    }

    // The program's mapped windows with this title.
    QList<ProgramWindow> windowsTitled(const QString& title) const {
        QList<ProgramWindow> found;
        for (const ProgramWindow& window : programWindows()) {
            if (window.title == QLatin1Char('"') + title + QLatin1Char('"')) {
                found << window;
            }
        }
        return found;
    }

    // The first mapped window `pick` accepts, waiting for one; empty id when none came.
    ProgramWindow waitForWindow(const std::function<bool(const ProgramWindow&)>& pick) const {
        ProgramWindow found;
        [[maybe_unused]] const bool came = QTest::qWaitFor(
            [&] {
                for (const ProgramWindow& window : programWindows()) {
                    if (pick(window)) {
                        found = window;
                        return true;
                    }
                }
                return false;
            },
            kWaitMs);
        return found;
    }

    QString waitForWindow(const QString& size) const {
        QString id;
        [[maybe_unused]] const bool found = QTest::qWaitFor(
            [&] {
                const QStringList ids = windowsOfSize(size);
                id = ids.isEmpty() ? QString() : ids.first();
                return !id.isEmpty();
            },
            kWaitMs);
        return id;
    }

    // The window's place on the screen, wherever it has been moved since it was listed.
    QPoint windowOrigin(const QString& window) const {
        const QString info = x11(QStringLiteral("xwininfo"), {QStringLiteral("-id"), window});
        const auto x = QRegularExpression(QStringLiteral("Absolute upper-left X:\\s+(-?\\d+)")).match(info);
        const auto y = QRegularExpression(QStringLiteral("Absolute upper-left Y:\\s+(-?\\d+)")).match(info);
        return QPoint(x.captured(1).toInt(), y.captured(1).toInt());
    }

    // How far a window's own drawing (a shadow) reaches round what window managers should place and snap, as
    // the window tells them (_GTK_FRAME_EXTENTS); none when it tells nothing.
    QMargins frameExtents(const QString& window) const {
        const auto value = QRegularExpression(QStringLiteral("= (\\d+), (\\d+), (\\d+), (\\d+)"))
                               .match(x11(QStringLiteral("xprop"), {QStringLiteral("-id"), window,
                                                                    QStringLiteral("_GTK_FRAME_EXTENTS")}));
        return value.hasMatch() ? QMargins(value.captured(1).toInt(), value.captured(3).toInt(),
                                           value.captured(2).toInt(), value.captured(4).toInt())
                                : QMargins();
    }
    // Where on the screen the window's card lies: the window less its frame extents, wherever it has been
    // moved since it was listed.
    QRect cardOf(const ProgramWindow& window) const {
        return QRect(windowOrigin(window.id), window.geometry.size()).marginsRemoved(frameExtents(window.id));
    }
    // The first mapped window whose card has this size, waiting for one; empty id when none came.
    ProgramWindow waitForCard(const QSize& size) const {
        return waitForWindow([&](const ProgramWindow& window) {
            return window.geometry.width() >= size.width() && window.geometry.height() >= size.height() &&
                   cardOf(window).size() == size;
        });
    }

    // A real pointer click (through the X test extension) at a point of the screen.
    bool clickAt(const QPoint& at) const {
        return xdotool({QStringLiteral("mousemove"), QString::number(at.x()), QString::number(at.y()),
                        QStringLiteral("click"), QStringLiteral("1")});
    }

    QString netWmState(const QString& window) const {
        return x11(QStringLiteral("xprop"), {QStringLiteral("-id"), window, QStringLiteral("_NET_WM_STATE")});
    }

    static QString artifactPath(const QString& name) {
        return QStringLiteral(TT_ARTIFACTS_DIR) + QLatin1Char('/') + name + QStringLiteral(".png");
    }

    // Saves a picture of the window among the build's test artifacts (artifactPath(name)).
    void screenshot(const QString& window, const QString& name) const {
        QDir().mkpath(QStringLiteral(TT_ARTIFACTS_DIR));
        const QString file = artifactPath(name);
        QFile::remove(file); // so a failed shot is not mistaken for an older one
        QProcess shot;
        shot.setProcessEnvironment(environment());
        shot.start(QStringLiteral(TT_WINDOW_SHOT_PATH), {window, file});
        ASSERT_TRUE(shot.waitForFinished(kWaitMs));
        EXPECT_EQ(shot.exitCode(), 0) << "no screenshot of " << name.toStdString();
        EXPECT_GT(QFileInfo(file).size(), 0);
    }

    // Asks the window to close the way a window manager's close button does.
    void closeWindow(const QString& window) const {
        xcb_connection_t* c = xcb_connect(display->name().toLatin1().constData(), nullptr);
        ASSERT_FALSE(xcb_connection_has_error(c));
        const auto atom = [c](const char* name) {
            xcb_intern_atom_reply_t* reply =
                xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, uint16_t(std::strlen(name)), name), nullptr);
            const xcb_atom_t value = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
            std::free(reply);
            return value;
        };
        xcb_client_message_event_t event{};
        event.response_type = XCB_CLIENT_MESSAGE;
        event.format = 32;
        event.window = xcb_window_t(window.toUInt(nullptr, 16));
        event.type = atom("WM_PROTOCOLS");
        event.data.data32[0] = atom("WM_DELETE_WINDOW");
        event.data.data32[1] = XCB_CURRENT_TIME;
        xcb_send_event(c, 0, event.window, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char*>(&event));
        // A round trip before hanging up: a busy server can drop what a closed connection left unread.
        std::free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
        xcb_disconnect(c);
    }

private:
    QStringList m_tools;
};
