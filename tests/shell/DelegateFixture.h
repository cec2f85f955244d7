#pragma once
// A delegate on in-memory preferences and recording fakes, with a frozen clock and a tray answer the test
// chooses.

#include "core/AppSettings.h"
#include "platform/Preferences.h"
#include "shell/AppDelegate.h"
#include "shell/NullUpdateChannel.h"
#include "shell/TrayAvailability.h"
#include "support/FakeServices.h"

#include <QApplication>
#include <QDBusConnection>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

// Answers at once with what the test set, instead of asking a bus.
class FixedTrayAvailability : public TrayAvailability {
public:
    FixedTrayAvailability() : TrayAvailability(QDBusConnection(QStringLiteral("tt-no-bus"))) {}
    bool available = true;
    void refresh() override { report(available, false); }
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
    NullUpdateChannel updates;
    FixedTrayAvailability tray;
    std::unique_ptr<AppDelegate> delegate;

    void SetUp() override {
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
    }

    void make() {
        delegate = std::make_unique<AppDelegate>(AppDelegate::Services{
            persistence, notification, sound, history, settings, [this] { return now; }, &updates, &tray});
    }

    void launch() {
        make();
        delegate->applicationDidFinishLaunching();
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
