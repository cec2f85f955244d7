// Finding the event sounds that stand in for the named system sounds, in the theme's folders.
#include "services/SystemSoundTheme.h"
#include "support/Requirement.h"

#include "services/SoundCatalog.h"

#include "QStringPrinting.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>

namespace {

using namespace Qt::StringLiterals;

TEST(SystemSoundTheme, EverySystemSoundHasASoundOfItsOwnInTheInstalledTheme) {
    if (!QFileInfo::exists(u"/usr/share/sounds/freedesktop/index.theme"_s)) {
        TT_SKIP_OR_FAIL("the freedesktop sound theme is not installed (scripts/deps.sh installs it)");
    }
    const SystemSoundTheme theme({u"/usr/share"_s});
    QSet<QString> files;
    for (const auto& sound : SoundCatalog::system()) {
        SCOPED_TRACE(sound.resource.toStdString());
        const auto path = theme.filePath(sound.resource);
        ASSERT_TRUE(path.has_value());
        EXPECT_TRUE(path->endsWith(u"/"_s + *SystemSoundTheme::eventName(sound.resource) + u".oga"_s));
        files.insert(QFileInfo(*path).canonicalFilePath());
    }
    EXPECT_EQ(files.size(), SoundCatalog::system().size()); // fourteen names, fourteen different sounds
}

TEST(SystemSoundTheme, LookupFollowsTheFolderOrderAndSkipsWhatIsNotAFile) {
    struct Row {
        const char* behaviour;
        QStringList files; // under the temporary folder; a name ending in "/" is made a folder
        QString expected;  // relative to the temporary folder; empty for none
        QString name = u"Glass"_s;
    };
    const QList<Row> rows = {
        {"the profile folder",
         {u"a/sounds/freedesktop/stereo/bell.oga"_s},
         u"a/sounds/freedesktop/stereo/bell.oga"_s},
        {"the theme root when the profile folder lacks it",
         {u"a/sounds/freedesktop/bell.wav"_s},
         u"a/sounds/freedesktop/bell.wav"_s},
        {"the profile folder before the root",
         {u"a/sounds/freedesktop/bell.oga"_s, u"a/sounds/freedesktop/stereo/bell.ogg"_s},
         u"a/sounds/freedesktop/stereo/bell.ogg"_s},
        {"the user's folder before the system's",
         {u"a/sounds/freedesktop/stereo/bell.oga"_s, u"b/sounds/freedesktop/stereo/bell.oga"_s},
         u"a/sounds/freedesktop/stereo/bell.oga"_s},
        {"a later folder when the first has no theme",
         {u"b/sounds/freedesktop/stereo/bell.oga"_s},
         u"b/sounds/freedesktop/stereo/bell.oga"_s},
        {"the folders the theme's index names",
         {u"a/sounds/freedesktop/index.theme"_s, u"a/sounds/freedesktop/surround/bell.oga"_s},
         u"a/sounds/freedesktop/surround/bell.oga"_s},
        {"a folder named like the sound", {u"a/sounds/freedesktop/stereo/bell.oga/"_s}, QString()},
        {"a missing event file", {u"a/sounds/freedesktop/stereo/complete.oga"_s}, QString()},
        {"a name that is not a system sound",
         {u"a/sounds/freedesktop/stereo/bell.oga"_s},
         QString(),
         u"Chime"_s},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.behaviour);
        QTemporaryDir root;
        ASSERT_TRUE(root.isValid());
        const QDir dir(root.path());
        for (const auto& file : row.files) {
            if (file.endsWith(u'/')) {
                dir.mkpath(file);
                continue;
            }
            dir.mkpath(QFileInfo(file).path());
            QFile f(dir.filePath(file));
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            if (file.endsWith(u"index.theme"_s)) {
                f.write("[Sound Theme]\nName=Test\nDirectories=surround, stereo\n");
            }
        }
        const SystemSoundTheme theme({dir.filePath(u"a"_s), dir.filePath(u"b"_s)});
        const auto found = theme.filePath(row.name);
        EXPECT_EQ(found.value_or(QString()), row.expected.isEmpty() ? QString() : dir.filePath(row.expected));
    }
}

} // namespace
