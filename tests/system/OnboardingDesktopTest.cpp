// The first-run guide in the real program, on a display and buses of the test's own: a fresh start opens
// it, a click walks it to its end, and a start after that does not open it again; closing it with the
// window's close button leaves it for the next start. A picture of every page is saved for people to see.
#include "core/TimerItem.h"
#include "platform/Preferences.h"
#include "support/FakeStatusNotifierWatcher.h"
#include "support/PrivateSessionBus.h"
#include "support/XvfbDisplay.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <xcb/xcb.h>

#include <csignal>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

const QString kReady = QStringLiteral("[Main] Running with");
const QString kGuideSize = QStringLiteral("440x560");
constexpr int kWaitMs = 15'000;
// Long enough for a page's slide and a repaint to finish before a picture or the next click.
constexpr int kSettleMs = 700;

// Where a user clicks, in the guide's own coordinates: the centres of the English tile (below the
// language page's dial and question), of the primary button above "Skip", and of the last page's lone
// primary button (both 24 pixels above the bottom edge, 44 high, 8 apart).
const QPoint kEnglishTile(305, 435);
const QPoint kPrimaryAboveSkip(220, 560 - 24 - 44 - 8 - 22);
const QPoint kLonePrimary(220, 560 - 24 - 22);

class Program {
public:
    ~Program() { kill(); }
    void start(const QProcessEnvironment& env) {
        m_process.setProcessEnvironment(env);
        QObject::connect(&m_process, &QProcess::readyReadStandardError,
                         [this] { m_log += QString::fromUtf8(m_process.readAllStandardError()); });
        m_process.start(QStringLiteral(TT_PROGRAM_PATH), {});
        m_process.waitForStarted(kWaitMs);
    }
    bool waitFor(const QString& text) {
        return QTest::qWaitFor([&] { return m_log.contains(text); }, kWaitMs);
    }
    bool running() const { return m_process.state() == QProcess::Running; }
    // The normal quit path, which also flushes the preferences.
    bool terminate() {
        ::kill(pid_t(m_process.processId()), SIGTERM);
        return QTest::qWaitFor([&] { return m_process.state() == QProcess::NotRunning; }, kWaitMs) &&
               m_process.exitStatus() == QProcess::NormalExit && m_process.exitCode() == 0;
    }
    void kill() {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished(3000);
        }
    }
    const QString& log() const { return m_log; }

private:
    QProcess m_process;
    QString m_log;
};

class OnboardingDesktopTest : public ::testing::Test {
public:
    QTemporaryDir home;
    std::unique_ptr<XvfbDisplay> display;
    std::unique_ptr<PrivateSessionBus> session;
    std::unique_ptr<PrivateSessionBus> system;
    std::unique_ptr<FakeStatusNotifierWatcher> watcher;

    void SetUp() override {
        ASSERT_TRUE(home.isValid());
        for (const char* dir : {"config", "data", "runtime"}) {
            ASSERT_TRUE(QDir(home.path()).mkpath(QString::fromLatin1(dir)));
        }
        QFile::setPermissions(home.filePath(QStringLiteral("runtime")),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        if (QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty()) {
            GTEST_SKIP() << "xdotool is not installed (scripts/deps.sh)";
        }
        display = std::make_unique<XvfbDisplay>(QStringLiteral("1280x1024x24"));
        if (!display->isRunning()) {
            GTEST_SKIP() << display->errorString().toStdString();
        }
        session = std::make_unique<PrivateSessionBus>();
        system = std::make_unique<PrivateSessionBus>();
        if (!session->isRunning() || !system->isRunning()) {
            GTEST_SKIP() << "no private bus: " << session->errorString().toStdString();
        }
        // A tray, so the guide is the only window a start opens.
        watcher = std::make_unique<FakeStatusNotifierWatcher>(session->connect(QStringLiteral("watcher")));
        ASSERT_TRUE(watcher->isRegistered());
    }

    QProcessEnvironment environment() const {
        QProcessEnvironment env = display->environment(QProcessEnvironment::systemEnvironment());
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), home.filePath(QStringLiteral("config")));
        env.insert(QStringLiteral("XDG_DATA_HOME"), home.filePath(QStringLiteral("data")));
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), home.filePath(QStringLiteral("runtime")));
        env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), session->address());
        env.insert(QStringLiteral("DBUS_SYSTEM_BUS_ADDRESS"), system->address());
        return env;
    }

    QString preferencesPath() const {
        return home.filePath(QStringLiteral("config/TarvolinTimer/preferences.json"));
    }

    QVariantMap readPreferences() const {
        QFile file(preferencesPath());
        if (!file.open(QIODevice::ReadOnly)) {
            return {};
        }
        return Preferences::deserialize(file.readAll()).value_or(QVariantMap());
    }

    QString run(const QString& tool, const QStringList& arguments) const {
        QProcess process;
        process.setProcessEnvironment(environment());
        process.start(tool, arguments);
        process.waitForFinished(kWaitMs);
        return QString::fromUtf8(process.readAllStandardOutput());
    }

    // The program's mapped top-level windows of the guide's size.
    QStringList guideWindows() const {
        QStringList ids;
        const QRegularExpression line(
            QStringLiteral("^\\s*(0x[0-9a-f]+) .*\\(\"tarvolintimer\" \"tarvolintimer\"\\)\\s+") +
            kGuideSize + QStringLiteral("\\+"));
        for (const QString& row :
             run(QStringLiteral("xwininfo"), {QStringLiteral("-root"), QStringLiteral("-tree")})
                 .split(QLatin1Char('\n'))) {
            const auto match = line.match(row);
            if (match.hasMatch() &&
                run(QStringLiteral("xwininfo"), {QStringLiteral("-id"), match.captured(1)})
                    .contains(QStringLiteral("IsViewable"))) {
                ids << match.captured(1);
            }
        }
        return ids;
    }

    QString waitForGuide() const {
        QString id;
        [[maybe_unused]] const bool found = QTest::qWaitFor(
            [&] {
                const QStringList ids = guideWindows();
                id = ids.isEmpty() ? QString() : ids.first();
                return !id.isEmpty();
            },
            kWaitMs);
        return id;
    }

    QPoint origin(const QString& window) const {
        const QString info = run(QStringLiteral("xwininfo"), {QStringLiteral("-id"), window});
        const auto x = QRegularExpression(QStringLiteral("Absolute upper-left X:\\s+(-?\\d+)")).match(info);
        const auto y = QRegularExpression(QStringLiteral("Absolute upper-left Y:\\s+(-?\\d+)")).match(info);
        return QPoint(x.captured(1).toInt(), y.captured(1).toInt());
    }

    // A real pointer click (through the X test extension) at a point of the window.
    void click(const QString& window, const QPoint& at) const {
        const QPoint p = origin(window) + at;
        run(QStringLiteral("xdotool"),
            {QStringLiteral("mousemove"), QString::number(p.x()), QString::number(p.y()),
             QStringLiteral("click"), QStringLiteral("1")});
        QTest::qWait(kSettleMs);
    }

    void screenshot(const QString& window, const QString& name) const {
        QDir().mkpath(QStringLiteral(TT_ARTIFACTS_DIR));
        const QString file =
            QStringLiteral(TT_ARTIFACTS_DIR) + QLatin1Char('/') + name + QStringLiteral(".png");
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
        xcb_flush(c);
        xcb_disconnect(c);
    }

    // A start that opens no guide: it comes up, and a while later still no guide window is mapped.
    bool startsWithoutGuide() {
        Program program;
        program.start(environment());
        if (!program.waitFor(kReady)) {
            return false;
        }
        QTest::qWait(1500);
        const bool none = guideWindows().isEmpty();
        return program.terminate() && none;
    }
};

} // namespace

TEST_F(OnboardingDesktopTest, AFreshStartOpensTheGuideAndAStartAfterFinishingItDoesNot) {
    {
        Program first;
        first.start(environment());
        ASSERT_TRUE(first.waitFor(kReady)) << first.log().toStdString();
        const QString guide = waitForGuide();
        ASSERT_FALSE(guide.isEmpty()) << first.log().toStdString();
        QTest::qWait(kSettleMs);
        screenshot(guide, QStringLiteral("onboarding-1-language"));

        click(guide, kEnglishTile);
        screenshot(guide, QStringLiteral("onboarding-2-quickStart"));
        click(guide, kPrimaryAboveSkip);
        screenshot(guide, QStringLiteral("onboarding-3-input"));
        click(guide, kPrimaryAboveSkip);
        screenshot(guide, QStringLiteral("onboarding-4-done"));
        click(guide, kLonePrimary);
        EXPECT_TRUE(QTest::qWaitFor([&] { return guideWindows().isEmpty(); }, kWaitMs))
            << "the last page's button closes the guide";
        ASSERT_TRUE(first.running()) << "closing the guide does not quit";
        ASSERT_TRUE(first.terminate()) << first.log().toStdString();
    }
    const QVariantMap stored = readPreferences();
    EXPECT_EQ(stored.value(QStringLiteral("bl.hasSeenOnboarding")), QVariant(true));
    EXPECT_EQ(stored.value(QStringLiteral("bl.appLanguage")), QVariant(QStringLiteral("en")));
    const auto timers =
        TimerItem::decodeList(stored.value(QStringLiteral("quorvane.activeTimers")).toByteArray());
    ASSERT_TRUE(timers.has_value());
    ASSERT_EQ(timers->size(), 1);
    EXPECT_EQ(timers->first().title, QStringLiteral("Focus"));
    EXPECT_EQ(timers->first().totalDuration, 1500);

    EXPECT_TRUE(startsWithoutGuide());
}

TEST_F(OnboardingDesktopTest, ClosingTheGuideWithItsCloseButtonLeavesItForTheNextStart) {
    {
        Program first;
        first.start(environment());
        ASSERT_TRUE(first.waitFor(kReady));
        const QString guide = waitForGuide();
        ASSERT_FALSE(guide.isEmpty()) << first.log().toStdString();
        closeWindow(guide);
        EXPECT_TRUE(QTest::qWaitFor([&] { return guideWindows().isEmpty(); }, kWaitMs));
        ASSERT_TRUE(first.running()) << "closing the guide does not quit";
        ASSERT_TRUE(first.terminate());
    }
    EXPECT_FALSE(readPreferences().contains(QStringLiteral("bl.hasSeenOnboarding")));
    Program next;
    next.start(environment());
    ASSERT_TRUE(next.waitFor(kReady));
    EXPECT_FALSE(waitForGuide().isEmpty()) << "the guide opens again";
    EXPECT_TRUE(next.terminate());
}
