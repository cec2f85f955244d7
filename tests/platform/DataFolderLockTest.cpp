// The lock on the data folder: one holder at a time, and none where the lock file is not the user's own.
#include "platform/DataFolderLock.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <iostream>
#include <memory>

#include <unistd.h>

TEST(DataFolderLockTest, OneHolderAtATimeAndNoneWhereTheLockFileIsNotTheUsersOwn) {
    using Holder = std::shared_ptr<void>;
    const struct {
        const char* behaviour;
        // Prepares the folder; returns what must live while the lock is tried; empty `skip` runs the row.
        std::function<Holder(const QString& folder)> before;
        DataFolderLock::State state;
        const char* skip = nullptr;
    } rows[] = {
        {"a free folder", [](const QString&) { return Holder(); }, DataFolderLock::State::taken},
        {"a folder another holder has",
         [](const QString& folder) {
             auto other = std::make_shared<DataFolderLock>(folder);
             EXPECT_EQ(other->take(), DataFolderLock::State::taken);
             return Holder(other);
         },
         DataFolderLock::State::held},
        {"a folder whose holder let go",
         [](const QString& folder) {
             DataFolderLock other(folder);
             EXPECT_EQ(other.take(), DataFolderLock::State::taken);
             other.release();
             return Holder();
         },
         DataFolderLock::State::taken},
        // Removal undoes a lock: that case is the door's to decide.
        {"a folder whose lock file was removed while held",
         [](const QString& folder) {
             auto other = std::make_shared<DataFolderLock>(folder);
             EXPECT_EQ(other->take(), DataFolderLock::State::taken);
             EXPECT_TRUE(QFile::remove(other->path()));
             return Holder(other);
         },
         DataFolderLock::State::taken},
        {"a lock file that is a symlink to another file",
         [](const QString& folder) {
             QFile target(folder + QStringLiteral("/target"));
             EXPECT_TRUE(target.open(QIODevice::WriteOnly));
             EXPECT_TRUE(QFile::link(target.fileName(), DataFolderLock(folder).path()));
             return Holder();
         },
         DataFolderLock::State::unavailable},
        {"a lock file of another user",
         [](const QString& folder) {
             QFile file(DataFolderLock(folder).path());
             EXPECT_TRUE(file.open(QIODevice::WriteOnly));
             EXPECT_EQ(::chown(QFile::encodeName(file.fileName()).constData(), 65534, 65534), 0);
             return Holder();
         },
         DataFolderLock::State::unavailable, ::geteuid() == 0 ? nullptr : "giving a file away needs root"},
        {"a folder that is not there",
         [](const QString& folder) {
             EXPECT_TRUE(QDir(folder).removeRecursively());
             return Holder();
         },
         DataFolderLock::State::unavailable},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.behaviour);
        if (row.skip) {
            std::cout << "skipped row \"" << row.behaviour << "\": " << row.skip << '\n';
            continue;
        }
        QTemporaryDir dir;
        const Holder holder = row.before(dir.path());
        DataFolderLock lock(dir.path());
        QString error;
        EXPECT_EQ(lock.take(&error), row.state);
        EXPECT_EQ(lock.isTaken(), row.state == DataFolderLock::State::taken);
        EXPECT_EQ(error.isEmpty(), row.state != DataFolderLock::State::unavailable) << qPrintable(error);
        if (row.state == DataFolderLock::State::taken) {
            // The user's alone to open.
            EXPECT_EQ(QFileInfo(lock.path()).permissions() &
                          (QFile::ReadGroup | QFile::ReadOther | QFile::WriteGroup | QFile::WriteOther),
                      QFile::Permissions());
            // Taken again by its holder, it stays taken; let go, another takes it.
            EXPECT_EQ(lock.take(), DataFolderLock::State::taken);
            EXPECT_EQ(DataFolderLock(dir.path()).take(), DataFolderLock::State::held);
            lock.release();
            EXPECT_EQ(DataFolderLock(dir.path()).take(), DataFolderLock::State::taken);
        }
    }
}
