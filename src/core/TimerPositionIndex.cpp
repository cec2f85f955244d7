#include "core/TimerPositionIndex.h"

#include <algorithm>

void TimerPositionIndex::clear() {
    m_sorted.clear();
    m_pending.clear();
    m_member.clear();
    m_stale = false;
    ++m_version;
}

void TimerPositionIndex::removeSlot(qsizetype position) {
    const auto pos = qint32(position);
    if (m_member[size_t(position)]) {
        auto it = std::lower_bound(m_sorted.begin(), m_sorted.end(), pos);
        if (it != m_sorted.end() && *it == pos) {
            m_sorted.erase(it);
        } else {
            m_pending.erase(std::find(m_pending.begin(), m_pending.end(), pos));
        }
    }
    m_member.erase(m_member.begin() + position);
    // Entries after the removed one keep their order; only their numbers move.
    auto shift = [pos](std::vector<qint32>& v) {
        for (qint32& p : v) {
            if (p > pos) {
                --p;
            }
        }
    };
    shift(m_sorted);
    shift(m_pending);
    ++m_version;
}

void TimerPositionIndex::add(qsizetype position) {
    quint8& member = m_member[size_t(position)];
    if (member) {
        return;
    }
    member = 1;
    const auto pos = qint32(position);
    // Starting the newest timer is by far the most common case and keeps the sorted run intact.
    if (m_pending.empty() && (m_sorted.empty() || m_sorted.back() < pos)) {
        m_sorted.push_back(pos);
    } else {
        m_pending.push_back(pos);
    }
    ++m_version;
}

void TimerPositionIndex::mergePending() {
    std::sort(m_pending.begin(), m_pending.end());
    const auto middle = qsizetype(m_sorted.size());
    m_sorted.insert(m_sorted.end(), m_pending.begin(), m_pending.end());
    std::inplace_merge(m_sorted.begin(), m_sorted.begin() + middle, m_sorted.end());
    m_pending.clear();
    m_stale = true; // a merged entry may have left the state while it waited
    ++m_version;
}
