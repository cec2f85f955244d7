#pragma once
// What one operation or one tick changed in the timer list, so a view updates the changed rows only.

#include <QMetaType>
#include <QUuid>

#include <vector>

// Plain vectors rather than QLists: a tick appends one entry per running timer, and a vector's append is
// inlined to a store, which keeps the tick's own cost close to what it was without change sets.
struct TimerChangeSet {
    // The whole list was replaced (a restore): the id lists say nothing about the old rows, and a view
    // rebuilds from the list as it now is. Only `finished` may still hold ids.
    bool replacedAll = false;
    // Appended to the end of the list, in list order; not also listed as updated.
    std::vector<QUuid> added;
    // Taken out of the list, in the order they went. A timer added and removed within the same change is
    // in neither list.
    std::vector<QUuid> removed;
    // Still in the list with a new state, remaining time or tag; neither added nor removed in this change.
    std::vector<QUuid> updated;
    // Where each `updated` timer stands in the list, in the same order: a hint that spares a lookup per row
    // on a tick. Empty when a removal in the same change moved the positions; stale once the manager's
    // listRevision() has moved past `listRevision` (a listener removed timers before this set reached you).
    std::vector<qsizetype> updatedPositions;
    quint64 listRevision = 0;
    // Completed in this change, in completion order (also listed as updated unless they were removed).
    std::vector<QUuid> finished;

    bool isEmpty() const {
        return !replacedAll && added.empty() && removed.empty() && updated.empty() && finished.empty();
    }
    bool operator==(const TimerChangeSet&) const = default;
};

Q_DECLARE_METATYPE(TimerChangeSet)
