// Menu items that show a name's shortcut, views that react to a hotkey while shown, and real menus
// opening the key route.
#include "HotkeyTestFixture.h"
#include "hotkeys/HotkeyViewBinding.h"
#include "hotkeys/MenuItemShortcut.h"

#include <QAction>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QWindow>

using namespace GlobalHotkeys;

namespace {

class HotkeyAdaptersTest : public HotkeyTestFixture {
protected:
    const Shortcut space = optionCommand(Key::space);
    const Shortcut letterF = optionCommand(Key::f);
};

TEST_F(HotkeyAdaptersTest, AMenuItemShowsAndFollowsItsNamesShortcut) {
    const Name launch(QStringLiteral("launch"));
    const Name other(QStringLiteral("other"));
    QAction item(QStringLiteral("Quick Add"));
    const auto shows = [&item] { return item.text(); };

    MenuItemShortcut::bind(&item, launch);
    EXPECT_EQ(shows(), QStringLiteral("Quick Add")) << "no shortcut yet";
    setShortcut(space, launch);
    EXPECT_EQ(shows(), QStringLiteral("Quick Add\t⌥⌘Space")) << "a stored shortcut fills it in";
    EXPECT_TRUE(item.shortcut().isEmpty()) << "the item itself never fires";

    item.setText(QStringLiteral("Open"));
    EXPECT_EQ(shows(), QStringLiteral("Open\t⌥⌘Space")) << "a new title keeps the shortcut";
    EXPECT_EQ(MenuItemShortcut::title(&item), QStringLiteral("Open"));

    MenuItemShortcut::bind(&item, other);
    EXPECT_EQ(shows(), QStringLiteral("Open"));
    setShortcut(letterF, launch);
    EXPECT_EQ(shows(), QStringLiteral("Open")) << "the former name no longer reaches it";
    setShortcut(letterF, other);
    EXPECT_EQ(shows(), QStringLiteral("Open\t⌥⌘F"));
    setShortcut(std::nullopt, other);
    EXPECT_EQ(shows(), QStringLiteral("Open")) << "a removed shortcut is no longer shown";

    setShortcut(space, other);
    MenuItemShortcut::bind(&item, std::nullopt);
    EXPECT_EQ(shows(), QStringLiteral("Open"));
    setShortcut(letterF, other);
    EXPECT_EQ(shows(), QStringLiteral("Open")) << "an unbound item follows nothing";

    MenuItemShortcut::show(&item, letterF);
    EXPECT_EQ(shows(), QStringLiteral("Open\t⌥⌘F"));
    EXPECT_EQ(item.findChildren<MenuItemShortcut*>().count(), 1) << "one adapter per item";
}

TEST_F(HotkeyAdaptersTest, AViewReactsOnlyWhileShown) {
    const Name name(QStringLiteral("viewed"));
    setShortcut(space, name);
    QWindow view;
    view.resize(40, 40);
    QList<EventType> all;
    int releases = 0;
    auto* everything =
        HotkeyViewBinding::onGlobalHotkey(&view, name, [&all](EventType type) { all.append(type); });
    HotkeyViewBinding::onGlobalHotkey(&view, name, EventType::keyUp, [&releases] { ++releases; });

    backend.tap(space);
    EXPECT_TRUE(all.isEmpty()) << "hidden";
    view.show();
    QCoreApplication::processEvents();
    backend.tap(space);
    EXPECT_EQ(all, (QList<EventType>{EventType::keyDown, EventType::keyUp}));
    EXPECT_EQ(releases, 1);

    view.hide();
    EXPECT_FALSE(everything->isListening());
    backend.tap(space);
    EXPECT_EQ(all.count(), 2) << "hidden again";
    EXPECT_EQ(releases, 1);

    view.show();
    QCoreApplication::processEvents();
    delete everything;
    backend.tap(space);
    EXPECT_EQ(all.count(), 2) << "a deleted binding stops";
    EXPECT_EQ(releases, 2);
}

TEST_F(HotkeyAdaptersTest, AnOpenMenuReceivesNoKeyOfAHotkey) {
    const Name name(QStringLiteral("q"));
    setShortcut(space, name);
    int releases = 0;
    onKeyUp(name, [&releases] { ++releases; });

    QMenu menu;
    menu.addAction(QStringLiteral("Item"));
    menu.popup(QPoint(10, 10));
    QCoreApplication::processEvents();
    ASSERT_TRUE(isMenuOpen());
    QWindow* window = menu.windowHandle();
    ASSERT_NE(window, nullptr);
    const quint32 spaceKey = usLayout()->keycode(Key::space.rawValue).value();
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Space, Qt::MetaModifier | Qt::AltModifier, spaceKey, 0, 0);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_Space, Qt::MetaModifier | Qt::AltModifier, spaceKey, 0, 0);
    QCoreApplication::sendEvent(window, &press);
    QCoreApplication::sendEvent(window, &release);
    EXPECT_EQ(releases, 1);

    menu.hide();
    QCoreApplication::processEvents();
    EXPECT_FALSE(isMenuOpen());
}

} // namespace
