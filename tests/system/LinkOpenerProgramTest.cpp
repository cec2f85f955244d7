// The desktop entry that scripts/run.sh registers for a build: xdg-open hands a quorvane:// link through it
// to the running program under every desktop it knows, and with none, wherever the build lies.
#include "ProgramFixture.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

class LinkOpenerProgramTest : public ProgramFixture {
public:
    // xdg-open and each desktop's own opener, which it calls.
    LinkOpenerProgramTest()
        : ProgramFixture({QStringLiteral("xdg-open"), QStringLiteral("xdg-mime"), QStringLiteral("gio"),
                          QStringLiteral("exo-open"), QStringLiteral("kde-open5")}) {}

    struct Run {
        int code = -1;
        QString errors;
    };
    // Runs `command` as a user's desktop would, under the desktop `desktop` names (none when empty).
    Run run(const QString& command, const QStringList& arguments, const QStringList& desktop) const {
        QProcessEnvironment env = environment();
        for (const char* name : {"XDG_CURRENT_DESKTOP", "DESKTOP_SESSION", "KDE_FULL_SESSION",
                                 "KDE_SESSION_VERSION", "GNOME_DESKTOP_SESSION_ID", "BROWSER"}) {
            env.remove(QLatin1String(name));
        }
        for (const QString& setting : desktop) {
            env.insert(setting.section(u'=', 0, 0), setting.section(u'=', 1));
        }
        // The openers keep their caches and settings in the test's home.
        env.insert(QStringLiteral("HOME"), home.path());
        env.insert(QStringLiteral("XDG_CACHE_HOME"), home.filePath(QStringLiteral("cache")));
        QProcess process;
        process.setProcessEnvironment(env);
        process.start(command, arguments);
        Run result;
        if (process.waitForFinished(kWaitMs) && process.exitStatus() == QProcess::NormalExit) {
            result.code = process.exitCode();
        }
        result.errors = QString::fromUtf8(process.readAllStandardError());
        return result;
    }
    Run registerProgram(const QString& program, const QStringList& desktop) const {
        return run(QStringLiteral("bash"), {QStringLiteral(TT_REGISTER_URL_HANDLER), program}, desktop);
    }
    // The program under `folder` in the test's home, as a build there would be.
    QString programIn(const QString& folder) const {
        const QString path = home.filePath(QStringLiteral("builds/") + folder);
        EXPECT_TRUE(QDir().mkpath(path));
        const QString program = path + QStringLiteral("/tarvolintimer");
        EXPECT_TRUE(QFile::link(QStringLiteral(TT_PROGRAM_PATH), program));
        return program;
    }
};

} // namespace

TEST_F(LinkOpenerProgramTest, XdgOpenHandsALinkToTheRunningProgramUnderEveryDesktopWhereverTheBuildLies) {
    const struct {
        const char* name;
        QStringList settings; // what the desktop sets in its programs' environment
    } desktops[] = {
        {"none", {}},
        {"GNOME", {QStringLiteral("XDG_CURRENT_DESKTOP=GNOME")}},
        {"XFCE", {QStringLiteral("XDG_CURRENT_DESKTOP=XFCE")}},
        {"KDE", {QStringLiteral("XDG_CURRENT_DESKTOP=KDE"), QStringLiteral("KDE_SESSION_VERSION=5")}},
    };
    const struct {
        const char* behaviour;
        QString folder;
        bool plain; // needs no quoting in a desktop entry, so xdg-open with no desktop reads it too
    } places[] = {
        {"a plain path", QStringLiteral("build"), true},
        {"a path in Japanese", QStringLiteral("ビルド"), true},
        {"a path with a space", QStringLiteral("my builds"), false},
        {"a path with double quotes", QStringLiteral("say \"hi\""), false},
        {"a path with a dollar sign", QStringLiteral("cost$HOME"), false},
        {"a path with a backslash, a backtick and an apostrophe", QStringLiteral("a\\b`c'd"), false},
    };
    Program first;
    first.start(environment());
    ASSERT_TRUE(first.waitFor(kReady)) << first.log().toStdString();
    int links = 0;
    for (const auto& place : places) {
        SCOPED_TRACE(place.behaviour);
        const QString program = programIn(place.folder);
        for (const auto& desktop : desktops) {
            SCOPED_TRACE(desktop.name);
            const Run registered = registerProgram(program, desktop.settings);
            EXPECT_EQ(registered.code, 0) << registered.errors.toStdString();
            // Where xdg-open alone cannot read the entry, registering says so in one line.
            EXPECT_EQ(registered.errors.count(u'\n'), place.plain ? 0 : 1) << registered.errors.toStdString();
            if (!place.plain && desktop.settings.isEmpty()) {
                EXPECT_TRUE(registered.errors.contains(QStringLiteral("must be quoted in its desktop entry")))
                    << registered.errors.toStdString();
                continue;
            }
            const QString title = QStringLiteral("Link%1").arg(++links);
            const Run opened =
                run(QStringLiteral("xdg-open"), {QStringLiteral("quorvane://start?minutes=7&title=") + title},
                    desktop.settings);
            EXPECT_EQ(opened.code, 0) << opened.errors.toStdString();
            EXPECT_TRUE(first.waitFor(QStringLiteral("Adding timer: title=\"%1\"").arg(title)))
                << opened.errors.toStdString() << first.log().toStdString();
        }
    }
    // A path no opener can read is not registered, and that is said in one line.
    const Run percent = registerProgram(programIn(QStringLiteral("100%")), {});
    EXPECT_EQ(percent.code, 1);
    EXPECT_EQ(percent.errors.count(u'\n'), 1) << percent.errors.toStdString();
    EXPECT_TRUE(percent.errors.contains(QStringLiteral("holds a '%'"))) << percent.errors.toStdString();
    stop(first);
}
