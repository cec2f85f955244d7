#pragma once
// The list positions of the timers in one state, in list order, cheap to keep up to date for huge lists.
//
// Leaving the state is not recorded here: the owner re-checks each position against the list and the
// entries that no longer qualify are dropped at the next prepare(). Entering the state costs O(1); an
// entry that is not after every other one waits in a small unsorted batch until prepare() merges it.

#include <QtGlobal>

#include <algorithm>
#include <vector>

class TimerPositionIndex {
public:
    void clear();
    // A timer was appended to the list; it is not a member yet.
    void appendSlot() { m_member.push_back(0); }
    // The timer at `position` left the list; later positions move down by one. O(n).
    void removeSlot(qsizetype position);

    // The timer at `position` has entered the state. Nothing happens when it has an entry already
    // (possibly a stale one that qualifies again).
    void add(qsizetype position);
    // A member may have left the state: the next prepare() sweeps.
    void markStale() { m_stale = true; }

    // Merges the waiting entries and drops those for which qualifies(position) is false (the owner's state
    // test). O(members) when there is work, O(1) otherwise.
    template <class Qualifies> void prepare(Qualifies&& qualifies);

    // Sorted positions; valid after prepare() until the next change. May hold stale entries when the owner
    // changed states after prepare().
    const std::vector<qint32>& sorted() const { return m_sorted; }
    // Changes whenever entries are added or moved, so a walk over sorted() knows to find its place again.
    quint64 version() const { return m_version; }

private:
    std::vector<qint32> m_sorted;
    std::vector<qint32> m_pending;
    std::vector<quint8> m_member; // one flag per list position
    bool m_stale = false;
    quint64 m_version = 0;

    void mergePending();
};

template <class Qualifies> void TimerPositionIndex::prepare(Qualifies&& qualifies) {
    if (!m_pending.empty()) {
        mergePending();
    }
    if (!m_stale) {
        return;
    }
    auto kept = std::remove_if(m_sorted.begin(), m_sorted.end(), [&](qint32 p) {
        if (qualifies(qsizetype(p))) {
            return false;
        }
        m_member[size_t(p)] = 0;
        return true;
    });
    if (kept != m_sorted.end()) {
        m_sorted.erase(kept, m_sorted.end());
        ++m_version;
    }
    m_stale = false;
}
