// The panel item over a private bus, read by a test panel the way desktop panels read it: registration,
// the properties for each display mode and main-timer state, clicks, the exported menu and its events,
// and registering again when the watcher restarts.
#include "PanelItemBusFixture.h"

#include "platform/Preferences.h"
#include "shell/LabelRenderer.h"

#include <QDir>
#include <QMenu>
#include <QPainter>
#include <QRegularExpression>
#include <QSignalSpy>

#include <functional>
#include <map>
#include <vector>

namespace {

using Presence = PanelItem::Presence;

class PanelItemBusTest : public PanelItemBusFixture {
protected:
    // The picture a panel 22 pixels high takes.
    QImage picture22() {
        for (const PanelIconPixmap& p : iconPixmaps()) {
            if (p.height == 22) {
                return LabelRenderer::fromIconPixmap(p);
            }
        }
        return {};
    }
};

TEST_F(PanelItemBusTest, RegistersAndDescribesItselfToPanels) {
    startShownItem();
    const FakeStatusNotifierWatcher::Registration& registration = watcher->registrations().constFirst();
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^org\\.kde\\.StatusNotifierItem-\\d+-\\d+$"))
                    .match(registration.service)
                    .hasMatch())
        << registration.service.toStdString();
    EXPECT_EQ(item->presence(), Presence::statusNotifier);
    EXPECT_TRUE(item->isTrayAvailable());

    // Panels find every property, with its type, in the introspection data.
    const QString xml = host->introspect(kItemPath);
    const struct {
        const char* name;
        const char* type;
    } properties[] = {
        {"Category", "s"},
        {"Id", "s"},
        {"Title", "s"},
        {"Status", "s"},
        {"WindowId", "i"},
        {"IconName", "s"},
        {"IconPixmap", "a(iiay)"},
        {"ToolTip", "(sa(iiay)ss)"},
        {"ItemIsMenu", "b"},
        {"Menu", "o"},
        {"XAyatanaLabel", "s"},
        {"XAyatanaLabelGuide", "s"},
    };
    for (const auto& p : properties) {
        const QString declared = QStringLiteral("<property name=\"%1\" type=\"%2\"")
                                     .arg(QLatin1String(p.name), QLatin1String(p.type));
        EXPECT_TRUE(xml.contains(declared)) << p.name;
    }
    for (const char* method : {"Activate", "SecondaryActivate", "ContextMenu", "Scroll"}) {
        EXPECT_TRUE(xml.contains(QStringLiteral("<method name=\"%1\"").arg(QLatin1String(method)))) << method;
    }

    EXPECT_EQ(itemProperty("Category").toString(), QStringLiteral("ApplicationStatus"));
    EXPECT_EQ(itemProperty("Id").toString(), QStringLiteral("TarvolinTimer"));
    EXPECT_EQ(itemProperty("Title").toString(), QStringLiteral("TarvolinTimer"));
    EXPECT_EQ(itemProperty("Status").toString(), QStringLiteral("Active"));
    EXPECT_EQ(itemProperty("ItemIsMenu"), QVariant(false));
    const QString menuPath = itemProperty("Menu").value<QDBusObjectPath>().path();
    EXPECT_EQ(menuPath, kMenuPath);
    const QString menuXml = host->introspect(menuPath);
    for (const char* method : {"GetLayout", "GetGroupProperties", "GetProperty", "Event", "EventGroup",
                               "AboutToShow", "AboutToShowGroup"}) {
        EXPECT_TRUE(menuXml.contains(QStringLiteral("<method name=\"%1\"").arg(QLatin1String(method))))
            << method;
    }
    for (const char* signal : {"LayoutUpdated", "ItemsPropertiesUpdated"}) {
        EXPECT_TRUE(menuXml.contains(QStringLiteral("<signal name=\"%1\"").arg(QLatin1String(signal))))
            << signal;
    }
    EXPECT_EQ(host->property(menuPath, kMenuInterface, QStringLiteral("Version")).toUInt(), 3u);
}

TEST_F(PanelItemBusTest, LabelFollowsTheDisplayModeAndTheMainTimer) {
    startShownItem();
    enum class State { none, running, paused };
    const struct {
        const char* name;
        State state;
        std::function<void()> setUp;
    } states[] = {
        {"no timer", State::none, [] {}},
        // An alarm follows the clock, which stands still here: its text holds.
        {"running", State::running, [&] { manager->addAlarm(QStringLiteral("call"), now.addSecs(245)); }},
        {"paused", State::paused, [&] { manager->pause(add("tea", 245).id); }},
    };
    const char* const modes[] = {"timeOnly", "iconOnly", "iconAndTime", "sideways"};

    std::map<std::pair<std::string, int>, QImage> pictures;
    struct Shot {
        QString caption;
        QImage picture;
        QString label;
    };
    QList<Shot> shots;
    for (const auto& state : states) {
        manager->removeTimer(QUuid()); // nothing
        while (!manager->timers().isEmpty()) {
            manager->removeTimer(manager->timers().constFirst().id);
        }
        state.setUp();
        for (const char* mode : modes) {
            settings.setMenuBarDisplayModeRaw(QString::fromLatin1(mode));
            const std::string where = std::string(state.name) + ", " + mode;
            const bool showsTime = state.state != State::none && std::string(mode) != "iconOnly";
            const QString timeText = label->content().timeText;

            const QString shownLabel = itemProperty("XAyatanaLabel").toString();
            EXPECT_EQ(shownLabel, showsTime ? timeText : QString()) << where;
            if (showsTime) {
                EXPECT_FALSE(timeText.isEmpty()) << where;
                EXPECT_EQ(itemProperty("XAyatanaLabelGuide").toString().size(), timeText.size()) << where;
            }
            if (state.state == State::paused && showsTime) {
                EXPECT_EQ(shownLabel, QStringLiteral("04:05")) << where;
            }
            // The tooltip holds the whole text whenever a timer is the main one, the name otherwise.
            EXPECT_EQ(toolTip().title,
                      state.state == State::none ? QStringLiteral("TarvolinTimer") : timeText)
                << where;

            const PanelIconPixmapList pixmaps = iconPixmaps();
            ASSERT_EQ(pixmaps.size(), LabelRenderer::offeredHeights().size()) << where;
            for (qsizetype i = 0; i < pixmaps.size(); ++i) {
                EXPECT_EQ(pixmaps[i].height, LabelRenderer::offeredHeights()[i]) << where;
            }
            const QImage picture = picture22();
            ASSERT_FALSE(picture.isNull()) << where;
            pictures[{mode, int(state.state)}] = picture;
            shots.push_back({QStringLiteral("%1, %2").arg(QLatin1String(state.name), QLatin1String(mode)),
                             picture, shownLabel});
        }
    }

    const auto at = [&](const char* mode, State state) { return pictures[{mode, int(state)}]; };
    for (const char* mode : modes) {
        EXPECT_EQ(at(mode, State::none), at("timeOnly", State::none)) << mode << ": no timer shows the icon";
        EXPECT_EQ(at(mode, State::none).width(), 22) << mode << ": the icon alone is square";
        EXPECT_EQ(at("sideways", State(int(State::none))), at("timeOnly", State::none));
    }
    for (State s : {State::running, State::paused}) {
        EXPECT_EQ(at("iconOnly", s), at("iconOnly", State::none)) << "icon only never shows the time";
        EXPECT_EQ(at("sideways", s), at("timeOnly", s)) << "an unknown mode reads as time only";
        EXPECT_GT(at("timeOnly", s).width(), 22);
    }
    EXPECT_GT(at("timeOnly", State::paused).width(), at("timeOnly", State::paused).height());
    EXPECT_GT(at("iconAndTime", State::paused).width(), at("timeOnly", State::paused).width())
        << "icon and time: the icon before the pause mark";

    // Icon styles: an unknown one reads as the wind-up timer; the others look different.
    settings.setMenuBarDisplayModeRaw(QStringLiteral("iconOnly"));
    QImage byStyle[3];
    const char* const styles[] = {"windup", "bogus", "clock"};
    for (int i = 0; i < 3; ++i) {
        settings.setMenuBarIconStyleRaw(QString::fromLatin1(styles[i]));
        byStyle[i] = picture22();
    }
    EXPECT_EQ(byStyle[1], byStyle[0]);
    EXPECT_NE(byStyle[2], byStyle[0]);

    // Pictures for people: as a panel showing only pictures and as one showing the text beside them, on a
    // light and on a dark panel.
    QDir().mkpath(QStringLiteral("panel-item"));
    for (const auto& [name, panel] :
         {std::pair{"light", QColor(0xf2, 0xf2, 0xf2)}, std::pair{"dark", QColor(0x2b, 0x2b, 0x2b)}}) {
        QImage sheet(640, 30 * int(shots.size()) + 10, QImage::Format_ARGB32);
        sheet.fill(Qt::white);
        QPainter p(&sheet);
        p.setFont(LabelRenderer::font(16));
        for (qsizetype i = 0; i < shots.size(); ++i) {
            const int y = 5 + 30 * int(i);
            p.setPen(Qt::black);
            p.drawText(QRect(5, y, 200, 22), Qt::AlignVCenter, shots[i].caption);
            p.fillRect(QRect(210, y, 420, 22), panel);
            p.drawImage(215, y, shots[i].picture);
            p.drawImage(360, y, shots[i].picture);
            p.setPen(panel.lightnessF() < 0.5 ? Qt::white : Qt::black);
            p.setFont(LabelRenderer::font(22));
            p.drawText(QRect(364 + shots[i].picture.width(), y, 200, 22), Qt::AlignVCenter, shots[i].label);
            p.setFont(LabelRenderer::font(16));
        }
        p.end();
        EXPECT_TRUE(sheet.save(QStringLiteral("panel-item/label-%1.png").arg(QLatin1String(name))));
    }
}

TEST_F(PanelItemBusTest, ClicksReachTheProgramAtTheirPoint) {
    startShownItem();
    const QList<QPoint> points{{10, 20}, {0, 0}, {1900, 1060}, {-40, 5}};
    for (const QPoint& point : points) {
        const QDBusMessage reply =
            host->call(kItemPath, kItemInterface, QStringLiteral("Activate"), {point.x(), point.y()});
        EXPECT_EQ(reply.type(), QDBusMessage::ReplyMessage) << reply.errorMessage().toStdString();
    }
    EXPECT_EQ(activations, points);

    // A right click that the panel leaves to us opens the menu, as the language has it.
    settings.setAppLanguageRaw(QStringLiteral("en"));
    host->call(kItemPath, kItemInterface, QStringLiteral("ContextMenu"), {300, 200});
    ASSERT_NE(item->contextMenu(), nullptr);
    EXPECT_TRUE(QTest::qWaitFor([&] { return item->contextMenu()->isVisible(); }, kWaitMs));
    QStringList titles;
    for (const QAction* action : item->contextMenu()->actions()) {
        titles << (action->isSeparator() ? QStringLiteral("-") : action->text());
    }
    EXPECT_EQ(titles, (QStringList{QStringLiteral("Quick Timer"), QStringLiteral("-"),
                                   QStringLiteral("Floating Window"), QStringLiteral("-"),
                                   QStringLiteral("Quit TarvolinTimer")}));
    item->contextMenu()->hide();
    EXPECT_EQ(activations, points) << "a right click is no click";
}

TEST_F(PanelItemBusTest, MenuLayoutFollowsTheInAppLanguage) {
    const struct {
        const char* language;
        std::vector<const char*> expected;
    } rows[] = {
        {"en",
         {"Pause", "Stop", "-", "Quick Timer", "  Review 5-minute timer", "  Review 25-minute timer",
          "  Review 50-minute timer", "-", "Floating Window", "-", "Quit TarvolinTimer"}},
        {"ja",
         {"一時停止", "停止", "-", "クイックタイマー", "  5分タイマーを確認", "  25分タイマーを確認",
          "  50分タイマーを確認", "-", "フローティングウィンドウ", "-", "TarvolinTimerを終了"}},
    };
    add("tea", 245);
    startShownItem();
    for (const auto& row : rows) {
        QStringList expected;
        for (const char* line : row.expected) {
            expected << QString::fromUtf8(line);
        }
        settings.setAppLanguageRaw(QString::fromLatin1(row.language));
        const QDBusMessage shown = host->call(kMenuPath, kMenuInterface, QStringLiteral("AboutToShow"), {0});
        ASSERT_EQ(shown.type(), QDBusMessage::ReplyMessage) << shown.errorMessage().toStdString();
        EXPECT_TRUE(shown.arguments().value(0).toBool())
            << row.language << ": the menu changed since last read";
        const DBusMenuLayoutItem layout = menuLayout();
        EXPECT_EQ(outline(layout), expected) << row.language;
        // Read again unchanged: nothing to update.
        EXPECT_FALSE(host->call(kMenuPath, kMenuInterface, QStringLiteral("AboutToShow"), {0})
                         .arguments()
                         .value(0)
                         .toBool());

        // Panels that read properties by group get the same labels.
        const QDBusMessage group = host->call(kMenuPath, kMenuInterface, QStringLiteral("GetGroupProperties"),
                                              {QVariant::fromValue(QList<int>{idOf(layout, expected[0])}),
                                               QStringList{QStringLiteral("label")}});
        const auto properties =
            qdbus_cast<DBusMenuItemPropertiesList>(group.arguments().value(0).value<QDBusArgument>());
        ASSERT_EQ(properties.size(), 1) << row.language;
        EXPECT_EQ(properties[0].properties.value(QStringLiteral("label")).toString(), expected[0]);
    }
}

TEST_F(PanelItemBusTest, MenuEventsDoWhatTheEntriesSay) {
    const struct {
        const char* name;
        const char* entry;
        bool asGroup;
        std::function<void()> check;
    } rows[] = {
        {"Stop removes the main timer", "Stop", false, [&] { EXPECT_TRUE(manager->timers().isEmpty()); }},
        {"Pause pauses it", "Pause", true,
         [&] { EXPECT_EQ(manager->timers().constFirst().state, TimerState::paused); }},
        {"a quick item prepares its minutes and starts nothing", "Review 50-minute timer", false,
         [&] {
             EXPECT_EQ(prepared, QList<int>{50});
             EXPECT_EQ(manager->timers().size(), 1);
         }},
        {"Floating Window toggles it", "Floating Window", true, [&] { EXPECT_EQ(floatingToggles, 1); }},
        {"Quit quits", "Quit TarvolinTimer", false, [&] { EXPECT_EQ(quits, 1); }},
    };
    settings.setAppLanguageRaw(QStringLiteral("en"));
    startShownItem();
    for (const auto& row : rows) {
        while (!manager->timers().isEmpty()) {
            manager->removeTimer(manager->timers().constFirst().id);
        }
        add("tea", 245);
        prepared.clear();
        floatingToggles = quits = 0;
        const int id = idOf(menuLayout(), QString::fromLatin1(row.entry));
        ASSERT_GE(id, 0) << row.name;
        const QVariant data = QVariant::fromValue(QDBusVariant(0));
        const QDBusMessage reply =
            row.asGroup ? host->call(kMenuPath, kMenuInterface, QStringLiteral("EventGroup"),
                                     {QVariant::fromValue(DBusMenuEventList{
                                         {id, QStringLiteral("clicked"), QDBusVariant(0), 0u}})})
                        : host->call(kMenuPath, kMenuInterface, QStringLiteral("Event"),
                                     {id, QStringLiteral("clicked"), data, 0u});
        ASSERT_EQ(reply.type(), QDBusMessage::ReplyMessage) << row.name << reply.errorMessage().toStdString();
        QTest::qWait(50); // the entry acts once its answer is out
        row.check();
    }
    // An entry that is no longer there answers an error and does nothing.
    while (!manager->timers().isEmpty()) {
        manager->removeTimer(manager->timers().constFirst().id);
    }
    const QDBusMessage stale = host->call(
        kMenuPath, kMenuInterface, QStringLiteral("Event"),
        {int(RightClickMenu::stopId), QStringLiteral("clicked"), QVariant::fromValue(QDBusVariant(0)), 0u});
    EXPECT_EQ(stale.type(), QDBusMessage::ErrorMessage);
}

TEST_F(PanelItemBusTest, PanelsAreToldOfChangesOnlyWhenThereAreSome) {
    settings.setAppLanguageRaw(QStringLiteral("en"));
    settings.setMenuBarDisplayModeRaw(QStringLiteral("iconOnly"));
    startShownItem();
    host->listenToAllSignals({kItemPath, kMenuPath});
    sync();
    const auto onItem = [](const char* member) {
        return QStringLiteral("org.kde.StatusNotifierItem.") + QLatin1String(member);
    };
    const auto onMenu = [](const char* member) {
        return QStringLiteral("com.canonical.dbusmenu.") + QLatin1String(member);
    };
    QUuid alarm;
    const struct {
        const char* name;
        std::function<void()> step;
        QStringList expected;
    } steps[] = {
        {"an alarm becomes the main timer: icon only keeps the picture",
         [&] { alarm = manager->addAlarm(QStringLiteral("call"), now.addSecs(245))->id; },
         {onItem("NewToolTip"), onMenu("LayoutUpdated")}},
        {"a second passes: only the tooltip",
         [&] {
             advance(1000);
             manager->tick();
         },
         {onItem("NewToolTip")}},
        {"a tick that changes nothing", [&] { manager->tick(); }, {}},
        {"time only: the picture and the text change, the tooltip stays",
         [&] { settings.setMenuBarDisplayModeRaw(QStringLiteral("timeOnly")); },
         {onItem("NewIcon"), onItem("XAyatanaNewLabel")}},
        {"a second passes: picture, tooltip and text",
         [&] {
             advance(1000);
             manager->tick();
         },
         {onItem("NewIcon"), onItem("NewToolTip"), onItem("XAyatanaNewLabel")}},
        {"a setting the label does not read", [&] { settings.setSoundEnabled(false); }, {}},
        {"the same mode written again",
         [&] { settings.setMenuBarDisplayModeRaw(QStringLiteral("timeOnly")); },
         {}},
        {"Japanese: the menu's titles",
         [&] { settings.setAppLanguageRaw(QStringLiteral("ja")); },
         {onMenu("ItemsPropertiesUpdated")}},
        {"the main timer goes: the icon alone, no text, the name as tooltip",
         [&] { manager->removeTimer(alarm); },
         {onItem("NewIcon"), onItem("NewToolTip"), onItem("XAyatanaNewLabel"), onMenu("LayoutUpdated")}},
    };
    for (const auto& step : steps) {
        host->clearSignals();
        step.step();
        sync();
        QStringList seen = host->signalsSeen();
        QStringList expected = step.expected;
        seen.sort();
        expected.sort();
        EXPECT_EQ(seen, expected) << step.name;
    }
    // The new label went out with its guide.
    EXPECT_EQ(host->lastArguments(QStringLiteral("XAyatanaNewLabel")), (QVariantList{QString(), QString()}));
}

TEST_F(PanelItemBusTest, RegistersAgainWhenTheWatcherRestarts) {
    startShownItem();
    const QString service = watcher->registrations().constFirst().service;
    watcher.reset();
    // With no watcher and no XEmbed tray, there is no tray.
    EXPECT_TRUE(waitForPresence(Presence::none));
    EXPECT_FALSE(item->isTrayAvailable());

    startWatcher();
    ASSERT_TRUE(QTest::qWaitFor([&] { return watcher->registrations().size() == 1; }, kWaitMs));
    EXPECT_EQ(watcher->registrations().constFirst().service, service) << "the same item comes back";
    EXPECT_TRUE(waitForPresence(Presence::statusNotifier));
    QTest::qWait(100);
    EXPECT_EQ(watcher->registrations().size(), 1) << "registered once";
}

TEST_F(PanelItemBusTest, WaitsForAWatcherAndAPanel) {
    const struct {
        const char* name;
        std::function<void()> before;
        std::function<void()> after;
    } rows[] = {
        {"no watcher at start, one later", [] {}, [&] { startWatcher(); }},
        {"a watcher with no panel, then a panel", [&] { startWatcher(false); },
         [&] { watcher->setHostRegistered(true); }},
    };
    for (const auto& row : rows) {
        row.before();
        startItem();
        QSignalSpy presence(item.get(), &PanelItem::presenceChanged);
        EXPECT_TRUE(waitForPresence(Presence::none)) << row.name;
        EXPECT_FALSE(item->isTrayAvailable()) << row.name;
        row.after();
        EXPECT_TRUE(waitForPresence(Presence::statusNotifier)) << row.name;
        EXPECT_EQ(presence.count(), 2) << row.name;
        item.reset();
        watcher.reset();
    }
}

} // namespace
