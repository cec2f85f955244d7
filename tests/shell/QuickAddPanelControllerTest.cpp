// The quick-add panel's window and its controller: one panel at a time, opened empty or on a prepared
// request, re-fronted with what was typed, placed over the upper middle of the screen, closed when it stops
// being the active window (only once it has been active).
#include "DelegateFixture.h"

#include "shell/QuickAddPanelController.h"
#include "ui/quickadd/QuickAddView.h"

#include <QApplication>
#include <QLineEdit>
#include <QScreen>
#include <QTest>

namespace {

using QuickAddPanelControllerTest = DelegateFixture;

TimerStartRequest minutes(qint64 count) {
    return TimerStartRequest(QUuid::createUuid(), QString(), TimerStartRequest::duration{count * 60});
}

} // namespace

TEST_F(QuickAddPanelControllerTest, OnePanelAtATimeReFrontedOrReplaced) {
    launch();
    QuickAddPanelController& controller = delegate->quickAddController();
    EXPECT_EQ(controller.panel(), nullptr) << "no panel before it is shown";

    controller.toggle();
    QPointer<QuickAddPanel> empty = controller.panel();
    ASSERT_NE(empty, nullptr);
    EXPECT_TRUE(empty->isVisible());
    EXPECT_EQ(empty->objectName(), QStringLiteral("quorvane.quickAddPanel"));
    EXPECT_EQ(empty->windowTitle(), QStringLiteral("Quick Add"));
    EXPECT_FALSE(empty->pendingRequest().has_value());
    EXPECT_EQ(empty->size(), QSize(380, 400));
    QTest::keyClicks(empty->view().field(), QStringLiteral("12m"));

    controller.show(std::nullopt);
    EXPECT_EQ(controller.panel(), empty.data()) << "shown again without a request: the same panel, in front";
    EXPECT_EQ(empty->view().field()->text(), QStringLiteral("12m")) << "with what was typed";

    const TimerStartRequest five = minutes(5);
    controller.show(five);
    settle();
    EXPECT_TRUE(empty.isNull()) << "a request replaces the panel";
    ASSERT_NE(controller.panel(), nullptr);
    EXPECT_EQ(controller.panel()->pendingRequest(), five);
    EXPECT_EQ(controller.panel()->view().field()->text(), QString()) << "with an empty entry step behind";

    controller.toggle();
    EXPECT_EQ(controller.panel(), nullptr);
    settle();
    controller.toggle();
    ASSERT_NE(controller.panel(), nullptr);
    EXPECT_FALSE(controller.panel()->pendingRequest().has_value()) << "the next opening starts empty";
    EXPECT_EQ(controller.panel()->view().field()->text(), QString());
    EXPECT_TRUE(delegate->timerManager().timers().isEmpty()) << "opening and closing start nothing";
}

TEST_F(QuickAddPanelControllerTest, ItsNamesAreItsOwnBesideThePopoversBar) {
    launch();
    delegate->showPopover();
    ASSERT_NE(delegate->popover(), nullptr);
    delegate->quickAddController().toggle();
    QuickAddPanel* panel = delegate->quickAddController().panel();
    ASSERT_NE(panel, nullptr);
    const auto everywhere = [](const QString& name) {
        int count = 0;
        for (const QWidget* widget : QApplication::allWidgets()) {
            count += widget->objectName() == name ? 1 : 0;
        }
        return count;
    };
    // The popover's bar has a field and a message line of its own; a look-up by name finds one of each.
    EXPECT_GE(everywhere(QStringLiteral("quorvane.quickAdd.input")), 1);
    for (const char* name : {"quorvane.quickAddPanel.input", "quorvane.quickAddPanel.message",
                             "quorvane.quickAddPanel.chip.5", "quorvane.quickAddPanel.chip.50"}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(everywhere(QString::fromLatin1(name)), 1);
        EXPECT_NE(panel->findChild<QWidget*>(QString::fromLatin1(name)), nullptr);
    }
    for (const QWidget* widget : panel->findChildren<QWidget*>()) {
        EXPECT_FALSE(widget->objectName().startsWith(QStringLiteral("quorvane.quickAdd.")))
            << widget->objectName().toStdString();
    }
    EXPECT_EQ(panel->findChild<QWidget*>(QStringLiteral("quorvane.quickAddPanel.input")),
              panel->view().field());
}

TEST_F(QuickAddPanelControllerTest, ItSitsCentredAcrossAndAboveTheMiddleOfTheScreen) {
    const struct {
        const char* behaviour;
        QRect available;
        int height;
        QPoint topLeft;
    } rows[] = {
        {"a 1280 × 1024 screen", QRect(0, 0, 1280, 1024), 400, QPoint(450, 232)},
        {"a free area below a 24 px panel, on a second screen", QRect(1280, 24, 1920, 1056), 400,
         QPoint(2050, 272)},
        {"a grown panel rises by half its extra height", QRect(0, 0, 1280, 1024), 480, QPoint(450, 192)},
        {"never above the free area's top", QRect(0, 30, 800, 450), 500, QPoint(210, 30)},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.behaviour);
        EXPECT_EQ(QuickAddPanelController::placement(row.available, row.height), row.topLeft);
    }
    launch();
    delegate->quickAddController().toggle();
    const QuickAddPanel* panel = delegate->quickAddController().panel();
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(panel->pos(),
              QuickAddPanelController::placement(QGuiApplication::primaryScreen()->availableGeometry(), 400));
}

TEST_F(QuickAddPanelControllerTest, LosingTheActiveWindowClosesItOnlyOnceItWasActive) {
    launch();
    QuickAddPanelController& controller = delegate->quickAddController();
    controller.toggle();
    QuickAddPanel* panel = controller.panel();
    ASSERT_NE(panel, nullptr);
    // Some window managers report a deactivation while mapping the window: it is not the user leaving.
    QEvent early(QEvent::WindowDeactivate);
    QCoreApplication::sendEvent(panel, &early);
    EXPECT_EQ(controller.panel(), panel);

    ASSERT_TRUE(QTest::qWaitForWindowActive(panel));
    QWidget elsewhere;
    elsewhere.show();
    elsewhere.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&elsewhere));
    EXPECT_TRUE(QTest::qWaitFor([&] { return controller.panel() == nullptr; }, 2000));
}

TEST_F(QuickAddPanelControllerTest, ItDoesNothingOnceTheEngineIsGone) {
    make();
    QuickAddPanelController controller(&delegate->timerManager(), preferences);
    delegate.reset();
    controller.show(minutes(5));
    EXPECT_EQ(controller.panel(), nullptr);
    controller.toggle();
    EXPECT_EQ(controller.panel(), nullptr);
}
