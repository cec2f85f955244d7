// The floating window and the quick-add panel of the real program on a display and buses of the test's
// own: the floating card at the top right, above everything on every desktop, paused by a click and moved
// by a drag; and the quick-add panel opened from the panel item's menu, which starts nothing until its
// card is confirmed and then exactly one timer. Pictures of the floating card and of both panel steps go
// to the build's test artifacts.
#include "support/FakeStatusNotifierWatcher.h"

#include "core/TimerItem.h"
#include "platform/Preferences.h"
#include "shell/RightClickMenu.h"
#include "support/PrivateSessionBus.h"
#include "support/TestPanelHost.h"
#include "support/XvfbDisplay.h"

#include <QDBusMessage>
#include <QDBusVariant>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <csignal>
#include <memory>
#include <optional>

namespace {

const QString kActiveTimers = QStringLiteral("quorvane.activeTimers");
const QString kReady = QStringLiteral("[Main] Running with");
constexpr int kWaitMs = 15'000;

// A top-level window of the program as the X server has it.
struct XWindow {
    QString id;
    QRect geometry;
};

class FloatingAndQuickAddDesktopTest : public ::testing::Test {
protected:
    QTemporaryDir home;
    std::unique_ptr<XvfbDisplay> display;
    std::unique_ptr<PrivateSessionBus> session;
    std::unique_ptr<PrivateSessionBus> system;
    std::unique_ptr<FakeStatusNotifierWatcher> watcher;
    QProcess program;
    QString log;

    void SetUp() override {
        if (QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty()) {
            GTEST_SKIP() << "xdotool is not installed (scripts/deps.sh --tests installs it)";
        }
        ASSERT_TRUE(home.isValid());
        for (const char* dir : {"config", "data", "runtime"}) {
            ASSERT_TRUE(QDir(home.path()).mkpath(QString::fromLatin1(dir)));
        }
        QFile::setPermissions(home.filePath(QStringLiteral("runtime")),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        display = std::make_unique<XvfbDisplay>(QStringLiteral("1280x1024x24"));
        if (!display->isRunning()) {
            GTEST_SKIP() << display->errorString().toStdString();
        }
        session = std::make_unique<PrivateSessionBus>();
        system = std::make_unique<PrivateSessionBus>();
        if (!session->isRunning() || !system->isRunning()) {
            GTEST_SKIP() << "no private bus: " << session->errorString().toStdString();
        }
        // A panel that shows items, so the program's item and its menu are on the bus.
        watcher = std::make_unique<FakeStatusNotifierWatcher>(session->connect(QStringLiteral("watcher")));
        ASSERT_TRUE(watcher->isRegistered());
    }

    void TearDown() override {
        if (program.state() != QProcess::NotRunning) {
            program.kill();
            program.waitForFinished(3000);
        }
    }

    QProcessEnvironment environment() const {
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

    // The list saved at the program's end; empty when none was saved.
    QList<TimerItem> savedTimers() const {
        QFile file(preferencesPath());
        if (!file.open(QIODevice::ReadOnly)) {
            return {};
        }
        const QVariant data =
            Preferences::deserialize(file.readAll()).value_or(QVariantMap()).value(kActiveTimers);
        if (data.typeId() != QMetaType::QByteArray) {
            return {};
        }
        return TimerItem::decodeList(data.toByteArray()).value_or(QList<TimerItem>());
    }

    void start() {
        log.clear();
        program.setProcessEnvironment(environment());
        QObject::connect(&program, &QProcess::readyReadStandardError,
                         [this] { log += QString::fromUtf8(program.readAllStandardError()); });
        program.start(QStringLiteral(TT_PROGRAM_PATH), {});
        ASSERT_TRUE(program.waitForStarted(kWaitMs));
        ASSERT_TRUE(QTest::qWaitFor([&] { return log.contains(kReady); }, kWaitMs)) << log.toStdString();
    }

    // Ends the program the way the session does; it saves its list on the way out.
    void stop() {
        ::kill(pid_t(program.processId()), SIGTERM);
        ASSERT_TRUE(QTest::qWaitFor([&] { return program.state() == QProcess::NotRunning; }, kWaitMs));
        EXPECT_EQ(program.exitCode(), 0) << log.toStdString();
        QObject::disconnect(&program, nullptr, nullptr, nullptr);
    }

    QString tool(const QString& name, const QStringList& arguments) const {
        QProcess process;
        process.setProcessEnvironment(environment());
        process.start(name, arguments);
        process.waitForFinished(kWaitMs);
        return QString::fromUtf8(process.readAllStandardOutput());
    }

    void xdotool(const QStringList& arguments) const { tool(QStringLiteral("xdotool"), arguments); }

    // The program's viewable top-level window whose title or size matches, if any.
    std::optional<XWindow> findWindow(const QRegularExpression& pattern) const {
        // 0x400007 "Quick Add": ("tarvolintimer" "tarvolintimer")  380x400+450+232  +450+232
        static const QRegularExpression row(
            QStringLiteral("^\\s*(0x[0-9a-f]+) (.*)\\(\"tarvolintimer\" "
                           "\"tarvolintimer\"\\)\\s+(\\d+)x(\\d+)\\+(-?\\d+)\\+(-?\\d+)"));
        for (const QString& line :
             tool(QStringLiteral("xwininfo"), {QStringLiteral("-root"), QStringLiteral("-tree")})
                 .split(QLatin1Char('\n'))) {
            const auto match = row.match(line);
            if (!match.hasMatch() || !pattern.match(line).hasMatch()) {
                continue;
            }
            if (!tool(QStringLiteral("xwininfo"), {QStringLiteral("-id"), match.captured(1)})
                     .contains(QStringLiteral("IsViewable"))) {
                continue;
            }
            return XWindow{match.captured(1), QRect(match.captured(5).toInt(), match.captured(6).toInt(),
                                                    match.captured(3).toInt(), match.captured(4).toInt())};
        }
        return std::nullopt;
    }

    std::optional<XWindow> waitForWindow(const QRegularExpression& pattern) const {
        std::optional<XWindow> found;
        [[maybe_unused]] const bool seen = QTest::qWaitFor(
            [&] {
                found = findWindow(pattern);
                return found.has_value();
            },
            kWaitMs);
        return found;
    }

    // The absolute place of a window (the tree gives it relative to its parent, which is the root here).
    QPoint placeOf(const QString& id) const {
        const QString info = tool(QStringLiteral("xwininfo"), {QStringLiteral("-id"), id});
        const auto x = QRegularExpression(QStringLiteral("Absolute upper-left X:\\s+(-?\\d+)")).match(info);
        const auto y = QRegularExpression(QStringLiteral("Absolute upper-left Y:\\s+(-?\\d+)")).match(info);
        return {x.captured(1).toInt(), y.captured(1).toInt()};
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
    }

    // Chooses an entry of the panel item's menu, as a panel does when the user clicks it.
    void chooseMenuEntry(int id) {
        ASSERT_TRUE(QTest::qWaitFor([&] { return !watcher->registrations().isEmpty(); }, kWaitMs));
        const auto& item = watcher->registrations().constLast();
        const QString service = item.service.startsWith(QLatin1Char('/')) ? item.sender : item.service;
        TestPanelHost host(session->connect(QStringLiteral("host%1").arg(++m_hosts)), service);
        const QDBusMessage reply = host.call(
            QStringLiteral("/MenuBar"), QStringLiteral("com.canonical.dbusmenu"), QStringLiteral("Event"),
            {id, QStringLiteral("clicked"), QVariant::fromValue(QDBusVariant(0)), 0u});
        ASSERT_EQ(reply.type(), QDBusMessage::ReplyMessage) << reply.errorMessage().toStdString();
    }

    static QRegularExpression titled(const char* title) {
        return QRegularExpression(QStringLiteral("\"") + QLatin1String(title) + QStringLiteral("\":"));
    }

private:
    int m_hosts = 0;
};

} // namespace

TEST_F(FloatingAndQuickAddDesktopTest, TheFloatingWindowSitsTopRightAboveAllAndTellsAClickFromADrag) {
    writePreferences({{QStringLiteral("bl.hasSeenOnboarding"), true},
                      {QStringLiteral("bl.floating.showOnStart"), true},
                      {QStringLiteral("bl.appLanguage"), QStringLiteral("en")},
                      {kActiveTimers, *TimerItem::encodeList({[] {
                           TimerItem tea =
                               TimerItem::make(QUuid::createUuid(), QStringLiteral("Tea"), 1500,
                                               TimerState::running, false, std::nullopt, std::nullopt);
                           tea.remaining = 1200;
                           return tea;
                       }()})}});
    start();
    const auto floating = waitForWindow(QRegularExpression(QStringLiteral("\\s200x54\\+")));
    ASSERT_TRUE(floating.has_value()) << log.toStdString();
    // 200 × 54, its right edge 20 px in from the screen's, 20 px down from the top.
    EXPECT_EQ(floating->geometry.size(), QSize(200, 54));
    EXPECT_EQ(placeOf(floating->id), QPoint(1280 - 200 - 20, 20));
    const QString states =
        tool(QStringLiteral("xprop"), {QStringLiteral("-id"), floating->id, QStringLiteral("_NET_WM_STATE")});
    for (const char* state : {"_NET_WM_STATE_ABOVE", "_NET_WM_STATE_STICKY"}) {
        EXPECT_TRUE(states.contains(QString::fromLatin1(state))) << state << ": " << states.toStdString();
    }
    // The restored timer comes back paused; a click on the card runs it.
    const QPoint card = placeOf(floating->id) + QPoint(40, 30);
    xdotool({QStringLiteral("mousemove"), QString::number(card.x()), QString::number(card.y()),
             QStringLiteral("click"), QStringLiteral("1")});
    QTest::qWait(1500); // a tick or so, so the picture shows it running
    screenshot(floating->id, QStringLiteral("floating-window-running"));

    // A drag moves the window and is no click: the timer keeps running.
    const QPoint to = card + QPoint(-300, 200);
    xdotool({QStringLiteral("mousemove"), QString::number(card.x()), QString::number(card.y()),
             QStringLiteral("mousedown"), QStringLiteral("1"), QStringLiteral("mousemove"),
             QString::number(card.x() - 20), QString::number(card.y() + 10), QStringLiteral("mousemove"),
             QString::number(to.x()), QString::number(to.y()), QStringLiteral("mouseup"),
             QStringLiteral("1")});
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return placeOf(floating->id) == QPoint(1060 - 300, 20 + 200); }, kWaitMs))
        << "the window stands at " << placeOf(floating->id).x() << "," << placeOf(floating->id).y();
    stop();
    const QList<TimerItem> saved = savedTimers();
    ASSERT_EQ(saved.size(), 1);
    EXPECT_EQ(saved[0].state, TimerState::running) << "one click ran it; the drag did not pause it again";
}

TEST_F(FloatingAndQuickAddDesktopTest, TheMenusReviewEntryStartsNothingUntilConfirmedThenExactlyOneTimer) {
    writePreferences({{QStringLiteral("bl.hasSeenOnboarding"), true},
                      {QStringLiteral("bl.appLanguage"), QStringLiteral("en")}});
    const int mid = 1024 / 2;

    // The entry opens the panel on its card, centred across and above the middle of the screen.
    start();
    chooseMenuEntry(RightClickMenu::quick25Id);
    auto panel = waitForWindow(titled("Quick Add"));
    ASSERT_TRUE(panel.has_value()) << log.toStdString();
    EXPECT_EQ(panel->geometry.width(), 380);
    EXPECT_GT(panel->geometry.height(), 400) << "the card is taller than the entry step";
    EXPECT_EQ(placeOf(panel->id), QPoint((1280 - 380) / 2, mid - panel->geometry.height() / 2 - 80));
    QTest::qWait(500);
    screenshot(panel->id, QStringLiteral("quick-add-confirmation"));

    // Escape goes back to the entry step, 380 × 400; a second one closes the panel.
    xdotool({QStringLiteral("key"), QStringLiteral("Escape")});
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            panel = findWindow(titled("Quick Add"));
            return panel && panel->geometry.size() == QSize(380, 400);
        },
        kWaitMs));
    ASSERT_TRUE(panel.has_value());
    QTest::qWait(300);
    screenshot(panel->id, QStringLiteral("quick-add-entry"));
    xdotool({QStringLiteral("key"), QStringLiteral("Escape")});
    EXPECT_TRUE(QTest::qWaitFor([&] { return !findWindow(titled("Quick Add")); }, kWaitMs));
    stop();
    EXPECT_TRUE(savedTimers().isEmpty()) << "nothing was confirmed, so nothing started";

    // Confirmed with Return (Start holds the keyboard): one 25-minute timer, running, and the panel gone.
    start();
    chooseMenuEntry(RightClickMenu::quick25Id);
    ASSERT_TRUE(waitForWindow(titled("Quick Add")).has_value());
    QTest::qWait(300);
    xdotool({QStringLiteral("key"), QStringLiteral("Return")});
    EXPECT_TRUE(QTest::qWaitFor([&] { return !findWindow(titled("Quick Add")); }, kWaitMs));
    QTest::qWait(300);
    stop();
    const QList<TimerItem> saved = savedTimers();
    ASSERT_EQ(saved.size(), 1);
    EXPECT_EQ(saved[0].totalDuration, 1500);
    EXPECT_EQ(saved[0].title, QString());
    EXPECT_EQ(saved[0].state, TimerState::running);
}
