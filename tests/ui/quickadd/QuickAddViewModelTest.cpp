// The quick-add panel's view model: what a typed text or a chip prepares, the one error line, Start and
// Queue against the engine, and Escape's two levels.
#include "QuickAddFixture.h"

#include "ui/quickadd/QuickAddViewModel.h"

#include <QSignalSpy>

#include <functional>
#include <variant>

namespace {

using QuickAddViewModelTest = QuickAddFixture;

} // namespace

TEST_F(QuickAddViewModelTest, ReturnPreparesWhatTheTextSaysOrShowsTheOneErrorLine) {
    const QString message = QStringLiteral("Couldn't read that. Try: 10m · 1d18h · 12:30");
    const struct {
        const char* behaviour;
        QString typed;
        std::optional<TimerStartRequest::Kind> prepared;
        bool error;
    } rows[] = {
        {"minutes", QStringLiteral("25"), TimerStartRequest::duration{1500}, false},
        {"hours and minutes, spaces around", QStringLiteral("  1h30m \n"), TimerStartRequest::duration{5400},
         false},
        {"days and hours", QStringLiteral("1d18h"), TimerStartRequest::duration{151200}, false},
        {"a clock time later today", QStringLiteral("12:30"),
         TimerStartRequest::alarm{QDateTime(now.date(), QTime(12, 30), Qt::LocalTime)}, false},
        {"blank text does nothing", QStringLiteral("   "), std::nullopt, false},
        {"words", QStringLiteral("abc"), std::nullopt, true},
        {"a time already passed", QStringLiteral("8:00"), std::nullopt, true},
        {"zero", QStringLiteral("0"), std::nullopt, true},
        {"out of range", QStringLiteral("1000000"), std::nullopt, true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.behaviour);
        QuickAddViewModel model(*timers, std::nullopt, {}, clock);
        model.setInput(row.typed);
        model.submit();
        EXPECT_EQ(model.input(), row.typed) << "the text stays";
        EXPECT_EQ(model.hasError(), row.error);
        EXPECT_EQ(model.errorMessage(), row.error ? std::optional<QString>(message) : std::nullopt);
        ASSERT_EQ(model.pendingRequest().has_value(), row.prepared.has_value());
        if (row.prepared) {
            EXPECT_EQ(model.pendingRequest()->kind(), *row.prepared);
            EXPECT_EQ(model.pendingRequest()->title(), QString());
        }
        EXPECT_TRUE(timers->timers().isEmpty()) << "nothing starts before confirmation";
    }
}

TEST_F(QuickAddViewModelTest, TheErrorLastsUntilTheTextChangesAndChipsIgnoreTheField) {
    QuickAddViewModel model(*timers, std::nullopt, {}, clock);
    QSignalSpy errors(&model, &QuickAddViewModel::errorChanged);
    model.setInput(QStringLiteral("abc"));
    model.submit();
    ASSERT_TRUE(model.hasError());
    model.submit();
    EXPECT_EQ(errors.size(), 1) << "a second refusal changes nothing";

    // A chip prepares its own length; the text and its error stay behind it.
    model.chooseChip(15);
    ASSERT_TRUE(model.pendingRequest().has_value());
    EXPECT_EQ(model.pendingRequest()->kind(), TimerStartRequest::Kind(TimerStartRequest::duration{900}));
    EXPECT_EQ(model.input(), QStringLiteral("abc"));
    EXPECT_TRUE(model.hasError());
    const QUuid first = model.pendingRequest()->id();
    model.chooseChip(15);
    EXPECT_NE(model.pendingRequest()->id(), first) << "each chip press is a new request";

    model.cancelPreparation();
    EXPECT_FALSE(model.pendingRequest().has_value());
    EXPECT_TRUE(model.hasError()) << "back on the entry step as it was";
    model.setInput(QStringLiteral("abcd"));
    EXPECT_FALSE(model.hasError());
    EXPECT_EQ(QuickAddViewModel::chipMinutes(), (QList<int>{5, 15, 25, 50}));
}

TEST_F(QuickAddViewModelTest, StartAndQueueCloseOnlyWhenTheEngineMadeATimer) {
    const QDateTime noon(now.date(), QTime(12, 0), Qt::LocalTime);
    const struct {
        const char* behaviour;
        bool atLimit;
        bool queue;
        TimerStartRequest::Kind kind;
        bool accepted;
        TimerState state;
    } rows[] = {
        {"Start runs the countdown", false, false, TimerStartRequest::duration{1500}, true,
         TimerState::running},
        {"Queue adds it idle", false, true, TimerStartRequest::duration{1500}, true, TimerState::idle},
        {"Start sets the alarm", false, false, TimerStartRequest::alarm{noon}, true, TimerState::running},
        {"an alarm cannot be queued", false, true, TimerStartRequest::alarm{noon}, false, TimerState::idle},
        {"at the limit nothing starts", true, false, TimerStartRequest::duration{60}, false,
         TimerState::idle},
        {"at the limit nothing is queued", true, true, TimerStartRequest::duration{60}, false,
         TimerState::idle},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.behaviour);
        makeEngine(row.atLimit ? filler(TimerManager::maxTimers) : QList<TimerItem>{});
        const qsizetype before = timers->timers().size();
        int closes = 0;
        const TimerStartRequest request(QUuid::createUuid(), QStringLiteral("Tea"), row.kind);
        QuickAddViewModel model(
            *timers, request, [&] { ++closes; }, clock);
        ASSERT_TRUE(model.isConfirming()) << "a given request opens the confirmation step";
        const bool accepted = row.queue ? model.queuePreparation(request) : model.confirmPreparation(request);
        EXPECT_EQ(accepted, row.accepted);
        EXPECT_EQ(closes, row.accepted ? 1 : 0);
        ASSERT_EQ(timers->timers().size(), before + (row.accepted ? 1 : 0));
        if (row.accepted) {
            const TimerItem& made = timers->timers().last();
            EXPECT_EQ(made.title, QStringLiteral("Tea"));
            EXPECT_EQ(made.state, row.state);
            EXPECT_EQ(made.isAlarm, std::holds_alternative<TimerStartRequest::alarm>(row.kind));
        } else {
            EXPECT_TRUE(model.isConfirming()) << "a refusal keeps the card";
        }
    }
}
