// The real program's global hotkeys, pressed with xdotool through the X server the way a keyboard does (so
// the root window's grabs fire): the quick-add shortcut opens and closes the panel, a preset's stored
// shortcut starts that preset's timer once however long the key is held, and a combination another client
// holds first is reported as taken.
#include "ProgramFixture.h"
#include "support/Requirement.h"
#include "hotkeys/ReturningXServer.h"

#include "core/PersistenceService.h"
#include "core/TimerManager.h"
#include "core/TimerPreset.h"
#include "hotkeys/Shortcut.h"
#include "hotkeys/XcbHotkeyBackend.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <vector>

using namespace GlobalHotkeys;

namespace {

const QString kQuickAddTitle = QStringLiteral("Quick Add");
// The keys as a keyboard sends them: Alt is ⌥, Super is ⌘.
const QString kQuickLaunchKeys = QStringLiteral("super+alt+space"); // the default quick-add shortcut
const QString kPresetKeys = QStringLiteral("super+alt+t");
const QUuid kPresetId = QUuid(QStringLiteral("{5B0E6F3A-2C1D-4E8F-9A7B-3C2D1E0F4A5B}"));

class HotkeysProgramTest : public ProgramFixture {
public:
    HotkeysProgramTest() : ProgramFixture({QStringLiteral("xdotool")}) {}

    void SetUp() override {
        ProgramFixture::SetUp();
        if (IsSkipped()) {
            return;
        }
        // A preset of the user's own with a shortcut, stored as the program stores both.
        const TimerPreset steep{kPresetId, QStringLiteral("Steep"), 240};
        writePreferences({
            {QStringLiteral("bl.hasSeenOnboarding"), true},
            {QStringLiteral("bl.appLanguage"), QStringLiteral("en")},
            {QString::fromLatin1(PersistenceService::kPresetsKey), *TimerPreset::encodeList({steep})},
            {QStringLiteral("GlobalHotkeys_tarvolin.preset.") +
                 kPresetId.toString(QUuid::WithoutBraces).toUpper(),
             QStringLiteral("{\"carbonKeyCode\":17,\"carbonModifiers\":2304}")},
        });
    }

    bool quickAddOpen() const { return !windowsTitled(kQuickAddTitle).isEmpty(); }

    bool press(const QString& keys) const { return xdotool({QStringLiteral("key"), keys}); }

    // Presses the quick-add shortcut until the panel opens (a press that comes before the program's grabs
    // reach the server does nothing), then once more to close it. Every key event sent before has been
    // handled once this returns.
    bool openAndCloseQuickAdd(Program& program) {
        bool opened = false;
        for (int attempt = 0; attempt < 10 && !opened; ++attempt) {
            if (!press(kQuickLaunchKeys)) {
                return false;
            }
            opened = QTest::qWaitFor([&] { return quickAddOpen(); }, 1500);
        }
        EXPECT_TRUE(opened) << "the quick-add shortcut never opened the panel\n"
                            << program.log().toStdString();
        if (!opened) {
            return false;
        }
        const bool pressed = press(kQuickLaunchKeys);
        const bool closed = pressed && QTest::qWaitFor([&] { return !quickAddOpen(); }, kWaitMs);
        EXPECT_TRUE(closed) << "a second press did not close the panel";
        return closed;
    }
};

TEST_F(HotkeysProgramTest, TheQuickAddShortcutOpensThePanelAndASecondPressClosesIt) {
    Program program;
    program.start(environment());
    ASSERT_TRUE(program.waitFor(kReady)) << program.log().toStdString();
    ASSERT_TRUE(openAndCloseQuickAdd(program));
    // Again, now that the grabs are surely in place: one press, one change each time.
    for (const bool open : {true, false}) {
        ASSERT_TRUE(press(kQuickLaunchKeys));
        EXPECT_TRUE(QTest::qWaitFor([&] { return quickAddOpen() == open; }, kWaitMs)) << "open: " << open;
    }
    stop(program);
}

TEST_F(HotkeysProgramTest, APresetsShortcutStartsItsTimerOnceHoweverLongItIsHeld) {
    const struct {
        const char* behaviour;
        std::function<bool(HotkeysProgramTest&)> pressIt;
    } rows[] = {
        {"a press", [](HotkeysProgramTest& t) { return t.press(kPresetKeys); }},
        {"held for a second and a half",
         [](HotkeysProgramTest& t) {
             const bool down = t.xdotool({QStringLiteral("keydown"), kPresetKeys});
             QTest::qWait(1500); // the server repeats the key meanwhile
             return down && t.xdotool({QStringLiteral("keyup"), kPresetKeys});
         }},
    };
    const QVariantMap seeded = readPreferences();
    for (const auto& row : rows) {
        SCOPED_TRACE(row.behaviour);
        writePreferences(seeded);
        {
            Program program;
            program.start(environment());
            ASSERT_TRUE(program.waitFor(kReady)) << program.log().toStdString();
            ASSERT_TRUE(openAndCloseQuickAdd(program)); // the grabs are in place
            ASSERT_TRUE(row.pressIt(*this));
            // Saved shortly after the start; the quick-add round trip after it lets any second start in.
            ASSERT_TRUE(QTest::qWaitFor([&] { return savedTimers() && !savedTimers()->isEmpty(); }, kWaitMs))
                << program.log().toStdString();
            ASSERT_TRUE(openAndCloseQuickAdd(program));
            stop(program);
        }
        const auto saved = savedTimers();
        ASSERT_TRUE(saved.has_value());
        ASSERT_EQ(saved->size(), 1) << "one start per press";
        EXPECT_EQ(saved->first().title, QStringLiteral("Steep"));
        EXPECT_EQ(saved->first().totalDuration, 240);
        EXPECT_EQ(saved->first().state, TimerState::running);
    }
}

TEST_F(HotkeysProgramTest, ACombinationAnotherClientHoldsIsReportedTaken) {
    // Another client takes the quick-add combination before the program starts.
    XcbHotkeyBackend other(display->name());
    ASSERT_TRUE(other.isConnected());
    QSignalSpy otherSettled(&other, &HotkeyBackend::grabsSettled);
    const GlobalHotkeys::Shortcut quickLaunch(49, 2304); // Space with ⌥⌘
    ASSERT_EQ(other.grab(1, quickLaunch), std::nullopt);
    ASSERT_TRUE(otherSettled.wait(kWaitMs));

    Program program;
    program.start(environment());
    ASSERT_TRUE(program.waitFor(kReady)) << program.log().toStdString();
    EXPECT_TRUE(program.waitFor(QStringLiteral("(key 49, modifiers 2304) is held by another program")))
        << program.log().toStdString();
    EXPECT_EQ(program.count(QStringLiteral("is held by another program")), 1) << "only the taken one";

    // The combination reaches the other client, and the program's other shortcuts still work. A press
    // before the program's grabs reached the server does nothing, hence the tries.
    ASSERT_TRUE(press(kQuickLaunchKeys));
    bool started = false;
    for (int attempt = 0; attempt < 5 && !started; ++attempt) {
        ASSERT_TRUE(press(kPresetKeys));
        started = QTest::qWaitFor([&] { return savedTimers() && !savedTimers()->isEmpty(); },
                                  TimerManager::defaultSaveDelayMs + 1500);
    }
    EXPECT_TRUE(started) << program.log().toStdString();
    EXPECT_FALSE(quickAddOpen()) << "the other client has the combination";
    stop(program);
}

TEST_F(HotkeysProgramTest, ACombinationTheKeyboardCannotGiveIsReportedAsSuchNotAsTaken) {
    // The preset's shortcut is on the fn position, which a PC keyboard does not have.
    QVariantMap preferences = readPreferences();
    preferences.insert(QStringLiteral("GlobalHotkeys_tarvolin.preset.") +
                           kPresetId.toString(QUuid::WithoutBraces).toUpper(),
                       QStringLiteral("{\"carbonKeyCode\":63,\"carbonModifiers\":2304}"));
    writePreferences(preferences);
    Program program;
    program.start(environment());
    ASSERT_TRUE(program.waitFor(kReady)) << program.log().toStdString();
    EXPECT_TRUE(program.waitFor(
        QStringLiteral("(key 63, modifiers 2304) cannot be grabbed: the keyboard has no such key")))
        << program.log().toStdString();

    // Then no key sets Super any more: the ⌘ combinations can no longer fire, and the program says why.
    ASSERT_TRUE(removeSuperModifierKeys(display->name()));
    EXPECT_TRUE(program.waitFor(QStringLiteral(
        "(key 49, modifiers 2304) cannot be grabbed: no key of the keyboard gives one of its modifiers")))
        << program.log().toStdString();
    EXPECT_EQ(program.count(QStringLiteral("held by another program")), 0) << program.log().toStdString();
    stop(program);
}

TEST_F(HotkeysProgramTest, TheShortcutsComeBackWithTheXServer) {
    // The program's windows on a platform of their own, its hotkeys on an X server that restarts under it.
    ReturningXServer server;
    if (!server.isRunning()) {
        TT_SKIP_OR_FAIL(server.errorString().toStdString());
    }
    QProcessEnvironment env = server.environment(environment());
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    const auto pressUntilTimers = [&](qsizetype timers) {
        // A press before the program's grabs reached the server does nothing, hence the tries (for a few
        // seconds after the server came back, too).
        for (int attempt = 0; attempt < 10; ++attempt) {
            QProcess tool;
            tool.setProcessEnvironment(env);
            tool.start(QStringLiteral("xdotool"), {QStringLiteral("key"), kPresetKeys});
            EXPECT_TRUE(tool.waitForFinished(kWaitMs));
            if (QTest::qWaitFor([&] { return savedTimers() && savedTimers()->size() >= timers; },
                                TimerManager::defaultSaveDelayMs + 1500)) {
                return true;
            }
        }
        return false;
    };

    Program program;
    program.start(env);
    ASSERT_TRUE(program.waitFor(kReady)) << program.log().toStdString();
    ASSERT_TRUE(pressUntilTimers(1)) << program.log().toStdString();

    server.stop();
    ASSERT_TRUE(server.start());
    EXPECT_TRUE(pressUntilTimers(2)) << program.log().toStdString();
    stop(program);
    const auto saved = savedTimers();
    ASSERT_TRUE(saved.has_value());
    EXPECT_EQ(saved->size(), 2) << "one start per press";
}

} // namespace
