// While no timer runs, the panel item keeps quiet: a minute passes with no signal on the bus from the item
// or its menu, whatever the label shows.
#include "PanelItemBusFixture.h"

namespace {

class PanelIdleTest : public PanelItemBusFixture {};

TEST_F(PanelIdleTest, AMinuteWithNoRunningTimerSendsNothing) {
    // A paused timer keeps its time in the label; an idle one behind it waits to be started.
    manager->pause(add("tea", 245).id);
    add("later", 600, false);
    settings.setMenuBarDisplayModeRaw(QStringLiteral("iconAndTime"));
    startShownItem();
    const QStringList heard = host->listenToAllSignals({kItemPath, kMenuPath});
    // The protocol's change signals are among those heard.
    for (const char* name :
         {"org.kde.StatusNotifierItem.NewIcon", "org.kde.StatusNotifierItem.NewToolTip",
          "org.kde.StatusNotifierItem.XAyatanaNewLabel", "com.canonical.dbusmenu.LayoutUpdated",
          "com.canonical.dbusmenu.ItemsPropertiesUpdated"}) {
        EXPECT_TRUE(heard.contains(QString::fromLatin1(name))) << name;
    }
    // A panel reads everything once, as it does when the item appears.
    host->call(kItemPath, QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("GetAll"),
               {kItemInterface});
    menuLayout();
    sync();
    host->clearSignals();

    EXPECT_FALSE(manager->isTicking());
    QTest::qWait(60'000);
    sync();
    EXPECT_EQ(host->signalsSeen(), QStringList());
    EXPECT_FALSE(manager->isTicking());
    EXPECT_EQ(label->content().timeText, QStringLiteral("04:05"));
}

} // namespace
