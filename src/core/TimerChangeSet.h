#pragma once
// What one operation or one tick changed in the timer list, so a view updates the changed rows only.

#include <QList>
#include <QMetaType>
#include <QUuid>

struct TimerChangeSet {
    // The whole list was replaced (a restore): the id lists say nothing about the old rows, and a view
    // rebuilds from the list as it now is. Only `finished` may still hold ids.
    bool replacedAll = false;
    // Appended to the end of the list, in list order; not also listed as updated.
    QList<QUuid> added;
    // Taken out of the list, in the order they went. A timer added and removed within the same change is
    // in neither list.
    QList<QUuid> removed;
    // Still in the list with a new state, remaining time or tag; neither added nor removed in this change.
    QList<QUuid> updated;
    // Where each `updated` timer stands in the list now, in the same order. A hint that saves a lookup
    // per row on a tick: empty when a removal in the same change moved the positions.
    QList<qsizetype> updatedPositions;
    // Completed in this change, in completion order (also listed as updated unless they were removed).
    QList<QUuid> finished;

    bool isEmpty() const {
        return !replacedAll && added.isEmpty() && removed.isEmpty() && updated.isEmpty() &&
               finished.isEmpty();
    }
    bool operator==(const TimerChangeSet&) const = default;
};

Q_DECLARE_METATYPE(TimerChangeSet)
