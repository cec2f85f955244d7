// A jump of the wall clock is announced; nothing is announced otherwise.
#include "platform/WallClockWatcher.h"

#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <cerrno>
#include <ctime>

TEST(WallClockWatcherTest, SettingTheClockIsAnnouncedOnceAndTheWatchGoesOn) {
    WallClockWatcher watcher;
    ASSERT_TRUE(watcher.isWatching());
    QSignalSpy changed(&watcher, &WallClockWatcher::clockChanged);
    QTest::qWait(100);
    EXPECT_EQ(changed.size(), 0) << "no announcement while the clock runs on";

    for (int round = 1; round <= 2; ++round) {
        SCOPED_TRACE(round);
        // Set to what it already reads: a jump of a few microseconds, but a jump all the same.
        timespec now{};
        ::clock_gettime(CLOCK_REALTIME, &now);
        if (::clock_settime(CLOCK_REALTIME, &now) != 0) {
            GTEST_SKIP() << "not allowed to set the clock here (errno " << errno << ")";
        }
        EXPECT_TRUE(QTest::qWaitFor([&] { return changed.size() == round; }, 2000));
    }
}
