// The confirmation step without widgets: what it shows for a request, how edits change it, what a refusal
// says, and how its clock-bound texts follow the time while it stays open.
#include "ui/kit/TimerPreparationModel.h"

#include "platform/Preferences.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

#include <variant>

namespace {

using Request = TimerStartRequest;

class TimerPreparationModelTest : public ::testing::Test {
protected:
    QDateTime now = QDateTime(QDate(2024, 5, 14), QTime(9, 0, 0), Qt::LocalTime);
    Clock clock = [this] { return now; };
    Preferences preferences;
    QList<Request> started;
    QList<Request> queued;
    int cancels = 0;
    bool engineAccepts = true;

    TimerPreparationModel::Actions actions(bool withQueue = true) {
        TimerPreparationModel::Actions a;
        a.onStart = [this](const Request& r) {
            started << r;
            return engineAccepts;
        };
        if (withQueue) {
            a.onQueue = [this](const Request& r) {
                queued << r;
                return engineAccepts;
            };
        }
        a.onCancel = [this] { ++cancels; };
        return a;
    }
    std::unique_ptr<TimerPreparationModel> make(const Request& request, bool adjustable = true,
                                                bool withQueue = true) {
        return std::make_unique<TimerPreparationModel>(request, adjustable, actions(withQueue), preferences,
                                                       clock);
    }
    static Request countdown(qint64 seconds, const char* title = "") {
        return Request(QUuid::createUuid(), QString::fromUtf8(title), Request::duration{seconds});
    }
    Request alarmIn(qint64 milliseconds, const char* title = "") const {
        return Request(QUuid::createUuid(), QString::fromUtf8(title),
                       Request::alarm{now.addMSecs(milliseconds)});
    }
    static qint64 seconds(const Request& r) { return std::get<Request::duration>(r.kind()).seconds; }
};

} // namespace

TEST_F(TimerPreparationModelTest, ShowsTheLengthAndEndTimeOfTheRequest) {
    const struct {
        const char* name;
        Request request;
        const char* length;
        QTime end;
    } rows[] = {
        {"a zero-length countdown shows one second", countdown(0), "00:01", QTime(9, 0, 1)},
        {"just under an hour", countdown(3599), "59:59", QTime(9, 59, 59)},
        {"an hour switches to hours", countdown(3600), "1:00:00", QTime(10, 0, 0)},
        {"an alarm shows the time left rounded up", alarmIn(90'500), "01:31", QTime(9, 1, 30, 500)},
        {"an alarm already past shows nothing left", alarmIn(-5000), "00:00", QTime(8, 59, 55)},
    };
    for (const auto& row : rows) {
        const auto model = make(row.request);
        EXPECT_EQ(model->lengthText(), QLatin1String(row.length)) << row.name;
        EXPECT_EQ(model->endTime().toLocalTime().time(), row.end) << row.name;
    }
}

TEST_F(TimerPreparationModelTest, EndLineIsWordedInTheGivenLocale) {
    const auto model = make(countdown(5 * 3600 + 5 * 60)); // ends 14:05
    const QString english = model->endLine(QLocale(QStringLiteral("en")));
    const QString japanese = model->endLine(QLocale(QStringLiteral("ja")));
    EXPECT_TRUE(english.endsWith(QStringLiteral(" 2:05 PM"))) << english.toStdString();
    EXPECT_TRUE(japanese.endsWith(QStringLiteral(" 14:05"))) << japanese.toStdString();
}

TEST_F(TimerPreparationModelTest, OffersAdjustmentAndQueueOnlyWhereTheyApply) {
    const struct {
        const char* name;
        Request request;
        bool adjustable;
        bool withQueue;
        bool showsAdjustment;
        bool showsQueue;
    } rows[] = {
        {"a countdown offers both", countdown(300), true, true, true, true},
        {"a Pomodoro phase cannot be adjusted but can still be queued when asked", countdown(300), false,
         true, false, true},
        {"without a queue action there is no Queue", countdown(300), true, false, true, false},
        {"an alarm offers neither", alarmIn(60'000), true, true, false, false},
    };
    for (const auto& row : rows) {
        const auto model = make(row.request, row.adjustable, row.withQueue);
        EXPECT_EQ(model->showsAdjustment(), row.showsAdjustment) << row.name;
        EXPECT_EQ(model->showsQueue(), row.showsQueue) << row.name;
    }
}

TEST_F(TimerPreparationModelTest, FiveMinuteStepsNeverGoBelowOneSecondAndRenewTheId) {
    const Request original = countdown(300, "Tea");
    const auto model = make(original);
    model->adjustDuration(-TimerPreparationModel::adjustmentStep);
    EXPECT_EQ(seconds(model->draftRequest()), 1);
    EXPECT_EQ(model->lengthText(), QStringLiteral("00:01"));
    const QUuid afterFirst = model->draftRequest().id();
    EXPECT_NE(afterFirst, original.id());
    model->adjustDuration(TimerPreparationModel::adjustmentStep);
    EXPECT_EQ(seconds(model->draftRequest()), 301) << "from 1 s, +5 min is 5:01, not 5:00";
    EXPECT_EQ(model->lengthText(), QStringLiteral("05:01"));
    EXPECT_NE(model->draftRequest().id(), afterFirst);
    EXPECT_EQ(model->draftRequest().title(), QStringLiteral("Tea"));
    EXPECT_EQ(model->request(), original) << "the request handed in is never edited";

    const Request alarm = alarmIn(60'000);
    const auto alarmModel = make(alarm);
    alarmModel->adjustDuration(TimerPreparationModel::adjustmentStep);
    EXPECT_EQ(alarmModel->draftRequest(), alarm);
}

TEST_F(TimerPreparationModelTest, HandsTheEditedRequestOnAndExplainsARefusal) {
    const struct {
        const char* name;
        bool accepts;
        bool useQueue;
        Request request;
        std::optional<QString> error;
    } rows[] = {
        {"an accepted start shows no error", true, false, countdown(60), std::nullopt},
        {"a refused start names the limit", false, false, countdown(60),
         QStringLiteral("タイマーの上限に達しました（設定で変更できます）")},
        {"a refused queue names the limit", false, true, countdown(60),
         QStringLiteral("タイマーの上限に達しました（設定で変更できます）")},
        {"an alarm refused at the limit names the limit", false, false, alarmIn(120'000),
         QStringLiteral("タイマーの上限に達しました（設定で変更できます）")},
        {"an alarm whose time has passed says so", false, false, alarmIn(-1000),
         QStringLiteral("その時刻はもう過ぎています")},
        {"an alarm less than a second ahead has passed too", false, false, alarmIn(400),
         QStringLiteral("その時刻はもう過ぎています")},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        started.clear();
        queued.clear();
        engineAccepts = row.accepts;
        const auto model = make(row.request);
        model->setTitle(QStringLiteral("Edited"));
        const bool result = row.useQueue ? model->queue() : model->start();
        EXPECT_EQ(result, row.accepts);
        const QList<Request>& handed = row.useQueue ? queued : started;
        ASSERT_EQ(handed.size(), 1);
        EXPECT_EQ(handed.first().title(), QStringLiteral("Edited"));
        EXPECT_EQ(handed.first().id(), row.request.id());
        EXPECT_EQ(model->errorMessage(), row.error);
    }
}

TEST_F(TimerPreparationModelTest, ARepeatedRefusalKeepsOneErrorLine) {
    engineAccepts = false;
    const auto model = make(countdown(60));
    QSignalSpy errors(model.get(), &TimerPreparationModel::errorMessageChanged);
    model->start();
    model->start();
    EXPECT_EQ(errors.count(), 1);
    EXPECT_EQ(started.size(), 2) << "each press still asks the engine";
}

TEST_F(TimerPreparationModelTest, WordsItsOwnTextsInTheInterfaceLanguage) {
    const struct {
        const char* name;
        std::optional<const char*> stored;
        bool english;
    } rows[] = {
        {"English when set to en", "en", true},
        {"Japanese when set to ja", "ja", false},
        {"Japanese when nothing is stored", std::nullopt, false},
        {"Japanese for a language it does not know", "fr", false},
        {"the match is exact", "EN", false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        if (row.stored) {
            preferences.setString(QStringLiteral("bl.appLanguage"), QLatin1String(*row.stored));
        } else {
            preferences.remove(QStringLiteral("bl.appLanguage"));
        }
        const auto model = make(countdown(60));
        EXPECT_EQ(model->timerLimitMessage(),
                  row.english ? QStringLiteral("You've hit the timer limit (change it in Settings)")
                              : QStringLiteral("タイマーの上限に達しました（設定で変更できます）"));
        EXPECT_EQ(model->dialAccessibleLabel(),
                  row.english ? QStringLiteral("Timer preview") : QStringLiteral("タイマーのプレビュー"));
        EXPECT_EQ(model->adjustmentAccessibleLabel(-300),
                  row.english ? QStringLiteral("Subtract 5 minutes") : QStringLiteral("5分減らす"));
        EXPECT_EQ(model->adjustmentAccessibleLabel(300),
                  row.english ? QStringLiteral("Add 5 minutes") : QStringLiteral("5分追加"));
        EXPECT_EQ(model->pastTimeMessage(), row.english ? QStringLiteral("That time has already passed")
                                                        : QStringLiteral("その時刻はもう過ぎています"));
        model->setTitle(QStringLiteral("Read"));
        EXPECT_EQ(model->dialAccessibleLabel(), QStringLiteral("Read")) << "a title names the dial at once";
    }
}

TEST_F(TimerPreparationModelTest, ClockTextsFollowTheTimeWhileOpen) {
    const struct {
        const char* name;
        Request request;
        qint64 firstWaitMs;      // until the first change
        qint64 stepMs;           // then between changes
        const char* lengthAfter; // after the first change
    } rows[] = {
        // 09:00:00 + 25:00 ends 09:25:00; the shown end moves at each minute boundary.
        {"a countdown's end time moves on at each whole minute", countdown(1500), 60'000, 60'000, "25:00"},
        // 09:00:00.0 to 09:00:02.5: "00:03" until 500 ms pass, then a second at a time.
        {"an alarm's time left drops at each whole second", alarmIn(2500), 500, 1000, "00:02"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        now = QDateTime(QDate(2024, 5, 14), QTime(9, 0, 0), Qt::LocalTime);
        const auto model = make(row.request);
        QSignalSpy changes(model.get(), &TimerPreparationModel::clockTextsChanged);
        ASSERT_EQ(model->msUntilNextChange(), row.firstWaitMs);
        now = now.addMSecs(row.firstWaitMs - 1);
        model->refreshClock();
        EXPECT_EQ(changes.count(), 0) << "nothing shown changes before its moment";
        now = now.addMSecs(1);
        model->refreshClock();
        EXPECT_EQ(changes.count(), 1);
        EXPECT_EQ(model->lengthText(), QLatin1String(row.lengthAfter));
        EXPECT_EQ(model->msUntilNextChange(), row.stepMs);
    }
}

TEST_F(TimerPreparationModelTest, AnAlarmThatArrivedStopsFollowingTheClock) {
    const auto model = make(alarmIn(800));
    now = now.addMSecs(800);
    model->refreshClock();
    EXPECT_EQ(model->lengthText(), QStringLiteral("00:00"));
    EXPECT_EQ(model->msUntilNextChange(), std::nullopt);
}

TEST_F(TimerPreparationModelTest, BackCallsTheCancelAction) {
    const auto model = make(countdown(60));
    model->cancel();
    EXPECT_EQ(cancels, 1);
    EXPECT_TRUE(started.isEmpty());
}
