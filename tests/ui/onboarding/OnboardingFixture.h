#pragma once
// An onboarding view on a real engine (recording services, a frozen clock, preferences in memory), with the
// language catalogue following "bl.appLanguage" the way the application delegate makes it follow.

#include "core/AppSettings.h"
#include "core/SettingsKeys.h"
#include "core/TimerManager.h"
#include "platform/Preferences.h"
#include "platform/ReduceMotion.h"
#include "platform/TranslationCatalog.h"
#include "support/FakeServices.h"
#include "ui/onboarding/OnboardingView.h"

#include <QApplication>
#include <QCoreApplication>
#include <QEvent>
#include <QSignalSpy>

#include <gtest/gtest.h>

#include <memory>

class OnboardingFixture : public ::testing::Test {
public: // table rows act on the fixture through it
    QDateTime now = QDateTime(QDate(2024, 5, 14), QTime(9, 0, 0), Qt::LocalTime);
    Clock clock = [this] { return now; };
    // Time passes as the frozen wall clock moves: a tick follows a second's advance of `now`.
    ElapsedClock elapsed = [this] { return now.toMSecsSinceEpoch(); };
    Preferences preferences; // in memory
    AppSettings settings{preferences};
    InMemoryPersistence persistence;
    RecordingNotificationService notification;
    RecordingSoundService sound;
    InMemoryHistory history{clock};
    std::unique_ptr<TimerManager> timers;
    std::unique_ptr<OnboardingView> view;
    int dismissals = 0;
    QStringList written; // every key written, in order

    void SetUp() override {
        ReduceMotion::setEnabled(true); // pages change at once unless a test wants to see them move
        timers = std::make_unique<TimerManager>(persistence, notification, sound, history, settings, clock,
                                                elapsed);
        QObject::connect(&preferences, &Preferences::changed, &preferences,
                         [this](const QString& key) { written << key; });
        // What the delegate does for the whole program: the catalogue follows the stored language.
        QObject::connect(&settings, &AppSettings::keyChanged, &settings, [this](const QString& key) {
            if (key == SettingsKeys::appLanguage.key) {
                TranslationCatalog::install(settings.appLanguageRaw());
            }
        });
        TranslationCatalog::install(settings.appLanguageRaw());
    }

    void TearDown() override {
        view.reset();
        timers.reset();
        TranslationCatalog::install(QStringLiteral("en"));
        ReduceMotion::setEnabled(false);
        settle();
    }

    void makeView() {
        view = std::make_unique<OnboardingView>(timers.get(), settings, [this] { ++dismissals; });
        written.clear();
    }

    void show() {
        view->show();
        settle();
    }

    // Posted language changes and deferred deletes come round.
    static void settle() {
        for (int i = 0; i < 3; ++i) {
            QCoreApplication::processEvents();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
    }

    template <class W> W* find(const QString& objectName) const { return view->findChild<W*>(objectName); }
    template <class W> W* find(const char* objectName) const {
        return find<W>(QString::fromLatin1(objectName));
    }

    // The page on screen, as the user sees it: the one visible page of the page area.
    QString visiblePage() const {
        QString shown;
        for (const char* name : {"language", "quickStart", "input", "done"}) {
            const QWidget* page =
                find<QWidget>(QStringLiteral("quorvane.onboarding.page.") + QLatin1String(name));
            if (page && page->isVisibleTo(view.get()) && page->x() == 0) {
                shown += QLatin1String(name);
            }
        }
        return shown;
    }
};
