// Global hotkeys on a real X server: a probe program binds shortcuts, xdotool presses keys the way a
// keyboard does (through the server, so grabs fire), and the probe's lines say what ran.
#include "ReturningXServer.h"
#include "support/Requirement.h"
#include "hotkeys/GlobalHotkeys.h"
#include "hotkeys/XcbHotkeyBackend.h"
#include "support/ChildProcess.h"
#include "support/XvfbDisplay.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QStringList>

#include <gtest/gtest.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <vector>

using namespace GlobalHotkeys;

namespace {

// Option+Command+Space and Option+Command+B, as stored; Alt and Super on the keyboard.
const QString kSpace = QStringLiteral("q=49:2304");
const QString kMarker = QStringLiteral("m=11:2304");

class Probe {
public:
    template <class Display> Probe(const Display& display, const QStringList& bindings) {
        m_child.process.setProcessEnvironment(display.environment(QProcessEnvironment::systemEnvironment()));
        m_child.process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_child.process.start(QStringLiteral(TT_PROBE_PATH), bindings);
    }

    // Waits until `line` has appeared `times` times in all; false after a few seconds.
    bool waitFor(const QString& line, int times = 1, int timeoutMs = 8000) {
        QElapsedTimer clock;
        clock.start();
        while (count(line) < times) {
            if (clock.elapsed() > timeoutMs || m_child.process.state() == QProcess::NotRunning) {
                return false;
            }
            m_child.process.waitForReadyRead(100);
            read();
        }
        return true;
    }
    qsizetype count(const QString& line) {
        read();
        return m_lines.count(line);
    }
    void send(const QByteArray& command) {
        m_child.process.write(command + '\n');
        m_child.process.waitForBytesWritten(3000);
    }
    QString transcript() const { return m_lines.join(QLatin1Char('|')); }

private:
    void read() {
        m_pending += m_child.process.readAllStandardOutput();
        while (m_pending.contains('\n')) {
            const qsizetype end = m_pending.indexOf('\n');
            m_lines.append(QString::fromUtf8(m_pending.left(end)));
            m_pending.remove(0, end + 1);
        }
    }

    ChildProcess m_child;
    QByteArray m_pending;
    QStringList m_lines;
};

class HotkeysDesktopTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!display.isRunning()) {
            TT_SKIP_OR_FAIL(display.errorString().toStdString());
        }
        if (QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty()) {
            TT_SKIP_OR_FAIL("xdotool is not installed (scripts/deps.sh --tests installs it)");
        }
    }

    // Runs xdotool with these arguments on the test display (or another).
    void xdotool(const QStringList& arguments) { xdotoolOn(display, arguments); }
    template <class Display> void xdotoolOn(const Display& on, const QStringList& arguments) {
        ChildProcess tool;
        tool.process.setProcessEnvironment(on.environment(QProcessEnvironment::systemEnvironment()));
        tool.process.start(QStringLiteral("xdotool"), arguments);
        ASSERT_TRUE(tool.process.waitForFinished(10000));
        ASSERT_EQ(tool.process.exitCode(), 0) << arguments.join(QLatin1Char(' ')).toStdString();
    }
    // Presses the marker shortcut and waits for its release to run: every key event sent before it has
    // been handled by then, so counts read afterwards are final.
    void settle(Probe& probe, int markers) { settleOn(display, probe, markers); }
    template <class Display> void settleOn(const Display& on, Probe& probe, int markers) {
        xdotoolOn(on, {QStringLiteral("key"), QStringLiteral("super+alt+b")});
        ASSERT_TRUE(probe.waitFor(QStringLiteral("up m"), markers)) << probe.transcript().toStdString();
    }

    XvfbDisplay display;
};

TEST_F(HotkeysDesktopTest, EachPressFiresItsReleaseHandlerOnce) {
    Probe probe(display, {kSpace, kMarker});
    ASSERT_TRUE(probe.waitFor(QStringLiteral("settled"))) << probe.transcript().toStdString();
    for (int press = 0; press < 3; ++press) {
        xdotool({QStringLiteral("key"), QStringLiteral("super+alt+space")});
    }
    settle(probe, 1);
    EXPECT_EQ(probe.count(QStringLiteral("up q")), 3) << probe.transcript().toStdString();
    EXPECT_EQ(probe.count(QStringLiteral("down q")), 3) << probe.transcript().toStdString();
}

TEST_F(HotkeysDesktopTest, AHeldKeyFiresOnce) {
    Probe probe(display, {kSpace, kMarker});
    ASSERT_TRUE(probe.waitFor(QStringLiteral("settled")));
    xdotool({QStringLiteral("keydown"), QStringLiteral("super+alt+space")});
    // The server repeats a held key; wait until it has, so the repeats are really there to be ignored.
    ASSERT_TRUE(probe.waitFor(QStringLiteral("key down 49 2304"), 3)) << probe.transcript().toStdString();
    xdotool({QStringLiteral("keyup"), QStringLiteral("space")});
    xdotool({QStringLiteral("keyup"), QStringLiteral("super+alt")});
    settle(probe, 1);
    EXPECT_EQ(probe.count(QStringLiteral("down q")), 1) << probe.transcript().toStdString();
    EXPECT_EQ(probe.count(QStringLiteral("up q")), 1) << probe.transcript().toStdString();
}

TEST_F(HotkeysDesktopTest, ReleaseAfterTheModifiersWereLetGoStillFires) {
    Probe probe(display, {kSpace, kMarker});
    ASSERT_TRUE(probe.waitFor(QStringLiteral("settled")));
    xdotool({QStringLiteral("keydown"), QStringLiteral("super+alt+space")});
    xdotool({QStringLiteral("keyup"), QStringLiteral("super")});
    xdotool({QStringLiteral("keyup"), QStringLiteral("alt")});
    xdotool({QStringLiteral("keyup"), QStringLiteral("space")});
    settle(probe, 1);
    EXPECT_EQ(probe.count(QStringLiteral("key up 49 0")), 1) << "the release came without modifiers";
    EXPECT_EQ(probe.count(QStringLiteral("up q")), 1) << probe.transcript().toStdString();
}

TEST_F(HotkeysDesktopTest, ACombinationAnotherProgramHoldsIsReportedTakenAndTriedAgain) {
    auto other = std::make_unique<XcbHotkeyBackend>(display.name());
    ASSERT_TRUE(other->isConnected());
    QSignalSpy otherSettled(other.get(), &HotkeyBackend::grabsSettled);
    ASSERT_EQ(other->grab(1, Shortcut(Key::space.rawValue, CarbonModifier::option | CarbonModifier::command)),
              std::nullopt);
    ASSERT_TRUE(otherSettled.wait(5000));

    Probe probe(display, {kSpace, kMarker});
    ASSERT_TRUE(probe.waitFor(QStringLiteral("taken 49 2304"))) << probe.transcript().toStdString();

    // Once the other program lets go (and the server has handled that), binding again takes it: a refused
    // shortcut was not kept as ours.
    other->ungrab(1);
    ASSERT_TRUE(otherSettled.wait(5000));
    probe.send("enable");
    ASSERT_TRUE(probe.waitFor(QStringLiteral("enabled"))) << probe.transcript().toStdString();
    xdotool({QStringLiteral("key"), QStringLiteral("super+alt+space")});
    settle(probe, 1);
    EXPECT_EQ(probe.count(QStringLiteral("up q")), 1) << probe.transcript().toStdString();
    EXPECT_EQ(probe.count(QStringLiteral("taken 49 2304")), 1);
}

TEST_F(HotkeysDesktopTest, NumLockOnStillMatches) {
    Probe probe(display, {kSpace, kMarker});
    ASSERT_TRUE(probe.waitFor(QStringLiteral("settled")));
    xdotool({QStringLiteral("key"), QStringLiteral("Num_Lock")});
    // Num Lock is really on: the server's modifier state carries its bit (Mod2 on the default keymap).
    xcb_connection_t* connection = xcb_connect(display.name().toLocal8Bit().constData(), nullptr);
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    xcb_query_pointer_reply_t* pointer =
        xcb_query_pointer_reply(connection, xcb_query_pointer(connection, root), nullptr);
    ASSERT_NE(pointer, nullptr);
    EXPECT_NE(pointer->mask & XCB_MOD_MASK_2, 0);
    std::free(pointer);
    xcb_disconnect(connection);

    xdotool({QStringLiteral("key"), QStringLiteral("super+alt+space")});
    settle(probe, 1);
    EXPECT_EQ(probe.count(QStringLiteral("up q")), 1) << probe.transcript().toStdString();
}

TEST_F(HotkeysDesktopTest, ACombinationTheKeyboardCannotGiveIsReportedAsSuchNotAsTaken) {
    Probe probe(display, {kSpace, kMarker});
    ASSERT_TRUE(probe.waitFor(QStringLiteral("settled"))) << probe.transcript().toStdString();
    // Stored while every grab is withdrawn, as a recording does, and asked for when they come back: the fn
    // position, which a PC keyboard does not have.
    probe.send("off");
    probe.send("bind fn=63:2304");
    probe.send("on");
    ASSERT_TRUE(probe.waitFor(QStringLiteral("on"))) << probe.transcript().toStdString();
    EXPECT_EQ(probe.count(QStringLiteral("refused 63 2304 key")), 1) << probe.transcript().toStdString();

    // Then no key sets Super any more: no ⌘ combination can fire, and the program says so.
    ASSERT_TRUE(removeSuperModifierKeys(display.name()));
    EXPECT_TRUE(probe.waitFor(QStringLiteral("refused 49 2304 modifier")))
        << probe.transcript().toStdString();
    EXPECT_TRUE(probe.waitFor(QStringLiteral("refused 11 2304 modifier")))
        << probe.transcript().toStdString();
    EXPECT_FALSE(probe.transcript().contains(QStringLiteral("taken"))) << probe.transcript().toStdString();
}

TEST_F(HotkeysDesktopTest, TheGrabsComeBackWithTheXServer) {
    ReturningXServer server;
    if (!server.isRunning()) {
        TT_SKIP_OR_FAIL(server.errorString().toStdString());
    }
    Probe probe(server, {kSpace, kMarker});
    ASSERT_TRUE(probe.waitFor(QStringLiteral("settled"))) << probe.transcript().toStdString();
    xdotoolOn(server, {QStringLiteral("key"), QStringLiteral("super+alt+space")});
    settleOn(server, probe, 1);
    ASSERT_EQ(probe.count(QStringLiteral("up q")), 1) << probe.transcript().toStdString();

    const int settledBefore = int(probe.count(QStringLiteral("settled")));
    server.stop();
    ASSERT_TRUE(server.start());
    // Tried again after half a second, then less and less often.
    ASSERT_TRUE(probe.waitFor(QStringLiteral("settled"), settledBefore + 1, 20000))
        << probe.transcript().toStdString();
    xdotoolOn(server, {QStringLiteral("key"), QStringLiteral("super+alt+space")});
    settleOn(server, probe, 2);
    EXPECT_EQ(probe.count(QStringLiteral("up q")), 2) << probe.transcript().toStdString();
}

} // namespace
