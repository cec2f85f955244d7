// The popover root as a user drives it, offscreen: tabs by click and by keyboard, keys left alone while a
// field has the focus, and every way through the confirmation card.
#include "PopoverFixture.h"

#include "support/AccessibleReading.h"
#include "theme/ThemeSettingsKeys.h"
#include "ui/kit/ViewEnvironment.h"
#include "ui/kit/TimerPreparationModel.h"
#include "ui/popover/BottomBar.h"
#include "ui/popover/BottomBarTabButton.h"
#include "ui/popover/EmptyTabPage.h"
#include "ui/popover/MainViewModel.h"
#include "ui/popover/PopoverFocusCoordinator.h"
#include "ui/popover/PreparationOverlay.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QVBoxLayout>

namespace {

using Tab = TarvolinTimerTab;

// A tab page with a text field, as the later screens have.
QWidget* pageWithField(const char* name) {
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    auto* field = new QLineEdit(page);
    field->setObjectName(QLatin1String(name));
    layout->addWidget(field);
    return page;
}

class TarvolinTimerMainViewTest : public PopoverFixture {
public:
    void SetUp() override {
        makeRoot();
        root->show();
    }
    Tab tab() const { return root->focusCoordinator().focusedTab(); }
    void clickTab(Tab t) const { QTest::mouseClick(root->bottomBar()->button(t), Qt::LeftButton); }
    void clickCardButton(const char* name) const {
        auto* button = card()->findChild<QAbstractButton*>(QLatin1String(name));
        ASSERT_NE(button, nullptr) << name;
        QTest::mouseClick(button, Qt::LeftButton);
    }
    bool overlayShown() const { return root->preparationOverlay()->isVisible(); }
};

} // namespace

TEST_F(TarvolinTimerMainViewTest, IsTheFixedSizePopoverWithItsIdentifiers) {
    EXPECT_EQ(root->size(), QSize(440, 720));
    EXPECT_EQ(root->objectName(), QStringLiteral("quorvane.mainView"));
    EXPECT_EQ(find<BottomBar>("quorvane.bottomBar"), root->bottomBar());
    EXPECT_EQ(root->bottomBar()->geometry(), QRect(0, 650, 440, 70));
    EXPECT_EQ(root->currentTabContent()->geometry(), QRect(0, 0, 440, 650));
    for (Tab t : allTarvolinTimerTabs()) {
        EXPECT_NE(root->findChild<QWidget*>(accessibilityIdentifier(t)), nullptr) << toRaw(t).toStdString();
    }
    EXPECT_TRUE(root->isKeyNavFocused()) << "the keyboard works at once when the popover opens";
}

TEST_F(TarvolinTimerMainViewTest, ClickingATabShowsItAndClearsTheRowSelection) {
    const struct {
        const char* name;
        Tab click;
        Tab shown;
    } rows[] = {
        {"presets", Tab::presets, Tab::presets},
        {"settings", Tab::settings, Tab::settings},
        {"back to timers", Tab::timers, Tab::timers},
        {"the tab already shown stays", Tab::timers, Tab::timers},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        clickTab(r.click);
        EXPECT_EQ(tab(), r.shown);
        EXPECT_EQ(root->bottomBar()->selected(), r.shown);
        EXPECT_TRUE(root->bottomBar()->button(r.shown)->isSelected());
        auto* page = qobject_cast<EmptyTabPage*>(root->currentTabContent());
        ASSERT_NE(page, nullptr);
        EXPECT_EQ(page->tab(), r.shown);
        EXPECT_TRUE(root->isKeyNavFocused()) << "a click on a tab leaves the keyboard with the root";
    }
    root->focusCoordinator().focusTab(Tab::presets);
    QTest::keyClick(root.get(), Qt::Key_Down);
    ASSERT_TRUE(root->focusCoordinator().selectedSequenceIndex().has_value());
    clickTab(Tab::settings);
    EXPECT_FALSE(root->focusCoordinator().selectedSequenceIndex().has_value());
}

TEST_F(TarvolinTimerMainViewTest, TabAndShiftTabWalkTheTabsFromTheKeyboard) {
    const struct {
        const char* name;
        Tab from;
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        Tab to;
    } rows[] = {
        {"Tab", Tab::timers, Qt::Key_Tab, Qt::NoModifier, Tab::presets},
        {"Tab wraps from settings", Tab::settings, Qt::Key_Tab, Qt::NoModifier, Tab::timers},
        {"Shift+Tab wraps from timers", Tab::timers, Qt::Key_Backtab, Qt::ShiftModifier, Tab::settings},
        {"Shift+Tab as Tab with Shift", Tab::presets, Qt::Key_Tab, Qt::ShiftModifier, Tab::timers},
        {"Control+Shift+Tab still goes back", Tab::presets, Qt::Key_Tab,
         Qt::ShiftModifier | Qt::ControlModifier, Tab::timers},
        {"Control+Tab goes forwards", Tab::presets, Qt::Key_Tab, Qt::ControlModifier, Tab::settings},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        root->focusCoordinator().focusTab(r.from);
        QTest::keyClick(root.get(), r.key, r.modifiers);
        EXPECT_EQ(tab(), r.to);
        EXPECT_EQ(root->bottomBar()->selected(), r.to);
        EXPECT_TRUE(root->isKeyNavFocused()) << "Tab switches tabs; it does not move the focus away";
    }
}

TEST_F(TarvolinTimerMainViewTest, AHeldKeyActsOnItsFirstPressOnly) {
    const struct {
        const char* name;
        Tab on;
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        Tab tab;
        std::optional<qsizetype> sequence;
        std::optional<qsizetype> step;
    } rows[] = {
        {"Tab", Tab::timers, Qt::Key_Tab, Qt::NoModifier, Tab::presets, std::nullopt, std::nullopt},
        {"Shift+Tab", Tab::settings, Qt::Key_Backtab, Qt::ShiftModifier, Tab::presets, std::nullopt,
         std::nullopt},
        {"Down", Tab::presets, Qt::Key_Down, Qt::NoModifier, Tab::presets, 0, std::nullopt},
        {"Right", Tab::presets, Qt::Key_Right, Qt::NoModifier, Tab::presets, std::nullopt, 0},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        root->focusCoordinator().focusTab(Tab::timers);
        root->focusCoordinator().focusTab(r.on);
        ASSERT_TRUE(root->isKeyNavFocused());
        // Held down: one press, then the repeats the keyboard sends until it is let go.
        QTest::keyPress(root.get(), r.key, r.modifiers);
        for (int i = 0; i < 4; ++i) {
            QKeyEvent repeat(QEvent::KeyPress, r.key, r.modifiers, QString(), true);
            QApplication::sendEvent(root->window()->focusWidget(), &repeat);
        }
        QTest::keyRelease(root.get(), r.key, r.modifiers);
        EXPECT_EQ(tab(), r.tab);
        EXPECT_EQ(root->focusCoordinator().selectedSequenceIndex(), r.sequence);
        EXPECT_EQ(root->focusCoordinator().selectedSequenceStepIndex(), r.step);
        EXPECT_TRUE(root->isKeyNavFocused()) << "the repeats leave the keyboard on the root";
    }
}

TEST_F(TarvolinTimerMainViewTest, KeysAreLeftAloneWhileAFieldHasTheFocus) {
    root->setTabContent(Tab::presets, pageWithField("field"));
    root->focusCoordinator().focusTab(Tab::presets);
    auto* field = find<QLineEdit>("field");
    ASSERT_NE(field, nullptr);
    field->setFocus();
    ASSERT_FALSE(root->isKeyNavFocused());
    const struct {
        const char* name;
        Qt::Key key;
    } rows[] = {
        {"Down", Qt::Key_Down},   {"Up", Qt::Key_Up},         {"Left", Qt::Key_Left},
        {"Right", Qt::Key_Right}, {"Return", Qt::Key_Return},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        QTest::keyClick(field, r.key);
        EXPECT_FALSE(root->focusCoordinator().selectedSequenceIndex().has_value());
        EXPECT_FALSE(root->focusCoordinator().selectedPresetIndex().has_value());
        EXPECT_FALSE(root->focusCoordinator().selectedSequenceStepIndex().has_value());
        EXPECT_EQ(tab(), Tab::presets);
    }
    QTest::keyClicks(field, QStringLiteral("abc"));
    EXPECT_EQ(field->text(), QStringLiteral("abc"));
    EXPECT_FALSE(root->model().pendingStartRequest().has_value());

    // Given back to the root, the same keys work.
    root->restoreKeyNavFocus();
    QTest::keyClick(root.get(), Qt::Key_Down);
    EXPECT_EQ(root->focusCoordinator().selectedSequenceIndex(), 0);
}

TEST_F(TarvolinTimerMainViewTest, TabContentsAreBuiltAfreshOrKeptAsGiven) {
    int builds = 0;
    root->setTabContentFactory(Tab::timers, [&](TarvolinTimerMainView& r) {
        ++builds;
        EXPECT_EQ(&r, root.get());
        return pageWithField("built");
    });
    EXPECT_EQ(builds, 1) << "the shown tab is built at once";
    find<QLineEdit>("built")->setText(QStringLiteral("typed"));
    auto* kept = pageWithField("kept");
    root->setTabContent(Tab::settings, kept);

    clickTab(Tab::settings);
    EXPECT_EQ(root->currentTabContent(), kept);
    clickTab(Tab::timers);
    EXPECT_EQ(builds, 2);
    flushDeletes();
    ASSERT_EQ(root->findChildren<QLineEdit*>(QStringLiteral("built")).size(), 1) << "the old page is gone";
    EXPECT_EQ(find<QLineEdit>("built")->text(), QString()) << "a built tab starts fresh";
    clickTab(Tab::settings);
    EXPECT_EQ(root->currentTabContent(), kept) << "a kept tab is the same widget";
    EXPECT_TRUE(kept->isVisible());

    // A tab with nothing given says so, in the interface language.
    clickTab(Tab::presets);
    auto* empty = qobject_cast<EmptyTabPage*>(root->currentTabContent());
    ASSERT_NE(empty, nullptr);
    EXPECT_FALSE(empty->message().isEmpty());
}

TEST_F(TarvolinTimerMainViewTest, DensityAndLocaleFollowTheirPreferences) {
    const struct {
        const char* name;
        std::optional<const char*> density;
        DisplayDensity shown;
    } rows[] = {
        {"compact", "compact", DisplayDensity::compact},
        {"spacious", "spacious", DisplayDensity::spacious},
        {"unknown text falls back to spacious", "tight", DisplayDensity::spacious},
        {"compact again", "compact", DisplayDensity::compact},
        {"missing falls back to spacious", std::nullopt, DisplayDensity::spacious},
    };
    for (const auto& r : rows) {
        if (r.density) {
            ThemeSettingsKeys::displayDensity.write(preferences, QLatin1String(*r.density));
        } else {
            preferences.remove(ThemeSettingsKeys::displayDensity.key);
        }
        EXPECT_EQ(root->displayDensity(), r.shown) << r.name;
        EXPECT_EQ(ViewEnvironment::displayDensity(root->currentTabContent()), r.shown) << r.name;
    }
    // The card's end time is worded in the in-app language, and follows a change of it while open.
    root->prepare(countdown(1500));
    const auto* endLine = card()->findChild<QLabel*>(QStringLiteral("quorvane.preparation.endTime"));
    EXPECT_TRUE(endLine->text().endsWith(QStringLiteral(" 9:25"))) << endLine->text().toStdString();
    preferences.setString(QStringLiteral("bl.appLanguage"), QStringLiteral("en"));
    EXPECT_EQ(root->locale().language(), QLocale::English);
    EXPECT_TRUE(endLine->text().endsWith(QStringLiteral(" 9:25 AM"))) << endLine->text().toStdString();
    preferences.setString(QStringLiteral("bl.appLanguage"), QStringLiteral("de"));
    EXPECT_EQ(root->locale().language(), QLocale::Japanese) << "anything but en is Japanese";
}

TEST_F(TarvolinTimerMainViewTest, CardFlowsStartQueueOrLeaveAndGiveTheKeyboardBack) {
    const struct {
        const char* name;
        std::function<void(TarvolinTimerMainViewTest&)> act;
        std::optional<TimerState> made;
    } rows[] = {
        {"Start starts a running timer", [](auto& t) { t.clickCardButton("quorvane.preparation.start"); },
         TimerState::running},
        {"Queue adds an idle timer", [](auto& t) { t.clickCardButton("quorvane.preparation.queue"); },
         TimerState::idle},
        {"Return starts", [](auto& t) { QTest::keyClick(t.card()->focusWidget(), Qt::Key_Return); },
         TimerState::running},
        {"Back starts nothing", [](auto& t) { t.clickCardButton("quorvane.preparation.back"); },
         std::nullopt},
        {"a click on the dim starts nothing",
         [](auto& t) { QTest::mouseClick(t.root->preparationOverlay(), Qt::LeftButton, {}, QPoint(20, 20)); },
         std::nullopt},
        {"Escape starts nothing", [](auto& t) { QTest::keyClick(t.card()->focusWidget(), Qt::Key_Escape); },
         std::nullopt},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        const qsizetype before = timers->timers().size();
        root->prepare(countdown(1500, "Read"));
        ASSERT_NE(card(), nullptr);
        EXPECT_TRUE(overlayShown());
        EXPECT_EQ(card()->focusWidget(),
                  card()->findChild<QWidget*>(QStringLiteral("quorvane.preparation.start")))
            << "Start holds the keyboard when the card opens";
        EXPECT_FALSE(root->isKeyNavFocused());
        // The card is all a screen reader reads while it asks; the tab and its bar come back after.
        EXPECT_TRUE(AccessibleReading::isRead(card()));
        EXPECT_FALSE(AccessibleReading::isRead(root->bottomBar()));
        EXPECT_FALSE(AccessibleReading::isRead(root->currentTabContent()));
        r.act(*this);
        flushDeletes();
        EXPECT_FALSE(overlayShown());
        EXPECT_TRUE(AccessibleReading::isRead(root->bottomBar()));
        EXPECT_TRUE(AccessibleReading::isRead(root->currentTabContent()));
        EXPECT_EQ(card(), nullptr);
        EXPECT_FALSE(root->model().pendingStartRequest().has_value());
        EXPECT_TRUE(root->isKeyNavFocused()) << "the keyboard is the root's again";
        if (r.made) {
            ASSERT_EQ(timers->timers().size(), before + 1);
            EXPECT_EQ(timers->timers().last().title, QStringLiteral("Read"));
            EXPECT_EQ(timers->timers().last().totalDuration, 1500);
            EXPECT_EQ(timers->timers().last().state, *r.made);
        } else {
            EXPECT_EQ(timers->timers().size(), before);
        }
    }
}

TEST_F(TarvolinTimerMainViewTest, AClickInsideTheCardDoesNotCancelIt) {
    root->prepare(countdown(60));
    // The card's own ground, inside its padding, where no control sits.
    const QPoint ground = card()->cardRect().topLeft() + QPoint(6, 6);
    ASSERT_EQ(card()->childAt(ground), nullptr);
    QTest::mouseClick(card(), Qt::LeftButton, {}, ground);
    EXPECT_TRUE(overlayShown());
    EXPECT_FALSE(root->isKeyNavFocused()) << "the keyboard stays in the card";
    QTest::keyClick(root->window()->focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(tab(), Tab::timers);
}

TEST_F(TarvolinTimerMainViewTest, ASecondPrepareReplacesTheCardWithAFreshOne) {
    root->prepare(countdown(300, "First"));
    TimerPreparationView* first = card();
    first->findChild<QLineEdit*>(QStringLiteral("quorvane.preparation.title"))
        ->setText(QStringLiteral("typed"));
    QTest::mouseClick(first->findChild<QAbstractButton*>(QStringLiteral("quorvane.preparation.minus5")),
                      Qt::LeftButton);
    ASSERT_EQ(first->shownLength(), QStringLiteral("00:01"));

    const TimerStartRequest second = countdown(900, "Second");
    root->prepare(second);
    flushDeletes();
    ASSERT_NE(card(), nullptr);
    EXPECT_EQ(root->findChildren<TimerPreparationView*>().size(), 1) << "one card at a time";
    EXPECT_EQ(card()->model().request(), second);
    EXPECT_EQ(card()->shownLength(), QStringLiteral("15:00"));
    EXPECT_EQ(card()->findChild<QLineEdit*>(QStringLiteral("quorvane.preparation.title"))->text(),
              QStringLiteral("Second"));
    EXPECT_EQ(card()->focusWidget(),
              card()->findChild<QWidget*>(QStringLiteral("quorvane.preparation.start")));
}

TEST_F(TarvolinTimerMainViewTest, FiveMinuteStepsFromFiveMinutesStartAtFiveOhOne) {
    root->prepare(countdown(300));
    clickCardButton("quorvane.preparation.minus5");
    EXPECT_EQ(card()->shownLength(), QStringLiteral("00:01"));
    clickCardButton("quorvane.preparation.plus5");
    EXPECT_EQ(card()->shownLength(), QStringLiteral("05:01"));
    QTest::keyClick(card()->focusWidget(), Qt::Key_Return);
    ASSERT_EQ(timers->timers().size(), 1);
    EXPECT_EQ(timers->timers().first().totalDuration, 301);
}

TEST_F(TarvolinTimerMainViewTest, TabStaysInsideTheOpenCard) {
    root->prepare(countdown(300));
    QWidget* start = card()->findChild<QWidget*>(QStringLiteral("quorvane.preparation.start"));
    QSet<QWidget*> visited;
    for (int i = 0; i < 12; ++i) {
        QTest::keyClick(card()->focusWidget() ? card()->focusWidget() : start, Qt::Key_Tab);
        QWidget* focused = root->window()->focusWidget();
        ASSERT_NE(focused, nullptr);
        EXPECT_TRUE(card()->isAncestorOf(focused))
            << "Tab left the card for " << focused->objectName().toStdString();
        visited.insert(focused);
    }
    EXPECT_EQ(tab(), Tab::timers) << "Tab in the card never switches tabs behind it";
    // Title, -5, +5, Back, Queue, Start.
    EXPECT_EQ(visited.size(), 6);
}

TEST_F(TarvolinTimerMainViewTest, RefusalAtTheEngineLimitKeepsTheCardWithOneMessage) {
    makeEngine(filler(TimerManager::maxTimers));
    makeRoot();
    root->show();
    root->prepare(countdown(60));
    clickCardButton("quorvane.preparation.start");
    clickCardButton("quorvane.preparation.queue");
    flushDeletes();
    ASSERT_NE(card(), nullptr) << "a refused start keeps the card open";
    EXPECT_TRUE(overlayShown());
    auto* error = card()->findChild<QLabel*>(QStringLiteral("quorvane.preparation.error"));
    EXPECT_TRUE(error->isVisible());
    EXPECT_EQ(error->text(), QStringLiteral("タイマーの上限に達しました（設定で変更できます）"));
    EXPECT_EQ(timers->timers().size(), TimerManager::maxTimers);
}

TEST_F(TarvolinTimerMainViewTest, AnAlarmWhoseTimeHasPassedSaysSo) {
    preferences.setString(QStringLiteral("bl.appLanguage"), QStringLiteral("en"));
    root->prepare(
        TimerStartRequest(QUuid::createUuid(), QString(), TimerStartRequest::alarm{now.addSecs(30)}));
    now = now.addSecs(31); // the card stayed open past the alarm's time
    clickCardButton("quorvane.preparation.start");
    ASSERT_NE(card(), nullptr);
    EXPECT_EQ(card()->findChild<QLabel*>(QStringLiteral("quorvane.preparation.error"))->text(),
              QStringLiteral("That time has already passed"));
    EXPECT_TRUE(timers->timers().isEmpty());
}

TEST_F(TarvolinTimerMainViewTest, APomodoroCardOffersNeitherAdjustmentNorQueue) {
    root->preparePomodoroStep();
    ASSERT_NE(card(), nullptr);
    for (const char* name :
         {"quorvane.preparation.minus5", "quorvane.preparation.plus5", "quorvane.preparation.queue"}) {
        EXPECT_FALSE(card()->findChild<QWidget*>(QLatin1String(name))->isVisible()) << name;
    }
    clickCardButton("quorvane.preparation.start");
    EXPECT_TRUE(pomodoro->isActive());
    EXPECT_FALSE(overlayShown());
}

TEST_F(TarvolinTimerMainViewTest, TheCardCoversTheWholePopoverWithItsDim) {
    root->prepare(countdown(60));
    EXPECT_EQ(root->preparationOverlay()->geometry(), root->rect());
    const QRect shown = card()->geometry();
    EXPECT_TRUE(root->rect().contains(shown));
    EXPECT_NEAR(shown.center().x(), 220, 1);
    EXPECT_NEAR(shown.center().y(), 360, 1);
}
