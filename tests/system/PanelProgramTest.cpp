// The real program's panel item, read by a test panel on a bus of the test's own with a fake item watcher
// started first: it registers, its click opens and closes the 440 × 720 popover, its menu is in the in-app
// language and acts on the program, and it registers again with a new watcher. Escape pressed in the open
// popover closes it as a second click does. With no watcher but a real
// XEmbed tray, the fallback icon sits in the tray and a click on it opens the popover.
#include "ProgramFixture.h"
#include "support/Requirement.h"
#include "shell/MenuBarPopoverView.h"

#include "core/TimerManager.h"
#include "shell/DBusMenuExporter.h"
#include "shell/PanelDBusTypes.h"
#include "shell/StatusNotifierItem.h"
#include "support/ChildProcess.h"
#include "support/FakeStatusNotifierWatcher.h"
#include "support/TestPanelHost.h"

#include <QDBusArgument>
#include <QElapsedTimer>
#include <QDBusMessage>
#include <QDBusVariant>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

const QString kItemPath = QString::fromLatin1(StatusNotifierItem::objectPath);
const QString kItemInterface = QString::fromLatin1(StatusNotifierItem::interfaceName);
const QString kMenuPath = QString::fromLatin1(DBusMenuExporter::objectPath);
const QString kMenuInterface = QStringLiteral("com.canonical.dbusmenu");
const QString kQuickAddTitle = QStringLiteral("Quick Add");

class PanelProgramTest : public ProgramFixture {
public:
    std::unique_ptr<TestPanelHost> host;

    void TearDown() override {
        host.reset();
        watcher.reset();
    }

    // The program with this language, its item registered with the watcher and read by the test panel.
    void startShown(Program& program, const QString& language) {
        writePreferences(
            {{QStringLiteral("bl.hasSeenOnboarding"), true}, {QStringLiteral("bl.appLanguage"), language}});
        showWithStoredPreferences(program);
    }

    // The program with the preferences already in place, its item read by the test panel.
    void showWithStoredPreferences(Program& program) {
        startWatcher();
        program.start(environment());
        ASSERT_TRUE(program.waitFor(kReady)) << program.log().toStdString();
        ASSERT_TRUE(QTest::qWaitFor([&] { return !watcher->registrations().isEmpty(); }, kWaitMs))
            << program.log().toStdString();
        ASSERT_TRUE(program.waitFor(QStringLiteral("[PanelItem] Shown through statusNotifier")))
            << program.log().toStdString();
        host = std::make_unique<TestPanelHost>(newConnection(QStringLiteral("host")),
                                               watcher->registrations().constLast().service);
    }

    // A running main timer, as a later launch's URL starts it.
    void startTimer(Program& program) {
        ASSERT_EQ(launchAgain({QStringLiteral("quorvane://start?minutes=25&title=Tea")}), 0);
        ASSERT_TRUE(program.waitFor(QStringLiteral("Adding timer")));
        QTest::qWait(300); // the timer is added from the event loop, just after the line
    }

    bool aboutToShow() {
        const QDBusMessage reply = host->call(kMenuPath, kMenuInterface, QStringLiteral("AboutToShow"), {0});
        EXPECT_EQ(reply.type(), QDBusMessage::ReplyMessage) << reply.errorMessage().toStdString();
        return reply.arguments().value(0).toBool();
    }

    DBusMenuLayoutItem menuLayout() {
        const QDBusMessage reply =
            host->call(kMenuPath, kMenuInterface, QStringLiteral("GetLayout"), {0, -1, QStringList()});
        EXPECT_EQ(reply.type(), QDBusMessage::ReplyMessage) << reply.errorMessage().toStdString();
        return qdbus_cast<DBusMenuLayoutItem>(reply.arguments().value(1).value<QDBusArgument>());
    }

    // The menu as a panel shows it: labels, "-" for separators, a submenu's entries indented.
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

    // A panel's click on the menu entry with this label, as the menu is read now.
    QDBusMessage click(const QString& label) {
        aboutToShow();
        const int id = idOf(menuLayout(), label);
        EXPECT_GE(id, 0) << label.toStdString();
        return host->call(kMenuPath, kMenuInterface, QStringLiteral("Event"),
                          {id, QStringLiteral("clicked"), QVariant::fromValue(QDBusVariant(0)), 0u});
    }

    QList<ProgramWindow> popovers() const {
        QList<ProgramWindow> found;
        for (const ProgramWindow& window : programWindows()) {
            if (window.geometry.size() == QSize(440, 720)) {
                found << window;
            }
        }
        return found;
    }
};

QStringList lines(const std::vector<const char*>& texts) {
    QStringList out;
    for (const char* text : texts) {
        out << QString::fromUtf8(text);
    }
    return out;
}

TEST_F(PanelProgramTest, ItsClickOpensThePopoverAtThePointAndASecondClickClosesIt) {
    Program program;
    startShown(program, QStringLiteral("en"));
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^org\\.kde\\.StatusNotifierItem-\\d+-\\d+$"))
                    .match(watcher->registrations().constFirst().service)
                    .hasMatch())
        << watcher->registrations().constFirst().service.toStdString();
    EXPECT_EQ(host->property(kItemPath, kItemInterface, QStringLiteral("Category")).toString(),
              QStringLiteral("ApplicationStatus"));
    EXPECT_TRUE(popovers().isEmpty()) << "with a tray nothing opens at launch";

    // A click in a panel along the top right of the screen.
    const QPoint click(1100, 12);
    const QDBusMessage opened =
        host->call(kItemPath, kItemInterface, QStringLiteral("Activate"), {click.x(), click.y()});
    ASSERT_EQ(opened.type(), QDBusMessage::ReplyMessage) << opened.errorMessage().toStdString();
    const ProgramWindow popover =
        waitForWindow([](const ProgramWindow& w) { return w.geometry.size() == QSize(440, 720); });
    ASSERT_FALSE(popover.id.isEmpty()) << program.log().toStdString();
    EXPECT_EQ(popover.geometry.size(), QSize(440, 720));
    EXPECT_GT(popover.geometry.top(), click.y()) << "below the panel's click";
    EXPECT_LE(popover.geometry.left(), click.x());
    EXPECT_GE(popover.geometry.right(), click.x()) << "under the click";
    EXPECT_TRUE(QRect(0, 0, 1280, 1024).contains(popover.geometry)) << "on the screen";
    QTest::qWait(500);
    screenshot(popover.id, QStringLiteral("panel-popover"));

    const QDBusMessage closed =
        host->call(kItemPath, kItemInterface, QStringLiteral("Activate"), {click.x(), click.y()});
    ASSERT_EQ(closed.type(), QDBusMessage::ReplyMessage) << closed.errorMessage().toStdString();
    EXPECT_TRUE(QTest::qWaitFor([&] { return popovers().isEmpty(); }, kWaitMs));
    ASSERT_TRUE(program.running()) << "closing the popover does not quit";

    // A panel that sends no point: the popover opens under the pointer, kept on screen.
    QTest::qWait(int(MenuBarPopoverView::reopenGuardMs));
    const QPoint pointer(1250, 1010);
    ASSERT_TRUE(
        xdotool({QStringLiteral("mousemove"), QString::number(pointer.x()), QString::number(pointer.y())}));
    host->call(kItemPath, kItemInterface, QStringLiteral("Activate"), {0, 0});
    const ProgramWindow atPointer =
        waitForWindow([](const ProgramWindow& w) { return w.geometry.size() == QSize(440, 720); });
    ASSERT_FALSE(atPointer.id.isEmpty()) << program.log().toStdString();
    EXPECT_LT(atPointer.geometry.bottom(), pointer.y()) << "above a click low on the screen";
    EXPECT_EQ(atPointer.geometry.right(), 1279) << "moved left to stay on the screen";
    EXPECT_TRUE(QRect(0, 0, 1280, 1024).contains(atPointer.geometry));
    stop(program);
}

TEST_F(PanelProgramTest, EscapeClosesThePopoverOpenedFromTheItemAndTheNextClickOpensItAgain) {
    if (const QString missing = missingTools({QStringLiteral("xdotool")}); !missing.isEmpty()) {
        TT_SKIP_OR_FAIL("not installed (scripts/deps.sh --tests installs it): " << missing.toStdString());
    }
    Program program;
    startShown(program, QStringLiteral("en"));
    const auto focusedWindow = [&] {
        return x11(QStringLiteral("xdotool"), {QStringLiteral("getwindowfocus")}).trimmed().toULongLong();
    };
    for (const char* round : {"first opening", "opened again after Escape closed it"}) {
        SCOPED_TRACE(round);
        const QDBusMessage opened =
            host->call(kItemPath, kItemInterface, QStringLiteral("Activate"), {1100, 12});
        ASSERT_EQ(opened.type(), QDBusMessage::ReplyMessage) << opened.errorMessage().toStdString();
        const ProgramWindow popover =
            waitForWindow([](const ProgramWindow& w) { return w.geometry.size() == QSize(440, 720); });
        ASSERT_FALSE(popover.id.isEmpty()) << program.log().toStdString();
        // The key goes wherever the X server sends keys: the popover, once it has taken the keyboard.
        ASSERT_TRUE(
            QTest::qWaitFor([&] { return focusedWindow() == popover.id.toULongLong(nullptr, 16); }, kWaitMs))
            << "the popover takes the keyboard when it opens";
        ASSERT_TRUE(xdotool({QStringLiteral("key"), QStringLiteral("Escape")}));
        EXPECT_TRUE(QTest::qWaitFor([&] { return popovers().isEmpty(); }, kWaitMs));
    }
    ASSERT_TRUE(program.running()) << "closing the popover does not quit";
    stop(program);
}

TEST_F(PanelProgramTest, TheMenuIsInTheInAppLanguageAndStopRemovesTheMainTimer) {
    const struct {
        const char* language;
        std::vector<const char*> menu;
        std::vector<const char*> afterStop;
        const char* stop;
    } rows[] = {
        {"en",
         {"Pause", "Stop", "-", "Quick Timer", "  Review 5-minute timer", "  Review 25-minute timer",
          "  Review 50-minute timer", "-", "Floating Window", "-", "Quit TarvolinTimer"},
         {"Quick Timer", "  Review 5-minute timer", "  Review 25-minute timer", "  Review 50-minute timer",
          "-", "Floating Window", "-", "Quit TarvolinTimer"},
         "Stop"},
        {"ja",
         {"一時停止", "停止", "-", "クイックタイマー", "  5分タイマーを確認", "  25分タイマーを確認",
          "  50分タイマーを確認", "-", "フローティングウィンドウ", "-", "TarvolinTimerを終了"},
         {"クイックタイマー", "  5分タイマーを確認", "  25分タイマーを確認", "  50分タイマーを確認", "-",
          "フローティングウィンドウ", "-", "TarvolinTimerを終了"},
         "停止"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.language);
        {
            Program program;
            startShown(program, QString::fromLatin1(row.language));
            startTimer(program);
            aboutToShow();
            EXPECT_EQ(outline(menuLayout()), lines(row.menu));

            const QDBusMessage stopped = click(QString::fromUtf8(row.stop));
            ASSERT_EQ(stopped.type(), QDBusMessage::ReplyMessage) << stopped.errorMessage().toStdString();
            QTest::qWait(100); // the entry acts once its answer is out
            EXPECT_TRUE(aboutToShow()) << "the menu changed with the main timer gone";
            EXPECT_EQ(outline(menuLayout()), lines(row.afterStop));
            stop(program);
        }
        const auto saved = savedTimers();
        ASSERT_TRUE(saved.has_value());
        EXPECT_TRUE(saved->isEmpty()) << "the stopped timer is not kept";
        host.reset();
        watcher.reset();
    }
}

TEST_F(PanelProgramTest, AHandEditedPreferencesFileStillStartsInItsLanguageWithItsTimers) {
    const TimerItem timer =
        TimerItem::make(QUuid::createUuid(), QStringLiteral("Tea"), 600, TimerState::paused, false,
                        std::nullopt, std::nullopt, QDateTime::currentDateTimeUtc());
    QByteArray bytes =
        Preferences::serialize({{QStringLiteral("bl.hasSeenOnboarding"), true},
                                {QStringLiteral("bl.appLanguage"), QStringLiteral("en")},
                                {QStringLiteral("quorvane.activeTimers"), *TimerItem::encodeList({timer})}});
    // A number no double holds, and a comma after the last member, as a person editing the file may leave.
    bytes.replace("{\n", "{\n  \"a.hand.edit\": 1e400,\n");
    bytes.replace(bytes.lastIndexOf("\n}"), 2, ",\n}");
    {
        QFile file(preferencesPath());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    Program program;
    showWithStoredPreferences(program);
    EXPECT_TRUE(program.log().contains(QStringLiteral("[Main] Running with 1 timers")))
        << program.log().toStdString();
    aboutToShow();
    const QStringList menu = outline(menuLayout());
    EXPECT_TRUE(menu.contains(QStringLiteral("Quit TarvolinTimer"))) << menu.join(u'|').toStdString();
    EXPECT_TRUE(popovers().isEmpty()) << "no first-run guide or window opened";
    stop(program);
    QFile aside(preferencesPath() + QStringLiteral(".corrupt"));
    ASSERT_TRUE(aside.open(QIODevice::ReadOnly));
    EXPECT_EQ(aside.readAll(), bytes);
    const auto saved = savedTimers();
    ASSERT_TRUE(saved.has_value());
    ASSERT_EQ(saved->size(), 1);
    EXPECT_EQ(saved->first().id, timer.id);
    EXPECT_EQ(readPreferences().value(QStringLiteral("bl.appLanguage")), QVariant(QStringLiteral("en")));
}

TEST_F(PanelProgramTest, AQuickItemOpensTheQuickAddPanelAndStartsNothing) {
    Program program;
    startShown(program, QStringLiteral("en"));
    const QDBusMessage reply = click(QStringLiteral("Review 25-minute timer"));
    ASSERT_EQ(reply.type(), QDBusMessage::ReplyMessage) << reply.errorMessage().toStdString();
    const ProgramWindow panel = waitForWindow([](const ProgramWindow& w) {
        return w.title == QLatin1Char('"') + kQuickAddTitle + QLatin1Char('"');
    });
    EXPECT_FALSE(panel.id.isEmpty()) << "the quick-add panel did not open";
    EXPECT_TRUE(popovers().isEmpty());
    QTest::qWait(TimerManager::defaultSaveDelayMs + 500); // a start would have been saved by now
    stop(program);
    const auto saved = savedTimers();
    EXPECT_TRUE(!saved || saved->isEmpty()) << "nothing was started";
}

TEST_F(PanelProgramTest, ARestartedWatcherGetsANewRegistration) {
    Program program;
    startShown(program, QStringLiteral("en"));
    const QString service = watcher->registrations().constFirst().service;
    watcher.reset();
    QTest::qWait(500); // the program sees the watcher go
    startWatcher();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !watcher->registrations().isEmpty(); }, kWaitMs))
        << program.log().toStdString();
    EXPECT_EQ(watcher->registrations().constFirst().service, service) << "the same item comes back";
    host = std::make_unique<TestPanelHost>(newConnection(QStringLiteral("host")), service);
    EXPECT_EQ(host->property(kItemPath, kItemInterface, QStringLiteral("Id")).toString(),
              QStringLiteral("TarvolinTimer"));
    EXPECT_TRUE(popovers().isEmpty()) << "a panel that went away for a moment opens no window\n"
                                      << program.log().toStdString();
    stop(program);
}

TEST_F(PanelProgramTest, InAnXEmbedTrayTheFallbackIconOpensThePopover) {
    if (const QString missing = missingTools({QStringLiteral("trayer"), QStringLiteral("xdotool")});
        !missing.isEmpty()) {
        TT_SKIP_OR_FAIL("not installed (scripts/deps.sh --tests installs them): " << missing.toStdString());
    }
    writePreferences({{QStringLiteral("bl.hasSeenOnboarding"), true},
                      {QStringLiteral("bl.appLanguage"), QStringLiteral("en")}});
    ChildProcess tray;
    tray.process.setProcessEnvironment(environment());
    tray.process.start(QStringLiteral("trayer"),
                       {QStringLiteral("--edge"), QStringLiteral("top"), QStringLiteral("--align"),
                        QStringLiteral("right"), QStringLiteral("--height"), QStringLiteral("24"),
                        QStringLiteral("--widthtype"), QStringLiteral("request"),
                        QStringLiteral("--transparent"), QStringLiteral("true"), QStringLiteral("--alpha"),
                        QStringLiteral("0"), QStringLiteral("--tint"), QStringLiteral("0xf2f2f2")});
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            const QString tree =
                x11(QStringLiteral("xwininfo"), {QStringLiteral("-root"), QStringLiteral("-tree")});
            return tree.contains(QLatin1String("panel"), Qt::CaseInsensitive) ||
                   tree.contains(QLatin1String("trayer"), Qt::CaseInsensitive);
        },
        kWaitMs));

    Program program;
    program.start(environment());
    ASSERT_TRUE(program.waitFor(kReady)) << program.log().toStdString();
    // The icon: a small window of ours inside the tray's strip along the top of the screen, once the tray
    // has stopped moving it (the strip grows from the screen's edge as it takes the icon in).
    const auto isIcon = [](const ProgramWindow& w) {
        return w.geometry.height() > 0 && w.geometry.height() <= 32 &&
               QRect(0, 0, 1280, 32).contains(w.geometry);
    };
    ProgramWindow icon;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            const ProgramWindow before = icon;
            icon = waitForWindow(isIcon);
            QTest::qWait(300);
            return !icon.id.isEmpty() && icon.id == before.id && icon.geometry == before.geometry;
        },
        kWaitMs))
        << "the fallback icon never settled in the tray\n"
        << program.log().toStdString();
    EXPECT_TRUE(popovers().isEmpty()) << "with a tray nothing opens at launch";

    const QPoint centre = icon.geometry.center();
    ASSERT_TRUE(xdotool({QStringLiteral("mousemove"), QString::number(centre.x()),
                         QString::number(centre.y()), QStringLiteral("click"), QStringLiteral("1")}));
    const ProgramWindow popover =
        waitForWindow([](const ProgramWindow& w) { return w.geometry.size() == QSize(440, 720); });
    ASSERT_FALSE(popover.id.isEmpty())
        << "a click on the icon opened no popover\n"
        << icon.id.toStdString() << " " << icon.title.toStdString() << " " << icon.geometry.x() << ","
        << icon.geometry.y() << " " << icon.geometry.width() << "x" << icon.geometry.height() << "\n"
        << program.log().toStdString();
    EXPECT_TRUE(QRect(0, 0, 1280, 1024).contains(popover.geometry));
    QTest::qWait(500);
    screenshot(popover.id, QStringLiteral("xembed-popover"));
    stop(program);
}

TEST_F(PanelProgramTest, APanelThatStartsAfterTheProgramTakesTheItemAndTheUntouchedWindowGoes) {
    const struct {
        const char* name;
        int panelAfterMs; // when the panel's watcher comes, after the program is ready
        bool windowOpens; // the window stood in for the panel meanwhile
        bool touched;     // the user clicked in that window
        bool reopened;    // the user closed it and a second launch showed it again
        bool windowAfter; // the window is still open once the panel took the item
    } rows[] = {
        {"a panel within the first seconds: no window at all", 1500, false, false, false, false},
        {"a panel after the window opened: the untouched window closes", 9000, true, false, false, false},
        {"a panel after the user took the window up: it stays", 9000, true, true, false, true},
        {"a panel after the user closed and reopened the window: it stays", 10000, true, false, true, true},
    };
    writePreferences({{QStringLiteral("bl.hasSeenOnboarding"), true}});
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        Program program;
        program.start(environment());
        ASSERT_TRUE(program.waitFor(kReady)) << program.log().toStdString();
        QElapsedTimer since;
        since.start();
        if (row.windowOpens) {
            const ProgramWindow window =
                waitForWindow([](const ProgramWindow& w) { return w.geometry.size() == QSize(440, 720); });
            ASSERT_FALSE(window.id.isEmpty()) << program.log().toStdString();
            EXPECT_GE(since.elapsed(), 3000) << "it waited a few seconds for a panel first";
            if (row.touched) {
                ASSERT_TRUE(clickAt(window.geometry.center() + QPoint(0, 200)));
            }
            if (row.reopened) {
                closeWindow(window.id);
                ASSERT_TRUE(QTest::qWaitFor([&] { return popovers().isEmpty(); }, kWaitMs));
                EXPECT_EQ(launchAgain({}), 0);
                ASSERT_TRUE(QTest::qWaitFor([&] { return !popovers().isEmpty(); }, kWaitMs));
            }
        }
        QTest::qWait(std::max(0, row.panelAfterMs - int(since.elapsed())));
        EXPECT_EQ(popovers().isEmpty(), !row.windowOpens);
        startWatcher();
        ASSERT_TRUE(QTest::qWaitFor([&] { return !watcher->registrations().isEmpty(); }, kWaitMs))
            << program.log().toStdString();
        ASSERT_TRUE(program.waitFor(QStringLiteral("[PanelItem] Shown through statusNotifier")));
        QTest::qWait(1000);
        EXPECT_EQ(!popovers().isEmpty(), row.windowAfter) << program.log().toStdString();
        EXPECT_EQ(program.count(QStringLiteral("No system tray")), row.windowOpens ? 1 : 0);
        stop(program);
        watcher.reset();
    }
}

} // namespace
