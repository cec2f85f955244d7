// The lock on the data folder: one holder at a time, none where the lock's place holds anything but a
// regular file of the user's own, and never a wait, whatever stands there.
#include "platform/DataFolderLock.h"
#include "platform/FaultPoint.h"

#include "support/PermissionsEnforced.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <functional>
#include <future>
#include <iostream>
#include <memory>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool makeFifo(const QString& path, mode_t mode) {
    const QByteArray name = QFile::encodeName(path);
    // Made, then given its mode, so the process's umask cannot change it.
    return ::mkfifo(name.constData(), mode) == 0 && ::chmod(name.constData(), mode) == 0;
}

} // namespace

TEST(DataFolderLockTest, OneHolderAtATimeAndNoneWhereTheLockFileIsNotTheUsersOwn) {
    using Holder = std::shared_ptr<void>;
    const auto lockFileOf = [](const QString& folder) { return DataFolderLock(folder).path(); };
    const struct {
        const char* behaviour;
        // Prepares the folder; returns what must live while the lock is tried; empty `skip` runs the row.
        std::function<Holder(const QString& folder)> before;
        DataFolderLock::State state;
        const char* error = ""; // how the reason ends, when the lock cannot be had
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
        {"a read-only folder holding the lock file of an earlier run",
         [&](const QString& folder) {
             EXPECT_TRUE(DataFolderLock(folder).take() == DataFolderLock::State::taken);
             EXPECT_TRUE(QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner));
             return Holder();
         },
         DataFolderLock::State::taken},
        {"a lock file that is a symlink to another file",
         [&](const QString& folder) {
             QFile target(folder + QStringLiteral("/target"));
             EXPECT_TRUE(target.open(QIODevice::WriteOnly));
             EXPECT_TRUE(QFile::link(target.fileName(), lockFileOf(folder)));
             return Holder();
         },
         DataFolderLock::State::unavailable, ": it is a symlink, not a regular file"},
        {"a symlink put at the lock's place between the look and the open",
         [&](const QString& folder) {
             QFile target(folder + QStringLiteral("/target"));
             EXPECT_TRUE(target.open(QIODevice::WriteOnly));
             FaultPoint::setHandler([from = target.fileName(), to = lockFileOf(folder)](const char* moment) {
                 if (std::strcmp(moment, "folder-lock.looked") == 0) {
                     QFile::link(from, to);
                 }
             });
             return Holder(nullptr, [](void*) { FaultPoint::setHandler(nullptr); });
         },
         DataFolderLock::State::unavailable, ": it is a symlink, not a regular file"},
        {"a lock file of another user",
         [&](const QString& folder) {
             QFile file(lockFileOf(folder));
             EXPECT_TRUE(file.open(QIODevice::WriteOnly));
             EXPECT_EQ(::chown(QFile::encodeName(file.fileName()).constData(), 65534, 65534), 0);
             return Holder();
         },
         DataFolderLock::State::unavailable, ": it is not a file of this user's (owner 65534)",
         ::geteuid() == 0 ? nullptr : "giving a file away needs root"},
        // An ordinary open of a FIFO waits for a writer that never comes.
        {"a FIFO the user may only read",
         [&](const QString& folder) {
             EXPECT_TRUE(makeFifo(lockFileOf(folder), 0444));
             return Holder();
         },
         DataFolderLock::State::unavailable, ": it is a FIFO, not a regular file"},
        {"a FIFO the user may write",
         [&](const QString& folder) {
             EXPECT_TRUE(makeFifo(lockFileOf(folder), 0600));
             return Holder();
         },
         DataFolderLock::State::unavailable, ": it is a FIFO, not a regular file"},
        {"a folder at the lock's place",
         [&](const QString& folder) {
             EXPECT_TRUE(QDir(folder).mkdir(QLatin1String(DataFolderLock::fileName)));
             return Holder();
         },
         DataFolderLock::State::unavailable, ": it is a folder, not a regular file"},
        // The folder's refusal is the cause, not that the file is missing.
        {"a read-only folder without the lock file",
         [](const QString& folder) {
             EXPECT_TRUE(QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner));
             return Holder();
         },
         DataFolderLock::State::unavailable, ": open: Permission denied"},
        {"a folder that is not there",
         [](const QString& folder) {
             EXPECT_TRUE(QDir(folder).removeRecursively());
             return Holder();
         },
         DataFolderLock::State::unavailable, ": open: No such file or directory"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.behaviour);
        if (row.skip) {
            std::cout << "skipped row \"" << row.behaviour << "\": " << row.skip << '\n';
            continue;
        }
        QTemporaryDir dir;
        const QString folder = dir.filePath(QStringLiteral("data"));
        ASSERT_TRUE(QDir().mkpath(folder));
        const Holder holder = row.before(folder);
        DataFolderLock lock(folder);
        QString error;
        // Tried as an ordinary user would (file permissions hold even for root), on a thread of its own, so
        // a take that waits fails the row instead of the whole run.
        auto taking = std::async(std::launch::async, [&] {
            const PermissionsEnforced enforced;
            return lock.take(&error);
        });
        if (taking.wait_for(std::chrono::seconds(5)) != std::future_status::ready) {
            ADD_FAILURE() << "taking the lock did not return";
            // A writer lets the waiting open go.
            const QByteArray name = QFile::encodeName(lock.path());
            ::chmod(name.constData(), 0600);
            const int writer = ::open(name.constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
            taking.wait();
            ::close(writer);
            continue;
        }
        EXPECT_EQ(taking.get(), row.state);
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        EXPECT_EQ(lock.isTaken(), row.state == DataFolderLock::State::taken);
        if (row.state == DataFolderLock::State::unavailable) {
            EXPECT_EQ(error, QStringLiteral("Cannot lock %1%2").arg(lock.path(), QLatin1String(row.error)));
        } else {
            EXPECT_TRUE(error.isEmpty()) << qPrintable(error);
        }
        if (row.state == DataFolderLock::State::taken) {
            // The user's alone to open.
            EXPECT_EQ(QFileInfo(lock.path()).permissions() &
                          (QFile::ReadGroup | QFile::ReadOther | QFile::WriteGroup | QFile::WriteOther),
                      QFile::Permissions());
            // Taken again by its holder, it stays taken; let go, another takes it.
            EXPECT_EQ(lock.take(), DataFolderLock::State::taken);
            EXPECT_EQ(DataFolderLock(folder).take(), DataFolderLock::State::held);
            lock.release();
            EXPECT_EQ(DataFolderLock(folder).take(), DataFolderLock::State::taken);
        }
    }
}
