// Handlers and their dispatch: presses paired with releases, the switches, registration that failed or
// was refused, event streams, and keys matched from the program's own windows while a menu is open.
#include "HotkeyTestFixture.h"
#include "hotkeys/HotkeyEventStream.h"
#include "support/LogCapture.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QSignalSpy>
#include <QWindow>

using namespace GlobalHotkeys;

namespace {

class HotkeyDispatchTest : public HotkeyTestFixture {
protected:
    // A name holding `shortcut`, with handlers that log "down <text>" and "up <text>".
    Name bound(const QString& text, const Shortcut& shortcut) {
        const Name name(text);
        setShortcut(shortcut, name);
        onKeyDown(name, [this, text] { log.append(QStringLiteral("down ") + text); });
        onKeyUp(name, [this, text] { log.append(QStringLiteral("up ") + text); });
        return name;
    }
    QKeyEvent keyEvent(QEvent::Type type, const Shortcut& shortcut, bool autoRepeat = false) const {
        return QKeyEvent(type, Qt::Key_unknown, shortcut.modifiers(),
                         usLayout()->keycode(shortcut.carbonKeyCode).value(), 0, 0, QString(), autoRepeat);
    }

    std::vector<std::string> logged() const {
        std::vector<std::string> lines;
        for (const QString& line : log) {
            lines.push_back(line.toStdString());
        }
        return lines;
    }

    QStringList log;
    const Shortcut space = optionCommand(Key::space);
};

TEST_F(HotkeyDispatchTest, ReleasesArePairedWithTheirPresses) {
    const Shortcut bare(Key::space.rawValue, 0);
    const Shortcut otherModifiers(Key::space.rawValue, CarbonModifier::command);
    const struct {
        const char* name;
        QList<std::pair<EventType, Shortcut>> events;
        std::vector<std::string> expected;
    } rows[] = {
        {"press and release", {{EventType::keyDown, space}, {EventType::keyUp, space}}, {"down q", "up q"}},
        {"held key repeats",
         {{EventType::keyDown, space},
          {EventType::keyDown, space},
          {EventType::keyDown, space},
          {EventType::keyUp, space}},
         {"down q", "up q"}},
        {"modifiers let go first",
         {{EventType::keyDown, space}, {EventType::keyUp, bare}},
         {"down q", "up q"}},
        {"release without a press", {{EventType::keyUp, space}}, {}},
        {"other modifiers", {{EventType::keyDown, otherModifiers}, {EventType::keyUp, otherModifiers}}, {}},
    };
    for (const auto& row : rows) {
        SetUp();
        log.clear();
        bound(QStringLiteral("q"), space);
        for (const auto& [type, shortcut] : row.events) {
            type == EventType::keyDown ? backend.press(shortcut) : backend.release(shortcut);
        }
        EXPECT_EQ(logged(), row.expected) << row.name;
        TearDown();
    }
}

TEST_F(HotkeyDispatchTest, ActionsRunInTheOrderTheyWereAdded) {
    const Name name = bound(QStringLiteral("q"), space);
    onKeyUp(name, [this] { log.append(QStringLiteral("second up")); });
    onKeyUp(name, [this] { log.append(QStringLiteral("second up")); });
    backend.press(space);
    EXPECT_EQ(log, QStringList{QStringLiteral("down q")}) << "release handlers wait for the release";
    backend.release(space);
    EXPECT_EQ(log, (QStringList{QStringLiteral("down q"), QStringLiteral("up q"), QStringLiteral("second up"),
                                QStringLiteral("second up")}));
}

TEST_F(HotkeyDispatchTest, PausedConsumesWithoutRunning) {
    bound(QStringLiteral("q"), space);
    setPaused(true);
    backend.tap(space);
    EXPECT_TRUE(log.isEmpty());
    EXPECT_TRUE(backend.isHeld(space)) << "still taken from other programs while paused";
    setPaused(false);
    backend.tap(space);
    EXPECT_EQ(log, (QStringList{QStringLiteral("down q"), QStringLiteral("up q")}));
}

TEST_F(HotkeyDispatchTest, DisablingWithdrawsEveryGrabOnceAndEnablingRestoresThem) {
    bound(QStringLiteral("q"), space);
    const Shortcut other = optionCommand(Key::k);
    bound(QStringLiteral("k"), other);
    setEnabled(false);
    setEnabled(false);
    EXPECT_EQ(backend.ungrabs.count(), 2) << "the second switch-off changes nothing";
    EXPECT_TRUE(backend.held.empty());
    backend.tap(space);
    EXPECT_TRUE(log.isEmpty());

    // One combination can no longer be had: it is dropped, and no longer counts as registered.
    backend.unavailable.insert(other, GrabFailure::keyNotOnKeyboard);
    setEnabled(true);
    EXPECT_TRUE(backend.isHeld(space));
    EXPECT_FALSE(isRegistered(other));
    backend.unavailable.clear();
    enable({Name(QStringLiteral("k"))});
    EXPECT_TRUE(backend.isHeld(other)) << "a dropped shortcut is tried again";
}

TEST_F(HotkeyDispatchTest, ARegistrationThatFailsIsTriedAgain) {
    QSignalSpy taken(&notifier(), &HotkeyNotifier::shortcutTaken);
    const struct {
        const char* name;
        std::function<void(FakeHotkeyBackend&)> fail;
    } rows[] = {
        {"refused at once",
         [this](FakeHotkeyBackend& desktop) {
             desktop.unavailable.insert(space, GrabFailure::keyNotOnKeyboard);
         }},
        {"taken by another program", [this](FakeHotkeyBackend& desktop) { desktop.refuseHeld(space); }},
    };
    for (const auto& row : rows) {
        SetUp();
        log.clear();
        if (QString::fromLatin1(row.name).startsWith(QStringLiteral("refused"))) {
            row.fail(backend);
            bound(QStringLiteral("q"), space);
        } else {
            bound(QStringLiteral("q"), space);
            row.fail(backend);
            EXPECT_EQ(taken.takeFirst().at(0).value<Shortcut>(), space) << row.name;
        }
        EXPECT_FALSE(isRegistered(space)) << row.name;
        EXPECT_FALSE(backend.isHeld(space)) << row.name;

        backend.unavailable.clear();
        onKeyUp(Name(QStringLiteral("q")), [] {}); // the next binding of a name holding it
        EXPECT_TRUE(backend.isHeld(space)) << row.name;
        backend.tap(space);
        EXPECT_TRUE(log.contains(QStringLiteral("up q"))) << row.name;
        TearDown();
    }
}

TEST_F(HotkeyDispatchTest, EachRefusalIsToldAsWhatItIs) {
    const struct {
        GrabFailure why;
        // The desktop's later answer to a grab it was asked for, rather than a refusal at once.
        bool answeredLater;
        const char* logged;
    } rows[] = {
        {GrabFailure::takenByAnotherProgram, true, "is held by another program"},
        {GrabFailure::refusedByDesktop, true, "was refused by the X server"},
        {GrabFailure::keyNotOnKeyboard, false, "cannot be grabbed: the keyboard has no such key"},
        {GrabFailure::modifierNotOnKeyboard, false, "no key of the keyboard gives one of its modifiers"},
        {GrabFailure::noDisplay, false, "cannot be grabbed: there is no X display"},
    };
    QStringList messages;
    for (const auto& row : rows) {
        SCOPED_TRACE(row.logged);
        SetUp();
        LogCapture captured;
        QSignalSpy refused(&notifier(), &HotkeyNotifier::shortcutRefused);
        QSignalSpy taken(&notifier(), &HotkeyNotifier::shortcutTaken);
        bound(QStringLiteral("q"), space);
        // As while a shortcut is recorded: every grab withdrawn, then asked for again.
        setEnabled(false);
        if (row.answeredLater) {
            setEnabled(true);
            backend.refuseHeld(space, row.why);
        } else {
            backend.unavailable.insert(space, row.why);
            setEnabled(true);
        }
        ASSERT_EQ(refused.count(), 1);
        EXPECT_EQ(refused.at(0).at(0).value<Shortcut>(), space);
        EXPECT_EQ(refused.at(0).at(1).value<GrabFailure>(), row.why);
        const bool isTaken = row.why == GrabFailure::takenByAnotherProgram;
        EXPECT_EQ(taken.count(), isTaken ? 1 : 0);
        EXPECT_EQ(captured.lines().filter(QLatin1String(row.logged)).size(), 1)
            << captured.lines().join(QLatin1Char('\n')).toStdString();
        EXPECT_EQ(captured.lines().filter(QStringLiteral("held by another program")).size(), isTaken ? 1 : 0);
        EXPECT_FALSE(isRegistered(space)) << "tried again by the next bind, enable or store";

        // What a person is told names the shortcut, and each cause differently; nothing without a display.
        const QString message = refusalMessage(space, row.why);
        if (row.why == GrabFailure::noDisplay) {
            EXPECT_TRUE(message.isEmpty());
        } else {
            EXPECT_TRUE(message.startsWith(space.description())) << message.toStdString();
            EXPECT_FALSE(messages.contains(message)) << message.toStdString();
            messages << message;
        }
        TearDown();
    }
}

TEST_F(HotkeyDispatchTest, RegistrationIdsCountEveryAttempt) {
    backend.unavailable.insert(optionCommand(Key::k), GrabFailure::keyNotOnKeyboard);
    setShortcut(optionCommand(Key::a), Name(QStringLiteral("a")));
    setShortcut(optionCommand(Key::k), Name(QStringLiteral("k")));
    setShortcut(optionCommand(Key::b), Name(QStringLiteral("b")));
    QList<quint32> ids;
    for (const auto& [id, shortcut] : backend.held) {
        ids.append(id);
    }
    EXPECT_EQ(ids, (QList<quint32>{1, 3}));
}

TEST_F(HotkeyDispatchTest, HandlersFollowTheStoredShortcut) {
    const Name name(QStringLiteral("late"));
    onKeyUp(name, [this] { log.append(QStringLiteral("up late")); });
    EXPECT_TRUE(backend.grabs.isEmpty()) << "nothing to register without a shortcut";
    setShortcut(space, name);
    backend.tap(space);
    EXPECT_EQ(log, QStringList{QStringLiteral("up late")}) << "storing a shortcut is enough";

    const Shortcut moved = optionCommand(Key::m);
    setShortcut(moved, name);
    backend.tap(space);
    EXPECT_FALSE(backend.isHeld(space));
    EXPECT_EQ(log.count(), 1) << "the old keys are silent";
    backend.tap(moved);
    EXPECT_EQ(log.count(), 2);
}

TEST_F(HotkeyDispatchTest, NamesSharingAShortcutAllRunLegacyBeforeStreams) {
    bound(QStringLiteral("one"), space);
    bound(QStringLiteral("two"), space);
    EXPECT_EQ(backend.grabs.count(), 1) << "one registration for both";
    HotkeyEventStream* stream = HotkeyEventStream::on(EventType::keyUp, Name(QStringLiteral("one")), nullptr);
    QObject::connect(stream, &HotkeyEventStream::event, [this] { log.append(QStringLiteral("stream")); });
    backend.release(space); // no press seen yet: nothing
    backend.tap(space);
    EXPECT_EQ(log,
              (QStringList{QStringLiteral("down one"), QStringLiteral("down two"), QStringLiteral("up one"),
                           QStringLiteral("up two"), QStringLiteral("stream")}));
    delete stream;
}

TEST_F(HotkeyDispatchTest, ClearingOneOfTwoNamesOnAKeyLeavesTheKeyToTheOther) {
    // A stored file can give two names one combination; whichever way one of them lets go of it, the other
    // still answers, and the key is let go once nobody holds it.
    const struct {
        const char* how;
        std::optional<Shortcut> defaultShortcut;
        std::optional<Shortcut> next;
    } rows[] = {
        {"moved to another key", std::nullopt, optionCommand(Key::m)},
        {"cleared, with a default", optionCommand(Key::d), std::nullopt},
        {"cleared, with no default", std::nullopt, std::nullopt},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.how);
        GlobalHotkeys::resetForTesting();
        GlobalHotkeys::installBackend(&backend);
        backend.grabs.clear();
        backend.ungrabs.clear();
        log.clear();
        bound(QStringLiteral("kept"), space);
        const Name leaving(QStringLiteral("leaving"), row.defaultShortcut);
        setShortcut(space, leaving);
        onKeyUp(leaving, [this] { log.append(QStringLiteral("up leaving")); });

        setShortcut(row.next, leaving);
        EXPECT_TRUE(backend.isHeld(space));
        EXPECT_FALSE(backend.ungrabs.contains(space));
        backend.tap(space);
        EXPECT_EQ(log, (QStringList{QStringLiteral("down kept"), QStringLiteral("up kept")}));

        setShortcut(std::nullopt, Name(QStringLiteral("kept")));
        EXPECT_FALSE(backend.isHeld(space)) << "nobody answers to it any more";
    }
}

TEST_F(HotkeyDispatchTest, RemovingAllHandlersLeavesOpenStreams) {
    bound(QStringLiteral("legacy"), space);
    const Shortcut other = optionCommand(Key::k);
    bound(QStringLiteral("only"), other);
    auto* stream = HotkeyEventStream::on(EventType::keyUp, Name(QStringLiteral("legacy")), nullptr);
    QObject::connect(stream, &HotkeyEventStream::event, [this] { log.append(QStringLiteral("stream")); });

    removeAllHandlers();
    EXPECT_TRUE(backend.isHeld(space)) << "the stream still needs it";
    EXPECT_FALSE(backend.isHeld(other));
    backend.tap(space);
    EXPECT_EQ(log, QStringList{QStringLiteral("stream")});

    delete stream;
    EXPECT_FALSE(backend.isHeld(space)) << "the last user is gone";
}

TEST_F(HotkeyDispatchTest, ADeferredStreamSeesOnlyEventsAfterItsInstallation) {
    const Name name(QStringLiteral("viewed"));
    setShortcut(space, name);
    QList<EventType> seen;
    auto* stream = HotkeyEventStream::events(name, nullptr);
    QObject::connect(stream, &HotkeyEventStream::event, [&seen](EventType type) { seen.append(type); });
    backend.tap(space);
    EXPECT_TRUE(seen.isEmpty());
    QCoreApplication::processEvents();
    backend.tap(space);
    EXPECT_EQ(seen, (QList<EventType>{EventType::keyDown, EventType::keyUp}));

    auto* releases = HotkeyEventStream::events(name, nullptr, EventType::keyUp);
    QCoreApplication::processEvents();
    int releaseCount = 0;
    QObject::connect(releases, &HotkeyEventStream::event, [&releaseCount] { ++releaseCount; });
    backend.tap(space);
    EXPECT_EQ(releaseCount, 1);
    delete releases;
    delete stream;
}

TEST_F(HotkeyDispatchTest, OpenMenusMatchTheProgramsOwnKeyEvents) {
    bound(QStringLiteral("q"), space);
    const Shortcut unbound = optionCommand(Key::k);
    const struct {
        const char* name;
        bool menuOpen;
        bool enabled;
        QList<std::tuple<QEvent::Type, Shortcut, bool>> events;
        QList<bool> consumed;
        std::vector<std::string> expected;
    } rows[] = {
        {"press and release",
         true,
         true,
         {{QEvent::KeyPress, space, false}, {QEvent::KeyRelease, space, false}},
         {true, true},
         {"down q", "up q"}},
        {"repeats consumed, not run",
         true,
         true,
         {{QEvent::KeyPress, space, false},
          {QEvent::KeyRelease, space, true},
          {QEvent::KeyPress, space, true},
          {QEvent::KeyRelease, space, false}},
         {true, true, true, true},
         {"down q", "up q"}},
        {"other keys reach the menu",
         true,
         true,
         {{QEvent::KeyPress, unbound, false}, {QEvent::KeyRelease, unbound, false}},
         {false, false},
         {}},
        {"menu closed: the grab's business", false, true, {{QEvent::KeyPress, space, false}}, {false}, {}},
        {"disabled", true, false, {{QEvent::KeyPress, space, false}}, {false}, {}},
    };
    for (const auto& row : rows) {
        log.clear();
        setEnabled(row.enabled);
        setMenuOpen(row.menuOpen);
        QList<bool> consumed;
        for (const auto& [type, shortcut, repeat] : row.events) {
            consumed.append(matchLocalKeyEvent(keyEvent(type, shortcut, repeat)));
        }
        EXPECT_EQ(consumed, row.consumed) << row.name;
        EXPECT_EQ(logged(), row.expected) << row.name;
        setMenuOpen(false);
        setEnabled(true);
    }
}

TEST_F(HotkeyDispatchTest, APopupWindowOpensTheMenuRoute) {
    bound(QStringLiteral("q"), space);
    QWindow popup;
    popup.setFlags(Qt::Popup);
    popup.resize(50, 50);
    EXPECT_FALSE(isMenuOpen());
    popup.show();
    EXPECT_TRUE(isMenuOpen());
    QKeyEvent press = keyEvent(QEvent::KeyPress, space);
    QKeyEvent release = keyEvent(QEvent::KeyRelease, space);
    EXPECT_TRUE(QCoreApplication::sendEvent(&popup, &press)) << "swallowed before the popup sees it";
    EXPECT_TRUE(QCoreApplication::sendEvent(&popup, &release));
    EXPECT_EQ(log, (QStringList{QStringLiteral("down q"), QStringLiteral("up q")}));
    popup.hide();
    EXPECT_FALSE(isMenuOpen());

    QWindow plain;
    plain.resize(50, 50);
    plain.show();
    EXPECT_FALSE(isMenuOpen()) << "an ordinary window is no menu";
}

} // namespace

namespace {

TEST_F(HotkeyDispatchTest, ANewDesktopBackEndTakesOverFromTheOldOne) {
    bound(QStringLiteral("q"), space);
    FakeHotkeyBackend replacement;
    installBackend(&replacement);
    EXPECT_TRUE(backend.held.empty()) << "the old back end lets go";
    EXPECT_FALSE(isRegistered(space));
    enable({Name(QStringLiteral("q"))});
    EXPECT_TRUE(replacement.isHeld(space));
    replacement.tap(space);
    EXPECT_EQ(logged(), (std::vector<std::string>{"down q", "up q"}));
    installBackend(nullptr);
}

} // namespace
