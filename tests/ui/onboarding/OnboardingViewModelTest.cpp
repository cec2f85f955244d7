// The guide without pixels: where each move leads, and exactly what each of the user's actions writes and
// starts.
#include "ui/onboarding/OnboardingViewModel.h"

#include "core/AppSettings.h"
#include "core/SettingsKeys.h"
#include "core/TimerManager.h"
#include "platform/Preferences.h"
#include "support/FakeServices.h"
#include "ui/onboarding/OnboardingStep.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {

class OnboardingViewModelTest : public ::testing::Test {
public:
    QDateTime now = QDateTime(QDate(2024, 5, 14), QTime(9, 0, 0), Qt::LocalTime);
    Clock clock = [this] { return now; };
    // Time passes as the frozen wall clock moves: a tick follows a second's advance of `now`.
    ElapsedClock elapsed = [this] { return now.toMSecsSinceEpoch(); };
    Preferences preferences;
    AppSettings settings{preferences};
    InMemoryPersistence persistence;
    RecordingNotificationService notification;
    RecordingSoundService sound;
    InMemoryHistory history{clock};
    std::unique_ptr<TimerManager> timers;
    std::unique_ptr<OnboardingViewModel> model;
    QStringList written;

    void make(const QList<TimerItem>& restored = {}) {
        persistence.activeTimers = restored;
        timers = std::make_unique<TimerManager>(persistence, notification, sound, history, settings, clock,
                                                elapsed);
        timers->restoreState();
        model = std::make_unique<OnboardingViewModel>(timers.get(), settings);
    }

    void SetUp() override {
        QObject::connect(&preferences, &Preferences::changed, &preferences,
                         [this](const QString& key) { written << key; });
    }

    void walkTo(OnboardingStep step) {
        while (model->currentStep() != step) {
            model->advance();
        }
    }
};

} // namespace

TEST_F(OnboardingViewModelTest, MovesAlongTheJourneyAndStopsAtItsEnds) {
    make();
    EXPECT_EQ(model->currentStep(), OnboardingStep::language);
    EXPECT_EQ(model->direction(), 1);
    const struct {
        const char* behaviour;
        std::function<void(OnboardingViewModel&)> act;
        OnboardingStep expected;
        int direction;
        bool announced;
    } rows[] = {
        {"back from the first page does nothing", &OnboardingViewModel::goBack, OnboardingStep::language, 1,
         false},
        {"forward from language is the quick start", &OnboardingViewModel::advance,
         OnboardingStep::quickStart, 1, true},
        {"back from the first tour step is the language page", &OnboardingViewModel::goBack,
         OnboardingStep::language, -1, true},
        {"forward again", &OnboardingViewModel::advance, OnboardingStep::quickStart, 1, true},
        {"then input", &OnboardingViewModel::advance, OnboardingStep::input, 1, true},
        {"then done", &OnboardingViewModel::advance, OnboardingStep::done, 1, true},
        {"done has no next step", &OnboardingViewModel::advance, OnboardingStep::done, 1, false},
        {"back from done is input", &OnboardingViewModel::goBack, OnboardingStep::input, -1, true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.behaviour);
        QSignalSpy changes(model.get(), &OnboardingViewModel::stepChanged);
        row.act(*model);
        EXPECT_EQ(model->currentStep(), row.expected);
        EXPECT_EQ(model->direction(), row.direction);
        EXPECT_EQ(changes.size(), row.announced ? 1 : 0);
    }
    EXPECT_TRUE(written.isEmpty()) << "moving writes nothing";
    EXPECT_FALSE(onboardingTourSteps().contains(OnboardingStep::language));
    EXPECT_EQ(onboardingTourSteps().first(), OnboardingStep::quickStart);
    EXPECT_EQ(onboardingStepFromRaw(toRaw(OnboardingStep::done)), OnboardingStep::done);
    EXPECT_EQ(onboardingStepFromRaw(17), std::nullopt);
}

TEST_F(OnboardingViewModelTest, EachActionWritesExactlyItsSettingsAndStartsOnlyTheFirstTimer) {
    const struct {
        const char* behaviour;
        QString storedLanguage; // empty: nothing stored
        bool atTimerLimit;
        std::function<void(OnboardingViewModel&)> act;
        QStringList written;
        std::optional<std::pair<QString, qint64>> timer; // the new running timer
        bool dismissed;
        OnboardingStep endsOn;
    } rows[] = {
        {"English is written, then the guide moves on",
         {},
         false,
         [](OnboardingViewModel& m) { m.chooseLanguage(AppLanguage::english); },
         {SettingsKeys::appLanguage.key},
         std::nullopt,
         false,
         OnboardingStep::quickStart},
        {"the language already chosen is written again",
         QStringLiteral("ja"),
         false,
         [](OnboardingViewModel& m) { m.chooseLanguage(AppLanguage::japanese); },
         {SettingsKeys::appLanguage.key},
         std::nullopt,
         false,
         OnboardingStep::quickStart},
        {"a chip stores the one-key length and stays",
         {},
         false,
         [](OnboardingViewModel& m) {
             m.advance();
             m.selectQuickDuration(60);
         },
         {SettingsKeys::quickPresetMinutes.key},
         std::nullopt,
         false,
         OnboardingStep::quickStart},
        {"Next writes nothing",
         {},
         false,
         [](OnboardingViewModel& m) {
             m.advance();
             m.handlePrimary();
         },
         {},
         std::nullopt,
         false,
         OnboardingStep::input},
        {"Skip records the guide as seen and starts nothing",
         {},
         false,
         [](OnboardingViewModel& m) {
             m.advance();
             m.selectQuickDuration(5);
             m.skip();
         },
         {SettingsKeys::quickPresetMinutes.key, SettingsKeys::hasSeenOnboarding.key},
         std::nullopt,
         true,
         OnboardingStep::quickStart},
        {"the last page starts 25 minutes of 集中 without touching the one-key length",
         QStringLiteral("ja"),
         false,
         [](OnboardingViewModel& m) {
             while (m.currentStep() != OnboardingStep::done) {
                 m.advance();
             }
             m.handlePrimary();
         },
         {SettingsKeys::hasSeenOnboarding.key},
         std::pair{QStringLiteral("集中"), qint64(1500)},
         true,
         OnboardingStep::done},
        {"in English the first timer is Focus, of the picked length",
         QStringLiteral("en"),
         false,
         [](OnboardingViewModel& m) {
             m.advance();
             m.selectQuickDuration(5);
             m.advance();
             m.advance();
             m.handlePrimary();
         },
         {SettingsKeys::quickPresetMinutes.key, SettingsKeys::hasSeenOnboarding.key},
         std::pair{QStringLiteral("Focus"), qint64(300)},
         true,
         OnboardingStep::done},
        {"a stored language that names none titles it 集中",
         QStringLiteral("fr"),
         false,
         [](OnboardingViewModel& m) {
             while (m.currentStep() != OnboardingStep::done) {
                 m.advance();
             }
             m.handlePrimary();
         },
         {SettingsKeys::hasSeenOnboarding.key},
         std::pair{QStringLiteral("集中"), qint64(1500)},
         true,
         OnboardingStep::done},
        {"at the timer limit the guide still records and closes",
         {},
         true,
         [](OnboardingViewModel& m) {
             while (m.currentStep() != OnboardingStep::done) {
                 m.advance();
             }
             m.handlePrimary();
         },
         {SettingsKeys::hasSeenOnboarding.key},
         std::nullopt,
         true,
         OnboardingStep::done},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.behaviour);
        for (const QString& key : {SettingsKeys::appLanguage.key, SettingsKeys::hasSeenOnboarding.key}) {
            preferences.remove(key);
        }
        if (!row.storedLanguage.isEmpty()) {
            settings.setAppLanguageRaw(row.storedLanguage);
        }
        settings.setQuickPresetMinutes(40);
        QList<TimerItem> restored;
        if (row.atTimerLimit) {
            restored.resize(TimerManager::maxTimers);
            for (qsizetype i = 0; i < restored.size(); ++i) {
                restored[i] = TimerItem::make(QUuid(uint(i), 1, 2, 3, 4, 5, 6, 7, 8, 9, 10), QString(), 60,
                                              TimerState::idle, false, std::nullopt, std::nullopt, now);
            }
        }
        written.clear();
        make(restored);
        const qsizetype before = timers->timers().size();
        QSignalSpy dismissed(model.get(), &OnboardingViewModel::dismissRequested);
        row.act(*model);
        EXPECT_EQ(written, row.written);
        EXPECT_EQ(dismissed.size(), row.dismissed ? 1 : 0);
        EXPECT_EQ(model->currentStep(), row.endsOn);
        if (row.written.contains(SettingsKeys::hasSeenOnboarding.key)) {
            EXPECT_TRUE(settings.hasSeenOnboarding());
        }
        if (!row.written.contains(SettingsKeys::quickPresetMinutes.key)) {
            EXPECT_EQ(settings.quickPresetMinutes(), 40) << "the stored one-key length is kept";
        }
        if (row.timer) {
            ASSERT_EQ(timers->timers().size(), before + 1);
            const TimerItem& added = timers->timers().last();
            EXPECT_EQ(added.title, row.timer->first);
            EXPECT_EQ(added.totalDuration, row.timer->second);
            EXPECT_EQ(added.state, TimerState::running);
        } else {
            EXPECT_EQ(timers->timers().size(), before);
        }
        model.reset();
        timers.reset();
    }
}

TEST_F(OnboardingViewModelTest, EveryNewGuideOffersTwentyFiveMinutesWhateverIsStored) {
    settings.setQuickPresetMinutes(60);
    make();
    EXPECT_EQ(model->selectedQuickDuration(), 25);
    model->selectQuickDuration(5);
    model = std::make_unique<OnboardingViewModel>(timers.get(), settings);
    EXPECT_EQ(model->selectedQuickDuration(), 25);
    EXPECT_EQ(settings.quickPresetMinutes(), 5);
}

TEST_F(OnboardingViewModelTest, AGuideLeftOpenAfterTheEngineWentStartsNothingButStillCloses) {
    make();
    walkTo(OnboardingStep::done);
    QSignalSpy dismissed(model.get(), &OnboardingViewModel::dismissRequested);
    timers.reset();
    model->handlePrimary();
    EXPECT_EQ(dismissed.size(), 1);
    EXPECT_TRUE(settings.hasSeenOnboarding());
}
