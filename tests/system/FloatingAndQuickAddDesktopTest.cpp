// The floating window and the quick-add panel of the real program on a display and buses of the test's
// own: the floating card at the top right, above everything on every desktop, paused by a click and moved
// by a drag; and the quick-add panel opened from the panel item's menu, which starts nothing until its
// card is confirmed and then exactly one timer. Pictures of the floating card and of both panel steps go
// to the build's test artifacts.
#include "ProgramFixture.h"

#include "shell/RightClickMenu.h"
#include "support/TestPanelHost.h"

#include <QDBusMessage>
#include <QDBusVariant>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace {

const QString kActiveTimers = QStringLiteral("quorvane.activeTimers");
const QString kQuickAdd = QStringLiteral("Quick Add");

bool isQuickAdd(const ProgramWindow& window) {
    return window.title == QLatin1Char('"') + kQuickAdd + QLatin1Char('"');
}

class FloatingAndQuickAddDesktopTest : public ProgramFixture {
protected:
    std::unique_ptr<Program> program;

    FloatingAndQuickAddDesktopTest() : ProgramFixture({QStringLiteral("xdotool")}) {}

    void SetUp() override {
        ProgramFixture::SetUp();
        if (IsSkipped() || HasFatalFailure()) {
            return;
        }
        // A panel that shows items, so the program's item and its menu are on the bus.
        startWatcher();
    }

    const QString& log() const { return program->log(); }
    int registeredBefore = 0;

    void start() {
        // A program started again registers anew: its item is the one registered after this.
        registeredBefore = watcher ? int(watcher->registrations().size()) : 0;
        program = std::make_unique<Program>();
        program->start(environment());
        ASSERT_TRUE(program->waitFor(kReady)) << log().toStdString();
    }

    // The list saved at the program's end; empty when none was saved.
    QList<TimerItem> savedList() const { return savedTimers().value_or(QList<TimerItem>()); }

    // Chooses an entry of the panel item's menu, as a panel does when the user clicks it.
    void chooseMenuEntry(int id) {
        ASSERT_TRUE(
            QTest::qWaitFor([&] { return watcher->registrations().size() > registeredBefore; }, kWaitMs));
        const QString service = waitForItemService();
        ASSERT_FALSE(service.isEmpty());
        TestPanelHost host(newConnection(QStringLiteral("host")), service);
        const QDBusMessage reply = host.call(
            QStringLiteral("/MenuBar"), QStringLiteral("com.canonical.dbusmenu"), QStringLiteral("Event"),
            {id, QStringLiteral("clicked"), QVariant::fromValue(QDBusVariant(0)), 0u});
        ASSERT_EQ(reply.type(), QDBusMessage::ReplyMessage) << reply.errorMessage().toStdString();
    }
};

} // namespace

TEST_F(FloatingAndQuickAddDesktopTest, TheFloatingWindowSitsTopRightAboveAllAndTellsAClickFromADrag) {
    writePreferences({{QStringLiteral("bl.hasSeenOnboarding"), true},
                      {QStringLiteral("bl.floating.showOnStart"), true},
                      {QStringLiteral("bl.appLanguage"), QStringLiteral("en")},
                      {kActiveTimers, *TimerItem::encodeList({[] {
                           TimerItem tea =
                               TimerItem::make(QUuid::createUuid(), QStringLiteral("Tea"), 1500,
                                               TimerState::running, false, std::nullopt, std::nullopt);
                           tea.remaining = 1200;
                           return tea;
                       }()})}});
    start();
    const ProgramWindow floating = waitForCard(QSize(200, 54));
    ASSERT_FALSE(floating.id.isEmpty()) << log().toStdString();
    // A 200 × 54 card, its right edge 20 px in from the screen's, 20 px down from the top.
    EXPECT_EQ(cardOf(floating).topLeft(), QPoint(1280 - 200 - 20, 20));
    const QString states = netWmState(floating.id);
    for (const char* state : {"_NET_WM_STATE_ABOVE", "_NET_WM_STATE_STICKY"}) {
        EXPECT_TRUE(states.contains(QString::fromLatin1(state))) << state << ": " << states.toStdString();
    }
    // The restored timer comes back paused; a click on the card runs it.
    const QPoint card = cardOf(floating).topLeft() + QPoint(40, 30);
    clickAt(card);
    QTest::qWait(1500); // a tick or so, so the picture shows it running
    screenshot(floating.id, QStringLiteral("floating-window-running"));

    // A drag moves the window and is no click: the timer keeps running.
    const QPoint to = card + QPoint(-300, 200);
    xdotool({QStringLiteral("mousemove"), QString::number(card.x()), QString::number(card.y()),
             QStringLiteral("mousedown"), QStringLiteral("1"), QStringLiteral("mousemove"),
             QString::number(card.x() - 20), QString::number(card.y() + 10), QStringLiteral("mousemove"),
             QString::number(to.x()), QString::number(to.y()), QStringLiteral("mouseup"),
             QStringLiteral("1")});
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return cardOf(floating).topLeft() == QPoint(1060 - 300, 20 + 200); }, kWaitMs))
        << "the card stands at " << cardOf(floating).x() << "," << cardOf(floating).y();
    stop(*program);
    const QList<TimerItem> saved = savedList();
    ASSERT_EQ(saved.size(), 1);
    EXPECT_EQ(saved[0].state, TimerState::running) << "one click ran it; the drag did not pause it again";
}

TEST_F(FloatingAndQuickAddDesktopTest, TheMenusReviewEntryStartsNothingUntilConfirmedThenExactlyOneTimer) {
    writePreferences({{QStringLiteral("bl.hasSeenOnboarding"), true},
                      {QStringLiteral("bl.appLanguage"), QStringLiteral("en")}});
    const int mid = 1024 / 2;

    // The entry opens the panel on its card, centred across and above the middle of the screen.
    start();
    chooseMenuEntry(RightClickMenu::quick25Id);
    ProgramWindow panel = waitForWindow(isQuickAdd);
    ASSERT_FALSE(panel.id.isEmpty()) << log().toStdString();
    EXPECT_EQ(panel.geometry.width(), 380);
    EXPECT_GT(panel.geometry.height(), 400) << "the card is taller than the entry step";
    EXPECT_EQ(windowOrigin(panel.id), QPoint((1280 - 380) / 2, mid - panel.geometry.height() / 2 - 80));
    QTest::qWait(500);
    screenshot(panel.id, QStringLiteral("quick-add-confirmation"));

    // Escape goes back to the entry step, 380 × 400; a second one closes the panel.
    xdotool({QStringLiteral("key"), QStringLiteral("Escape")});
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            panel = windowsTitled(kQuickAdd).value(0);
            return panel.geometry.size() == QSize(380, 400);
        },
        kWaitMs));
    ASSERT_FALSE(panel.id.isEmpty());
    QTest::qWait(300);
    screenshot(panel.id, QStringLiteral("quick-add-entry"));
    xdotool({QStringLiteral("key"), QStringLiteral("Escape")});
    EXPECT_TRUE(QTest::qWaitFor([&] { return windowsTitled(kQuickAdd).isEmpty(); }, kWaitMs));
    stop(*program);
    EXPECT_TRUE(savedList().isEmpty()) << "nothing was confirmed, so nothing started";

    // Confirmed with Return (Start holds the keyboard): one 25-minute timer, running, and the panel gone.
    start();
    chooseMenuEntry(RightClickMenu::quick25Id);
    ASSERT_FALSE(waitForWindow(isQuickAdd).id.isEmpty());
    QTest::qWait(300);
    xdotool({QStringLiteral("key"), QStringLiteral("Return")});
    EXPECT_TRUE(QTest::qWaitFor([&] { return windowsTitled(kQuickAdd).isEmpty(); }, kWaitMs));
    QTest::qWait(300);
    stop(*program);
    const QList<TimerItem> saved = savedList();
    ASSERT_EQ(saved.size(), 1);
    EXPECT_EQ(saved[0].totalDuration, 1500);
    EXPECT_EQ(saved[0].title, QString());
    EXPECT_EQ(saved[0].state, TimerState::running);
}
