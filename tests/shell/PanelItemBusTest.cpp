// The panel item over a private bus, read by a test panel the way desktop panels read it: registration,
// the properties for each display mode and main-timer state, clicks, the exported menu and its events,
// and registering again when the watcher restarts.
#include "PanelItemBusFixture.h"

#include "platform/Preferences.h"
#include "support/LogCapture.h"
#include "shell/LabelRenderer.h"

#include <QCursor>
#include <QDir>
#include <QFileInfo>
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

TEST_F(PanelItemBusTest, EachKindOfPanelGetsTheLabelOnceInTheFormItDraws) {
    enum class State { none, running, paused };
    const struct {
        const char* name;
        State state;
        std::function<void()> setUp;
    } states[] = {
        {"no timer", State::none, [] {}},
        // An alarm follows the clock, which stands still here: its text holds.
        {"running", State::running, [&] { manager->addAlarm(QStringLiteral("call"), now.addSecs(245)); }},
        {"paused", State::paused, [&] { manager->pause(add("tea", 1441).id); }},
    };
    const char* const modes[] = {"timeOnly", "iconOnly", "iconAndTime", "sideways"};
    const QString timerGlyph = PanelLabelParts::glyphName(MenuBarIconStyle::windup);

    for (PanelHostKind kind : {PanelHostKind::label, PanelHostKind::square}) {
        const bool labels = kind == PanelHostKind::label;
        hostKind = kind;
        startShownItem();
        EXPECT_EQ(item->hostKind(), kind);
        EXPECT_TRUE(QFileInfo::exists(itemProperty("IconThemePath").toString() +
                                      QStringLiteral("/hicolor/scalable/status/") + timerGlyph +
                                      QStringLiteral(".svg")))
            << "panels find the named glyphs";
        for (const auto& state : states) {
            while (!manager->timers().isEmpty()) {
                manager->removeTimer(manager->timers().constFirst().id);
            }
            state.setUp();
            for (const char* mode : modes) {
                settings.setMenuBarDisplayModeRaw(QString::fromLatin1(mode));
                const std::string where =
                    std::string(labels ? "label panel, " : "square panel, ") + state.name + ", " + mode;
                const bool timeOnly = std::string(mode) == "timeOnly" || std::string(mode) == "sideways";
                const bool showsTime = state.state != State::none && std::string(mode) != "iconOnly";
                const QString timeText = label->content().timeText;
                const QString shownLabel = itemProperty("XAyatanaLabel").toString();
                const QString iconName = itemProperty("IconName").toString();
                const PanelIconPixmapList pixmaps = iconPixmaps();

                if (labels) {
                    // The time once, as text; the picture a glyph the panel recolours, never the time.
                    const QString expectedLabel = !showsTime ? QString()
                                                  : (state.state == State::paused && !timeOnly)
                                                      ? PanelLabelParts::pauseMark + timeText
                                                      : timeText;
                    EXPECT_EQ(shownLabel, expectedLabel) << where;
                    EXPECT_EQ(itemProperty("XAyatanaLabelGuide").toString().size(), expectedLabel.size())
                        << where;
                    const QString expectedIcon = !showsTime || !timeOnly ? timerGlyph
                                                 : state.state == State::paused
                                                     ? PanelLabelParts::pausedGlyphName()
                                                     : QString();
                    EXPECT_EQ(iconName, expectedIcon) << where;
                    for (const PanelIconPixmap& p : pixmaps) {
                        EXPECT_LE(p.width, p.height) << where << ": no wide picture of the time";
                    }
                } else {
                    // Square panels never draw a label: the time is in the square picture only.
                    EXPECT_EQ(shownLabel, QString()) << where;
                    EXPECT_EQ(iconName, QString()) << where;
                    const PanelShortForm form = item->shortForm();
                    EXPECT_EQ(form.kind == PanelShortForm::Kind::glyph, !showsTime) << where;
                    if (state.state == State::paused && showsTime) {
                        EXPECT_EQ(form.figure(), QStringLiteral("25")) << where << ": 24:01 reads 25";
                        EXPECT_TRUE(form.paused) << where;
                    }
                    ASSERT_EQ(pixmaps.size(), LabelRenderer::offeredSides().size()) << where;
                    for (qsizetype i = 0; i < pixmaps.size(); ++i) {
                        EXPECT_EQ(pixmaps[i].width, LabelRenderer::offeredSides()[i]) << where;
                        EXPECT_EQ(pixmaps[i].height, LabelRenderer::offeredSides()[i]) << where;
                    }
                    const PanelIconPixmap& drawn = pixmaps[1];
                    EXPECT_EQ(LabelRenderer::fromIconPixmap(drawn),
                              LabelRenderer::shortForm(form, drawn.width, kInk)
                                  .convertToFormat(QImage::Format_ARGB32))
                        << where << ": the picture is the short form";
                }
                // The tooltip holds the whole text whenever a timer is the main one, the name otherwise.
                EXPECT_EQ(toolTip().title,
                          state.state == State::none ? QStringLiteral("TarvolinTimer") : timeText)
                    << where;
            }
        }
        host.reset();
        item.reset();
        label.reset();
        watcher.reset();
    }
}

TEST_F(PanelItemBusTest, ClicksReachTheProgramAtTheirPoint) {
    startShownItem();
    const QList<QPoint> points{{10, 20}, {0, 0}, {1900, 1060}, {-40, 5}};
    QCursor::setPos(321, 7);
    for (const QPoint& point : points) {
        const QDBusMessage reply =
            host->call(kItemPath, kItemInterface, QStringLiteral("Activate"), {point.x(), point.y()});
        EXPECT_EQ(reply.type(), QDBusMessage::ReplyMessage) << reply.errorMessage().toStdString();
    }
    // A panel that sends no point (0, 0) clicked where the pointer is.
    EXPECT_EQ(activations, (QList<QPoint>{{10, 20}, QCursor::pos(), {1900, 1060}, {-40, 5}}));

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
    EXPECT_EQ(activations.size(), points.size()) << "a right click is no click";
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
    const auto onItem = [](const char* member) {
        return QStringLiteral("org.kde.StatusNotifierItem.") + QLatin1String(member);
    };
    const auto onMenu = [](const char* member) {
        return QStringLiteral("com.canonical.dbusmenu.") + QLatin1String(member);
    };
    const auto second = [&] {
        advance(1000);
        tick();
    };
    QUuid tea;
    struct Step {
        const char* name;
        std::function<void()> step;
        QStringList expected;
    };
    const std::vector<Step> squareSteps = {
        {"a 25-minute timer becomes the main one: picture, tooltip, menu",
         [&] { tea = add("tea", 1500).id; },
         {onItem("NewIcon"), onItem("NewToolTip"), onMenu("LayoutUpdated")}},
        {"a second passes: the picture still says 25, only the tooltip changes",
         second,
         {onItem("NewToolTip")}},
        {"the minute turns: 24:00 reads 24, a new picture",
         [&] {
             for (int i = 0; i < 59; ++i) {
                 second();
             }
         },
         {onItem("NewIcon"), onItem("NewToolTip")}},
        {"icon only: the glyph, the tooltip stays",
         [&] { settings.setMenuBarDisplayModeRaw(QStringLiteral("iconOnly")); },
         {onItem("NewIcon")}},
        {"a setting the label does not read", [&] { settings.setSoundEnabled(false); }, {}},
        {"the same mode written again",
         [&] { settings.setMenuBarDisplayModeRaw(QStringLiteral("iconOnly")); },
         {}},
        {"Japanese: the menu's titles",
         [&] { settings.setAppLanguageRaw(QStringLiteral("ja")); },
         {onMenu("ItemsPropertiesUpdated")}},
        {"the main timer goes: the name as tooltip",
         [&] { manager->removeTimer(tea); },
         {onItem("NewToolTip"), onMenu("LayoutUpdated")}},
    };
    const std::vector<Step> labelSteps = {
        {"a 25-minute timer becomes the main one: the label replaces the glyph",
         [&] { tea = add("tea", 1500).id; },
         {onItem("NewIcon"), onItem("NewToolTip"), onItem("XAyatanaNewLabel"), onMenu("LayoutUpdated")}},
        {"a second passes: the label and the tooltip, never the picture",
         second,
         {onItem("NewToolTip"), onItem("XAyatanaNewLabel")}},
        {"icon and time: the glyph comes back",
         [&] { settings.setMenuBarDisplayModeRaw(QStringLiteral("iconAndTime")); },
         {onItem("NewIcon")}},
        {"a second passes: the label", second, {onItem("NewToolTip"), onItem("XAyatanaNewLabel")}},
        {"the main timer goes: the glyph alone, no label",
         [&] { manager->removeTimer(tea); },
         {onItem("NewToolTip"), onItem("XAyatanaNewLabel"), onMenu("LayoutUpdated")}},
    };
    for (PanelHostKind kind : {PanelHostKind::square, PanelHostKind::label}) {
        hostKind = kind;
        settings.setAppLanguageRaw(QStringLiteral("en"));
        settings.setMenuBarDisplayModeRaw(QStringLiteral("timeOnly"));
        startShownItem();
        host->listenToAllSignals({kItemPath, kMenuPath});
        sync();
        for (const Step& step : kind == PanelHostKind::square ? squareSteps : labelSteps) {
            host->clearSignals();
            step.step();
            sync();
            // Each signal once per step: a step of many seconds sends many tooltips.
            QStringList seen = host->signalsSeen();
            QStringList expected = step.expected;
            seen.removeDuplicates();
            seen.sort();
            expected.sort();
            EXPECT_EQ(seen, expected)
                << (kind == PanelHostKind::square ? "square: " : "label: ") << step.name;
        }
        host.reset();
        item.reset();
        label.reset();
        watcher.reset();
    }
    // The last label went out empty, with its guide.
    EXPECT_EQ(hostKind, PanelHostKind::label);
}

TEST_F(PanelItemBusTest, RegistersAgainWhenTheWatcherHasNotListedTheItem) {
    const struct {
        const char* name;
        int dropped; // registrations the watcher takes but does not list
        int expectedRegistrations;
        bool warned;
    } rows[] = {
        {"listed at once: one registration", 0, 1, false},
        {"dropped once: registered again, then listed", 1, 2, false},
        {"never listed: a few tries, then a warning", 100, 1 + StatusNotifierItem::takenRetries, true},
    };
    for (const auto& row : rows) {
        LogCapture log;
        startWatcher();
        watcher->setDroppedRegistrations(row.dropped);
        startItem();
        item->findChild<StatusNotifierItem*>()->setTakenCheckDelay(50);
        ASSERT_TRUE(waitForPresence(Presence::statusNotifier)) << row.name;
        QTest::qWait(50 * (StatusNotifierItem::takenRetries + 3) + 300);
        EXPECT_EQ(watcher->registrations().size(), row.expectedRegistrations) << row.name;
        EXPECT_EQ(
            log.lines().join(QLatin1Char('\n')).contains(QStringLiteral("has not listed the item after")),
            row.warned)
            << row.name;
        item.reset();
        label.reset();
        watcher.reset();
    }
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

TEST_F(PanelItemBusTest, AtStartItWaitsAFewSecondsForAWatcherBeforeFallingBack) {
    graceMs = 600;
    const struct {
        const char* name;
        int watcherAfterMs; // -1: none comes
        QList<Presence> expected;
    } rows[] = {
        {"a panel that starts after the program: no fallback in between", 200, {Presence::statusNotifier}},
        {"no panel at all: the fallback once the wait is over", -1, {Presence::none}},
    };
    for (const auto& row : rows) {
        startItem();
        QList<Presence> seen;
        QObject::connect(item.get(), &PanelItem::presenceChanged, item.get(), [&](Presence p) { seen << p; });
        if (row.watcherAfterMs >= 0) {
            QTest::qWait(row.watcherAfterMs);
            EXPECT_EQ(item->presence(), Presence::unknown) << row.name << ": still waiting";
            startWatcher();
        } else {
            QTest::qWait(300);
            EXPECT_EQ(item->presence(), Presence::unknown) << row.name << ": still waiting";
        }
        EXPECT_TRUE(QTest::qWaitFor([&] { return !seen.isEmpty(); }, kWaitMs)) << row.name;
        QTest::qWait(graceMs);
        EXPECT_EQ(seen, row.expected) << row.name;
        item.reset();
        label.reset();
        watcher.reset();
    }
}

} // namespace
