// A data folder removed and made anew is locked again by the copy that held the old one, unless another
// process was first.
#include "platform/DataFolderLock.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>

TEST(DataFolderLockTest, ALockRenewedAfterItsFolderWasMadeAnewHoldsTheNewOne) {
    using Result = DataFolderLock::Result;
    const struct {
        const char* behaviour;
        std::function<void(const QString& folder, DataFolderLock& other)> meanwhile;
        Result renewed;
        Result later; // what a later process's take() gets afterwards
    } rows[] = {
        {"the folder left alone", [](const QString&, DataFolderLock&) {}, Result::taken, Result::held},
        {"the folder removed and made anew",
         [](const QString& folder, DataFolderLock&) {
             QDir(folder).removeRecursively();
             QDir().mkpath(folder);
         },
         Result::taken, Result::held},
        // It comes back with the next save.
        {"the folder removed",
         [](const QString& folder, DataFolderLock&) { QDir(folder).removeRecursively(); }, Result::taken,
         Result::unavailable},
        {"the folder made anew and locked by another first",
         [](const QString& folder, DataFolderLock& other) {
             QDir(folder).removeRecursively();
             QDir().mkpath(folder);
             QString error;
             EXPECT_EQ(other.take(&error), Result::taken);
         },
         Result::held, Result::held},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.behaviour);
        QTemporaryDir dir;
        const QString folder = dir.filePath(QStringLiteral("data"));
        // The lock file stands in only where the folder cannot be locked: here, once the folder is gone.
        const QString lockFile = dir.filePath(QStringLiteral("missing/lock"));
        ASSERT_TRUE(QDir().mkpath(folder));
        DataFolderLock lock(folder, lockFile);
        DataFolderLock other(folder, lockFile);
        QString error;
        ASSERT_EQ(lock.take(&error), Result::taken) << error.toStdString();
        row.meanwhile(folder, other);
        EXPECT_EQ(lock.renew(), row.renewed);
        DataFolderLock later(folder, lockFile);
        EXPECT_EQ(later.take(&error), row.later) << error.toStdString();
        EXPECT_EQ(QFileInfo::exists(folder), row.later != Result::unavailable) << "never made by the lock";
    }
}
