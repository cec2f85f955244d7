// The timers tab inside the popover, driven as a user drives it: typing a time and confirming it, the hero's
// controls, the overflow menu and its queue, the Pomodoro area and the task chain from builder to banner,
// and what a tick changes (and leaves alone) on screen.
#include "HomeFixture.h"

#include "ui/home/HeroSection.h"
#include "ui/home/QueueMenu.h"
#include "ui/home/RunningHeroView.h"
#include "ui/home/ToolRow.h"
#include "core/ChainCoordinator.h"
#include "theme/ModuleVisibilityStore.h"
#include "ui/focus/ChainBuilderButton.h"
#include "ui/focus/ChainBuilderOverlay.h"
#include "ui/focus/ChainBuilderView.h"
#include "ui/focus/ChainRunningBanner.h"
#include "ui/focus/ChainStepRow.h"
#include "ui/focus/PomodoroCard.h"
#include "ui/focus/PomodoroSimpleEntry.h"
#include "ui/focus/ReferenceTextButton.h"
#include "ui/kit/TimerPreparationModel.h"
#include "ui/popover/MainViewModel.h"
#include "theme/QvColor.h"

#include <QAction>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMenu>
#include <QSignalSpy>

namespace {

using S = TimerState;
using Control = RunningHeroView::Control;

class TimersTabTest : public HomeFixture {
public:
    RunningHeroView* hero() const { return tab()->heroSection()->card(); }
    QAbstractButton* control(Control c) const { return hero()->control(c); }
    void click(QAbstractButton* button) const {
        QTest::mouseClick(button, Qt::LeftButton, {}, QRect(QPoint(), button->size()).center());
    }
    QLineEdit* input() const { return bar()->inputField(); }
    QMenu* openOverflow() const {
        click(tab()->toolRow());
        EXPECT_TRUE(tab()->toolRow()->menu()->isVisible());
        return tab()->toolRow()->menu();
    }
    // The task-chain builder, opened from the overflow menu.
    void openChainBuilder() const {
        QMenu* menu = openOverflow();
        QTest::mouseClick(menu, Qt::LeftButton, {},
                          menu->actionGeometry(tab()->toolRow()->taskChainAction()).center());
    }
    static void hover(QWidget* widget) {
        const QPointF at = QRectF(widget->rect()).center();
        QEnterEvent enter(at, widget->mapTo(widget->window(), at), widget->mapToGlobal(at));
        QCoreApplication::sendEvent(widget, &enter);
        QMouseEvent move(QEvent::MouseMove, at, widget->mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                         Qt::NoModifier);
        QCoreApplication::sendEvent(widget, &move);
    }
};

} // namespace

TEST_F(TimersTabTest, ATypedTimeIsConfirmedAndCountsDownOnTheHero) {
    makeTab();
    showTab();
    ASSERT_NE(tab(), nullptr) << "the timers tab is the root's first tab";
    EXPECT_TRUE(tab()->heroSection()->showsEmptyHero());

    input()->setFocus();
    QTest::keyClicks(input(), QStringLiteral(" 25m "));
    QTest::keyClick(input(), Qt::Key_Return);
    ASSERT_NE(card(), nullptr) << "a typed time is shown for confirmation first";
    EXPECT_EQ(card()->model().request().kind(), TimerStartRequest::Kind(TimerStartRequest::duration{1500}));
    EXPECT_TRUE(card()->model().request().title().isEmpty());
    EXPECT_TRUE(timers->timers().isEmpty()) << "nothing starts before confirmation";
    EXPECT_TRUE(input()->text().isEmpty());
    EXPECT_TRUE(card()->focusWidget() && card()->isAncestorOf(card()->focusWidget()))
        << "the card keeps the keyboard the bar gave up";

    QTest::keyClick(card()->focusWidget(), Qt::Key_Return);
    flushDeletes();
    ASSERT_EQ(timers->timers().size(), 1);
    EXPECT_FALSE(tab()->heroSection()->showsEmptyHero());
    EXPECT_EQ(hero()->content().displayTime, QStringLiteral("25:00"));
    EXPECT_EQ(hero()->content().stateLabel, QStringLiteral("FOCUS"));
    EXPECT_EQ(hero()->endsAtText(), QStringLiteral("Ends at 9:25"))
        << "in the in-app language's clock (Japanese by default)";

    RunningHeroView* shown = hero();
    tick();
    EXPECT_EQ(hero(), shown) << "a tick redraws the same card";
    EXPECT_EQ(hero()->content().displayTime, QStringLiteral("24:59"));
    EXPECT_EQ(hero()->content().tickCount, 0);
    tick(60);
    EXPECT_EQ(hero()->content().tickCount, 2);
}

TEST_F(TimersTabTest, TheEmptyHerosPlayButtonStartsATimerAtOnce) {
    makeTab({timer(S::finished, "done")});
    showTab();
    auto* empty = find<RunningHeroView>("quorvane.emptyHero");
    ASSERT_NE(empty, nullptr);
    EXPECT_EQ(empty->content().displayTime, QStringLiteral("25:00"));
    EXPECT_EQ(empty->content().stateLabel, QStringLiteral("READY"));
    EXPECT_FALSE(empty->control(Control::stop)->isVisible());
    EXPECT_FALSE(empty->control(Control::skip)->isVisible());
    EXPECT_EQ(empty->control(Control::primary)->accessibleName(), QStringLiteral("Start"));

    click(empty->control(Control::primary));
    EXPECT_EQ(card(), nullptr) << "the one start in the popover without confirmation";
    ASSERT_EQ(timers->timers().size(), 2);
    EXPECT_EQ(at(1).state, S::running);
    EXPECT_EQ(at(1).totalDuration, 1500);
    flushDeletes();
    EXPECT_EQ(find<RunningHeroView>("quorvane.emptyHero"), nullptr);
    EXPECT_EQ(hero()->content().stateLabel, QStringLiteral("FOCUS"));
}

TEST_F(TimersTabTest, HeroControlsActOnTheHeroAndFollowIt) {
    makeTab({timer(S::running, "A"), timer(S::idle, "B"), timer(S::idle, "C")});
    showTab();
    EXPECT_TRUE(control(Control::stop)->isVisible());
    EXPECT_TRUE(control(Control::skip)->isVisible());

    click(control(Control::primary));
    EXPECT_EQ(at(0).state, S::paused);
    EXPECT_EQ(hero()->content().stateLabel, QStringLiteral("PAUSED"));
    EXPECT_EQ(hero()->content().litOpacity, 0.5);
    EXPECT_EQ(control(Control::primary)->accessibleName(), QStringLiteral("Resume"));
    EXPECT_TRUE(hero()->endsAtText().isEmpty());

    click(control(Control::skip));
    ASSERT_EQ(timers->timers().size(), 2);
    EXPECT_EQ(at(0).title, QStringLiteral("B"));
    EXPECT_EQ(at(0).state, S::idle) << "the new hero is not the one started";
    EXPECT_EQ(at(1).state, S::running);
    EXPECT_EQ(hero()->content().title, QStringLiteral("C"));

    click(control(Control::stop));
    ASSERT_EQ(timers->timers().size(), 1);
    EXPECT_EQ(hero()->content().title, QStringLiteral("B"));
    EXPECT_FALSE(control(Control::stop)->isVisible()) << "an idle hero is not live";
    EXPECT_TRUE(control(Control::skip)->isVisible());
}

TEST_F(TimersTabTest, ThePomodoroPhaseTimerIsStoppedAndSkippedThroughItsSession) {
    makeTab();
    showTab();
    pomodoro->startSession();
    EXPECT_EQ(hero()->content().title, QStringLiteral("Focus"));
    click(control(Control::skip));
    EXPECT_TRUE(pomodoro->isActive());
    EXPECT_EQ(pomodoro->currentPhase(), PomodoroPhase::shortBreak);
    pomodoro->startPendingPhase();
    click(control(Control::stop));
    EXPECT_FALSE(pomodoro->isActive());
    EXPECT_TRUE(timers->timers().isEmpty());
}

TEST_F(TimersTabTest, TheOverflowMenuListsTheQueueAndActsOnIt) {
    makeTab({timer(S::running, "Hero"), timer(S::idle, "Write & send"), timer(S::paused, "", 3600),
             timer(S::finished, "Old"), timer(S::running, "", 1499)});
    showTab();
    openOverflow();
    QueueMenu* queue = tab()->toolRow()->queueMenu();
    ASSERT_NE(queue, nullptr);
    EXPECT_EQ(root->findChild<QMenu*>(QStringLiteral("quorvane.queue.menu")), queue);
    EXPECT_TRUE(queue->menuAction()->isVisible());
    EXPECT_EQ(queue->title(), QStringLiteral("Up Next (3)"));
    const struct {
        const char* name;
        const char* title;
        const char* toggle;
    } entries[] = {
        {"a title shows as written", "Write && send", "Start"},
        {"an untitled timer shows its time, with hours", "1:00:00", "Start"},
        {"a running timer other than the hero can be paused", "24:59", "Pause"},
    };
    ASSERT_EQ(queue->entryCount(), 3);
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(entries[i].name);
        EXPECT_EQ(queue->entry(i)->title(), QString::fromUtf8(entries[i].title));
        EXPECT_EQ(queue->entry(i)->actions().at(0)->text(), QString::fromUtf8(entries[i].toggle));
        EXPECT_EQ(queue->entry(i)->actions().at(1)->text(), QStringLiteral("Cancel"));
    }
    ASSERT_NE(tab()->toolRow()->taskChainAction(), nullptr);
    EXPECT_TRUE(tab()->toolRow()->taskChainAction()->isEnabled());

    queue->entry(1)->actions().at(0)->trigger();
    EXPECT_EQ(at(2).state, S::running) << "Start resumes the paused timer";
    EXPECT_EQ(queue->entry(1)->actions().at(0)->text(), QStringLiteral("Pause")) << "while the menu is open";
    queue->entry(0)->actions().at(1)->trigger();
    EXPECT_EQ(timers->timers().size(), 4);
    EXPECT_EQ(queue->entryCount(), 2);
    EXPECT_EQ(queue->title(), QStringLiteral("Up Next (2)"));
    EXPECT_EQ(at(0).state, S::running) << "the hero is unaffected";

    tab()->toolRow()->floatingWindowAction()->trigger();
    EXPECT_EQ(posted, strings({"quorvane.toggleFloating"}));
    tab()->toolRow()->menu()->hide();
}

TEST_F(TimersTabTest, AQueuedTimersMenuOpensAwayFromTheScreenEdgeWithoutCoveringTheOverflowMenu) {
    makeTab(
        {timer(S::running, "Hero"), timer(S::idle, "Write the quarterly report"), timer(S::paused, "Call")});
    // The popover where a panel item in the top right corner opens it.
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    root->move(area.right() + 1 - root->width(), area.top());
    showTab();
    QMenu* menu = openOverflow();
    QueueMenu* queue = tab()->toolRow()->queueMenu();
    ASSERT_NE(queue, nullptr);
    menu->setActiveAction(queue->menuAction());
    QTest::keyClick(menu, Qt::Key_Right);
    ASSERT_TRUE(queue->isVisible());
    ASSERT_LT(queue->geometry().center().x(), menu->geometry().center().x()) << "no room on the right";
    QTest::keyClick(queue, Qt::Key_Right); // opens the first entry, "Write the quarterly report"
    QMenu* entry = queue->entry(0);
    ASSERT_TRUE(entry->isVisible());
    EXPECT_FALSE(entry->geometry().intersects(menu->geometry()))
        << "\"Up Next\" and \"Task Chain\" stay in sight";
    EXPECT_LT(entry->geometry().center().x(), queue->geometry().center().x());
    menu->hide();
}

TEST_F(TimersTabTest, AnEmptyQueueAndHiddenChainEntryLeaveOnlyTheFloatingWindow) {
    modules.setVisible(false, ModuleID::chainEntry);
    makeTab({timer(S::running, "Only")});
    showTab();
    QMenu* menu = openOverflow();
    QStringList visible;
    for (QAction* action : menu->actions()) {
        if (action->isVisible()) {
            visible << (action->isSeparator() ? QStringLiteral("|") : action->text());
        }
    }
    EXPECT_EQ(visible, strings({"Floating Window"}));
    menu->hide();
}

TEST_F(TimersTabTest, AHighlightedMenuRowsIconTakesTheHighlightedTextColour) {
    const auto light = [](const QvColor& c) { return c.resolve(ColorScheme::light); };
    const std::pair<QColor, QColor> highlights[] = {
        {light(QvColor::qvInkAction()), light(QvColor::qvInkOnAction())}, // the program's own: near-black
        {QColor(0x2f, 0x3b, 0x4a), QColor(0xf0, 0xf0, 0xf0)},             // a dark desktop's
        {QColor(0xcc, 0xe4, 0xf7), QColor(0x10, 0x10, 0x10)}};            // a pale one under dark text
    makeTab({timer(S::running, "Hero"), timer(S::idle, "Next")});
    showTab();
    for (const auto& [highlight, text] : highlights) {
        SCOPED_TRACE(highlight.name().toStdString());
        QPalette palette = QApplication::palette();
        palette.setColor(QPalette::Highlight, highlight);
        palette.setColor(QPalette::HighlightedText, text);
        tab()->toolRow()->menu()->setPalette(palette);
        QMenu* menu = openOverflow();
        for (QAction* action : menu->actions()) {
            if (!action->isVisible() || action->isSeparator()) {
                continue;
            }
            menu->setActiveAction(action);
            const QImage picture = menu->grab().toImage();
            // The icon sits in a square at the row's leading end, before the text.
            const QRect row = menu->actionGeometry(action);
            int inked = 0;
            for (int y = row.top(); y <= row.bottom(); ++y) {
                for (int x = row.left(); x < row.left() + row.height(); ++x) {
                    const QColor c = picture.pixelColor(x, y);
                    inked += std::abs(c.red() - text.red()) + std::abs(c.green() - text.green()) +
                                 std::abs(c.blue() - text.blue()) <
                             60;
                }
            }
            EXPECT_GE(inked, 10) << action->text().toStdString() << ": its icon shows on the highlight";
        }
        menu->hide();
    }
}

TEST_F(TimersTabTest, ATickRefreshesOnlyWhatChangedWhileAMenuIsOpenAndTextIsTyped) {
    makeTab({timer(S::running, "Hero"), timer(S::running, ""), timer(S::idle, "Idle")});
    showTab();
    input()->setFocus();
    QTest::keyClicks(input(), QStringLiteral("1h3"));
    hover(control(Control::stop));
    ASSERT_EQ(hero()->hoveredControl(), Control::stop);

    QMenu* menu = openOverflow();
    QueueMenu* queue = tab()->toolRow()->queueMenu();
    ASSERT_EQ(queue->entryCount(), 2);
    QPointer<QMenu> running = queue->entry(0);
    QPointer<QMenu> idle = queue->entry(1);
    menu->setActiveAction(queue->menuAction());
    queue->setActiveAction(idle->menuAction());
    QSignalSpy runningChanged(running->menuAction(), &QAction::changed);
    QSignalSpy idleChanged(idle->menuAction(), &QAction::changed);
    QSignalSpy idleToggleChanged(idle->actions().at(0), &QAction::changed);
    QPointer<RunningHeroView> card = hero();

    tick();
    EXPECT_TRUE(menu->isVisible()) << "the menu stays open";
    EXPECT_EQ(tab()->toolRow()->queueMenu(), queue);
    EXPECT_EQ(queue->entry(0), running.data()) << "entries are updated, not rebuilt";
    EXPECT_EQ(queue->entry(1), idle.data());
    EXPECT_EQ(running->title(), QStringLiteral("24:59"));
    EXPECT_GE(runningChanged.count(), 1);
    EXPECT_EQ(idleChanged.count(), 0) << "an entry the tick did not change is left alone";
    EXPECT_EQ(idleToggleChanged.count(), 0);
    EXPECT_EQ(queue->activeAction(), idle->menuAction()) << "the pointer's entry stays highlighted";
    EXPECT_EQ(input()->text(), QStringLiteral("1h3")) << "typed text survives";
    EXPECT_EQ(hero(), card.data());
    EXPECT_EQ(hero()->hoveredControl(), Control::stop) << "hover survives";
    EXPECT_EQ(hero()->content().displayTime, QStringLiteral("24:59"));
    menu->hide();
}

TEST_F(TimersTabTest, SectionsMoveUpWhileAPomodoroSessionIsActive) {
    makeTab();
    showTab();
    const auto heroAt = [this] {
        return tab()->heroSection()->pos() + tab()->heroSection()->card()->cardRect().topLeft();
    };
    EXPECT_EQ(heroAt(), QPoint(106, 44));
    EXPECT_EQ(bar()->pos(), QPoint(18, 366));
    EXPECT_EQ(pane()->pos(), QPoint(18, 484));
    EXPECT_EQ(tab()->toolRow()->geometry(), QRect(390, 14, 32, 32));
    pomodoro->startSession();
    EXPECT_EQ(heroAt(), QPoint(106, 24));
    EXPECT_EQ(bar()->pos(), QPoint(18, 310));
    EXPECT_EQ(pane()->pos(), QPoint(18, 428));
    pomodoro->stopSession();
    EXPECT_EQ(bar()->pos(), QPoint(18, 366));
}

TEST_F(TimersTabTest, ThePomodoroAreaFollowsTheHeroAndTheBannerLiesAboveTheRest) {
    makeTab({timer(S::idle)});
    showTab();
    PomodoroCard* area = tab()->pomodoroArea();
    ChainRunningBanner* banner = tab()->chainBanner();
    EXPECT_EQ(banner->pos(), QPoint(18, 4));
    EXPECT_FALSE(banner->isVisible()) << "no chain runs";
    const QObjectList children = tab()->children();
    EXPECT_GT(children.indexOf(banner), children.indexOf(tab()->toolRow()));
    EXPECT_GT(children.indexOf(banner), children.indexOf(tab()->heroSection()));
    // Where the face shown sits on the canvas.
    const auto faceAt = [&] {
        const QWidget* face = area->showsStartCard() ? area->startCard() : area->simpleEntry();
        return face->mapTo(tab(), QPoint(0, 0));
    };
    const struct {
        const char* behaviour;
        std::function<void()> act;
        bool visible;
        bool startCard;
        QPoint at;
    } rows[] = {
        {"an idle hero offers the simple entry", [] {}, true, false, QPoint(18, 578)},
        {"a running ordinary timer hides it", [this] { timers->start(at(0)); }, false, false,
         QPoint(18, 578)},
        {"an active session shows the start card higher up", [this] { pomodoro->startSession(); }, true, true,
         QPoint(18, 498)},
        {"the session's end puts the simple entry back",
         [this] {
             pomodoro->stopSession();
             timers->toggle(at(0));
         },
         true, false, QPoint(18, 578)},
        {"hiding the module hides it",
         [this] { root->moduleVisibility().setVisible(false, ModuleID::pomodoroStartCard); }, false, false,
         QPoint(18, 578)},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.behaviour);
        row.act();
        EXPECT_EQ(area->isVisible(), row.visible);
        EXPECT_EQ(area->showsStartCard(), row.startCard);
        EXPECT_EQ(faceAt(), row.at);
    }
}

TEST_F(TimersTabTest, TheBarsFieldsKeepTheKeyboardFromEachOtherAndGiveItBackToTheRoot) {
    makeTab();
    showTab();
    QLineEdit* name = bar()->presetNameField();
    const struct {
        const char* name;
        std::function<void()> act;
        bool rootHasKeyboard;
    } steps[] = {
        {"typing a duration",
         [&] {
             input()->setFocus();
             QTest::keyClicks(input(), QStringLiteral("10m"));
         },
         false},
        {"clicking into the preset name keeps it there", [&] { QTest::mouseClick(name, Qt::LeftButton); },
         false},
        {"back into the entry", [&] { QTest::mouseClick(input(), Qt::LeftButton); }, false},
        {"Escape in the entry", [&] { QTest::keyClick(input(), Qt::Key_Escape); }, true},
        {"Escape in the name field",
         [&] {
             name->setFocus();
             QTest::keyClick(name, Qt::Key_Escape);
         },
         true},
        {"Tab from the entry to a button",
         [&] {
             input()->setFocus();
             QTest::keyClick(input(), Qt::Key_Tab);
         },
         true},
    };
    for (const auto& s : steps) {
        SCOPED_TRACE(s.name);
        s.act();
        EXPECT_EQ(root->isKeyNavFocused(), s.rootHasKeyboard);
    }
    name->setFocus();
    EXPECT_EQ(QApplication::focusWidget(), name);
}

TEST_F(TimersTabTest, TaskChainOpensTheBuilderOverTheTabAndItsCloseGivesTheKeyboardBack) {
    makeTab();
    showTab();
    openChainBuilder();
    ChainBuilderOverlay* overlay = tab()->chainBuilderOverlay();
    ASSERT_TRUE(overlay->isVisible());
    EXPECT_EQ(overlay->geometry(), QRect(0, 0, 440, 650));
    ChainBuilderView* builder = overlay->builder();
    ASSERT_NE(builder, nullptr);
    EXPECT_TRUE(builder->chainNameField()->hasFocus());
    click(builder->closeButton());
    flushDeletes();
    EXPECT_FALSE(overlay->isVisible());
    EXPECT_EQ(overlay->builder(), nullptr);
    EXPECT_FALSE(root->model().showChainBuilder());
    EXPECT_TRUE(root->isKeyNavFocused());
}

TEST_F(TimersTabTest, TheChainBuilderKeepsTheKeyboardUntilItsCloseGivesItBack) {
    makeTab();
    showTab();
    openChainBuilder();
    ChainBuilderOverlay* overlay = tab()->chainBuilderOverlay();
    ChainBuilderView* builder = overlay->builder();
    ASSERT_NE(builder, nullptr);
    const struct {
        const char* behaviour;
        std::function<void()> disturb;
    } rows[] = {
        {"a click on the builder's own ground",
         [&] { QTest::mouseClick(builder, Qt::LeftButton, {}, QPoint(builder->width() / 2, 8)); }},
        {"a step deleted with the mouse", [&] { click(builder->rows().last()->deleteButton()); }},
        {"the popover shown again after another window took the keyboard",
         [&] {
             root->hide();
             QWidget elsewhere;
             elsewhere.show();
             elsewhere.activateWindow();
             ASSERT_TRUE(QTest::qWaitForWindowActive(&elsewhere));
             root->show();
             root->activateWindow();
             ASSERT_TRUE(QTest::qWaitForWindowActive(root.get()));
         }},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.behaviour);
        builder->chainNameField()->setFocus();
        row.disturb();
        flushDeletes();
        EXPECT_FALSE(root->isKeyNavFocused()) << "the root behind does not get the keyboard";
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(root->focusCoordinator().focusedTab(), TarvolinTimerTab::timers) << "so Tab does not leave";
        ASSERT_NE(QApplication::focusWidget(), nullptr);
        EXPECT_TRUE(builder->isAncestorOf(QApplication::focusWidget())) << "Tab walks the builder";
    }
    click(builder->closeButton());
    flushDeletes();
    EXPECT_FALSE(overlay->isVisible());
    EXPECT_TRUE(root->isKeyNavFocused());
}

TEST_F(TimersTabTest, AChainStartedFromTheToolRowIsShownAndCancelledOnTheBanner) {
    makeTab();
    showTab();
    openChainBuilder();
    ChainBuilderView* builder = find<ChainBuilderView>("chainBuilder");
    ASSERT_NE(builder, nullptr);
    QTest::keyClicks(builder->chainNameField(), QStringLiteral("Morning"));
    ASSERT_EQ(builder->rows().size(), 2);
    QTest::keyClicks(builder->rows().at(0)->nameField(), QStringLiteral("Mail"));
    QTest::keyClicks(builder->rows().at(1)->nameField(), QStringLiteral("Plan"));
    click(builder->startButton());
    flushDeletes();

    EXPECT_FALSE(tab()->chainBuilderOverlay()->isVisible());
    auto* banner = find<ChainRunningBanner>("quorvane.chain.running");
    ASSERT_EQ(banner, tab()->chainBanner());
    ASSERT_TRUE(banner->isVisible());
    EXPECT_EQ(banner->shownName(), QStringLiteral("Morning"));
    EXPECT_EQ(banner->shownProgress(), QStringLiteral("1/2"));
    ASSERT_EQ(timers->timers().size(), 1);
    EXPECT_EQ(at(0).title, QStringLiteral("Mail"));
    EXPECT_EQ(tab()->model().heroId(), at(0).id) << "the step is the hero";
    openOverflow();
    EXPECT_FALSE(tab()->toolRow()->taskChainAction()->isEnabled()) << "one chain at a time";
    tab()->toolRow()->menu()->hide();

    click(banner->cancelButton());
    EXPECT_FALSE(banner->isVisible());
    EXPECT_FALSE(root->chainCoordinator().isRunning());
    EXPECT_TRUE(timers->timers().isEmpty()) << "the running step goes with the chain";
}

TEST_F(TimersTabTest, ThePomodoroSimpleEntryOpensThePreparationForAFocusSession) {
    makeTab();
    showTab();
    auto* entry = find<PomodoroSimpleEntry>("quorvane.pomodoro.simpleEntry");
    ASSERT_NE(entry, nullptr);
    ASSERT_TRUE(entry->isVisible());
    EXPECT_EQ(card(), nullptr);
    click(entry);
    ASSERT_NE(card(), nullptr) << "the session is prepared first";
    EXPECT_TRUE(root->model().isPomodoroPreparation());
    EXPECT_TRUE(timers->timers().isEmpty()) << "nothing starts before confirmation";
    EXPECT_FALSE(pomodoro->isActive());
}

TEST_F(TimersTabTest, KeysTypedOnThePopoverItselfStayOutOfTheFieldWhichTakesTimesWithoutThePointer) {
    makeTab();
    showTab();
    ASSERT_TRUE(root->isKeyNavFocused());
    // Each key goes wherever the keyboard is when it is pressed.
    for (const char c : {'2', '5', 'm'}) {
        QTest::keyClick(QApplication::focusWidget(), c);
    }
    EXPECT_TRUE(input()->text().isEmpty()) << "the popover ignores printable keys";
    EXPECT_TRUE(root->isKeyNavFocused()) << "and keeps the keyboard";

    QTest::mouseClick(input(), Qt::LeftButton);
    QTest::keyClicks(input(), QStringLiteral("25m"));
    EXPECT_EQ(input()->text(), QStringLiteral("25m"));
    QTest::keyClick(input(), Qt::Key_Return);
    ASSERT_NE(card(), nullptr);
    QTest::keyClick(card()->focusWidget(), Qt::Key_Return);
    ASSERT_EQ(timers->timers().size(), 1);
    EXPECT_EQ(at(0).state, S::running);
    EXPECT_TRUE(root->isKeyNavFocused()) << "the keyboard is back on the popover after the card";

    QTest::keyClick(root.get(), Qt::Key_Tab);
    EXPECT_EQ(root->focusCoordinator().focusedTab(), TarvolinTimerTab::presets) << "Tab still changes tabs";
}
