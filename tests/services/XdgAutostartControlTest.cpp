// The autostart entry on a temporary $XDG_CONFIG_HOME: what counts as registered, what we write, what we
// remove, and how failures read.
#include "services/XdgAutostartControl.h"

#include "support/PermissionsEnforced.h"
#include "QStringPrinting.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>

namespace {

using namespace Qt::StringLiterals;

// Sets an environment variable for the life of the object.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const QByteArray& value)
        : m_name(name), m_had(qEnvironmentVariableIsSet(name)) {
        m_old = qgetenv(name);
        qputenv(name, value);
    }
    ~ScopedEnv() {
        if (m_had) {
            qputenv(m_name, m_old);
        } else {
            qunsetenv(m_name);
        }
    }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    const char* m_name;
    bool m_had;
    QByteArray m_old;
};

class XdgAutostartControlTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_root.isValid()); }

    QString configHome() const { return m_root.filePath(u"config"_s); }
    QString autostartDir() const { return configHome() + u"/autostart"_s; }
    QString entryPath() const { return autostartDir() + u"/tarvolintimer.desktop"_s; }
    QString outsidePath() const { return m_root.filePath(u"elsewhere.desktop"_s); }

    static void write(const QString& path, const QByteArray& bytes) {
        QDir().mkpath(QFileInfo(path).path());
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
        file.write(bytes);
    }
    static QByteArray read(const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    static QStringList entryLines(const QString& path) {
        return QString::fromUtf8(read(path)).split(u'\n', Qt::SkipEmptyParts);
    }

    QTemporaryDir m_root;
    ScopedEnv m_env{"XDG_CONFIG_HOME", QByteArray()}; // each test points it at its own folder
};

// What another tool or the user might have left at our path.
const QByteArray kEnabledEntry = "[Desktop Entry]\nType=Application\nName=Other\nExec=/usr/bin/other\n";

TEST_F(XdgAutostartControlTest, EntryLivesInTheAutostartFolderOfTheConfigHome) {
    struct Row {
        const char* behaviour;
        QByteArray xdgConfigHome; // empty: unset
        QString expected;
    };
    const QString home = m_root.filePath(u"home"_s);
    const std::vector<Row> rows = {
        {"XDG_CONFIG_HOME names the folder", configHome().toUtf8(),
         configHome() + u"/autostart/tarvolintimer.desktop"_s},
        {"without it, ~/.config is the folder", {}, home + u"/.config/autostart/tarvolintimer.desktop"_s},
        {"a relative one is ignored, as the standard says", "relative/config",
         home + u"/.config/autostart/tarvolintimer.desktop"_s},
    };
    const ScopedEnv homeEnv("HOME", home.toUtf8());
    for (const Row& row : rows) {
        SCOPED_TRACE(row.behaviour);
        if (row.xdgConfigHome.isEmpty()) {
            qunsetenv("XDG_CONFIG_HOME");
        } else {
            qputenv("XDG_CONFIG_HOME", row.xdgConfigHome);
        }
        EXPECT_EQ(XdgAutostartControl().filePath(), row.expected);
    }
}

TEST_F(XdgAutostartControlTest, RegisteredOnlyForAReadableEntryThatIsSwitchedOn) {
    struct Row {
        const char* behaviour;
        std::function<void()> arrange;
        bool registered;
    };
    const std::vector<Row> rows = {
        {"nothing there", [] {}, false},
        {"our own entry",
         [] {
             QString e;
             XdgAutostartControl().registerItem(&e);
         },
         true},
        {"another tool's entry that is on", [&] { write(entryPath(), kEnabledEntry); }, true},
        {"switched off by the GNOME key",
         [&] { write(entryPath(), kEnabledEntry + "X-GNOME-Autostart-enabled=false\n"); }, false},
        {"switched off with spaces and 0",
         [&] { write(entryPath(), kEnabledEntry + "X-GNOME-Autostart-enabled = 0\n"); }, false},
        {"hidden", [&] { write(entryPath(), kEnabledEntry + "Hidden=true\n"); }, false},
        {"the last of a repeated key counts",
         [&] { write(entryPath(), kEnabledEntry + "Hidden=true\nHidden=false\n"); }, true},
        {"Hidden in another group does not count",
         [&] { write(entryPath(), kEnabledEntry + "[Desktop Action quit]\nHidden=true\n"); }, true},
        {"not a desktop entry", [&] { write(entryPath(), "Exec=/usr/bin/other\n"); }, false},
        {"an empty file", [&] { write(entryPath(), ""); }, false},
        {"a folder in its place", [&] { QDir().mkpath(entryPath()); }, false},
        {"a link to an entry outside the folder",
         [&] {
             write(outsidePath(), kEnabledEntry);
             QDir().mkpath(autostartDir());
             QFile::link(outsidePath(), entryPath());
         },
         false},
        {"an entry we cannot read",
         [&] {
             write(entryPath(), kEnabledEntry);
             QFile::setPermissions(entryPath(), QFileDevice::WriteOwner);
         },
         false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.behaviour);
        QDir(configHome()).removeRecursively();
        QFile::remove(outsidePath());
        qputenv("XDG_CONFIG_HOME", configHome().toUtf8());
        row.arrange();
        const PermissionsEnforced enforced;
        EXPECT_EQ(XdgAutostartControl().isRegistered(), row.registered);
    }
}

TEST_F(XdgAutostartControlTest, RegisterWritesAnEntryThatStartsThisProgram) {
    struct Row {
        const char* behaviour;
        std::function<void()> arrange;
    };
    const std::vector<Row> rows = {
        {"into a config home that does not exist yet", [] {}},
        {"over an entry another tool switched off",
         [&] { write(entryPath(), kEnabledEntry + "X-GNOME-Autostart-enabled=false\nHidden=true\n"); }},
        {"in place of a link, leaving its target alone",
         [&] {
             write(outsidePath(), kEnabledEntry);
             QDir().mkpath(autostartDir());
             QFile::link(outsidePath(), entryPath());
         }},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.behaviour);
        QDir(configHome()).removeRecursively();
        QFile::remove(outsidePath());
        qputenv("XDG_CONFIG_HOME", configHome().toUtf8());
        row.arrange();
        const QByteArray outsideBefore = read(outsidePath());

        XdgAutostartControl control;
        QString error;
        ASSERT_TRUE(control.registerItem(&error)) << error.toStdString();

        EXPECT_TRUE(control.isRegistered());
        const QFileInfo info(entryPath());
        EXPECT_TRUE(info.isFile() && !info.isSymLink());
        const QStringList lines = entryLines(entryPath());
        EXPECT_EQ(lines.value(0), u"[Desktop Entry]"_s);
        // The test binary's path holds no character that needs quoting.
        EXPECT_TRUE(lines.contains(u"Exec="_s + QCoreApplication::applicationFilePath()))
            << lines.join(u'|').toStdString();
        EXPECT_TRUE(lines.contains(u"Type=Application"_s));
        EXPECT_TRUE(lines.contains(u"X-GNOME-Autostart-enabled=true"_s));
        EXPECT_FALSE(lines.contains(u"Hidden=true"_s));
        EXPECT_EQ(read(outsidePath()), outsideBefore);
        // Nothing but the entry is left in the folder (the atomic write's temporary file is gone).
        EXPECT_EQ(QDir(autostartDir()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
                  QStringList{u"tarvolintimer.desktop"_s});
    }
}

TEST_F(XdgAutostartControlTest, ExecNamesTheProgramAsDesktopEntriesRequire) {
    struct Row {
        const char* behaviour;
        QString programPath;
        QString exec; // the Exec value in the file; empty: the path cannot be written
    };
    const std::vector<Row> rows = {
        {"a plain path as it is", u"/usr/bin/tarvolintimer"_s, u"/usr/bin/tarvolintimer"_s},
        {"a space quotes it", u"/opt/My Apps/tt"_s, u"\"/opt/My Apps/tt\""_s},
        {"a single quote quotes it unescaped", u"/opt/it's/tt"_s, u"\"/opt/it's/tt\""_s},
        {"a dollar is escaped inside quotes, and that backslash as a string", u"/opt/a$b/tt"_s,
         u"\"/opt/a\\\\$b/tt\""_s},
        {"a double quote likewise", u"/opt/say\"hi\"/tt"_s, u"\"/opt/say\\\\\"hi\\\\\"/tt\""_s},
        {"a backslash becomes four", u"/opt/back\\slash/tt"_s, u"\"/opt/back\\\\\\\\slash/tt\""_s},
        {"a percent sign is doubled, not a field code", u"/opt/100%/tt"_s, u"/opt/100%%/tt"_s},
        {"a relative path cannot start anything", u"bin/tt"_s, {}},
        {"an equals sign is not allowed in the program", u"/opt/a=b/tt"_s, {}},
        {"a line break cannot be written", u"/opt/line\nbreak/tt"_s, {}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.behaviour);
        const QByteArray entry = XdgAutostartControl::desktopEntry(row.programPath);
        if (row.exec.isEmpty()) {
            EXPECT_TRUE(entry.isEmpty());
            XdgAutostartControl control(autostartDir(), u"tarvolintimer"_s, row.programPath);
            QString error;
            EXPECT_FALSE(control.registerItem(&error));
            EXPECT_TRUE(error.contains(row.programPath)) << error.toStdString();
            EXPECT_FALSE(QFileInfo::exists(entryPath()));
        } else {
            const QStringList lines = QString::fromUtf8(entry).split(u'\n');
            EXPECT_TRUE(lines.contains(u"Exec="_s + row.exec)) << lines.join(u'|').toStdString();
        }
    }
}

TEST_F(XdgAutostartControlTest, UnregisterRemovesOnlyOurEntry) {
    struct Row {
        const char* behaviour;
        std::function<void()> arrange;
        bool folderLeftAtPath;
    };
    const std::vector<Row> rows = {
        {"our entry",
         [] {
             QString e;
             XdgAutostartControl().registerItem(&e);
         },
         false},
        {"another tool's disabled entry at our path",
         [&] { write(entryPath(), kEnabledEntry + "Hidden=true\n"); }, false},
        {"a link: the link goes, its target stays",
         [&] {
             write(outsidePath(), kEnabledEntry);
             QDir().mkpath(autostartDir());
             QFile::link(outsidePath(), entryPath());
         },
         false},
        {"a dangling link",
         [&] {
             QDir().mkpath(autostartDir());
             QFile::link(m_root.filePath(u"gone.desktop"_s), entryPath());
         },
         false},
        {"nothing there", [] {}, false},
        {"a folder in its place stays", [&] { QDir().mkpath(entryPath() + u"/inside"_s); }, true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.behaviour);
        QDir(configHome()).removeRecursively();
        QFile::remove(outsidePath());
        qputenv("XDG_CONFIG_HOME", configHome().toUtf8());
        row.arrange();
        // Someone else's entry beside ours.
        write(autostartDir() + u"/other.desktop"_s, kEnabledEntry);
        const QByteArray outsideBefore = read(outsidePath());

        XdgAutostartControl control;
        QString error;
        EXPECT_TRUE(control.unregisterItem(&error)) << error.toStdString();

        EXPECT_FALSE(control.isRegistered());
        EXPECT_EQ(QFileInfo(entryPath()).isDir(), row.folderLeftAtPath);
        EXPECT_EQ(QFileInfo(entryPath()).isSymLink(), false);
        EXPECT_EQ(read(outsidePath()), outsideBefore);
        EXPECT_EQ(read(autostartDir() + u"/other.desktop"_s), kEnabledEntry);
    }
}

TEST_F(XdgAutostartControlTest, FailuresChangeNothingAndSayWhy) {
    enum class Op { registerItem, unregisterItem };
    struct Row {
        const char* behaviour;
        std::function<void()> arrange;
        Op op;
        QString says; // a fragment the description must hold
        bool registeredAfter;
    };
    const std::vector<Row> rows = {
        {"register into a read-only folder",
         [&] {
             QDir().mkpath(autostartDir());
             QFile::setPermissions(autostartDir(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
         },
         Op::registerItem, u"could not write "_s + entryPath(), false},
        {"register where a file stands in the folder's place", [&] { write(autostartDir(), "not a folder"); },
         Op::registerItem, autostartDir() + u" is not a folder"_s, false},
        {"register where a folder stands in the entry's place", [&] { QDir().mkpath(entryPath()); },
         Op::registerItem, entryPath() + u" is a folder"_s, false},
        {"register under a config home we cannot create",
         [&] {
             QDir().mkpath(configHome());
             QFile::setPermissions(configHome(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
         },
         Op::registerItem, u"could not create the folder "_s + autostartDir(), false},
        {"unregister from a read-only folder",
         [&] {
             QString e;
             XdgAutostartControl().registerItem(&e);
             QFile::setPermissions(autostartDir(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
         },
         Op::unregisterItem, u"could not remove "_s + entryPath(), true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.behaviour);
        if (QFileInfo::exists(autostartDir())) {
            QFile::setPermissions(autostartDir(),
                                  QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        }
        QFile::setPermissions(configHome(),
                              QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        QDir(configHome()).removeRecursively();
        qputenv("XDG_CONFIG_HOME", configHome().toUtf8());
        row.arrange();

        XdgAutostartControl control;
        QString error;
        bool ok = true;
        {
            const PermissionsEnforced enforced;
            ok = row.op == Op::registerItem ? control.registerItem(&error) : control.unregisterItem(&error);
        }
        EXPECT_FALSE(ok);
        EXPECT_TRUE(error.contains(row.says)) << error.toStdString();
        EXPECT_EQ(control.isRegistered(), row.registeredAfter);
    }
    QFile::setPermissions(autostartDir(),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    QFile::setPermissions(configHome(),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

} // namespace
