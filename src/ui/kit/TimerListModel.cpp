#include "ui/kit/TimerListModel.h"

#include "core/TimerManager.h"

#include <algorithm>
#include <iterator>
#include <vector>

namespace {

int toRow(qsizetype position) {
    return static_cast<int>(position);
}

} // namespace

TimerListModel::TimerListModel(TimerManager& manager, QObject* parent)
    : QAbstractListModel(parent), m_manager(manager) {
    m_ids.reserve(m_manager.timers().size());
    for (const TimerItem& item : m_manager.timers()) {
        m_ids.append(item.id);
    }
    connect(&m_manager, &TimerManager::timersChanged, this, &TimerListModel::apply);
}

int TimerListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : toRow(m_ids.size());
}

const TimerItem* TimerListModel::itemAt(qsizetype row) const {
    const QList<TimerItem>& timers = m_manager.timers();
    const QUuid& id = m_ids.at(row);
    if (row < timers.size() && timers.at(row).id == id) {
        return &timers.at(row); // the usual case: the rows match the list
    }
    const qsizetype position = m_manager.indexOf(id);
    return position >= 0 ? &timers.at(position) : nullptr;
}

QVariant TimerListModel::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid)) {
        return {};
    }
    const qsizetype row = index.row();
    if (role == IdRole) {
        return m_ids.at(row);
    }
    const TimerItem* item = itemAt(row);
    if (!item) {
        return {};
    }
    switch (role) {
    case Qt::DisplayRole:
    case TitleRole:
        return item->title;
    case RemainingRole:
        return item->remaining;
    case TotalDurationRole:
        return item->totalDuration;
    case StateRole:
        return QVariant::fromValue(item->state);
    case IsAlarmRole:
        return item->isAlarm;
    case AlarmTargetTimeRole:
        return item->alarmTargetTime ? QVariant(*item->alarmTargetTime) : QVariant();
    case PomodoroPhaseRole:
        return item->pomodoroPhase ? QVariant(*item->pomodoroPhase) : QVariant();
    case DisplayTimeRole:
        return item->displayTime();
    default:
        return {};
    }
}

QHash<int, QByteArray> TimerListModel::roleNames() const {
    QHash<int, QByteArray> names = QAbstractListModel::roleNames();
    names.insert(IdRole, QByteArrayLiteral("id"));
    names.insert(TitleRole, QByteArrayLiteral("title"));
    names.insert(RemainingRole, QByteArrayLiteral("remaining"));
    names.insert(TotalDurationRole, QByteArrayLiteral("totalDuration"));
    names.insert(StateRole, QByteArrayLiteral("state"));
    names.insert(IsAlarmRole, QByteArrayLiteral("isAlarm"));
    names.insert(AlarmTargetTimeRole, QByteArrayLiteral("alarmTargetTime"));
    names.insert(PomodoroPhaseRole, QByteArrayLiteral("pomodoroPhase"));
    names.insert(DisplayTimeRole, QByteArrayLiteral("displayTime"));
    return names;
}

QModelIndex TimerListModel::indexOf(const QUuid& id) const {
    const qsizetype position = m_manager.indexOf(id);
    return position >= 0 && position < m_ids.size() ? index(toRow(position)) : QModelIndex();
}

void TimerListModel::rebuild() {
    beginResetModel();
    m_ids.clear();
    m_ids.reserve(m_manager.timers().size());
    for (const TimerItem& item : m_manager.timers()) {
        m_ids.append(item.id);
    }
    endResetModel();
}

void TimerListModel::apply(const TimerChangeSet& changes) {
    if (changes.replacedAll) {
        rebuild();
        return;
    }
    // Removals are rare and each costs the engine a move of the list's tail too, so a scan is fair here.
    for (const QUuid& id : changes.removed) {
        const qsizetype row = m_ids.indexOf(id);
        if (row < 0) {
            continue;
        }
        beginRemoveRows(QModelIndex(), toRow(row), toRow(row));
        m_ids.removeAt(row);
        endRemoveRows();
    }

    // The engine only appends, so what the rows lack is the list's tail. Rows that are not the start of the
    // list (checked at their last row) mean this set arrived after a later one, because a listener changed
    // the list while it was being told: start over from the list.
    const QList<TimerItem>& timers = m_manager.timers();
    const qsizetype known = m_ids.size();
    if (known > timers.size() || (known > 0 && timers.at(known - 1).id != m_ids.constLast())) {
        rebuild();
        return;
    }
    if (known < timers.size()) {
        beginInsertRows(QModelIndex(), toRow(known), toRow(timers.size() - 1));
        m_ids.reserve(timers.size());
        for (qsizetype i = known; i < timers.size(); ++i) {
            m_ids.append(timers.at(i).id);
        }
        endInsertRows();
    }
    refreshRows(changes);
}

void TimerListModel::refreshRows(const TimerChangeSet& changes) {
    if (changes.updated.empty() || m_ids.isEmpty()) {
        return;
    }
    const std::vector<qsizetype>& positions = changes.updatedPositions;
    const bool hinted =
        positions.size() == changes.updated.size() && changes.listRevision == m_manager.listRevision();
    if (hinted) {
        // The usual tick: positions from the last row to the first, or (pauseAll) the other way round.
        if (std::is_sorted(positions.crbegin(), positions.crend())) {
            emitRuns(positions.crbegin(), positions.crend());
            return;
        }
        if (std::is_sorted(positions.cbegin(), positions.cend())) {
            emitRuns(positions.cbegin(), positions.cend());
            return;
        }
    }

    std::vector<qsizetype> rows;
    rows.reserve(changes.updated.size());
    for (size_t i = 0; i < changes.updated.size(); ++i) {
        if (hinted) {
            rows.push_back(positions[i]);
            continue;
        }
        const qsizetype row = m_manager.indexOf(changes.updated[i]);
        if (row < 0) {
            continue; // removed by a later change
        }
        rows.push_back(row);
    }
    std::sort(rows.begin(), rows.end());
    emitRuns(rows.cbegin(), rows.cend());
}

template <class Iterator> void TimerListModel::emitRuns(Iterator first, Iterator last) {
    // A hint is a position in the list as the manager held it, and the rows match that list here; a row
    // outside it would mean a broken hint, so nothing is claimed rather than a wrong row.
    if (first == last || *first < 0 || *std::prev(last) >= m_ids.size()) {
        return;
    }
    // One signal per run of adjacent rows. The rows exist, so createIndex spares index()'s checks, which
    // would cost more than the rest of the update.
    while (first != last) {
        const qsizetype from = *first;
        qsizetype to = from;
        for (++first; first != last && *first <= to + 1; ++first) {
            to = *first;
        }
        emit dataChanged(createIndex(toRow(from), 0), createIndex(toRow(to), 0));
    }
}
