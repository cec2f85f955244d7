#pragma once
// The engine's timer list as rows for views, kept up to date from its change sets so that a tick refreshes
// the rows that changed and nothing else.

#include "core/TimerChangeSet.h"

#include <QAbstractListModel>
#include <QList>
#include <QUuid>

class TimerManager;
struct TimerItem;

class TimerListModel : public QAbstractListModel {
    Q_OBJECT
public:
    enum Role {
        IdRole = Qt::UserRole + 1, // QUuid
        TitleRole,                 // QString (also Qt::DisplayRole)
        RemainingRole,             // qint64 seconds
        TotalDurationRole,         // qint64 seconds
        StateRole,                 // TimerState
        IsAlarmRole,               // bool
        AlarmTargetTimeRole,       // QDateTime; none for a countdown
        PomodoroPhaseRole,         // QString; none for a timer that is no Pomodoro phase
        DisplayTimeRole,           // QString, the remaining time as the timer shows it
    };
    Q_ENUM(Role)

    // One row per timer of `manager`, in list order. The manager must outlive the model.
    explicit TimerListModel(TimerManager& manager, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QHash<int, QByteArray> roleNames() const override;

    // The row of the timer with that id; invalid when none.
    QModelIndex indexOf(const QUuid& id) const;

private:
    void apply(const TimerChangeSet& changes);
    void rebuild();
    void refreshRows(const TimerChangeSet& changes);
    // dataChanged for each run of adjacent rows of an ascending range.
    template <class Iterator> void emitRuns(Iterator first, Iterator last);
    // The timer a row shows; none for a row being removed.
    const TimerItem* itemAt(qsizetype row) const;

    TimerManager& m_manager;
    // The id of each row as the views were last told. Between the engine's change and the end of apply()
    // it differs from the list, and rows are found by id.
    QList<QUuid> m_ids;
};
