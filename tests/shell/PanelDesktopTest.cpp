// The panel item among real desktop programs on a virtual display: in an XEmbed tray (trayer) when no item
// watcher exists, and in a real item host (gtk-sni-tray-standalone) that reads its picture and menu. The
// item runs in a program of its own (the demo) on that display; clicks come from xdotool.
#include "support/ChildProcess.h"
#include "support/Requirement.h"
#include "support/PrivateSessionBus.h"
#include "support/XvfbDisplay.h"

#include "services/QStringPrinting.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTest>

#include <gtest/gtest.h>

#include <optional>

namespace {

constexpr int kWaitMs = 15000;

QString missingTools(const QStringList& tools) {
    QStringList missing;
    for (const QString& t : tools) {
        if (QStandardPaths::findExecutable(t).isEmpty()) {
            missing << t;
        }
    }
    return missing.join(QStringLiteral(", "));
}

// Runs a short desktop tool to its end; true when it succeeded.
bool run(const QProcessEnvironment& env, const QString& program, const QStringList& arguments,
         QString* output = nullptr) {
    QProcess process;
    process.setProcessEnvironment(env);
    process.start(program, arguments);
    if (!process.waitForFinished(5000)) {
        process.kill();
        process.waitForFinished(1000);
        return false;
    }
    if (output) {
        *output = QString::fromLocal8Bit(process.readAllStandardOutput());
    }
    return process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

// The demo program and the lines it has reported.
class Demo {
public:
    void start(const QProcessEnvironment& env, const QStringList& arguments) {
        m_child.process.setProcessEnvironment(env);
        m_child.process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_child.process.start(QStringLiteral(TT_PANEL_ITEM_DEMO), arguments);
    }
    // The first line not yet taken that starts with `prefix`, waiting for it.
    std::optional<QString> take(const QString& prefix, int timeoutMs = kWaitMs) {
        std::optional<QString> found;
        // Ends on the line, on the demo's end, or on the timeout; `found` tells which.
        static_cast<void>(QTest::qWaitFor(
            [&] {
                while (m_child.process.canReadLine()) {
                    m_lines << QString::fromUtf8(m_child.process.readLine()).trimmed();
                }
                for (qsizetype i = 0; i < m_lines.size(); ++i) {
                    if (m_lines[i].startsWith(prefix)) {
                        found = m_lines.takeAt(i);
                        return true;
                    }
                }
                return m_child.process.state() == QProcess::NotRunning;
            },
            timeoutMs));
        return found;
    }
    void send(const QString& command) { m_child.process.write((command + QLatin1Char('\n')).toUtf8()); }
    // Asks the demo for a picture of the screen, saved among the test's artifacts.
    bool grab(const QString& name) {
        QDir().mkpath(QStringLiteral("panel-item"));
        send(QStringLiteral("grab ") + QFileInfo(QStringLiteral("panel-item/") + name).absoluteFilePath());
        return take(QStringLiteral("grab")) == QStringLiteral("grabbed");
    }

private:
    ChildProcess m_child;
    QStringList m_lines;
};

QProcessEnvironment desktopEnvironment(const XvfbDisplay& display, const PrivateSessionBus& bus) {
    QProcessEnvironment env = display.environment(QProcessEnvironment::systemEnvironment());
    env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), bus.address());
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    return env;
}

const QString kMenuEnglish =
    QStringLiteral("Resume|Stop|-|Quick Timer|-|Floating Window|-|Quit TarvolinTimer");

TEST(PanelDesktopTest, XEmbedTrayShowsTheFallbackIconAndTakesItsClicks) {
    if (const QString missing = missingTools({QStringLiteral("trayer"), QStringLiteral("xdotool")});
        !missing.isEmpty()) {
        TT_SKIP_OR_FAIL("not installed (scripts/deps.sh --tests installs them): " << missing.toStdString());
    }
    PrivateSessionBus bus; // with no item watcher on it
    if (!bus.isRunning()) {
        TT_SKIP_OR_FAIL("no private bus: " << bus.errorString().toStdString());
    }
    const XvfbDisplay display(QStringLiteral("800x600x24"));
    if (!display.isRunning()) {
        TT_SKIP_OR_FAIL(display.errorString().toStdString());
    }
    const QProcessEnvironment env = desktopEnvironment(display, bus);

    ChildProcess tray;
    tray.process.setProcessEnvironment(env);
    tray.process.start(QStringLiteral("trayer"),
                       {QStringLiteral("--edge"), QStringLiteral("top"), QStringLiteral("--align"),
                        QStringLiteral("left"), QStringLiteral("--height"), QStringLiteral("24"),
                        QStringLiteral("--widthtype"), QStringLiteral("request"),
                        QStringLiteral("--transparent"), QStringLiteral("true"), QStringLiteral("--alpha"),
                        QStringLiteral("0"), QStringLiteral("--tint"), QStringLiteral("0xf2f2f2")});
    // The tray is ready once its window is on the screen.
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            QString tree;
            run(env, QStringLiteral("xwininfo"), {QStringLiteral("-root"), QStringLiteral("-tree")}, &tree);
            return tree.contains(QLatin1String("panel"), Qt::CaseInsensitive) ||
                   tree.contains(QLatin1String("trayer"), Qt::CaseInsensitive);
        },
        kWaitMs));

    Demo demo;
    demo.start(env, {QStringLiteral("--paused"), QStringLiteral("--mode"), QStringLiteral("timeOnly"),
                     QStringLiteral("--language"), QStringLiteral("en"), QStringLiteral("--ink"),
                     QStringLiteral("#1d1d1f")});
    EXPECT_EQ(demo.take(QStringLiteral("presence")), QStringLiteral("presence systemTray"));
    const auto geometry = demo.take(QStringLiteral("geometry"));
    ASSERT_TRUE(geometry.has_value()) << "the fallback icon never got a place in the tray";
    const QStringList g = geometry->split(QLatin1Char(' '));
    ASSERT_EQ(g.size(), 5);
    const QPoint centre(g[1].toInt() + g[3].toInt() / 2, g[2].toInt() + g[4].toInt() / 2);
    EXPECT_GT(g[3].toInt(), 0);

    ASSERT_TRUE(run(env, QStringLiteral("xdotool"),
                    {QStringLiteral("mousemove"), QString::number(centre.x()), QString::number(centre.y()),
                     QStringLiteral("click"), QStringLiteral("1")}));
    EXPECT_EQ(demo.take(QStringLiteral("activate")),
              QStringLiteral("activate %1 %2").arg(centre.x()).arg(centre.y()));
    EXPECT_TRUE(demo.grab(QStringLiteral("xembed-tray.png")));

    // A right click opens the same menu as everywhere else.
    ASSERT_TRUE(run(env, QStringLiteral("xdotool"), {QStringLiteral("click"), QStringLiteral("3")}));
    EXPECT_EQ(demo.take(QStringLiteral("menu")), QStringLiteral("menu ") + kMenuEnglish);
    EXPECT_TRUE(demo.grab(QStringLiteral("xembed-tray-menu.png")));
    run(env, QStringLiteral("xdotool"), {QStringLiteral("key"), QStringLiteral("Escape")});
}

TEST(PanelDesktopTest, RealItemHostShowsTheLabelAndItsMenu) {
    if (const QString missing =
            missingTools({QStringLiteral("status-notifier-watcher"),
                          QStringLiteral("gtk-sni-tray-standalone"), QStringLiteral("xdotool")});
        !missing.isEmpty()) {
        TT_SKIP_OR_FAIL("not installed (scripts/deps.sh --tests installs them): " << missing.toStdString());
    }
    PrivateSessionBus bus;
    if (!bus.isRunning()) {
        TT_SKIP_OR_FAIL("no private bus: " << bus.errorString().toStdString());
    }
    const XvfbDisplay display(QStringLiteral("1024x768x24"));
    if (!display.isRunning()) {
        TT_SKIP_OR_FAIL(display.errorString().toStdString());
    }
    const QProcessEnvironment env = desktopEnvironment(display, bus);
    QDBusConnection test = bus.connect(QStringLiteral("test"));

    ChildProcess watcher;
    watcher.process.setProcessEnvironment(env);
    watcher.process.start(QStringLiteral("status-notifier-watcher"), {});
    if (!QTest::qWaitFor(
            [&] {
                return test.interface()
                    ->isServiceRegistered(QStringLiteral("org.kde.StatusNotifierWatcher"))
                    .value();
            },
            kWaitMs)) {
        TT_SKIP_OR_FAIL("status-notifier-watcher did not come up on a private bus");
    }
    ChildProcess host;
    host.process.setProcessEnvironment(env);
    host.process.start(QStringLiteral("gtk-sni-tray-standalone"), {});
    const auto hostRegistered = [&] {
        QDBusMessage get = QDBusMessage::createMethodCall(
            QStringLiteral("org.kde.StatusNotifierWatcher"), QStringLiteral("/StatusNotifierWatcher"),
            QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
        get << QStringLiteral("org.kde.StatusNotifierWatcher")
            << QStringLiteral("IsStatusNotifierHostRegistered");
        const QDBusMessage reply = test.call(get, QDBus::Block, 2000); // a test may wait
        return reply.arguments().value(0).value<QDBusVariant>().variant().toBool();
    };
    if (!QTest::qWaitFor(hostRegistered, kWaitMs)) {
        TT_SKIP_OR_FAIL("gtk-sni-tray-standalone did not register as a host");
    }

    Demo demo;
    demo.start(env, {QStringLiteral("--paused"), QStringLiteral("--mode"), QStringLiteral("timeOnly"),
                     QStringLiteral("--language"), QStringLiteral("en")});
    ASSERT_EQ(demo.take(QStringLiteral("presence")), QStringLiteral("presence statusNotifier"));

    // The host puts its first item at the left of its bar; a click there reaches the program once the
    // host has drawn it.
    const QPoint onItem(20, 15);
    const auto click = [&](const char* button) {
        return run(env, QStringLiteral("xdotool"),
                   {QStringLiteral("mousemove"), QString::number(onItem.x()), QString::number(onItem.y()),
                    QStringLiteral("click"), QLatin1String(button)});
    };
    std::optional<QString> activated;
    for (int attempt = 0; attempt < 20 && !activated; ++attempt) {
        ASSERT_TRUE(click("1"));
        activated = demo.take(QStringLiteral("activate"), 500);
    }
    ASSERT_TRUE(activated.has_value()) << "the host never passed a click on the item";
    EXPECT_EQ(*activated, QStringLiteral("activate %1 %2").arg(onItem.x()).arg(onItem.y()));
    EXPECT_TRUE(demo.grab(QStringLiteral("sni-host.png")));

    // A right click makes the host show our menu; the keyboard picks its second entry, Stop.
    ASSERT_TRUE(click("3"));
    QTest::qWait(1000);
    EXPECT_TRUE(demo.grab(QStringLiteral("sni-host-menu.png")));
    ASSERT_TRUE(run(
        env, QStringLiteral("xdotool"),
        {QStringLiteral("key"), QStringLiteral("Down"), QStringLiteral("Down"), QStringLiteral("Return")}));
    EXPECT_EQ(demo.take(QStringLiteral("timers")), QStringLiteral("timers 0"));
    QTest::qWait(500);
    EXPECT_TRUE(demo.grab(QStringLiteral("sni-host-after-stop.png")));
}

} // namespace
