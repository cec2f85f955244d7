// The chain builder and the running banner driven the way a user drives them: opened from the tool row's
// entry, typed in, stepped, started, followed step by step and cancelled from the banner.
#include "FocusTabFixture.h"

#include "support/PixelProbe.h"
#include "ui/focus/ChainBuilderButton.h"
#include "ui/focus/ChainBuilderModel.h"
#include "ui/focus/ChainBuilderView.h"
#include "ui/focus/ChainStepRow.h"
#include "ui/focus/MinuteStepper.h"
#include "ui/focus/ReferenceTextButton.h"
#include "ui/popover/MainViewModel.h"

#include <QFontMetricsF>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>

namespace {

void clickStepper(MinuteStepper* stepper, bool up, int times = 1) {
    for (int i = 0; i < times; ++i) {
        QTest::mouseClick(stepper, Qt::LeftButton, {},
                          QPoint(stepper->width() / 2, up ? 4 : stepper->height() - 4));
    }
}

} // namespace

class ChainBuilderViewTest : public FocusCanvasFixture {
public:
    void SetUp() override { makeCanvasRoot(); }

    // Opens the builder, names the chain and its two steps, and starts it.
    void startTwoStepChain() {
        FocusWidgets::openChainBuilder(*root);
        ASSERT_NE(builder(), nullptr);
        QTest::keyClicks(builder()->chainNameField(), QStringLiteral("Deep work"));
        QTest::keyClicks(builder()->rows().at(0)->nameField(), QStringLiteral("Draft"));
        QTest::keyClicks(builder()->rows().at(1)->nameField(), QStringLiteral("Edit"));
        clickStepper(builder()->rows().at(1)->stepper(), false, 5);
        QTest::mouseClick(builder()->startButton(), Qt::LeftButton);
        flushDeletes();
    }

    QUuid activeStep() { return *root->chainCoordinator().activeStepTimerID(); }
};

TEST_F(ChainBuilderViewTest, AFreshBuilderHasTwoTenMinuteStepsAndTheKeyboard) {
    FocusWidgets::openChainBuilder(*root);
    ASSERT_NE(builder(), nullptr);
    EXPECT_TRUE(canvas->chainBuilderOverlay()->isVisible());
    EXPECT_EQ(builder()->size(), QSize(380, 480));
    const auto rows = builder()->rows();
    ASSERT_EQ(rows.size(), 2);
    for (ChainStepRow* row : rows) {
        EXPECT_TRUE(row->nameField()->text().isEmpty());
        EXPECT_EQ(row->minutesLabel()->text(), QStringLiteral("10"));
        EXPECT_TRUE(row->deleteButton()->isEnabled());
    }
    EXPECT_TRUE(builder()->chainNameField()->hasFocus());
    EXPECT_FALSE(builder()->errorLabel()->isVisible());

    QTest::mouseClick(rows.at(0)->deleteButton(), Qt::LeftButton);
    flushDeletes();
    ASSERT_EQ(builder()->rows().size(), 1);
    EXPECT_FALSE(builder()->rows().at(0)->deleteButton()->isEnabled());
}

TEST_F(ChainBuilderViewTest, TheStepperAndItsKeysStopAtTheLimits) {
    FocusWidgets::openChainBuilder(*root);
    ChainStepRow* row = builder()->rows().at(0);
    clickStepper(row->stepper(), false, 12);
    EXPECT_EQ(row->minutesLabel()->text(), QStringLiteral("1"));
    row->stepper()->setFocus();
    for (int i = 0; i < 200; ++i) {
        QTest::keyClick(row->stepper(), Qt::Key_Up);
    }
    EXPECT_EQ(row->minutesLabel()->text(), QStringLiteral("180"));
    EXPECT_EQ(builder()->model().steps().at(0).minutes, 180);
}

TEST_F(ChainBuilderViewTest, StartedChainIsFollowedByTheBannerToItsEnd) {
    startTwoStepChain();
    EXPECT_EQ(builder(), nullptr);
    EXPECT_FALSE(canvas->chainBuilderOverlay()->isVisible());
    EXPECT_FALSE(root->model().showChainBuilder());
    EXPECT_TRUE(root->isKeyNavFocused()) << "the keyboard is back with the root";

    ASSERT_TRUE(canvas->chainBanner()->isVisible());
    EXPECT_EQ(canvas->chainBanner()->shownName(), QStringLiteral("Deep work"));
    EXPECT_EQ(canvas->chainBanner()->shownProgress(), QStringLiteral("1/2"));
    const auto first = timers->timer(activeStep());
    ASSERT_TRUE(first.has_value());
    EXPECT_EQ(first->title, QStringLiteral("Draft"));
    EXPECT_EQ(first->totalDuration, 600);

    runOut(first->id);
    EXPECT_EQ(canvas->chainBanner()->shownProgress(), QStringLiteral("2/2"));
    const auto second = timers->timer(activeStep());
    ASSERT_TRUE(second.has_value());
    EXPECT_EQ(second->title, QStringLiteral("Edit"));
    EXPECT_EQ(second->totalDuration, 300);

    runOut(second->id);
    EXPECT_FALSE(root->chainCoordinator().isRunning());
    EXPECT_FALSE(canvas->chainBanner()->isVisible());
}

TEST_F(ChainBuilderViewTest, CancelFromTheBannerEndsTheChain) {
    const struct {
        const char* name;
        bool removeStepTimerFirst;
    } rows[] = {
        {"while the step's timer runs, it goes at once", false},
        {"after the timer was stopped elsewhere, the chain still ends", true},
    };
    for (const auto& row : rows) {
        startTwoStepChain();
        ASSERT_TRUE(canvas->chainBanner()->isVisible()) << row.name;
        const QUuid step = activeStep();
        if (row.removeStepTimerFirst) {
            timers->removeTimer(step);
        }
        QTest::mouseClick(canvas->chainBanner()->cancelButton(), Qt::LeftButton);
        EXPECT_FALSE(root->chainCoordinator().isRunning()) << row.name;
        EXPECT_FALSE(canvas->chainBanner()->isVisible()) << row.name;
        EXPECT_FALSE(hasTimer(step)) << row.name;
        // Nothing goes on: no next step appears later.
        now = now.addSecs(3600);
        timers->tick();
        EXPECT_TRUE(timers->timers().isEmpty()) << row.name;
    }
}

TEST_F(ChainBuilderViewTest, StartWhileAChainRunsKeepsTheBuilderOpenWithTheMessage) {
    startTwoStepChain();
    FocusWidgets::openChainBuilder(*root);
    ASSERT_NE(builder(), nullptr);
    QTest::keyClicks(builder()->rows().at(0)->nameField(), QStringLiteral("Later"));
    QTest::mouseClick(builder()->startButton(), Qt::LeftButton);
    flushDeletes();
    ASSERT_NE(builder(), nullptr);
    EXPECT_TRUE(builder()->errorLabel()->isVisible());
    EXPECT_EQ(builder()->errorLabel()->text(), QStringLiteral("Couldn't start"));
    EXPECT_EQ(builder()->rows().at(0)->nameField()->text(), QStringLiteral("Later"));
    EXPECT_EQ(canvas->chainBanner()->shownName(), QStringLiteral("Deep work"));
}

TEST_F(ChainBuilderViewTest, CloseDiscardsTheEntriesAndReturnsTheKeyboard) {
    FocusWidgets::openChainBuilder(*root);
    QTest::keyClicks(builder()->chainNameField(), QStringLiteral("Gone"));
    QTest::mouseClick(builder()->addStepButton(), Qt::LeftButton);
    QTest::mouseClick(builder()->closeButton(), Qt::LeftButton);
    EXPECT_EQ(builder(), nullptr) << "gone at once, though deleted later";
    EXPECT_FALSE(root->chainCoordinator().isRunning());
    EXPECT_TRUE(root->isKeyNavFocused());

    // Opened again before the old one is deleted: a fresh builder, which stays when the old one goes.
    FocusWidgets::openChainBuilder(*root);
    ASSERT_NE(builder(), nullptr);
    EXPECT_TRUE(builder()->chainNameField()->text().isEmpty());
    EXPECT_EQ(builder()->rows().size(), 2);
    flushDeletes();
    ASSERT_NE(builder(), nullptr);
    EXPECT_TRUE(builder()->isVisible());

    QTest::mouseClick(builder()->closeButton(), Qt::LeftButton);
    flushDeletes();
    // Tab works on the root again at once: it switches tabs.
    QTest::keyClick(root.get(), Qt::Key_Tab);
    EXPECT_EQ(root->focusCoordinator().focusedTab(), TarvolinTimerTab::presets);
}

TEST_F(ChainBuilderViewTest, TabStaysInsideTheBuilderAndManyStepsScroll) {
    FocusWidgets::openChainBuilder(*root);
    for (int i = 0; i < 8; ++i) {
        QTest::mouseClick(builder()->addStepButton(), Qt::LeftButton);
    }
    QCoreApplication::processEvents();
    EXPECT_EQ(builder()->size(), QSize(380, 480));
    const QPoint startAt = builder()->startButton()->mapTo(builder(), QPoint(0, 0));
    EXPECT_GT(startAt.y(), 400) << "the Start button stays at the bottom";
    EXPECT_GT(builder()->scrollArea()->verticalScrollBar()->maximum(), 0);

    // Twice round every control: the focus never reaches the tab behind the dim.
    for (int i = 0; i < 80; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        ASSERT_TRUE(builder()->isAncestorOf(QApplication::focusWidget())) << "after " << i + 1 << " tabs";
    }
    EXPECT_EQ(root->focusCoordinator().focusedTab(), TarvolinTimerTab::timers);
}

TEST_F(ChainBuilderViewTest, ALongChainNameIsCutAndNothingElseMoves) {
    const struct {
        const char* name;
        QString chainName;
        bool cut;
    } rows[] = {
        {"a short name is shown whole", QStringLiteral("Tea"), false},
        {"a long name ends in an ellipsis", QStringLiteral("A very long chain name ").repeated(4), true},
        {"spaces around a name stay", QStringLiteral("  Spaced  "), false},
    };
    std::optional<QRect> cancelAt;
    for (const auto& row : rows) {
        ASSERT_FALSE(root->chainCoordinator().start(row.chainName, {{QStringLiteral("a"), 5}}).has_value());
        ChainRunningBanner* banner = canvas->chainBanner();
        EXPECT_EQ(banner->shownName().endsWith(QChar(0x2026)), row.cut) << row.name;
        if (!row.cut) {
            EXPECT_EQ(banner->shownName(), row.chainName) << row.name;
        }
        EXPECT_EQ(banner->shownProgress(), QStringLiteral("1/1")) << row.name;
        if (cancelAt) {
            EXPECT_EQ(banner->cancelButton()->geometry(), *cancelAt) << row.name;
        }
        cancelAt = banner->cancelButton()->geometry();
        EXPECT_LE(banner->cancelButton()->geometry().right(), banner->width()) << row.name;
        root->chainCoordinator().cancel();
    }
}

TEST_F(ChainBuilderViewTest, HoldingTheStepperKeepsSteppingUntilReleased) {
    const struct {
        const char* behaviour;
        bool up;
        int beyond; // the minutes the hold must pass, from 10
    } rows[] = {
        {"held on its upper half it counts up", true, 13},
        {"held on its lower half it counts down", false, 7},
    };
    FocusWidgets::openChainBuilder(*root);
    for (const auto& row : rows) {
        SCOPED_TRACE(row.behaviour);
        ChainStepRow* stepRow = builder()->rows().at(row.up ? 0 : 1);
        MinuteStepper* stepper = stepRow->stepper();
        const QPoint half(stepper->width() / 2, row.up ? 4 : stepper->height() - 4);
        const auto minutes = [&] { return stepRow->minutesLabel()->text().toInt(); };
        QTest::mousePress(stepper, Qt::LeftButton, {}, half);
        EXPECT_EQ(minutes(), row.up ? 11 : 9) << "one step at the press";
        EXPECT_TRUE(QTest::qWaitFor(
            [&] { return row.up ? minutes() >= row.beyond : minutes() <= row.beyond; }, 5000));
        QTest::mouseRelease(stepper, Qt::LeftButton, {}, half);
        const int released = minutes();
        EXPECT_EQ(builder()->model().steps().at(row.up ? 0 : 1).minutes, released);
        // Several repeat intervals later, nothing more has happened.
        QTest::qWait(3 * stepper->style()->styleHint(QStyle::SH_SpinBox_ClickAutoRepeatRate));
        EXPECT_EQ(minutes(), released);
    }
}

TEST_F(ChainBuilderViewTest, TheStartButtonsFillIs42PixelsTall) {
    FocusWidgets::openChainBuilder(*root);
    ChainBuilderButton* start = builder()->startButton();
    const QImage picture = builder()->grab().toImage();
    const QColor accent = *start->look().fill;
    // A column near the fill's left end, clear of the rounded corners and of the label.
    const int x = start->mapTo(builder(), QPoint(14, 0)).x();
    int filled = 0;
    int top = -1;
    for (int y = 0; y < picture.height(); ++y) {
        if (PixelProbe::distance(picture.pixelColor(x, y), accent) < 8) {
            top = top < 0 ? y : top;
            ++filled;
        }
    }
    EXPECT_EQ(filled, 42);
    EXPECT_EQ(builder()->height() - (top + filled), 16) << "16 px below the fill";
}

TEST_F(ChainBuilderViewTest, TheMinutesKeepTheirPlaceAsTheirDigitsChange) {
    const QFont before = QApplication::font();
    // A face whose own digits are not all as wide as each other, as many desktop faces are.
    QApplication::setFont(QFont(QStringLiteral("Noto Serif CJK JP")));
    FocusWidgets::openChainBuilder(*root);
    ChainStepRow* row = builder()->rows().at(0);
    const QFontMetricsF metrics(row->minutesLabel()->font());
    ASSERT_NE(metrics.horizontalAdvance(QLatin1Char('1')), metrics.horizontalAdvance(QLatin1Char('0')));
    // Where the ink of each number's leading "1" starts in the row, the number standing against "min".
    const auto firstInk = [&](int minutes) {
        builder()->model().setStepMinutes(row->id(), minutes);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        const QImage picture = row->grab().toImage();
        const QRect label = row->minutesLabel()->geometry();
        const QColor ground = picture.pixelColor(label.topLeft());
        for (int x = label.left(); x <= label.right(); ++x) {
            for (int y = label.top(); y <= label.bottom(); ++y) {
                if (PixelProbe::distance(picture.pixelColor(x, y), ground) > 60) {
                    return x;
                }
            }
        }
        return -1;
    };
    const int hundred = firstInk(100);
    const int eleventy = firstInk(111);
    QApplication::setFont(before);
    EXPECT_GE(hundred, 0);
    EXPECT_EQ(hundred, eleventy);
}
