#include "platform/StoredFile.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <climits>

#include <unistd.h>

namespace {

using namespace Qt::StringLiterals;

// What each fsync() of this program reached, by path: the test binary is linked with fsync wrapped
// (tests/platform/CMakeLists.txt), so the syncs a power cut depends on can be seen.
QStringList& synced() {
    static QStringList paths;
    return paths;
}

} // namespace

extern "C" int __real_fsync(int fd);
extern "C" int __wrap_fsync(int fd) {
    char target[PATH_MAX];
    const ssize_t length =
        ::readlink(QByteArray("/proc/self/fd/" + QByteArray::number(fd)).constData(), target, sizeof target);
    synced() << (length > 0 ? QFile::decodeName(QByteArray(target, length)) : u"?"_s);
    return __real_fsync(fd);
}

namespace {

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

TEST(StoredFileTest, ACopyAsideAndItsFolderAreSyncedWhetherMadeOrUsedAgain) {
    const QByteArray content = "[damaged";
    const struct {
        const char* behaviour;
        // Copies already there, by number: left by a run that may have ended before its syncs.
        QList<QByteArray> earlier;
        const char* expected;
    } rows[] = {
        {"a new copy", {}, "kept.corrupt"},
        {"an identical copy used again", {content}, "kept.corrupt"},
        {"an identical copy under a later number used again", {"other", content}, "kept.2.corrupt"},
        {"a new copy beside one that differs", {"other"}, "kept.2.corrupt"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.behaviour);
        QTemporaryDir dir;
        const QString folder = QFileInfo(dir.path()).canonicalFilePath();
        const QString stem = folder + u"/kept"_s;
        for (int n = 0; n < row.earlier.size(); ++n) {
            writeFile(StoredFile::numberedName(stem, u".corrupt"_s, n + 1), row.earlier.at(n));
        }
        synced().clear();
        QString error;
        const QString copy = StoredFile::writeAside(
            stem, u".corrupt"_s,
            [&](const StoredFile::Sink& sink) { return sink(content.constData(), content.size()); }, &error);
        EXPECT_EQ(copy, folder + u'/' + QLatin1StringView(row.expected)) << error.toStdString();
        // The copy's content, then its name in the folder: both on disk before anyone relies on the copy.
        EXPECT_EQ(synced(), (QStringList{copy, folder})) << synced().join(u", "_s).toStdString();
    }
}

} // namespace
