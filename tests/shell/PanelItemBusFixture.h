#pragma once
// A panel item on a private bus, with a fake watcher and a test panel reading it: shared by the panel
// item's bus tests.

#include "core/TimerManagerFixture.h"
#include "support/Requirement.h"
#include "services/QStringPrinting.h"
#include "shell/DBusMenuExporter.h"
#include "shell/PanelDBusTypes.h"
#include "shell/PanelItem.h"
#include "shell/StatusNotifierItem.h"
#include "support/FakeStatusNotifierWatcher.h"
#include "support/PrivateSessionBus.h"
#include "support/TestPanelHost.h"
#include "ui/kit/MenuBarLabelModel.h"

#include <QDBusArgument>
#include <QTest>

#include <memory>
#include <optional>

class PanelItemBusFixture : public TimerManagerFixture {
protected:
    static constexpr int kWaitMs = 5000;
    static inline const QString kItemPath = QString::fromLatin1(StatusNotifierItem::objectPath);
    static inline const QString kItemInterface = QString::fromLatin1(StatusNotifierItem::interfaceName);
    static inline const QString kMenuPath = QString::fromLatin1(DBusMenuExporter::objectPath);
    static inline const QString kMenuInterface = QStringLiteral("com.canonical.dbusmenu");
    static inline const QColor kInk = QColor(0x1d, 0x1d, 0x1f);

    std::unique_ptr<PrivateSessionBus> bus;
    std::unique_ptr<FakeStatusNotifierWatcher> watcher;
    std::unique_ptr<MenuBarLabelModel> label;
    std::unique_ptr<PanelItem> item;
    std::unique_ptr<TestPanelHost> host;
    int connectionCount = 0;

    // The kind of panel the item draws for (the watcher here is this test, which is no known panel), and how
    // long it waits for a watcher at start.
    std::optional<PanelHostKind> hostKind = PanelHostKind::square;
    int graceMs = 0;

    QList<QPoint> activations;
    QList<int> prepared;
    int floatingToggles = 0;
    int quits = 0;

    void SetUp() override {
        bus = std::make_unique<PrivateSessionBus>();
        if (!bus->isRunning()) {
            TT_SKIP_OR_FAIL("no private bus: " << bus->errorString().toStdString());
        }
        make();
    }

    void TearDown() override {
        host.reset();
        item.reset();
        label.reset();
        watcher.reset();
        TimerManagerFixture::TearDown();
        bus.reset();
    }

    // Every party gets a connection of its own, as separate programs would.
    QDBusConnection newConnection(const QString& role) {
        return bus->connect(role + QString::number(++connectionCount));
    }

    void startWatcher(bool hostRegistered = true) {
        watcher = std::make_unique<FakeStatusNotifierWatcher>(newConnection(QStringLiteral("watcher")),
                                                              hostRegistered);
        ASSERT_TRUE(watcher->isRegistered());
    }

    void startItem() {
        label = std::make_unique<MenuBarLabelModel>(*manager, settings);
        PanelCallbacks callbacks{[this](QPoint p) { activations << p; },
                                 [this](int minutes) { prepared << minutes; }, [this] { ++floatingToggles; },
                                 [this] { ++quits; }};
        PanelItem::Options options;
        options.ink = kInk;
        options.hostKind = hostKind;
        options.watcherGraceMs = graceMs;
        item = std::make_unique<PanelItem>(*label, *manager, settings, newConnection(QStringLiteral("item")),
                                           callbacks, options);
        item->start();
    }

    bool waitForPresence(PanelItem::Presence presence) {
        return QTest::qWaitFor([&] { return item->presence() == presence; }, kWaitMs);
    }

    // Starts watcher and item and connects the test panel to the item as the watcher names it.
    void startShownItem() {
        startWatcher();
        startItem();
        ASSERT_TRUE(QTest::qWaitFor([&] { return !watcher->registrations().isEmpty(); }, kWaitMs));
        ASSERT_TRUE(waitForPresence(PanelItem::Presence::statusNotifier));
        host = std::make_unique<TestPanelHost>(newConnection(QStringLiteral("host")),
                                               watcher->registrations().constLast().service);
    }

    QVariant itemProperty(const char* name) {
        return host->property(kItemPath, kItemInterface, QString::fromLatin1(name));
    }

    template <typename T> static T decode(const QVariant& value) {
        return qdbus_cast<T>(value.value<QDBusArgument>());
    }

    PanelIconPixmapList iconPixmaps() { return decode<PanelIconPixmapList>(itemProperty("IconPixmap")); }
    PanelToolTip toolTip() { return decode<PanelToolTip>(itemProperty("ToolTip")); }

    // A round trip to the item: every signal it sent before answering has arrived once this returns.
    void sync() { itemProperty("Id"); }

    DBusMenuLayoutItem menuLayout() {
        const QDBusMessage reply =
            host->call(kMenuPath, kMenuInterface, QStringLiteral("GetLayout"), {0, -1, QStringList()});
        EXPECT_EQ(reply.type(), QDBusMessage::ReplyMessage) << reply.errorMessage().toStdString();
        return qdbus_cast<DBusMenuLayoutItem>(reply.arguments().value(1).value<QDBusArgument>());
    }

    // The menu as a panel reads it: labels, "-" for separators, a submenu's entries indented.
    static QStringList outline(const DBusMenuLayoutItem& item, const QString& indent = {}) {
        QStringList lines;
        for (const DBusMenuLayoutItem& child : item.children) {
            const bool separator =
                child.properties.value(QStringLiteral("type")).toString() == QLatin1String("separator");
            lines << indent + (separator ? QStringLiteral("-")
                                         : child.properties.value(QStringLiteral("label")).toString());
            lines << outline(child, indent + QStringLiteral("  "));
        }
        return lines;
    }

    // The id of the entry a panel shows with this label.
    static int idOf(const DBusMenuLayoutItem& item, const QString& label) {
        for (const DBusMenuLayoutItem& child : item.children) {
            if (child.properties.value(QStringLiteral("label")).toString() == label) {
                return child.id;
            }
            if (const int inner = idOf(child, label); inner >= 0) {
                return inner;
            }
        }
        return -1;
    }
};
