#include "platform/ReduceMotion.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

TEST(ReduceMotionTest, AnnouncesOnlyRealChanges) {
    ASSERT_FALSE(ReduceMotion::enabled()); // motion is allowed until the shell says otherwise
    QSignalSpy spy(&ReduceMotion::instance(), &ReduceMotion::changed);
    const struct {
        const char* name;
        bool set;
        int announcements;
    } rows[] = {
        {"switching on announces", true, 1},
        {"setting it again is silent", true, 1},
        {"switching off announces", false, 2},
        {"off again is silent", false, 2},
    };
    for (const auto& row : rows) {
        ReduceMotion::setEnabled(row.set);
        EXPECT_EQ(ReduceMotion::enabled(), row.set) << row.name;
        EXPECT_EQ(spy.count(), row.announcements) << row.name;
    }
    EXPECT_EQ(spy.at(0).at(0).toBool(), true);
    EXPECT_EQ(spy.at(1).at(0).toBool(), false);
}
