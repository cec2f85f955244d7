#pragma once
// The popover root on a real engine with the presets tab installed, over hotkey state of its own (the same
// in-memory preferences, a fake desktop, a US keyboard).

#include "support/FakeHotkeyBackend.h"
#include "hotkeys/GlobalHotkeys.h"
#include "hotkeys/KeyboardLayout.h"
#include "ui/kit/AlertOverlay.h"
#include "ui/popover/PopoverFixture.h"
#include "ui/popover/PopoverFocusCoordinator.h"
#include "ui/presets/PresetsScreen.h"
#include "ui/presets/PresetsTab.h"

#include <QAbstractButton>
#include <QMenu>
#include <QTest>

class PresetsFixture : public PopoverFixture {
public: // table rows act on the fixture
    FakeHotkeyBackend backend;

    void SetUp() override {
        Preferences::setStandard(&preferences);
        GlobalHotkeys::resetForTesting();
        GlobalHotkeys::installBackend(&backend);
        static const auto us = GlobalHotkeys::KeyboardLayout::fromNames(QStringLiteral("us"));
        GlobalHotkeys::KeyboardLayout::setCurrent(us);
    }
    void TearDown() override {
        PopoverFixture::TearDown();
        GlobalHotkeys::resetForTesting();
        Preferences::setStandard(nullptr);
    }

    // The root with the presets tab installed, on screen and active, showing the presets tab.
    void open() {
        if (!timers) {
            makeEngine();
        }
        makeRoot();
        installPresetsTab(*root);
        root->show();
        root->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(root.get()));
        root->focusCoordinator().focusTab(TarvolinTimerTab::presets);
        ASSERT_NE(screen(), nullptr);
    }

    PresetsScreen* screen() const { return qobject_cast<PresetsScreen*>(root->currentTabContent()); }
    PopoverFocusCoordinator& coordinator() const { return root->focusCoordinator(); }

    template <class W = QWidget> W* named(const QString& objectName) const {
        return root->findChild<W*>(objectName);
    }
    static QString uuid(const QUuid& id) { return id.toString(QUuid::WithoutBraces).toUpper(); }

    void click(QWidget* widget) const {
        ASSERT_NE(widget, nullptr);
        QTest::mouseClick(widget, Qt::LeftButton);
    }
    void click(const QString& objectName) const { click(named(objectName)); }
    // Opens a row's "…" menu and chooses the entry named `action`.
    void chooseFromMenu(const QString& menuButton, const char* action) const {
        auto* button = named<QAbstractButton>(menuButton);
        ASSERT_NE(button, nullptr) << menuButton.toStdString();
        QTest::mouseClick(button, Qt::LeftButton);
        auto* menu = button->findChild<QMenu*>();
        ASSERT_NE(menu, nullptr);
        auto* entry = menu->findChild<QAction*>(QLatin1String(action));
        ASSERT_NE(entry, nullptr) << action;
        entry->trigger();
        menu->close();
        flushDeletes();
    }
    // A key pressed while the root holds the keyboard, as the person browses the tab.
    void key(int qtKey, Qt::KeyboardModifiers modifiers = Qt::NoModifier) const {
        QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : root.get(),
                        static_cast<Qt::Key>(qtKey), modifiers);
    }
    AlertOverlay* alert(const char* name) const {
        return root->findChild<AlertOverlay*>(QLatin1String(name));
    }
};
