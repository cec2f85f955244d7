// The shortcut recorder as a person uses it: what it stores (JSON text, false, nothing), what it refuses,
// how it asks before taking the desktop's combinations, and how recording starts and ends.
#include "services/QStringPrinting.h"
#include "HotkeyWidgetFixture.h"

#include "core/TimerPreset.h"
#include "hotkeys/ApplicationHotkeys.h"
#include "hotkeys/GlobalHotkeysBridge.h"
#include "hotkeys/PresetShortcutNaming.h"
#include "ui/kit/AlertOverlay.h"
#include "ui/kit/GlobalHotkeysRecorder.h"
#include "ui/kit/LabelButton.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

using namespace GlobalHotkeys;

namespace {

constexpr auto optCmd = Qt::AltModifier | Qt::MetaModifier;

class RecorderTest : public HotkeyWidgetFixture {
public: // table rows act on the fixture
    void SetUp() override {
        HotkeyWidgetFixture::SetUp();
        for (const QString& key : preferences.keys()) {
            preferences.remove(key);
        }
        window = std::make_unique<QWidget>();
        window->resize(440, 300);
        auto* column = new QVBoxLayout(window.get());
        before = new QLineEdit(window.get());
        before->setObjectName(QStringLiteral("before"));
        column->addWidget(before);
        after = new QLineEdit(window.get());
        after->setObjectName(QStringLiteral("after"));
        column->addWidget(after);
    }
    void TearDown() override {
        window.reset();
        flushDeletes();
        HotkeyWidgetFixture::TearDown();
    }

    // A recorder for `name` between the two fields, on screen, recording after a click.
    Recorder* make(const Name& name, bool click = true) {
        recorder = new Recorder(name, [this](const std::optional<Shortcut>& s) { changes.append(s); });
        static_cast<QVBoxLayout*>(window->layout())->insertWidget(1, recorder);
        QWidget::setTabOrder(before, recorder);
        QWidget::setTabOrder(recorder, after);
        window->show();
        window->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(window.get()));
        if (click) {
            QTest::mouseClick(recorder, Qt::LeftButton);
            EXPECT_TRUE(recorder->isRecording());
        }
        return recorder;
    }
    AlertOverlay* alert() const { return window->findChild<AlertOverlay*>(QStringLiteral("recorder.alert")); }
    void answer(int button) {
        ASSERT_NE(alert(), nullptr);
        QTest::mouseClick(alert()->buttons().at(button), Qt::LeftButton);
        flushDeletes();
    }
    QVariant storedValue(const Name& name) const { return preferences.value(userDefaultsKey(name)); }

    std::unique_ptr<QWidget> window;
    QLineEdit* before = nullptr;
    QLineEdit* after = nullptr;
    Recorder* recorder = nullptr;
    QList<std::optional<Shortcut>> changes;
};

} // namespace

TEST_F(RecorderTest, ARecordedCombinationIsStoredAsJsonTextAndRecordingEnds) {
    const struct {
        const char* name;
        Key key;
        int qtKey;
        Qt::KeyboardModifiers modifiers;
        const char* json;
        const char* shown;
    } rows[] = {
        {"option and command with a letter", Key::k, Qt::Key_K, optCmd,
         R"({"carbonKeyCode":40,"carbonModifiers":2304})", "⌥⌘K"},
        {"control, shift and a digit", Key::two, Qt::Key_At, Qt::ControlModifier | Qt::ShiftModifier,
         R"({"carbonKeyCode":19,"carbonModifiers":4608})", "⌃⇧2"},
        {"a bare function key", Key::f5, Qt::Key_F5, Qt::NoModifier,
         R"({"carbonKeyCode":96,"carbonModifiers":0})", "F5"},
        {"shift with a function key", Key::f5, Qt::Key_F5, Qt::ShiftModifier,
         R"({"carbonKeyCode":96,"carbonModifiers":512})", "⇧F5"},
        {"the keypad flag is no modifier", Key::keypad1, Qt::Key_1, Qt::ControlModifier | Qt::KeypadModifier,
         R"({"carbonKeyCode":83,"carbonModifiers":4096})", "⌃1⃣"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        SetUp();
        changes.clear();
        const Name name(QStringLiteral("practice"));
        make(name);
        EXPECT_TRUE(press(recorder, row.key, row.qtKey, row.modifiers));

        EXPECT_EQ(stored(name), QString::fromUtf8(row.json));
        EXPECT_EQ(recorder->text(), QString::fromUtf8(row.shown));
        ASSERT_EQ(changes.size(), 1);
        EXPECT_EQ(changes.first(), getShortcut(name));
        EXPECT_FALSE(recorder->isRecording());
        EXPECT_FALSE(recorder->hasFocus());
        EXPECT_TRUE(recorder->clearButton()->isVisible());
        EXPECT_TRUE(backend.isHeld(*getShortcut(name))) << "held again once recording ended";
        TearDown();
    }
}

TEST_F(RecorderTest, ClearingWritesFalseForADefaultRemovesOtherwiseAndKeepsRecording) {
    const Shortcut k = optionCommand(Key::k);
    const struct {
        const char* name;
        std::optional<Shortcut> defaultShortcut;
        bool byButton;
        QVariant afterClear;
    } rows[] = {
        {"a default, Delete key", k, false, QVariant(false)},
        {"a default, clear button", k, true, QVariant(false)},
        {"no default, Delete key", std::nullopt, false, QVariant()},
        {"no default, clear button", std::nullopt, true, QVariant()},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        SetUp();
        changes.clear();
        const Name name(QStringLiteral("cleared"), row.defaultShortcut);
        setShortcut(k, name);
        make(name, !row.byButton);
        EXPECT_EQ(recorder->text(), QStringLiteral("⌥⌘K"));

        if (row.byButton) {
            QTest::mouseClick(recorder->clearButton(), Qt::LeftButton);
        } else {
            press(recorder, Key::delete_, Qt::Key_Backspace);
        }
        EXPECT_EQ(storedValue(name), row.afterClear);
        EXPECT_EQ(changes, (QList<std::optional<Shortcut>>{std::nullopt}));
        EXPECT_TRUE(recorder->text().isEmpty());
        EXPECT_FALSE(recorder->clearButton()->isVisible());
        EXPECT_TRUE(recorder->isRecording()) << "the next press records";
        EXPECT_FALSE(backend.isHeld(k));

        QSignalSpy announced(&notifier(), &HotkeyNotifier::shortcutByNameDidChange);
        press(recorder, Key::deleteForward, Qt::Key_Delete);
        EXPECT_EQ(changes.size(), 1) << "Delete on an empty field tells nobody";
        EXPECT_EQ(announced.count(), 0);
        EXPECT_EQ(storedValue(name), row.afterClear);
        TearDown();
    }
}

TEST_F(RecorderTest, PlainKeysAndUnknownKeysAreRefusedAndRecordingGoesOn) {
    const struct {
        const char* name;
        Key key;
        int qtKey;
        Qt::KeyboardModifiers modifiers;
        quint32 scanCode; // 0: the key's own
    } rows[] = {
        {"a plain letter", Key::a, Qt::Key_A, Qt::NoModifier, 0},
        {"shift and a letter", Key::a, Qt::Key_A, Qt::ShiftModifier, 0},
        {"a bare arrow", Key::leftArrow, Qt::Key_Left, Qt::NoModifier, 0},
        {"shift and tab", Key::tab, Qt::Key_Backtab, Qt::ShiftModifier, 0},
        {"shift and delete", Key::delete_, Qt::Key_Backspace, Qt::ShiftModifier, 0},
        {"a keypad digit alone", Key::keypad1, Qt::Key_1, Qt::KeypadModifier, 0},
        {"a key at no known position", Key::k, Qt::Key_K, optCmd, 250},
    };
    const Shortcut kept = optionCommand(Key::j);
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        SetUp();
        changes.clear();
        const Name name(QStringLiteral("refusing"));
        setShortcut(kept, name);
        make(name);
        QSignalSpy refused(recorder, &Recorder::refused);
        QKeyEvent event(QEvent::KeyPress, row.qtKey, row.modifiers,
                        row.scanCode ? row.scanCode : scanCode(row.key), 0, 0);
        QApplication::sendEvent(recorder, &event);

        EXPECT_EQ(refused.count(), 1);
        EXPECT_EQ(getShortcut(name), kept);
        EXPECT_TRUE(changes.isEmpty());
        EXPECT_TRUE(recorder->isRecording());
        EXPECT_TRUE(recorder->hasFocus()) << "the focus stays, Shift+Tab included";
        TearDown();
    }
}

TEST_F(RecorderTest, ModifiersAloneAndRepeatsAreTakenSilently) {
    make(Name(QStringLiteral("silent")));
    QSignalSpy refused(recorder, &Recorder::refused);
    press(recorder, Key::option, Qt::Key_Alt, Qt::AltModifier);
    press(recorder, Key::command, Qt::Key_Meta, optCmd);
    QKeyEvent repeat = keyEvent(QEvent::KeyPress, Key::a, Qt::Key_A, Qt::NoModifier, 0, true);
    QApplication::sendEvent(recorder, &repeat);
    EXPECT_EQ(refused.count(), 0);
    EXPECT_TRUE(changes.isEmpty());
    EXPECT_TRUE(recorder->isRecording());
}

TEST_F(RecorderTest, TheDesktopsCombinationsAreStoredOnlyWhenThePersonInsists) {
    const struct {
        const char* name;
        int answer;
        bool stored;
    } rows[] = {
        {"OK keeps what was stored", 0, false},
        {"Use Anyway stores it", 1, true},
    };
    const Shortcut altTab(Key::tab.rawValue, CarbonModifier::option);
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        SetUp();
        changes.clear();
        const Name name(QStringLiteral("desktop"));
        make(name);
        press(recorder, Key::tab, Qt::Key_Tab, Qt::AltModifier);
        ASSERT_NE(alert(), nullptr);
        EXPECT_EQ(alert()->buttons().size(), 2);
        EXPECT_FALSE(getShortcut(name)) << "nothing before the answer";
        EXPECT_FALSE(recorder->isRecording());

        answer(row.answer);
        EXPECT_EQ(alert(), nullptr);
        EXPECT_EQ(getShortcut(name).has_value(), row.stored);
        EXPECT_EQ(changes.size(), row.stored ? 1 : 0);
        EXPECT_EQ(recorder->isRecording(), !row.stored) << "refused: recording again";
        EXPECT_EQ(recorder->text(), row.stored ? altTab.description() : QString());
        TearDown();
    }
}

TEST_F(RecorderTest, AnotherHotkeysShortcutIsRefusedByName) {
    const Name quickAdd(QStringLiteral("quickAdd"));
    const Name mine(QStringLiteral("mine"));
    const Shortcut space = optionCommand(Key::space);
    setShortcut(space, quickAdd);
    make(mine);
    recorder->setOtherHotkeys([&] {
        return QList<Recorder::OtherHotkey>{{quickAdd, QStringLiteral("Quick Add")},
                                            {mine, QStringLiteral("Mine")}};
    });

    press(recorder, Key::space, Qt::Key_Space, optCmd);
    ASSERT_NE(alert(), nullptr);
    EXPECT_EQ(alert()->buttons().size(), 1) << "no way to insist";
    EXPECT_TRUE(alert()->alert().message.contains(QStringLiteral("Quick Add")));
    EXPECT_FALSE(getShortcut(mine));
    answer(0);
    EXPECT_TRUE(recorder->isRecording()) << "back to recording after the answer";
    EXPECT_EQ(getShortcut(quickAdd), space);

    // Its own shortcut again is no conflict.
    setShortcut(optionCommand(Key::m), mine);
    QTest::mouseClick(recorder, Qt::LeftButton);
    press(recorder, Key::m, Qt::Key_M, optCmd);
    EXPECT_EQ(alert(), nullptr);
    EXPECT_EQ(getShortcut(mine), optionCommand(Key::m));
}

TEST_F(RecorderTest, ARecorderToldNothingRefusesEveryShortcutTheProgramHolds) {
    // The program's bindings as at launch: the named hotkeys, and a preset of the person's own.
    const TimerPreset steep{QUuid::createUuid(), QStringLiteral("Steep"), 240};
    const Shortcut steepKeys = optionCommand(Key::t);
    setShortcut(steepKeys, PresetShortcutNaming::shortcutName(steep.id));
    QStringList ran;
    ApplicationHotkeyActions actions;
    actions.toggleFloating = [&ran] { ran << QStringLiteral("floating"); };
    actions.quickPreset = [&ran] { ran << QStringLiteral("one-key"); };
    actions.startPreset = [&ran](const TimerPreset& preset) { ran << preset.name; };
    GlobalHotkeysBridge bridge;
    bindApplicationHotkeys(bridge, {steep}, actions);
    const Shortcut oneKeys = optionCommand(Key::one);
    const Shortcut floatingKeys = optionCommand(Key::f);
    ASSERT_EQ(Name::quickPreset().shortcut(), oneKeys);
    ASSERT_EQ(Name::toggleFloating().shortcut(), floatingKeys);

    // The one-key timer's recorder as the settings screen builds it: given no list of other hotkeys.
    make(Name::quickPreset());
    const struct {
        const char* holder;
        Key key;
        int qtKey;
        Shortcut keys;
    } rows[] = {
        {"Floating Timer", Key::f, Qt::Key_F, floatingKeys},
        {"Steep", Key::t, Qt::Key_T, steepKeys},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.holder);
        press(recorder, row.key, row.qtKey, optCmd);
        ASSERT_NE(alert(), nullptr);
        EXPECT_TRUE(alert()->alert().message.contains(QLatin1String(row.holder)))
            << alert()->alert().message.toStdString();
        answer(0);
        EXPECT_EQ(Name::quickPreset().shortcut(), oneKeys) << "nothing stored";
    }

    // So one press runs one action, and clearing the one-key timer's shortcut leaves the others held.
    QTest::mouseClick(recorder->clearButton(), Qt::LeftButton);
    press(recorder, Key::escape, Qt::Key_Escape);
    EXPECT_EQ(Name::quickPreset().shortcut(), std::nullopt);
    const QStringList expected[] = {{QStringLiteral("floating")}, {QStringLiteral("Steep")}};
    for (int index = 0; index < 2; ++index) {
        SCOPED_TRACE(rows[index].holder);
        EXPECT_TRUE(backend.isHeld(rows[index].keys));
        ran.clear();
        backend.tap(rows[index].keys);
        EXPECT_EQ(ran, expected[index]);
    }
}

TEST_F(RecorderTest, WhileRecordingTheProgramsHotkeysAreWithdrawnAndSilent) {
    const Name bound(QStringLiteral("bound"));
    const Shortcut space = optionCommand(Key::space);
    setShortcut(space, bound);
    int fired = 0;
    onKeyUp(bound, [&fired] { ++fired; });
    make(Name(QStringLiteral("recording")));

    EXPECT_TRUE(isPaused());
    EXPECT_FALSE(backend.isHeld(space)) << "its own press reaches the field instead";
    backend.tap(space);
    EXPECT_EQ(fired, 0);

    press(recorder, Key::escape, Qt::Key_Escape);
    EXPECT_FALSE(recorder->isRecording());
    EXPECT_FALSE(isPaused());
    EXPECT_TRUE(isEnabled());
    EXPECT_TRUE(backend.isHeld(space));
    backend.tap(space);
    EXPECT_EQ(fired, 1);
    EXPECT_TRUE(changes.isEmpty()) << "Escape changes nothing";
}

TEST_F(RecorderTest, RecordingEndsOnEscapeTabAClickOutsideAndGoingAway) {
    const struct {
        const char* name;
        std::function<void(RecorderTest&)> act;
        std::function<QWidget*(RecorderTest&)> focusAfter;
    } rows[] = {
        {"Escape", [](RecorderTest& t) { press(t.recorder, Key::escape, Qt::Key_Escape); }, nullptr},
        {"Tab moves on", [](RecorderTest& t) { press(t.recorder, Key::tab, Qt::Key_Tab); },
         [](RecorderTest& t) -> QWidget* { return t.after; }},
        {"a click elsewhere", [](RecorderTest& t) { QTest::mouseClick(t.before, Qt::LeftButton); },
         [](RecorderTest& t) -> QWidget* { return t.before; }},
        {"hidden", [](RecorderTest& t) { t.recorder->hide(); }, nullptr},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        SetUp();
        make(Name(QStringLiteral("ending")));
        row.act(*this);
        EXPECT_FALSE(recorder->isRecording());
        EXPECT_FALSE(isPaused());
        EXPECT_TRUE(isEnabled());
        if (row.focusAfter) {
            EXPECT_TRUE(row.focusAfter(*this)->hasFocus());
        }
        TearDown();
    }
}

TEST_F(RecorderTest, TheWindowComingBackDoesNotStartRecordingButAClickDoes) {
    make(Name(QStringLiteral("window")), false);
    recorder->setFocus(Qt::ActiveWindowFocusReason);
    EXPECT_TRUE(recorder->hasFocus());
    EXPECT_FALSE(recorder->isRecording());
    QTest::mouseClick(recorder, Qt::LeftButton);
    EXPECT_TRUE(recorder->isRecording());
}

TEST_F(RecorderTest, ARecorderDestroyedWhileRecordingGivesTheHotkeysBack) {
    make(Name(QStringLiteral("gone")));
    EXPECT_FALSE(isEnabled());
    delete recorder;
    EXPECT_TRUE(isEnabled());
    EXPECT_FALSE(isPaused());
}

TEST_F(RecorderTest, FollowsChangesMadeElsewhere) {
    const Name name(QStringLiteral("shared"));
    make(name, false);
    EXPECT_FALSE(recorder->clearButton()->isVisible());
    setShortcut(optionCommand(Key::f), name);
    EXPECT_EQ(recorder->text(), QStringLiteral("⌥⌘F"));
    EXPECT_TRUE(recorder->clearButton()->isVisible());
    setShortcut(std::nullopt, name);
    EXPECT_TRUE(recorder->text().isEmpty());
    EXPECT_FALSE(recorder->clearButton()->isVisible());
    setShortcut(optionCommand(Key::g), Name(QStringLiteral("other")));
    EXPECT_TRUE(recorder->text().isEmpty()) << "another name's change";
    EXPECT_TRUE(changes.isEmpty()) << "only the person's edits are reported";

    recorder->setShortcutName(Name(QStringLiteral("other")));
    EXPECT_EQ(recorder->text(), QStringLiteral("⌥⌘G"));
}

TEST_F(RecorderTest, ACombinationAnotherProgramHoldsIsStoredAndThePersonTold) {
    const Shortcut k = optionCommand(Key::k);
    backend.unavailable.insert(k, GrabFailure::takenByAnotherProgram);
    const Name name(QStringLiteral("contested"));
    make(name);
    press(recorder, Key::k, Qt::Key_K, optCmd);
    EXPECT_EQ(getShortcut(name), k) << "kept, to be tried again later";
    ASSERT_NE(alert(), nullptr);
    EXPECT_EQ(alert()->alert().message, takenMessage(k));
    answer(0);
    EXPECT_FALSE(recorder->isRecording());
}

TEST_F(RecorderTest, ACombinationTheKeyboardOrDesktopCannotGiveIsStoredAndThePersonToldWhy) {
    const struct {
        const char* name;
        GrabFailure why;
        // The desktop's later answer to the grab, rather than a refusal at once.
        bool answeredLater;
    } rows[] = {
        {"no such key", GrabFailure::keyNotOnKeyboard, false},
        {"no key for one of its modifiers", GrabFailure::modifierNotOnKeyboard, false},
        {"refused by the desktop", GrabFailure::refusedByDesktop, true},
        {"no display at all", GrabFailure::noDisplay, false},
    };
    const Shortcut k = optionCommand(Key::k);
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        SetUp();
        if (!row.answeredLater) {
            backend.unavailable.insert(k, row.why);
        }
        const Name name(QStringLiteral("unheld"));
        make(name);
        press(recorder, Key::k, Qt::Key_K, optCmd);
        if (row.answeredLater) {
            backend.refuseHeld(k, row.why);
        }
        EXPECT_EQ(getShortcut(name), k) << "kept, to be tried again later";
        if (row.why == GrabFailure::noDisplay) {
            EXPECT_EQ(alert(), nullptr) << "nothing the person could do about it";
        } else {
            ASSERT_NE(alert(), nullptr);
            EXPECT_EQ(alert()->alert().message, refusalMessage(k, row.why));
            EXPECT_NE(alert()->alert().message, takenMessage(k))
                << "another program has nothing to do with it";
            answer(0);
        }
        EXPECT_FALSE(recorder->isRecording());
        TearDown();
    }
}
