// The timer list model: the row signals each engine change gives, and Qt's own consistency checks.
#include "ui/kit/TimerListModel.h"

#include "core/TimerManagerFixture.h"

#include <QAbstractItemModelTester>

#include <functional>

namespace {

using S = TimerState;

// The row signals of a model, as short texts in the order they came.
class RowSignalLog {
public:
    explicit RowSignalLog(QAbstractItemModel& model) {
        QObject::connect(&model, &QAbstractItemModel::rowsInserted, &m_context,
                         [this](const QModelIndex&, int first, int last) { add("inserted", first, last); });
        QObject::connect(&model, &QAbstractItemModel::rowsRemoved, &m_context,
                         [this](const QModelIndex&, int first, int last) { add("removed", first, last); });
        QObject::connect(
            &model, &QAbstractItemModel::dataChanged, &m_context,
            [this](const QModelIndex& from, const QModelIndex& to) { add("changed", from.row(), to.row()); });
        QObject::connect(&model, &QAbstractItemModel::modelReset, &m_context,
                         [this] { m_lines << QStringLiteral("reset"); });
    }
    QStringList take() { return std::exchange(m_lines, {}); }

private:
    void add(const char* what, int first, int last) {
        m_lines << QStringLiteral("%1 %2-%3").arg(QString::fromLatin1(what)).arg(first).arg(last);
    }
    QObject m_context;
    QStringList m_lines;
};

// Collects what QAbstractItemModelTester reports, so a test fails on it instead of only printing it.
class ModelTesterFaults {
public:
    ModelTesterFaults() { s_previous = qInstallMessageHandler(&ModelTesterFaults::handle); }
    ~ModelTesterFaults() { qInstallMessageHandler(s_previous); }
    ModelTesterFaults(const ModelTesterFaults&) = delete;
    ModelTesterFaults& operator=(const ModelTesterFaults&) = delete;
    QStringList take() { return std::exchange(s_faults, {}); }

private:
    static void handle(QtMsgType type, const QMessageLogContext& context, const QString& message) {
        if (type != QtDebugMsg && context.category && qstrcmp(context.category, "qt.modeltest") == 0) {
            s_faults << message;
        } else if (s_previous) {
            s_previous(type, context, message);
        }
    }
    static inline QtMessageHandler s_previous = nullptr;
    static inline QStringList s_faults;
};

class TimerListModelTest : public TimerManagerFixture {
protected:
    std::unique_ptr<TimerListModel> model;

    void makeModel() { model = std::make_unique<TimerListModel>(*manager); }
    void TearDown() override {
        model.reset();
        TimerManagerFixture::TearDown();
    }

    // Every row shows the timer at the same place in the engine's list.
    void expectRowsMatchTheList() const {
        const QList<TimerItem>& timers = manager->timers();
        ASSERT_EQ(model->rowCount(), timers.size());
        for (int row = 0; row < model->rowCount(); ++row) {
            const QModelIndex index = model->index(row);
            const TimerItem& item = timers.at(row);
            EXPECT_EQ(index.data(TimerListModel::IdRole).toUuid(), item.id) << row;
            EXPECT_EQ(index.data(TimerListModel::RemainingRole).toLongLong(), item.remaining) << row;
            EXPECT_EQ(index.data(TimerListModel::StateRole).value<TimerState>(), item.state) << row;
        }
    }
};

TEST_F(TimerListModelTest, ATickOverTenThousandTimersRefreshesTheOneRunningRowOnly) {
    makeWith(filler(10'000));
    makeModel();
    const QUuid id = manager->timers().at(4321).id;
    manager->start(id);
    RowSignalLog log(*model);
    tick();
    EXPECT_EQ(log.take(), QStringList({QStringLiteral("changed 4321-4321")}));
    EXPECT_EQ(model->index(4321).data(TimerListModel::DisplayTimeRole).toString(), QStringLiteral("00:59"));
    EXPECT_EQ(model->indexOf(id).row(), 4321);
}

TEST_F(TimerListModelTest, EachEngineChangeGivesItsRowSignals) {
    struct Row {
        const char* name;
        std::function<void()> change;
        QStringList expected;
    };
    // Shared list: 0 running, 1 idle, 2 running and about to finish, 3 running, 4 paused, 5 finished.
    const QList<TimerItem> shared = {stored(S::running, 100, 100), stored(S::idle, 100, 100),
                                     stored(S::running, 100, 1),   stored(S::running, 100, 100),
                                     stored(S::paused, 100, 50),   stored(S::finished, 100, 0)};
    const auto at = [&](qsizetype position) { return shared.at(position).id; };
    const Row rows[] = {
        {"add appends a row", [&] { add("new", 60); }, {QStringLiteral("inserted 6-6")}},
        {"an alarm appends a row",
         [&] { manager->addAlarm(QString(), now.addSecs(600)); },
         {QStringLiteral("inserted 6-6")}},
        {"remove takes its row out", [&] { manager->removeTimer(at(1)); }, {QStringLiteral("removed 1-1")}},
        {"one operation refreshes its row", [&] { manager->toggle(at(4)); }, {QStringLiteral("changed 4-4")}},
        {"pauseAll refreshes adjacent rows as one range",
         [&] { manager->pauseAll(); },
         {QStringLiteral("changed 0-0"), QStringLiteral("changed 2-3")}},
        {"a tick refreshes the running rows, the finishing one included",
         [&] { tick(); },
         {QStringLiteral("changed 0-0"), QStringLiteral("changed 2-3")}},
        {"the hook removes the finished timer and adds one",
         [&] {
             manager->onTimerComplete = [&](const QUuid& id) {
                 manager->removeTimer(id);
                 add("next", 5);
             };
             tick();
         },
         {QStringLiteral("removed 2-2"), QStringLiteral("inserted 5-5"), QStringLiteral("changed 0-0"),
          QStringLiteral("changed 2-2")}},
        {"restore resets",
         [&] {
             persistence.activeTimers = filler(3);
             manager->restoreState();
         },
         {QStringLiteral("reset")}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        makeWith(shared);
        makeModel();
        RowSignalLog log(*model);
        row.change();
        EXPECT_EQ(log.take(), row.expected);
        expectRowsMatchTheList();
    }
}

TEST_F(TimerListModelTest, RowsMatchTheListAtEveryNoticeWhenAnEarlierListenerChangesIt) {
    // A listener connected before the model changes the list from inside the notification, so the model
    // hears of the later change first; a view connected after the model must find matching rows each time,
    // and be told of the rows that changed where they now are.
    const struct {
        const char* name;
        std::function<void()> trigger;
        std::function<void()> reaction;
        QStringList expected;
    } rows[] = {
        {"a removal answered by an addition",
         [&] { manager->removeTimer(manager->timers().first().id); },
         [&] { add("late", 5, false); },
         {QStringLiteral("reset")}},
        {"an addition answered by a removal",
         [&] { add("early", 5, false); },
         [&] { manager->removeTimer(manager->timers().first().id); },
         {QStringLiteral("removed 0-0"), QStringLiteral("inserted 4-4")}},
        {"a tick answered by a removal: its positions no longer hold",
         [&] { tick(); },
         [&] { manager->removeTimer(manager->timers().first().id); },
         {QStringLiteral("removed 0-0"), QStringLiteral("changed 3-3")}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        QList<TimerItem> list = filler(4);
        list << stored(S::running, 100, 100);
        makeWith(list);
        bool reacted = false;
        QObject::connect(manager.get(), &TimerManager::timersChanged, manager.get(), [&] {
            if (!std::exchange(reacted, true)) {
                row.reaction();
            }
        });
        makeModel();
        RowSignalLog log(*model);
        int notices = 0;
        QObject::connect(manager.get(), &TimerManager::timersChanged, model.get(), [&] {
            ++notices;
            expectRowsMatchTheList();
        });
        row.trigger();
        EXPECT_EQ(notices, 2);
        EXPECT_EQ(log.take(), row.expected);
    }
}

TEST_F(TimerListModelTest, QtsModelTesterFindsNoFaultThroughEveryKindOfChange) {
    ModelTesterFaults faults;
    makeWith({stored(S::running, 100, 100), stored(S::running, 100, 2), stored(S::paused, 100, 50)});
    makeModel();
    QAbstractItemModelTester tester(model.get(), QAbstractItemModelTester::FailureReportingMode::Warning);
    EXPECT_EQ(model->roleNames().value(TimerListModel::DisplayTimeRole), QByteArrayLiteral("displayTime"));

    const TimerItem a = add("a", 3);
    manager->addAlarm(QStringLiteral("alarm"), now.addSecs(90));
    manager->onTimerComplete = [&](const QUuid& id) {
        manager->removeTimer(id);
        add("after", 1, false);
    };
    ticks(3);
    manager->removeTimer(manager->timers().first().id);
    manager->setPomodoroPhase(manager->timers().last().id, QStringLiteral("Focus"));
    manager->pauseAll();
    manager->toggle(manager->timers().at(1).id);
    persistence.activeTimers = {stored(S::paused, 60, 30), stored(S::idle, 60, 60)};
    manager->restoreState();
    manager->removeTimer(manager->timers().last().id);
    manager->removeTimer(manager->timers().last().id);
    add("alone", 1);
    ticks(2);
    EXPECT_FALSE(model->indexOf(a.id).isValid()); // taken out by the hook
    expectRowsMatchTheList();
    EXPECT_EQ(faults.take(), QStringList());
}

} // namespace
