#include "core/HistoryManager.h"

#include "core/AppSettings.h"
#include "platform/Preferences.h"

#include <gtest/gtest.h>

namespace {

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
            entries << TimerHistoryEntry::make(QStringLiteral("old %1").arg(i), 60,
                                               now.addSecs(-60 * (i + 1)));
        }
        prefs.setData(HistoryManager::historyKey, *TimerHistoryEntry::encodeList(entries));
    }

    QList<TimerHistoryEntry> stored() const {
        const auto data = prefs.dataValue(HistoryManager::historyKey);
        return data ? TimerHistoryEntry::decodeList(*data).value_or(QList<TimerHistoryEntry>{})
                    : QList<TimerHistoryEntry>{};
    }
};

TEST_F(HistoryManagerTest, LogStoresNewestFirstWithClockTimeAndFreshIds) {
    history.log(QStringLiteral("Write"), 1500);
    now = now.addSecs(30);
    history.log(QStringLiteral("00:00"), 60);

    const auto entries = history.loadHistory();
    ASSERT_EQ(entries.size(), 2);
    EXPECT_EQ(entries[0].title, QStringLiteral("00:00"));
    EXPECT_EQ(entries[0].duration, 60);
    EXPECT_EQ(entries[0].completedAt, now);
    EXPECT_EQ(entries[1].title, QStringLiteral("Write"));
    EXPECT_EQ(entries[1].completedAt, now.addSecs(-30));
    EXPECT_NE(entries[0].id, entries[1].id);
    EXPECT_FALSE(entries[0].id.isNull());

    // What is stored is what a fresh manager on the same preferences reads.
    HistoryManager other(prefs, settings);
    EXPECT_EQ(other.loadHistory(), entries);
    EXPECT_EQ(stored(), entries);
}

TEST_F(HistoryManagerTest, CapKeepsTheNewestEntriesAfterInserting) {
    ASSERT_EQ(settings.maxHistoryEntries(), 100);
    storeOldEntries(100);

    history.log(QStringLiteral("new"), 5);

    const auto entries = stored();
    ASSERT_EQ(entries.size(), 100);
    EXPECT_EQ(entries.first().title, QStringLiteral("new"));
    EXPECT_EQ(entries[1].title, QStringLiteral("old 0"));
    EXPECT_EQ(entries.last().title, QStringLiteral("old 98")); // the oldest one is gone
}

TEST_F(HistoryManagerTest, LoweredCapTrimsAnExistingLongerHistoryAtTheNextLog) {
    storeOldEntries(5);
    settings.setMaxHistoryEntries(3);

    history.log(QStringLiteral("new"), 5);

    const auto entries = stored();
    ASSERT_EQ(entries.size(), 3);
    EXPECT_EQ(entries[0].title, QStringLiteral("new"));
    EXPECT_EQ(entries[2].title, QStringLiteral("old 1"));
}

TEST_F(HistoryManagerTest, ZeroOrNegativeCapLeavesAnEmptyStoredList) {
    for (qint64 cap : {qint64(0), qint64(-1), std::numeric_limits<qint64>::min()}) {
        storeOldEntries(3);
        settings.setMaxHistoryEntries(cap);

        history.log(QStringLiteral("run"), 60);
        history.log(QStringLiteral("run"), 60);

        EXPECT_TRUE(history.loadHistory().isEmpty()) << cap;
        // Still a valid, decodable list in the store.
        const auto data = prefs.dataValue(HistoryManager::historyKey);
        ASSERT_TRUE(data.has_value()) << cap;
        const auto decoded = TimerHistoryEntry::decodeList(*data);
        ASSERT_TRUE(decoded.has_value()) << cap;
        EXPECT_TRUE(decoded->isEmpty()) << cap;
    }
}

TEST_F(HistoryManagerTest, CorruptHistoryReadsEmptyStaysUntilTheNextLogReplacesIt) {
    const QByteArray corrupt("[{\"id\": 12}");
    prefs.setData(HistoryManager::historyKey, corrupt);

    EXPECT_TRUE(history.loadHistory().isEmpty());
    EXPECT_EQ(prefs.dataValue(HistoryManager::historyKey), corrupt); // reading does not repair

    history.log(QStringLiteral("after"), 10);
    const auto entries = stored();
    ASSERT_EQ(entries.size(), 1);
    EXPECT_EQ(entries[0].title, QStringLiteral("after"));
}

TEST_F(HistoryManagerTest, AbsentOrNonDataValueReadsEmpty) {
    EXPECT_TRUE(history.loadHistory().isEmpty());

    // A list encoded as text rather than data is not the history.
    QList<TimerHistoryEntry> one{TimerHistoryEntry::make(QStringLiteral("x"), 1, now)};
    prefs.setString(HistoryManager::historyKey, QString::fromUtf8(*TimerHistoryEntry::encodeList(one)));
    EXPECT_TRUE(history.loadHistory().isEmpty());
}

TEST_F(HistoryManagerTest, WritesByOthersAreSeenByTheNextLog) {
    history.log(QStringLiteral("mine"), 1);
    ASSERT_EQ(history.loadHistory().size(), 1);

    // A migration moves a history over after this manager has read the key.
    storeOldEntries(2);
    EXPECT_EQ(history.loadHistory().size(), 2);
    history.log(QStringLiteral("next"), 1);
    const auto titles = [&] {
        QStringList out;
        for (const auto& e : stored()) {
            out << e.title;
        }
        return out;
    }();
    EXPECT_EQ(titles, (QStringList{"next", "old 0", "old 1"}));

    prefs.remove(HistoryManager::historyKey);
    EXPECT_TRUE(history.loadHistory().isEmpty());
}

TEST_F(HistoryManagerTest, AnEntryThatCannotBeEncodedLeavesTheStoreAsItWas) {
    history.log(QStringLiteral("kept"), 1);
    const auto before = prefs.dataValue(HistoryManager::historyKey);

    now = QDateTime(); // no valid completion time: the entry cannot be written
    history.log(QStringLiteral("lost"), 1);

    EXPECT_EQ(prefs.dataValue(HistoryManager::historyKey), before);
    ASSERT_EQ(history.loadHistory().size(), 1);
    EXPECT_EQ(history.loadHistory()[0].title, QStringLiteral("kept"));
}

} // namespace
