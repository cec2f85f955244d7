// The presets tab in the program as it runs: reached from the popover's tab bar, and a key recorded there
// for a new preset starts that preset through the program's own hotkey bindings.
#include "DelegateFixture.h"

#include "hotkeys/GlobalHotkeys.h"
#include "hotkeys/KeyboardLayout.h"
#include "shell/MenuBarPopoverView.h"
#include "ui/kit/GlobalHotkeysRecorder.h"
#include "ui/popover/TarvolinTimerMainView.h"
#include "ui/presets/PresetEditorSheet.h"
#include "ui/presets/PresetsScreen.h"

#include <QKeyEvent>
#include <QLineEdit>

namespace {

using PresetsTabInProgramTest = DelegateFixture;

QString upper(const QUuid& id) {
    return id.toString(QUuid::WithoutBraces).toUpper();
}

} // namespace

TEST_F(PresetsTabInProgramTest, AKeyRecordedForANewPresetStartsIt) {
    launch();
    settle();
    delegate->togglePopover(QPoint(200, 10));
    TarvolinTimerMainView* root = delegate->popover()->root();
    ASSERT_NE(root, nullptr);
    QTest::mouseClick(root->findChild<QWidget*>(QStringLiteral("quorvane.bottomBar.presets")),
                      Qt::LeftButton);
    auto* screen = root->findChild<PresetsScreen*>(QStringLiteral("presetsScreen.root"));
    ASSERT_NE(screen, nullptr) << "the tab bar reaches the presets screen";

    QTest::mouseClick(root->findChild<QWidget*>(QStringLiteral("presetsScreen.addButton")), Qt::LeftButton);
    ASSERT_NE(screen->presetEditor(), nullptr);
    QTest::keyClicks(screen->presetEditor()->nameField(), QStringLiteral("Tea"));
    screen->presetEditor()->minutesField()->selectAll();
    QTest::keyClicks(screen->presetEditor()->minutesField(), QStringLiteral("4"));
    QTest::keyClick(screen->presetEditor()->minutesField(), Qt::Key_Return);
    settle();
    const TimerPreset tea = delegate->timerManager().presets().last();
    ASSERT_EQ(tea.name, QStringLiteral("Tea"));

    QTest::mouseClick(
        root->findChild<QWidget*>(QStringLiteral("presetsScreen.row.shortcut.") + upper(tea.id)),
        Qt::LeftButton);
    auto* recorder = root->findChild<GlobalHotkeys::Recorder*>(
        QStringLiteral("presetsScreen.row.shortcutRecorder.") + upper(tea.id));
    ASSERT_NE(recorder, nullptr);
    QTest::mouseClick(recorder, Qt::LeftButton);
    ASSERT_TRUE(recorder->isRecording());
    const auto keycode = GlobalHotkeys::KeyboardLayout::current()->keycode(GlobalHotkeys::Key::y.rawValue);
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Y, Qt::ControlModifier | Qt::AltModifier, keycode.value_or(0),
                    0, 0);
    QApplication::sendEvent(recorder, &press);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape); // ends the recording
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape); // closes the bubble
    settle();
    ASSERT_FALSE(GlobalHotkeys::isPaused());

    const GlobalHotkeys::Shortcut recorded(GlobalHotkeys::Key::y.rawValue,
                                           GlobalHotkeys::CarbonModifier::control |
                                               GlobalHotkeys::CarbonModifier::option);
    ASSERT_TRUE(keyboard.isHeld(recorded));
    const auto teaTimers = [this] {
        QList<TimerItem> found;
        for (const TimerItem& timer : delegate->timerManager().timers()) {
            if (timer.title == QStringLiteral("Tea")) {
                found.append(timer);
            }
        }
        return found;
    };
    ASSERT_TRUE(teaTimers().isEmpty());
    keyboard.tap(recorded);
    ASSERT_EQ(teaTimers().size(), 1);
    EXPECT_EQ(teaTimers().first().state, TimerState::running);
    EXPECT_EQ(teaTimers().first().totalDuration, 240);
}
