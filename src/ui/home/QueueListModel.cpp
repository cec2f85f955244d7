#include "ui/home/QueueListModel.h"

#include "core/TimerItem.h"
#include "ui/kit/TimerListModel.h"

QueueListModel::QueueListModel(TimerListModel& source, std::optional<QUuid> heroId, QObject* parent)
    : QSortFilterProxyModel(parent), m_heroId(std::move(heroId)) {
    // Rows keep the source's order; a changed row is tested again on its own.
    setDynamicSortFilter(true);
    setSourceModel(&source);
}

void QueueListModel::setHeroId(const std::optional<QUuid>& heroId) {
    if (heroId == m_heroId) {
        return;
    }
    m_heroId = heroId;
    invalidateRowsFilter();
}

QUuid QueueListModel::idAt(int row) const {
    return data(index(row, 0), TimerListModel::IdRole).toUuid();
}

bool QueueListModel::filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const {
    const QModelIndex row = sourceModel()->index(sourceRow, 0, sourceParent);
    if (m_heroId && row.data(TimerListModel::IdRole).toUuid() == *m_heroId) {
        return false;
    }
    return row.data(TimerListModel::StateRole).value<TimerState>() != TimerState::finished;
}
