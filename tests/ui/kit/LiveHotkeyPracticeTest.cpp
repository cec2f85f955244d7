// The hotkey practice view: which presses match (Num Lock on or off, never with Caps Lock or an extra
// modifier), what the live label echoes, what it lets through, and that the hotkey is withdrawn only while
// it listens.
#include "services/QStringPrinting.h"
#include "HotkeyWidgetFixture.h"

#include "ui/kit/LiveHotkeyPractice.h"

#include <QLineEdit>
#include <QTest>
#include <QVBoxLayout>

using namespace GlobalHotkeys;

namespace {

constexpr auto optCmd = Qt::AltModifier | Qt::MetaModifier;

class LiveHotkeyPracticeTest : public HotkeyWidgetFixture {
public: // table rows act on the fixture
    const Name name{QStringLiteral("summon")};
    const Shortcut target = optionCommand(Key::k);
    std::unique_ptr<QWidget> window;
    QLineEdit* field = nullptr;
    LiveHotkeyPractice* view = nullptr;
    // Counted apart from the fixture: a success action may still be due after its test has ended.
    std::shared_ptr<int> successCount = std::make_shared<int>(0);

    int successes() const { return *successCount; }
    void SetUp() override {
        HotkeyWidgetFixture::SetUp();
        for (const QString& key : preferences.keys()) {
            preferences.remove(key);
        }
        successCount = std::make_shared<int>(0);
    }
    void TearDown() override {
        window.reset();
        HotkeyWidgetFixture::TearDown();
    }

    // The view under a focused text field, on screen.
    void show() {
        window = std::make_unique<QWidget>();
        auto* column = new QVBoxLayout(window.get());
        field = new QLineEdit(window.get());
        column->addWidget(field);
        view = new LiveHotkeyPractice(
            name, [count = successCount] { ++*count; }, Qt::green, window.get());
        column->addWidget(view);
        window->show();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
        field->setFocus();
    }
    void key(QEvent::Type type, Key k, int qtKey, Qt::KeyboardModifiers modifiers, quint32 native = 0) {
        pressInWindow(window.get(), type, k, qtKey, modifiers, native);
    }
    void tap(Key k, int qtKey, Qt::KeyboardModifiers modifiers, quint32 native = 0) {
        key(QEvent::KeyPress, k, qtKey, modifiers, native);
        key(QEvent::KeyRelease, k, qtKey, modifiers, native);
    }
};

} // namespace

TEST_F(LiveHotkeyPracticeTest, MatchesWithNumLockButNeverWithCapsLockOrAnExtraModifier) {
    const struct {
        const char* name;
        Key key;
        int qtKey;
        Qt::KeyboardModifiers modifiers;
        quint32 native;
        bool matches;
        const char* label;
    } rows[] = {
        {"the shortcut", Key::k, Qt::Key_K, optCmd, 0x48, true, "⌥⌘K"},
        {"the shortcut with Num Lock on", Key::k, Qt::Key_K, optCmd, 0x48 | xNumLock, true, "⌥⌘K"},
        {"the shortcut with the keypad flag", Key::k, Qt::Key_K, optCmd | Qt::KeypadModifier, 0x48, true,
         "⌥⌘K"},
        {"with Caps Lock on", Key::k, Qt::Key_K, optCmd, 0x48 | xLock, false, "⌥⌘K"},
        {"with Caps Lock and Num Lock on", Key::k, Qt::Key_K, optCmd, 0x48 | xLock | xNumLock, false, "⌥⌘K"},
        {"with Shift as well", Key::k, Qt::Key_K, optCmd | Qt::ShiftModifier, 0x49, false, "⌥⇧⌘K"},
        {"without Super", Key::k, Qt::Key_K, Qt::AltModifier, 0x08, false, "⌥K"},
        {"another letter", Key::j, Qt::Key_J, optCmd, 0x48, false, "⌥⌘J"},
        {"a key outside the label table", Key::f5, Qt::Key_F5, optCmd, 0x48, false, "⌥⌘"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        SetUp();
        setShortcut(target, name);
        show();
        key(QEvent::KeyPress, row.key, row.qtKey, row.modifiers, row.native);

        EXPECT_EQ(view->succeeded(), row.matches);
        EXPECT_EQ(view->liveLabel(), QString::fromUtf8(row.label));
        EXPECT_EQ(view->isPracticing(), !row.matches) << "a match ends the practice";
        EXPECT_EQ(backend.isHeld(target), row.matches) << "registered again only after the match";
        EXPECT_EQ(successes(), 0) << "the success action waits half a second";
        TearDown();
    }
}

TEST_F(LiveHotkeyPracticeTest, TheMatchIsUsedUpAndOtherKeysReachTheFocusedField) {
    setShortcut(target, name);
    show();
    tap(Key::a, Qt::Key_A, Qt::NoModifier);
    EXPECT_EQ(view->liveLabel(), QStringLiteral("A")) << "echoed";
    EXPECT_EQ(field->text(), QString()) << "no text: the synthetic press carries none";

    QKeyEvent letter(QEvent::KeyPress, Qt::Key_B, Qt::NoModifier, scanCode(Key::b), 0, 0,
                     QStringLiteral("b"));
    QCoreApplication::sendEvent(window->windowHandle(), &letter);
    EXPECT_EQ(field->text(), QStringLiteral("b")) << "a letter that does not match goes on";

    QKeyEvent match(QEvent::KeyPress, Qt::Key_K, optCmd, scanCode(Key::k), 0, 0x48, QStringLiteral("k"));
    QCoreApplication::sendEvent(window->windowHandle(), &match);
    EXPECT_TRUE(view->succeeded());
    EXPECT_EQ(field->text(), QStringLiteral("b")) << "the matching press goes no further";
    EXPECT_EQ(view->boxText(), target.description());

    QKeyEvent later(QEvent::KeyPress, Qt::Key_C, Qt::NoModifier, scanCode(Key::c), 0, 0, QStringLiteral("c"));
    QCoreApplication::sendEvent(window->windowHandle(), &later);
    EXPECT_EQ(field->text(), QStringLiteral("bc")) << "nothing is watched after success";
    EXPECT_EQ(view->boxText(), target.description());
}

TEST_F(LiveHotkeyPracticeTest, SuccessRunsOnceHalfASecondLaterEvenWhenTheViewIsGone) {
    setShortcut(target, name);
    show();
    tap(Key::k, Qt::Key_K, optCmd, 0x48);
    tap(Key::k, Qt::Key_K, optCmd, 0x48);
    ASSERT_TRUE(view->succeeded());
    window.reset();
    EXPECT_EQ(successes(), 0);
    EXPECT_TRUE(QTest::qWaitFor([this] { return successes() > 0; }, 3000));
    QTest::qWait(LiveHotkeyPractice::successDelayMs);
    EXPECT_EQ(successes(), 1);
    EXPECT_TRUE(backend.isHeld(target));
}

TEST_F(LiveHotkeyPracticeTest, TheLabelFollowsHeldModifiersAndEmptiesWhenTheyGoUp) {
    setShortcut(target, name);
    show();
    const struct {
        const char* name;
        QEvent::Type type;
        Key key;
        int qtKey;
        Qt::KeyboardModifiers before; // as the desktop reports them, from before the event
        const char* label;
        const char* box;
    } steps[] = {
        {"Option down", QEvent::KeyPress, Key::option, Qt::Key_Alt, Qt::NoModifier, "⌥", "⌥"},
        {"Command down", QEvent::KeyPress, Key::command, Qt::Key_Super_L, Qt::AltModifier, "⌥⌘", "⌥⌘"},
        {"Option up", QEvent::KeyRelease, Key::option, Qt::Key_Alt, optCmd, "⌘", "⌘"},
        {"Command up", QEvent::KeyRelease, Key::command, Qt::Key_Super_L, Qt::MetaModifier, "",
         "Waiting for a key press…"},
    };
    for (const auto& step : steps) {
        key(step.type, step.key, step.qtKey, step.before);
        EXPECT_EQ(view->liveLabel(), QString::fromUtf8(step.label)) << step.name;
        EXPECT_EQ(view->boxText(), QString::fromUtf8(step.box)) << step.name;
    }
}

TEST_F(LiveHotkeyPracticeTest, WithdrawsTheHotkeyOnlyWhileListening) {
    const struct {
        const char* name;
        bool stored;
        bool listensWhenShown;
    } rows[] = {
        {"a stored shortcut", true, true},
        {"no shortcut", false, false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        SetUp();
        if (row.stored) {
            setShortcut(target, name);
        }
        show();
        EXPECT_EQ(view->isPracticing(), row.listensWhenShown);
        EXPECT_FALSE(backend.isHeld(target));
        if (!row.stored) {
            EXPECT_EQ(view->captionText(),
                      QStringLiteral("Set your summon key above, then practice it here"));
            setShortcut(target, name);
            EXPECT_FALSE(view->isPracticing()) << "a shortcut recorded meanwhile starts nothing";
        } else {
            EXPECT_EQ(view->captionText(), QStringLiteral("Now try pressing ⌥⌘K"));
        }
        EXPECT_EQ(view->boxText(), QStringLiteral("Waiting for a key press…"));
        view->hide();
        EXPECT_FALSE(view->isPracticing());
        EXPECT_TRUE(backend.isHeld(target)) << "registered again when the view leaves";
        TearDown();
    }
}

TEST_F(LiveHotkeyPracticeTest, KeyAndModifierTextsComeFromTheirFixedTables) {
    const struct {
        const char* name;
        qint64 code;
        const char* text;
    } keys[] = {
        {"return", 36, "↩"}, {"tab", 48, "⇥"},  {"space", 49, "Space"}, {"escape", 53, "esc"},
        {"a", 0, "A"},       {"z", 6, "Z"},     {"one", 18, "1"},       {"zero", 29, "0"},
        {"f5", 96, ""},      {"left", 123, ""},
    };
    for (const auto& row : keys) {
        EXPECT_EQ(LiveHotkeyPractice::keyString(row.code), QString::fromUtf8(row.text)) << row.name;
    }
    EXPECT_EQ(LiveHotkeyPractice::symbolString(CarbonModifier::all | LiveHotkeyPractice::capsLockFlag),
              QStringLiteral("⌃⌥⇧⌘"));
    EXPECT_EQ(LiveHotkeyPractice::symbolString(LiveHotkeyPractice::capsLockFlag), QString());
}
