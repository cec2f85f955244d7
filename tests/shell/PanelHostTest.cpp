// Which kind of panel shows the item: told by the name of the process that owns the item watcher, and by
// the desktop's name only when that cannot be read.
#include "shell/PanelHost.h"

#include <QCoreApplication>
#include <QFile>

#include <gtest/gtest.h>

#include <unistd.h>

namespace {

TEST(PanelHostTest, TheWatchersOwnerTellsTheKindAndTheDesktopNameOnlyWhenItCannot) {
    const struct {
        const char* command;
        const char* desktop;
        PanelHostKind expected;
    } rows[] = {
        {"gnome-shell", "GNOME", PanelHostKind::label},
        {"gnome-shell", "KDE", PanelHostKind::label},       // the owner wins over the desktop's name
        {"kded5", "GNOME", PanelHostKind::square},          // a KDE watcher under a GNOME name
        {"panel-6-systray", "XFCE", PanelHostKind::square}, // the XFCE panel's tray plugin
        {"lxqt-panel", "LXQt", PanelHostKind::square},
        {"status-notifie", "", PanelHostKind::square}, // a standalone watcher, name cut by the kernel
        {"", "ubuntu:GNOME", PanelHostKind::label},    // unreadable owner: the desktop's name list
        {"", "gnome", PanelHostKind::label},
        {"", "XFCE", PanelHostKind::square},
        {"", "", PanelHostKind::square}, // nothing known: the form every panel reads
    };
    for (const auto& row : rows) {
        EXPECT_EQ(PanelHost::kindFor(QString::fromLatin1(row.command), QString::fromLatin1(row.desktop)),
                  row.expected)
            << row.command << " / " << row.desktop;
    }
}

TEST(PanelHostTest, AProcessNameIsReadFromProcAndAMissingOneIsEmpty) {
    QFile comm(QStringLiteral("/proc/self/comm"));
    ASSERT_TRUE(comm.open(QIODevice::ReadOnly));
    EXPECT_EQ(PanelHost::processCommand(quint32(getpid())), QString::fromUtf8(comm.readAll()).trimmed());
    EXPECT_EQ(PanelHost::processCommand(0), QString());
    EXPECT_EQ(PanelHost::processCommand(4'000'000'000u), QString());
}

} // namespace
