// The popover host: its root, where it opens, and when it closes.
#include "DelegateFixture.h"

#include "shell/MenuBarPopoverView.h"
#include "ui/kit/OwnDialogMark.h"
#include "ui/popover/MainViewModel.h"
#include "ui/popover/PopoverFocusCoordinator.h"
#include "ui/popover/TarvolinTimerMainView.h"
#include "ui/presets/PresetsScreen.h"
#include "ui/presets/PresetsScreenModel.h"
#include "ui/quickentry/InlineAlert.h"
#include "ui/quickentry/QuickLaunchPane.h"
#include "ui/quickentry/QuickLaunchPaneModel.h"
#include "ui/settings/SettingsScreen.h"
#include "ui/settings/SoundCard.h"
#include "ui/settings/SoundGallerySheet.h"

#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QMenu>
#include <QAbstractButton>
#include <QScreen>
#include <QStandardPaths>
#include <QTimer>

namespace {

class MenuBarPopoverViewTest : public DelegateFixture {
protected:
    qint64 clockMs = 10'000;

    MenuBarPopoverView& popover() {
        launch();
        delegate->togglePopover(QPoint(100, 0));
        delegate->popover()->hide();
        delegate->popover()->setClock([this] { return clockMs; });
        return *delegate->popover();
    }
};

} // namespace

TEST_F(MenuBarPopoverViewTest, ItsRootIsBuiltOnFirstShowingAndActsThroughTheDelegate) {
    launch();
    EXPECT_EQ(delegate->popover(), nullptr) << "nothing is built before the first click";
    delegate->togglePopover(QPoint(200, 10));
    TarvolinTimerMainView* root = delegate->popover()->root();
    ASSERT_NE(root, nullptr);
    EXPECT_TRUE(root->isVisible());
    EXPECT_EQ(root->size(), QSize(440, 720));
    EXPECT_EQ(&root->timerManager(), &delegate->timerManager());
    EXPECT_EQ(&root->settings(), &settings);
    EXPECT_TRUE(delegate->hasChainCoordinator())
        << "the timers tab, shown first, asks for the coordinator to follow it with its chain banner";
    EXPECT_EQ(&root->chainCoordinator(), &delegate->chainCoordinator());
    delegate->togglePopover(QPoint(200, 10));
    delegate->togglePopover(QPoint(200, 10));
    EXPECT_EQ(delegate->popover()->root(), root) << "showing again keeps the root";

    const struct {
        const char* behaviour;
        std::function<void()> action;
        std::function<bool()> done;
    } rows[] = {
        {"checking for updates asks the delegate's update channel", [&] { root->onCheckForUpdates()(); },
         [&] { return updates.checks == 1; }},
        {"showing onboarding replays it although it was seen", [&] { root->onShowOnboarding()(); },
         [&] { return visibleWindow(QStringLiteral("quorvane.onboarding")) != nullptr; }},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.behaviour);
        EXPECT_FALSE(row.done());
        row.action();
        EXPECT_TRUE(row.done());
    }
}

TEST_F(MenuBarPopoverViewTest, ItOpensAtTheClickAndStaysWithinTheScreen) {
    const QSize size(440, 720);
    const struct {
        const char* behaviour;
        QPoint anchor;
        QRect available;
        QPoint topLeft;
    } rows[] = {
        {"centred under a click on a top panel", QPoint(960, 28), QRect(0, 28, 1920, 1052), QPoint(740, 32)},
        {"above a click on a bottom panel", QPoint(960, 1050), QRect(0, 0, 1920, 1048), QPoint(740, 326)},
        {"pushed in from the right edge", QPoint(1910, 28), QRect(0, 28, 1920, 1052), QPoint(1480, 32)},
        {"pushed in from the left edge", QPoint(10, 28), QRect(0, 28, 1920, 1052), QPoint(0, 32)},
        {"kept off a panel on the left", QPoint(60, 500), QRect(48, 0, 1872, 1080), QPoint(48, 360)},
        {"on a second screen to the right", QPoint(2000, 20), QRect(1920, 0, 1280, 1024), QPoint(1920, 24)},
        {"a screen shorter than the popover shows its top", QPoint(300, 10), QRect(0, 0, 800, 600),
         QPoint(80, 0)},
        {"a click below the area still opens inside it", QPoint(960, 1079), QRect(0, 0, 1920, 1040),
         QPoint(740, 320)},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.behaviour);
        const QRect placed = MenuBarPopoverView::placement(size, row.anchor, row.available);
        EXPECT_EQ(placed.size(), size);
        EXPECT_EQ(placed.topLeft(), row.topLeft);
        if (row.available.height() >= size.height()) {
            EXPECT_TRUE(row.available.contains(placed)) << "inside the free area";
        }
    }
}

TEST_F(MenuBarPopoverViewTest, ItIsAFramelessToolWindowOfFixedSize) {
    MenuBarPopoverView& view = popover();
    delegate->togglePopover(QPoint(200, 10));
    EXPECT_TRUE(view.isVisible());
    EXPECT_EQ(view.size(), QSize(440, 720));
    EXPECT_EQ(view.presentation(), MenuBarPopoverView::Presentation::popover);
    EXPECT_TRUE(view.windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_EQ(view.windowType(), Qt::Tool);
    const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_TRUE(available.contains(view.geometry()) || available.height() < 720);
}

TEST_F(MenuBarPopoverViewTest, LosingTheFocusClosesItUnlessItsOwnDialogOrMenuIsOpen) {
    MenuBarPopoverView& view = popover();
    const struct {
        const char* behaviour;
        std::function<std::unique_ptr<QWidget>(QWidget*)> open; // what is open when the focus goes
        bool staysOpen;
    } rows[] = {
        {"nothing of its own open: it closes", [](QWidget*) { return std::unique_ptr<QWidget>(); }, false},
        {"its dialog open: it stays",
         [](QWidget* parent) {
             auto dialog = std::make_unique<QDialog>(parent);
             dialog->show();
             return std::unique_ptr<QWidget>(std::move(dialog));
         },
         true},
        {"its menu open: it stays",
         [](QWidget* parent) {
             auto menu = std::make_unique<QMenu>(parent);
             menu->addAction(QStringLiteral("x"));
             menu->popup(parent->mapToGlobal(QPoint(10, 10)));
             return std::unique_ptr<QWidget>(std::move(menu));
         },
         true},
        {"a dialog the desktop draws for it (no widget of ours) marked open: it stays",
         [](QWidget* parent) {
             // Stands for the handle of a dialog shown by another process: never shown as a widget here.
             auto handle = std::make_unique<QWidget>();
             OwnDialogMark::markWhileOpen(parent, handle.get());
             return handle;
         },
         true},
        {"that dialog gone again: it closes",
         [](QWidget* parent) {
             auto handle = std::make_unique<QWidget>();
             OwnDialogMark::markWhileOpen(parent, handle.get());
             handle.reset();
             return handle;
         },
         false},
        {"another window of the program open: it closes",
         [](QWidget*) {
             auto other = std::make_unique<QWidget>();
             other->show();
             return other;
         },
         false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.behaviour);
        view.showAt(QPoint(300, 10));
        ASSERT_TRUE(view.isVisible());
        const std::unique_ptr<QWidget> child = row.open(view.root());
        view.applicationDeactivated();
        EXPECT_EQ(view.isVisible(), row.staysOpen);
        view.hide();
    }
}

TEST_F(MenuBarPopoverViewTest, TheClickThatClosedItDoesNotReopenIt) {
    MenuBarPopoverView& view = popover();
    const struct {
        const char* behaviour;
        qint64 clickAfterMs; // after the popover closed itself on losing the focus
        bool opens;
    } rows[] = {
        {"the same click arriving at once", 0, false},
        {"the same click arriving late", MenuBarPopoverView::reopenGuardMs - 1, false},
        {"a later click", MenuBarPopoverView::reopenGuardMs + 100, true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.behaviour);
        delegate->togglePopover(QPoint(300, 10));
        ASSERT_TRUE(view.isVisible());
        view.applicationDeactivated();
        ASSERT_FALSE(view.isVisible());
        clockMs += row.clickAfterMs;
        delegate->togglePopover(QPoint(300, 10));
        EXPECT_EQ(view.isVisible(), row.opens);
        // And the click after that one always acts.
        delegate->togglePopover(QPoint(300, 10));
        EXPECT_EQ(view.isVisible(), !row.opens);
        view.hide();
        clockMs += 10'000;
    }
}

// A plain Escape closes the innermost thing open; with Shift or Ctrl held it is another shortcut and closes
// nothing, there as on the popover itself.
TEST_F(MenuBarPopoverViewTest, EscapeClosesThePopoverOnlyWhenNothingInsideTakesIt) {
    // The settings tab's sound library is made when the tab is shown: kept out of the user's own folders.
    QStandardPaths::setTestModeEnabled(true);
    MenuBarPopoverView& view = popover();
    const auto root = [&] { return view.root(); };
    const auto tab = [&](TarvolinTimerTab t) { root()->focusCoordinator().focusTab(t); };
    const auto presets = [&] { return root()->findChild<PresetsScreen*>(); };
    const auto gallery = [&] { return root()->findChild<SettingsScreen*>()->gallery(); };
    const auto quickLaunch = [&] { return root()->findChild<QuickLaunchPane*>(); };
    // A closed panel hides at once and goes with the next deferred delete.
    const auto shown = [](const QWidget* w) { return w != nullptr && w->isVisibleTo(w->window()); };
    const TimerPreset firstPreset = delegate->timerManager().presets().first();
    const struct {
        const char* behaviour;
        bool asWindow;
        std::function<void()> open;      // what holds the keyboard when Escape is pressed
        std::function<bool()> stillOpen; // whether that is still open
        bool popoverStays;
        int openedOver; // what it was opened over, closed by as many more Escapes before the root's
    } rows[] = {
        {"on the root itself: the popover closes", false, [] {}, [] { return false; }, false, 0},
        {"in the quick-add field: the field lets the keyboard go, the popover stays", false,
         [&] { root()->findChild<QLineEdit*>(QStringLiteral("quorvane.quickAdd.input"))->setFocus(); },
         [&] { return !root()->isKeyNavFocused(); }, true, 0},
        {"on the confirmation card: the card closes, the popover stays", false,
         [&] {
             root()->prepare(
                 TimerStartRequest(QUuid::createUuid(), QString(), TimerStartRequest::duration{300}));
         },
         [&] { return root()->model().pendingStartRequest().has_value(); }, true, 0},
        {"in a quick-launch chip's rename question: the question closes, the popover stays", false,
         [&] { quickLaunch()->model().beginRename(firstPreset); },
         [&] { return shown(quickLaunch()->renameAlert()); }, true, 0},
        {"in the chain builder: the builder closes, the popover stays", false,
         [&] { root()->model().setShowChainBuilder(true); },
         [&] { return root()->model().showChainBuilder(); }, true, 0},
        {"in the preset editor: the editor closes, the popover stays", false,
         [&] {
             tab(TarvolinTimerTab::presets);
             presets()->model().openAddPreset();
         },
         [&] { return presets()->presetEditorOverlay() != nullptr; }, true, 0},
        {"in a preset's shortcut bubble: the bubble closes, the popover stays", false,
         [&] {
             tab(TarvolinTimerTab::presets);
             presets()->model().setShortcutPopoverPresetID(firstPreset.id);
         },
         [&] { return shown(presets()->shortcutBubble()); }, true, 0},
        {"in the sound gallery: the gallery closes, the popover stays", false,
         [&] {
             tab(TarvolinTimerTab::settings);
             root()->findChild<SettingsScreen*>()->openGallery(SoundPurpose::alarm);
         },
         [&] { return gallery() != nullptr; }, true, 0},
        {"in the sound gallery's rename panel: the panel closes, the gallery and the popover stay", false,
         [&] {
             tab(TarvolinTimerTab::settings);
             root()->findChild<SettingsScreen*>()->openGallery(SoundPurpose::alarm);
             gallery()->startRename(gallery()->cards().first()->sound());
         },
         [&] { return gallery() != nullptr && shown(gallery()->renameField()); }, true, 1},
        {"in the window shown where there is no panel item: it stays", true, [] {}, [] { return false; },
         true, 0},
    };
    // The offscreen platform keeps a hidden window as the focus window, so showing it again would not make
    // it active: the focus goes to another window between rows, as it does on a desktop.
    const auto focusElsewhere = [] {
        QWidget other;
        other.show();
        other.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&other));
    };
    const auto waitForKeyboard = [&] {
        ASSERT_TRUE(QTest::qWaitFor([&] {
            return QApplication::focusWidget() && QApplication::focusWidget()->window() == &view;
        })) << "the keyboard is in the popover";
    };
    const auto pressEscape = [&](Qt::KeyboardModifiers held = Qt::NoModifier) {
        // Where the keyboard is once the window is active again: the key goes there, as a real one does.
        ASSERT_NO_FATAL_FAILURE(waitForKeyboard());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape, held);
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.behaviour);
        if (row.asWindow) {
            view.showAsWindow();
        } else {
            delegate->togglePopover(QPoint(300, 10));
        }
        tab(TarvolinTimerTab::timers);
        // Opened in the active popover, as by a person: the bubble and the rename panel close when the
        // keyboard leaves them.
        ASSERT_NO_FATAL_FAILURE(waitForKeyboard());
        row.open();
        // Every row but the root's and the window's opens something inside the popover.
        const bool opened = row.popoverStays && !row.asWindow;
        ASSERT_EQ(row.stillOpen(), opened);
        for (const auto& [held, name] :
             {std::pair(Qt::ShiftModifier, "Shift"), {Qt::ControlModifier, "Ctrl"}}) {
            ASSERT_NO_FATAL_FAILURE(pressEscape(held));
            EXPECT_EQ(row.stillOpen(), opened) << name << "+Escape closes nothing";
            EXPECT_TRUE(view.isVisible()) << name << "+Escape leaves the popover open";
        }
        ASSERT_NO_FATAL_FAILURE(pressEscape());
        EXPECT_FALSE(row.stillOpen());
        EXPECT_EQ(view.isVisible(), row.popoverStays);
        if (view.isVisible()) {
            // What took the first Escape gave the keyboard back: to what it was opened over, then the root.
            for (int i = 0; i < row.openedOver; ++i) {
                ASSERT_NO_FATAL_FAILURE(pressEscape());
                EXPECT_TRUE(view.isVisible());
            }
            ASSERT_NO_FATAL_FAILURE(pressEscape());
            EXPECT_EQ(view.isVisible(), row.asWindow);
        }
        view.hide();
        focusElsewhere();
        settle();
    }
    // Closed by Escape as by the item's second click: the next click opens it again at once.
    delegate->togglePopover(QPoint(300, 10));
    ASSERT_NO_FATAL_FAILURE(pressEscape());
    ASSERT_FALSE(view.isVisible());
    delegate->togglePopover(QPoint(300, 10));
    EXPECT_TRUE(view.isVisible());
}

TEST_F(MenuBarPopoverViewTest, AsAWindowItStaysOpenWhenTheFocusGoes) {
    MenuBarPopoverView& view = popover();
    view.showAsWindow();
    EXPECT_EQ(view.presentation(), MenuBarPopoverView::Presentation::window);
    EXPECT_FALSE(view.windowFlags().testFlag(Qt::FramelessWindowHint));
    view.applicationDeactivated();
    EXPECT_TRUE(view.isVisible());
    // Back to a popover for the tray's click.
    view.showAt(QPoint(300, 10));
    EXPECT_EQ(view.presentation(), MenuBarPopoverView::Presentation::popover);
    EXPECT_TRUE(view.windowFlags().testFlag(Qt::FramelessWindowHint));
}

TEST_F(MenuBarPopoverViewTest, ItFollowsTheInAppLanguage) {
    MenuBarPopoverView& view = popover();
    const auto overflowLabel = [&]() -> QString {
        const auto* overflow = view.root()->findChild<QWidget*>(QStringLiteral("quorvane.timers.overflow"));
        return overflow ? overflow->accessibleName() : QString();
    };
    const struct {
        const char* language;
        QLocale::Language locale;
        const char* overflowText; // a text of the root, through the catalogue the delegate installs
    } rows[] = {
        {"en", QLocale::English, "More timer options"},
        {"ja", QLocale::Japanese, "タイマーのその他のオプション"},
        {"fr", QLocale::Japanese, "タイマーのその他のオプション"}, // any other value reads as Japanese
        {"en", QLocale::English, "More timer options"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.language);
        settings.setAppLanguageRaw(QString::fromLatin1(row.language));
        QCoreApplication::sendPostedEvents(); // the catalogue's change reaches widgets as an event
        EXPECT_EQ(view.locale().language(), row.locale);
        EXPECT_EQ(view.root()->locale().language(), row.locale);
        EXPECT_EQ(overflowLabel(), QString::fromUtf8(row.overflowText));
    }
}

TEST_F(MenuBarPopoverViewTest, TheSettingsTabShowsTheSettingsScreenWhoseButtonsReachTheDelegate) {
    // The program's sound library and sound service are made when the tab is first shown: keep them out of
    // the user's own folders.
    QStandardPaths::setTestModeEnabled(true);
    launch();
    delegate->togglePopover(QPoint(200, 10));
    TarvolinTimerMainView* root = delegate->popover()->root();
    ASSERT_NE(root, nullptr);
    root->focusCoordinator().focusTab(TarvolinTimerTab::settings);
    QWidget* page = root->currentTabContent();
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(page->objectName(), QStringLiteral("quorvane.settings"));
    EXPECT_TRUE(page->isVisible());
    auto* check = page->findChild<QAbstractButton*>(QStringLiteral("settings.about.checkUpdates"));
    auto* replay = page->findChild<QAbstractButton*>(QStringLiteral("quorvane.settings.replayOnboarding"));
    ASSERT_NE(check, nullptr);
    ASSERT_NE(replay, nullptr);
    QTest::mouseClick(check, Qt::LeftButton);
    EXPECT_EQ(updates.checks, 1);
    QTest::mouseClick(replay, Qt::LeftButton);
    EXPECT_NE(visibleWindow(QStringLiteral("quorvane.onboarding")), nullptr);
}
