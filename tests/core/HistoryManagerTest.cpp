#include "core/HistoryManager.h"

#include "core/AppSettings.h"
#include "platform/Preferences.h"

#include <gtest/gtest.h>

namespace {

using namespace Qt::StringLiterals;

class HistoryManagerTest : public ::testing::Test {
protected:
    Preferences prefs;
    AppSettings settings{prefs};
    QDateTime now = QDateTime(QDate(2024, 5, 10), QTime(12, 0), Qt::UTC);
    HistoryManager history{prefs, settings, [this] { return now; }};

    // Stores `count` entries titled "old 0" (newest) … "old count-1" (oldest), one minute apart.
    void storeOldEntries(int count) {
        QList<TimerHistoryEntry> entries;
        for (int i = 0; i < count; ++i) {
            entries << TimerHistoryEntry::make(u"old %1"_s.arg(i), 60, now.addSecs(-60 * (i + 1)));
        }
        prefs.setData(HistoryManager::historyKey, *TimerHistoryEntry::encodeList(entries));
    }

    QList<TimerHistoryEntry> stored() const {
        const auto data = prefs.dataValue(HistoryManager::historyKey);
        return data ? TimerHistoryEntry::decodeList(*data).value_or(QList<TimerHistoryEntry>{})
                    : QList<TimerHistoryEntry>{};
    }
    QStringList storedTitles() const {
        QStringList out;
        for (const auto& e : stored()) {
            out << e.title;
        }
        return out;
    }
};

TEST_F(HistoryManagerTest, LogStoresNewestFirstWithClockTimeAndFreshIds) {
    history.log(u"Write"_s, 1500);
    now = now.addSecs(30);
    history.log(u"00:00"_s, 60);

    const auto entries = history.loadHistory();
    ASSERT_EQ(entries.size(), 2);
    EXPECT_EQ(entries[0], (TimerHistoryEntry{entries[0].id, u"00:00"_s, 60, now}));
    EXPECT_EQ(entries[1], (TimerHistoryEntry{entries[1].id, u"Write"_s, 1500, now.addSecs(-30)}));
    EXPECT_NE(entries[0].id, entries[1].id);
    EXPECT_FALSE(entries[0].id.isNull());

    // What is stored is what a fresh manager on the same preferences reads.
    HistoryManager other(prefs, settings);
    EXPECT_EQ(other.loadHistory(), entries);
    EXPECT_EQ(stored(), entries);
}

TEST_F(HistoryManagerTest, CapKeepsTheNewestEntriesAfterInsertingAndTrimsALongerHistory) {
    QStringList newestHundred{u"new"_s};
    for (int i = 0; i < 99; ++i) {
        newestHundred << u"old %1"_s.arg(i); // the oldest one is gone
    }
    const QStringList everything{u"new"_s, u"old 0"_s, u"old 1"_s, u"old 2"_s};
    const struct {
        int stored;
        std::optional<qint64> cap;
        QStringList titles;
    } cases[] = {{100, std::nullopt, newestHundred},
                 {5, 3, {u"new"_s, u"old 0"_s, u"old 1"_s}}, // a lowered cap trims at the next log
                 {3, 0, {}},
                 // No control sets a negative cap: it counts as the default rather than emptying the history.
                 {3, -1, everything},
                 {3, std::numeric_limits<qint64>::min(), everything}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.cap.value_or(100));
        storeOldEntries(c.stored);
        if (c.cap) {
            settings.setMaxHistoryEntries(*c.cap);
        }
        history.log(u"new"_s, 5);
        EXPECT_EQ(storedTitles(), c.titles);
        // Still a valid, decodable list in the store, even when empty.
        EXPECT_TRUE(TimerHistoryEntry::decodeList(prefs.dataValue(HistoryManager::historyKey).value_or("")));
    }
}

TEST_F(HistoryManagerTest, AbsentNonDataOrCorruptHistoryReadsEmptyAndAnythingStoredIsKeptAside) {
    EXPECT_TRUE(history.loadHistory().isEmpty());
    // A list encoded as text rather than data is not a history that reads, but it is the user's.
    const QByteArray one = *TimerHistoryEntry::encodeList({TimerHistoryEntry::make(u"x"_s, 1, now)});
    prefs.setString(HistoryManager::historyKey, QString::fromUtf8(one));
    EXPECT_TRUE(history.loadHistory().isEmpty());
    EXPECT_EQ(prefs.stringValue(HistoryManager::historyKey + u".corrupt"_s), QString::fromUtf8(one));

    const QByteArray corrupt("[{\"id\": 12}");
    prefs.setData(HistoryManager::historyKey, corrupt);
    EXPECT_TRUE(history.loadHistory().isEmpty());
    history.log(u"after"_s, 10);
    EXPECT_EQ(storedTitles(), QStringList{u"after"_s});
    // The next log did not overwrite the only copy of the old history.
    EXPECT_EQ(prefs.dataValue(HistoryManager::historyKey + u".corrupt.2"_s), corrupt);
}

TEST_F(HistoryManagerTest, WritesByOthersAreSeenByTheNextLog) {
    history.log(u"mine"_s, 1);
    ASSERT_EQ(history.loadHistory().size(), 1);

    // A migration moves a history over after this manager has read the key.
    storeOldEntries(2);
    EXPECT_EQ(history.loadHistory().size(), 2);
    history.log(u"next"_s, 1);
    EXPECT_EQ(storedTitles(), (QStringList{u"next"_s, u"old 0"_s, u"old 1"_s}));

    prefs.remove(HistoryManager::historyKey);
    EXPECT_TRUE(history.loadHistory().isEmpty());
}

TEST_F(HistoryManagerTest, AnEntryThatCannotBeEncodedLeavesTheStoreAsItWas) {
    history.log(u"kept"_s, 1);
    const auto before = prefs.dataValue(HistoryManager::historyKey);

    now = QDateTime(); // no valid completion time: the entry cannot be written
    history.log(u"lost"_s, 1);

    EXPECT_EQ(prefs.dataValue(HistoryManager::historyKey), before);
    EXPECT_EQ(history.loadHistory(), stored()); // still only "kept"
}

} // namespace
