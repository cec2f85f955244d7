// The time in the desktops' own panels, read off the screen as a person reads it: GNOME Shell (which draws
// the item's label), the XFCE and LXQt panels (which draw a square picture), each brought up on a display
// of its own, on a light and a dark panel where the desktop has both. For every display mode the panel
// shows the remaining time, or its short form, exactly once (never in "icon only"); a click opens the
// popover; the item comes back after the panel restarts. Plasma runs the same test by hand
// (tests/system/plasma-panel-check.sh), as its desktop is too large to install for every run.
#include "ProgramFixture.h"

#include "shell/DBusMenuExporter.h"
#include "shell/RightClickMenu.h"
#include "support/RealDesktopPanel.h"
#include "support/Requirement.h"

#include <QDBusMessage>
#include <QDBusVariant>

#include <QElapsedTimer>
#include <QTime>

#include <gtest/gtest.h>

namespace {

using Desktop = RealDesktopPanel::Desktop;
using Shade = RealDesktopPanel::Shade;

struct PanelCase {
    Desktop desktop;
    Shade shade;
};

// What each desktop's panel shows: the label beside a glyph, or a square picture.
bool drawsLabels(Desktop desktop) {
    return desktop == Desktop::gnome;
}

// Counts of a text in what OCR read, never overlapping.
int occurrences(const QString& read, const QString& text) {
    return int(read.count(text));
}

class RealPanelsTest : public ProgramFixture, public ::testing::WithParamInterface<PanelCase> {
public:
    std::unique_ptr<RealDesktopPanel> panel;

    void SetUp() override {
        const PanelCase c = GetParam();
        if (c.desktop == Desktop::plasma && qEnvironmentVariableIsEmpty("TT_PLASMA_PANEL")) {
            GTEST_SKIP() << "Plasma is checked by hand: tests/system/plasma-panel-check.sh";
        }
        if (const QString missing = missingTools(RealDesktopPanel::requiredTools(c.desktop));
            !missing.isEmpty()) {
            TT_SKIP_OR_FAIL("not installed (scripts/deps.sh --tests installs it): " << missing.toStdString());
        }
        makeHomeFolders();
        panel = std::make_unique<RealDesktopPanel>(c.desktop, c.shade);
        ASSERT_TRUE(panel->start()) << panel->errorString().toStdString();
    }

    void TearDown() override { panel.reset(); }

    QProcessEnvironment environment() const override {
        QProcessEnvironment env = panel->environment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), home.filePath(QStringLiteral("config")));
        env.insert(QStringLiteral("XDG_DATA_HOME"), home.filePath(QStringLiteral("data")));
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), home.filePath(QStringLiteral("runtime")));
        return env;
    }

    QString caseName() const {
        const PanelCase c = GetParam();
        return RealDesktopPanel::name(c.desktop, c.shade)
            .replace(QStringLiteral(", "), QStringLiteral("-"))
            .replace(QLatin1Char(' '), QLatin1Char('-'))
            .toLower();
    }

    // The panel's strip, three times larger, among the test's artifacts.
    void saveStrip(const QImage& screen, const QString& name) const {
        QDir().mkpath(QStringLiteral(TT_ARTIFACTS_DIR));
        const QImage strip = screen.copy(panel->panelStrip().adjusted(900, 0, 0, 0));
        strip.scaled(strip.size() * 3, Qt::IgnoreAspectRatio, Qt::FastTransformation)
            .save(artifactPath(caseName() + QLatin1Char('-') + name));
    }

    // The screen once the panel has changed from `from` and then held still for a second and a half; `from`
    // when nothing changed within ten seconds. A running label's seconds never hold still that long (a
    // one-second window can fall between two ticks), so for it this is the screen some 7.5 s on.
    QImage settledChange(const QImage& from) const {
        const QRect strip = panel->panelStrip();
        QImage now = from;
        [[maybe_unused]] const bool changed = QTest::qWaitFor(
            [&] {
                now = panel->grabScreen();
                return !RealDesktopPanel::difference(now, from, strip).isEmpty();
            },
            10'000);
        for (int i = 0; i < 5; ++i) {
            QTest::qWait(1500);
            const QImage later = panel->grabScreen();
            if (RealDesktopPanel::difference(later, now, strip).isEmpty()) {
                break;
            }
            now = later;
        }
        return now;
    }

    // Chooses Pause in the item's menu, as the panel's menu does when clicked.
    bool pauseFromMenu(const Program& program) const {
        QDBusConnection bus = QDBusConnection::connectToBus(
            panel->environment().value(QStringLiteral("DBUS_SESSION_BUS_ADDRESS")),
            QStringLiteral("menu-click"));
        const QString prefix = QStringLiteral("org.kde.StatusNotifierItem-%1-").arg(program.pid());
        const QDBusMessage get =
            QDBusMessage::createMethodCall(
                QStringLiteral("org.kde.StatusNotifierWatcher"), QStringLiteral("/StatusNotifierWatcher"),
                QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"))
            << QStringLiteral("org.kde.StatusNotifierWatcher")
            << QStringLiteral("RegisteredStatusNotifierItems");
        const QStringList items =
            bus.call(get).arguments().value(0).value<QDBusVariant>().variant().toStringList();
        for (const QString& item : items) {
            if (item.startsWith(prefix)) {
                QDBusMessage event = QDBusMessage::createMethodCall(
                    item.section(QLatin1Char('/'), 0, 0), QString::fromLatin1(DBusMenuExporter::objectPath),
                    QStringLiteral("com.canonical.dbusmenu"), QStringLiteral("Event"));
                event << int(RightClickMenu::pauseResumeId) << QStringLiteral("clicked")
                      << QVariant::fromValue(QDBusVariant(0)) << 0u;
                return bus.call(event).type() == QDBusMessage::ReplyMessage;
            }
        }
        ADD_FAILURE() << "no item of the program among " << items.join(QLatin1Char(' ')).toStdString();
        return false;
    }

    // A paused main timer with 17:30 left (short form 18), then a running one of 38 minutes (short form 38)
    // started by URL: what the panel shows of each, and where the item is.
    struct Reading {
        QString paused;
        QString running;
        QRect item;
    };
    Reading readItem(const QString& mode) {
        TimerItem tea = TimerItem::make(QUuid::createUuid(), QStringLiteral("Tea"), 1500, TimerState::paused,
                                        false, std::nullopt, std::nullopt);
        tea.remaining = 1050;
        writePreferences({{QStringLiteral("bl.hasSeenOnboarding"), true},
                          {QStringLiteral("bl.appLanguage"), QStringLiteral("en")},
                          {QStringLiteral("bl.menubar.displayMode"), mode},
                          {QStringLiteral("quorvane.activeTimers"), *TimerItem::encodeList({tea})}});
        for (int attempt = 0; attempt < 2; ++attempt) {
            const int minute = QTime::currentTime().minute();
            const QImage before = panel->grabScreen();
            Program program;
            program.start(environment());
            EXPECT_TRUE(program.waitFor(QStringLiteral("[PanelItem] Shown through statusNotifier")))
                << program.log().toStdString();
            const QImage paused = settledChange(before);
            EXPECT_EQ(launchAgain({QStringLiteral("quorvane://start?minutes=38&title=Steep")}), 0);
            const QImage running = settledChange(paused);
            stop(program);
            settledChange(running); // the item leaves the panel before the next one comes
            if (QTime::currentTime().minute() != minute && attempt == 0) {
                continue; // the panel's clock turned meanwhile: its change is no item
            }
            saveStrip(paused, mode + QStringLiteral("-paused"));
            saveStrip(running, mode + QStringLiteral("-running"));
            // Where the item is. GNOME's bar lays nothing else out anew when the item comes: what changed
            // from the bar without it. A tray of square pictures grows and pushes its neighbours aside:
            // what changed between the two timers (in icon only nothing does; then what changed from the
            // panel without the item, pushed neighbours and all, which hold no time).
            const QRect strip = panel->panelStrip();
            QRect itemArea = drawsLabels(GetParam().desktop)
                                 ? QRect()
                                 : RealDesktopPanel::difference(paused, running, strip);
            if (itemArea.isEmpty()) {
                itemArea = RealDesktopPanel::difference(running, before, strip);
            }
            const QRect pausedArea = itemArea;
            const QRect runningArea = itemArea;
            const auto read = [&](const QImage& shot, const QRect& area, const QString& state) {
                return area.isEmpty()
                           ? QString()
                           : RealDesktopPanel::readText(
                                 shot, area, artifactPath(caseName() + QLatin1Char('-') + mode + state));
            };
            return {read(paused, pausedArea, QStringLiteral("-paused-read")),
                    read(running, runningArea, QStringLiteral("-running-read")), runningArea};
        }
        return {};
    }
};

TEST_P(RealPanelsTest, TheTimeIsShownOnceInEachModeAClickOpensThePopoverAndTheItemOutlivesThePanel) {
    const bool labels = drawsLabels(GetParam().desktop);
    // What a person reads: the label's m:ss where the panel draws labels, the short form elsewhere.
    const QString pausedText = labels ? QStringLiteral("17:30") : QStringLiteral("18");
    const QString runningText = labels ? QStringLiteral("37:5") : QStringLiteral("38");
    // And what must not be there: the other form (the time drawn into the icon as well as the label).
    const QString pausedOther = labels ? QStringLiteral("18") : QStringLiteral("17:3");
    const QString runningOther = labels ? QStringLiteral("38") : QStringLiteral("37:");

    // The panel is as light or as dark as the case says.
    const double ground = panel->panelLuminance(panel->grabScreen());
    if (GetParam().shade == Shade::dark) {
        EXPECT_LT(ground, 0.35) << "a dark panel";
    } else {
        EXPECT_GT(ground, 0.65) << "a light panel";
    }

    QRect item; // where the item with the running time is, as the panel placed it
    for (const char* mode : {"iconOnly", "timeOnly", "iconAndTime"}) {
        SCOPED_TRACE(mode);
        const Reading reading = readItem(QString::fromLatin1(mode));
        ASSERT_FALSE(reading.item.isEmpty()) << "the item is in the panel";
        EXPECT_LE(reading.item.height(), 40);
        const bool showsTime = std::string(mode) != "iconOnly";
        EXPECT_EQ(occurrences(reading.paused, pausedText), showsTime ? 1 : 0)
            << "read: " << reading.paused.toStdString();
        EXPECT_EQ(occurrences(reading.running, runningText), showsTime ? 1 : 0)
            << "read: " << reading.running.toStdString();
        EXPECT_EQ(occurrences(reading.paused, pausedOther), 0) << "read: " << reading.paused.toStdString();
        EXPECT_EQ(occurrences(reading.running, runningOther), 0) << "read: " << reading.running.toStdString();
        if (std::string(mode) == "timeOnly") {
            item = reading.item;
        }
    }
    ASSERT_FALSE(item.isEmpty());

    // A click on the item opens the popover: GNOME's extension opens the item's menu on a single click and
    // activates it on a double one, the others activate on a single click.
    writePreferences({{QStringLiteral("bl.hasSeenOnboarding"), true},
                      {QStringLiteral("bl.appLanguage"), QStringLiteral("en")},
                      {QStringLiteral("bl.menubar.displayMode"), QStringLiteral("timeOnly")}});
    Program program;
    program.start(environment());
    ASSERT_TRUE(program.waitFor(QStringLiteral("[PanelItem] Shown through statusNotifier")));
    ASSERT_EQ(launchAgain({QStringLiteral("quorvane://start?minutes=58&title=Steep")}), 0);
    QTest::qWait(2500);
    QStringList click{QStringLiteral("mousemove"), QString::number(item.center().x()),
                      QString::number(item.center().y()), QStringLiteral("click")};
    if (labels) {
        click << QStringLiteral("--repeat") << QStringLiteral("2") << QStringLiteral("--delay")
              << QStringLiteral("120");
    }
    click << QStringLiteral("1");
    ASSERT_TRUE(xdotool(click));
    const ProgramWindow popover =
        waitForWindow([](const ProgramWindow& w) { return w.geometry.size() == QSize(440, 720); });
    ASSERT_FALSE(popover.id.isEmpty()) << program.log().toStdString();
    EXPECT_TRUE(QRect(QPoint(0, 0), RealDesktopPanel::screenSize).contains(popover.geometry));
    EXPECT_LE(std::abs(popover.geometry.center().x() - item.center().x()), 220) << "opened at the item";
    QTest::qWait(500);
    screenshot(popover.id, caseName() + QStringLiteral("-popover"));

    // The panel restarts (a crash, a settings change): the item is taken again and shows the time once.
    ASSERT_TRUE(panel->restartPanel()) << panel->errorString().toStdString();
    // Plasma's watcher lives in its daemon, which outlives the shell: there the item needs no new
    // registration.
    if (GetParam().desktop != Desktop::plasma) {
        ASSERT_TRUE(program.waitFor(QStringLiteral("registering again"))) << program.log().toStdString();
    }
    const QImage back = settledChange(panel->grabScreen());
    saveStrip(back, QStringLiteral("after-restart"));
    // Found as above: on GNOME by stopping the program, elsewhere by pausing the timer from its menu.
    QImage compared;
    if (labels) {
        stop(program);
        compared = settledChange(back);
    } else {
        ASSERT_TRUE(pauseFromMenu(program));
        compared = settledChange(back);
    }
    const QRect area = RealDesktopPanel::difference(back, compared, panel->panelStrip());
    ASSERT_FALSE(area.isEmpty()) << "the item is back in the panel";
    const QString read = RealDesktopPanel::readText(
        back, area, artifactPath(caseName() + QStringLiteral("-after-restart-read")));
    EXPECT_EQ(occurrences(read, labels ? QStringLiteral("57:") : QStringLiteral("58")), 1)
        << "read: " << read.toStdString();
    if (program.running()) {
        stop(program);
    }
}

std::string caseTitle(const ::testing::TestParamInfo<PanelCase>& param) {
    const char* names[] = {"Gnome", "Xfce", "Lxqt", "Plasma"};
    return std::string(names[int(param.param.desktop)]) +
           (param.param.shade == Shade::dark ? "Dark" : "Light");
}

INSTANTIATE_TEST_SUITE_P(
    Desktops, RealPanelsTest,
    ::testing::Values(PanelCase{Desktop::gnome, Shade::dark}, PanelCase{Desktop::xfce, Shade::dark},
                      PanelCase{Desktop::xfce, Shade::light}, PanelCase{Desktop::lxqt, Shade::light},
                      PanelCase{Desktop::lxqt, Shade::dark}, PanelCase{Desktop::plasma, Shade::light}),
    caseTitle);

} // namespace
