// The timers tab in the real program: opened from the panel item, a time typed on the keyboard and
// confirmed starts a timer that the hero card then counts down.
#include "support/FakeStatusNotifierWatcher.h"

#include "core/TimerItem.h"
#include "platform/Preferences.h"
#include "support/PrivateSessionBus.h"
#include "support/TestPanelHost.h"
#include "support/XvfbDisplay.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <csignal>
#include <memory>

namespace {

const QString kReady = QStringLiteral("[Main] Running with");
constexpr int kWaitMs = 15'000;

class TimersTabDesktopTest : public ::testing::Test {
protected:
    QTemporaryDir home;
    std::unique_ptr<XvfbDisplay> display;
    std::unique_ptr<PrivateSessionBus> session;
    std::unique_ptr<PrivateSessionBus> system;
    QProcess program;
    QString log;

    void SetUp() override {
        ASSERT_TRUE(home.isValid());
        for (const char* dir : {"config/TarvolinTimer", "data", "runtime"}) {
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
        if (QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty()) {
            GTEST_SKIP() << "xdotool is missing (scripts/deps.sh installs it)";
        }
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
        return env;
    }

    QString preferencesPath() const {
        return home.filePath(QStringLiteral("config/TarvolinTimer/preferences.json"));
    }

    void writePreferences(const QVariantMap& values) {
        QFile file(preferencesPath());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(Preferences::serialize(values));
    }

    std::optional<QList<TimerItem>> savedTimers() const {
        QFile file(preferencesPath());
        if (!file.open(QIODevice::ReadOnly)) {
            return std::nullopt;
        }
        const QVariant data = Preferences::deserialize(file.readAll())
                                  .value_or(QVariantMap())
                                  .value(QStringLiteral("quorvane.activeTimers"));
        if (data.typeId() != QMetaType::QByteArray) {
            return std::nullopt;
        }
        return TimerItem::decodeList(data.toByteArray());
    }

    bool run(const QString& tool, const QStringList& arguments, QString* output = nullptr) const {
        QProcess process;
        process.setProcessEnvironment(environment());
        process.start(tool, arguments);
        const bool done = process.waitForFinished(kWaitMs) && process.exitCode() == 0;
        if (output) {
            *output = QString::fromUtf8(process.readAllStandardOutput());
        }
        return done;
    }

    // The id of the program's mapped 440 × 720 window: the popover.
    QString popoverWindow() const {
        QString tree;
        run(QStringLiteral("xwininfo"), {QStringLiteral("-root"), QStringLiteral("-tree")}, &tree);
        const QRegularExpression line(
            QStringLiteral("^\\s*(0x[0-9a-f]+) .*\\(\"tarvolintimer\" \"tarvolintimer\"\\)\\s+440x720\\+"));
        for (const QString& row : tree.split(QLatin1Char('\n'))) {
            const auto match = line.match(row);
            QString info;
            if (match.hasMatch() &&
                run(QStringLiteral("xwininfo"), {QStringLiteral("-id"), match.captured(1)}, &info) &&
                info.contains(QStringLiteral("IsViewable"))) {
                return match.captured(1);
            }
        }
        return {};
    }

    // Saves a picture of the window among the build's test artifacts and reads it back.
    QImage screenshot(const QString& window, const QString& name) const {
        QDir().mkpath(QStringLiteral(TT_ARTIFACTS_DIR));
        const QString file = QStringLiteral(TT_ARTIFACTS_DIR "/") + name + QStringLiteral(".png");
        QFile::remove(file);
        run(QStringLiteral(TT_WINDOW_SHOT_PATH), {window, file});
        return QImage(file);
    }

    void xdotool(const QStringList& arguments) const {
        ASSERT_TRUE(run(QStringLiteral("xdotool"), arguments))
            << arguments.join(QLatin1Char(' ')).toStdString();
    }
};

// The smallest rectangle holding every pixel that differs between two pictures of the same size.
QRect changedArea(const QImage& a, const QImage& b) {
    QRect area;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            if (a.pixel(x, y) != b.pixel(x, y)) {
                area |= QRect(x, y, 1, 1);
            }
        }
    }
    return area;
}

} // namespace

TEST_F(TimersTabDesktopTest, TypingATimeAndConfirmingItTwiceStartsATimerTheHeroCountsDown) {
    FakeStatusNotifierWatcher watcher(session->connect(QStringLiteral("watcher")));
    ASSERT_TRUE(watcher.isRegistered());
    writePreferences({{QStringLiteral("bl.hasSeenOnboarding"), true},
                      {QStringLiteral("bl.appLanguage"), QStringLiteral("en")}});
    program.setProcessEnvironment(environment());
    program.setProcessChannelMode(QProcess::SeparateChannels);
    QObject::connect(&program, &QProcess::readyReadStandardError,
                     [this] { log += QString::fromUtf8(program.readAllStandardError()); });
    program.start(QStringLiteral(TT_PROGRAM_PATH), {});
    ASSERT_TRUE(QTest::qWaitFor([&] { return log.contains(kReady); }, kWaitMs)) << log.toStdString();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !watcher.registrations().isEmpty(); }, kWaitMs));

    // A click on the panel item, as a panel passes it on.
    const FakeStatusNotifierWatcher::Registration item = watcher.registrations().first();
    TestPanelHost panel(session->connect(QStringLiteral("panel")),
                        item.service.startsWith(QLatin1Char('/')) ? item.sender : item.service);
    const QDBusMessage reply =
        panel.call(QStringLiteral("/StatusNotifierItem"), QStringLiteral("org.kde.StatusNotifierItem"),
                   QStringLiteral("Activate"), {1200, 10});
    ASSERT_NE(reply.type(), QDBusMessage::ErrorMessage) << reply.errorMessage().toStdString();
    QString window;
    ASSERT_TRUE(QTest::qWaitFor([&] { return !(window = popoverWindow()).isEmpty(); }, kWaitMs))
        << log.toStdString();
    QTest::qWait(500); // the popover takes the keyboard once it is mapped

    // Typed at whatever window holds the keyboard: the popover's own key handling must send it to the bar.
    xdotool({QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("60"), QStringLiteral("25m")});
    xdotool({QStringLiteral("key"), QStringLiteral("Return")});
    QTest::qWait(500); // the confirmation card opens with its Start button focused
    xdotool({QStringLiteral("key"), QStringLiteral("Return")});

    QTest::qWait(1200);
    const QImage before = screenshot(window, QStringLiteral("timers-tab-running"));
    QTest::qWait(2200);
    const QImage after = screenshot(window, QStringLiteral("timers-tab-running-later"));
    ASSERT_FALSE(before.isNull());
    ASSERT_EQ(before.size(), after.size());
    // Only the hero changes between two ticks: its digits and its dial, in the top part of the tab.
    const QRect changed = changedArea(before, after);
    EXPECT_FALSE(changed.isEmpty()) << "the hero counts down";
    EXPECT_TRUE(QRect(100, 0, 240, 360).contains(changed))
        << "changed " << changed.x() << "," << changed.y() << " " << changed.width() << "x"
        << changed.height();

    program.terminate();
    ASSERT_TRUE(program.waitForFinished(kWaitMs));
    EXPECT_EQ(program.exitCode(), 0) << log.toStdString();
    const auto saved = savedTimers();
    ASSERT_TRUE(saved.has_value()) << log.toStdString();
    ASSERT_EQ(saved->size(), 1) << "one timer, started once";
    EXPECT_EQ(saved->first().totalDuration, 1500);
    EXPECT_EQ(saved->first().state, TimerState::running);
    EXPECT_LT(saved->first().remaining, 1500) << "it has counted down";
    EXPECT_GT(saved->first().remaining, 1400);
    EXPECT_TRUE(saved->first().title.isEmpty());
}
