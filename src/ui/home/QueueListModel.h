#pragma once
// The queue menu's rows: the timers of a timer list model that are not finished and not the hero, in list
// order. Rows follow the source's row signals one by one; only a new hero sends every row through the
// filter again.

#include <QSortFilterProxyModel>
#include <QUuid>

#include <optional>

class TimerListModel;

class QueueListModel : public QSortFilterProxyModel {
    Q_OBJECT
public:
    // The source must outlive the model.
    QueueListModel(TimerListModel& source, std::optional<QUuid> heroId, QObject* parent = nullptr);

    std::optional<QUuid> heroId() const { return m_heroId; }
    void setHeroId(const std::optional<QUuid>& heroId);

    QUuid idAt(int row) const;

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;

private:
    std::optional<QUuid> m_heroId;
};
