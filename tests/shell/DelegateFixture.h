#pragma once
// A delegate on in-memory preferences and recording fakes, with a frozen clock, a fake keyboard for its
// hotkeys, and a bus of its own where a fake panel watcher shows its panel item (or none, if the test says).

#include "core/AppSettings.h"
#include "hotkeys/GlobalHotkeys.h"
#include "hotkeys/KeyboardLayout.h"
#include "platform/Preferences.h"
#include "services/UpdateChannel.h"
#include "shell/AppDelegate.h"
#include "shell/PanelItem.h"
#include "support/FakeHotkeyBackend.h"
#include "support/FakeServices.h"
#include "support/FakeStatusNotifierWatcher.h"
#include "support/PrivateSessionBus.h"
#include "support/Requirement.h"

#include <QApplication>
#include <QDBusConnection>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

// Counts the checks asked for and remembers whether automatic checks are on.
class RecordingUpdateChannel : public UpdateChannel {
public:
    bool isAvailable() const override { return false; }
    void checkForUpdates() override { ++checks; }
    void setAutoCheck(bool enabled) override { autoCheck = enabled; }

    bool autoCheck = false;
    int checks = 0;
};

class DelegateFixture : public ::testing::Test {
protected:
    QDateTime now = QDateTime(QDate(2024, 5, 14), QTime(9, 0), Qt::LocalTime);
    Preferences preferences; // in memory
    AppSettings settings{preferences};
    QStringList journal;
    InMemoryPersistence persistence;
    RecordingNotificationService notification;
    RecordingSoundService sound;
    InMemoryHistory history{[this] { return now; }};
    RecordingUpdateChannel updates;
    FakeHotkeyBackend keyboard;
    std::unique_ptr<PrivateSessionBus> bus;
    std::unique_ptr<FakeStatusNotifierWatcher> watcher;
    std::unique_ptr<AppDelegate> delegate;

    void SetUp() override {
        bus = std::make_unique<PrivateSessionBus>();
        if (!bus->isRunning()) {
            // The delegate's own logic needs no bus: without one its panel item finds no tray, and only the
            // tests about the tray (requireBus()) stop.
            if (runsInCI()) {
                FAIL() << "no private bus: " << bus->errorString().toStdString();
            }
            bus.reset();
        }
        setTray(true);
        // The hotkey library keeps its shortcuts in the standard preferences.
        Preferences::setStandard(&preferences);
        GlobalHotkeys::resetForTesting();
        GlobalHotkeys::installBackend(&keyboard);
        static const auto us = GlobalHotkeys::KeyboardLayout::fromNames(QStringLiteral("us"));
        GlobalHotkeys::KeyboardLayout::setCurrent(us);
        persistence.journal = &journal;
        notification.journal = &journal;
        history.journal = &journal;
        // Seen already, so onboarding stays closed unless a test wants it.
        settings.setHasSeenOnboarding(true);
        settings.setAppLanguageRaw(QStringLiteral("en"));
    }

    void TearDown() override {
        delegate.reset();
        // Windows closed by the test go with the event loop's deferred deletes.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        GlobalHotkeys::resetForTesting();
        Preferences::setStandard(nullptr);
        watcher.reset();
        bus.reset();
    }

    // True when the test's bus is there; tests about the tray call it first (see SetUp).
    bool hasBus() const { return bus != nullptr; }

    // A panel that shows items on the bus, or nothing there at all (and no other kind of tray either).
    void setTray(bool present) {
        watcher.reset();
        if (present && hasBus()) {
            watcher = std::make_unique<FakeStatusNotifierWatcher>(bus->connect(QStringLiteral("watcher")));
            ASSERT_TRUE(watcher->isRegistered());
        }
    }

    void make(UpdateChannel* updateChannel) {
        delegate = std::make_unique<AppDelegate>(AppDelegate::Services{
            persistence, notification, sound, history, settings, [this] { return now; },
            // Time passes as the frozen wall clock moves.
            [this] { return now.toMSecsSinceEpoch(); }, updateChannel,
            hasBus() ? bus->connect(QStringLiteral("program")) : QDBusConnection(QStringLiteral("no bus")),
            // The test decides at once whether a tray is there.
            200});
    }
    void make() { make(&updates); }

    void launch() {
        make();
        delegate->applicationDidFinishLaunching();
    }

    // Waits for the panel item's first answer: shown in a tray, or nowhere.
    bool waitForTrayAnswer() {
        return QTest::qWaitFor(
            [this] { return delegate->panelItem()->presence() != PanelItem::Presence::unknown; }, 5000);
    }

    // Lets queued work (what start-up defers, queued signal deliveries) run.
    static void settle() {
        for (int i = 0; i < 3; ++i) {
            QCoreApplication::processEvents();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
    }

    TimerItem stored(TimerState state, const QString& title) const {
        TimerItem item =
            TimerItem::make(QUuid::createUuid(), title, 120, state, false, std::nullopt, std::nullopt, now);
        item.remaining = 60;
        return item;
    }

    // Ticks until `done` holds, one simulated second at a time; false if it never does within `limit`.
    bool tickUntil(const std::function<bool()>& done, int limit = 200) {
        for (int i = 0; i < limit && !done(); ++i) {
            now = now.addSecs(1);
            delegate->timerManager().tick();
        }
        return done();
    }

    static QWidget* visibleWindow(const QString& objectName) {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (w->objectName() == objectName && w->isVisible()) {
                return w;
            }
        }
        return nullptr;
    }
};
