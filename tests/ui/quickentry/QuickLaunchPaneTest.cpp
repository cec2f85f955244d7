// The preset chips as a user drives them: chips for the presets, a click, and renaming and deleting
// through a chip's menu and the questions shown inside the window.
#include "ui/quickentry/QuickLaunchPane.h"

#include "QuickEntryFixture.h"
#include "support/AccessibleReading.h"
#include "ui/kit/LabelButton.h"
#include "ui/quickentry/InlineAlert.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QFontInfo>
#include <QImage>
#include <QLineEdit>
#include <QMenu>
#include <QScrollArea>
#include <QTest>
#include <QWheelEvent>

namespace {

class QuickLaunchPaneTest : public QuickEntryFixture {
public:
    std::unique_ptr<QWidget> window;
    QuickLaunchPane* pane = nullptr;
    int dialogsClosed = 0;

    void makePane(qsizetype presets = 3) {
        makeWithPresets(presets);
        window = std::make_unique<QWidget>();
        window->resize(440, 650);
        pane = new QuickLaunchPane(
            new QuickLaunchPaneModel(*manager, preferences, recorder()), [this] { ++dialogsClosed; },
            window.get());
        pane->move(18, 484);
        window->show();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }
    void TearDown() override {
        window.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QuickEntryFixture::TearDown();
    }
    QUuid idOf(qsizetype i) const { return manager->presets().at(i).id; }
    void chooseFromMenu(qsizetype i, const char* action) {
        pane->openChipMenu(idOf(i), QPoint(100, 100));
        ASSERT_NE(pane->chipMenu(), nullptr);
        QAction* item = pane->chipMenu()->findChild<QAction*>(QString::fromLatin1(action));
        ASSERT_NE(item, nullptr);
        item->trigger();
        pane->chipMenu()->close();
    }
    QAbstractButton* alertButton(const char* name) const {
        return window->findChild<QAbstractButton*>(QString::fromLatin1(name));
    }
};

} // namespace

TEST_F(QuickLaunchPaneTest, ShowsOneChipPerPresetWithItsLabelAndIdentifier) {
    makeWithPresets(0);
    persistence.presets = {TimerPreset{QUuid::createUuid(), QStringLiteral("A"), 1500},
                           TimerPreset{QUuid::createUuid(), QStringLiteral("B"), 3660},
                           TimerPreset{QUuid::createUuid(), QStringLiteral("C"), 7200}};
    manager.reset();
    make();
    window = std::make_unique<QWidget>();
    pane = new QuickLaunchPane(new QuickLaunchPaneModel(*manager, preferences, recorder()), {}, window.get());
    window->show();
    const QStringList labels{QStringLiteral("25"), QStringLiteral("1h1m"), QStringLiteral("2h")};
    const QList<QAbstractButton*> chips = pane->chipsInOrder();
    ASSERT_EQ(chips.size(), 3);
    for (qsizetype i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(pane->chipLabel(idOf(i)), labels.at(i));
        EXPECT_EQ(chips.at(i)->objectName(), QStringLiteral("quorvane.quickLaunch.chip.") +
                                                 idOf(i).toString(QUuid::WithoutBraces).toUpper());
        EXPECT_LT(chips.at(i)->x(), i + 1 < 3 ? chips.at(i + 1)->x() : 10000)
            << "left to right in list order";
    }
    EXPECT_EQ(chips.at(0)->accessibleName(), QStringLiteral("25分のAタイマーを確認"));
    preferences.setString(QStringLiteral("bl.appLanguage"), QStringLiteral("en"));
    EXPECT_EQ(chips.at(0)->accessibleName(), QStringLiteral("Review the 25-minute A timer"));
}

TEST_F(QuickLaunchPaneTest, NoPresetsSaysSoAndANewPresetShowsAtOnce) {
    makePane(0);
    auto* empty = pane->findChild<QWidget*>(QStringLiteral("quorvane.quickLaunch.empty"));
    ASSERT_NE(empty, nullptr);
    EXPECT_TRUE(empty->isVisible());
    EXPECT_TRUE(pane->chipsInOrder().isEmpty());
    manager->addPreset(QStringLiteral("Tea"), 4);
    EXPECT_FALSE(empty->isVisible());
    ASSERT_EQ(pane->chipsInOrder().size(), 1);
    EXPECT_TRUE(pane->chipsInOrder().at(0)->isVisible());
}

TEST_F(QuickLaunchPaneTest, AClickSelectsTheChipAndSendsItsPreset) {
    makePane();
    QTest::mouseClick(pane->chip(idOf(1)), Qt::LeftButton);
    ASSERT_EQ(prepared.size(), 1);
    EXPECT_EQ(prepared.at(0).title(), QStringLiteral("P2"));
    EXPECT_TRUE(pane->chipLooksSelected(idOf(1)));
    QTest::mouseClick(pane->chip(idOf(2)), Qt::LeftButton);
    EXPECT_FALSE(pane->chipLooksSelected(idOf(1)));
    EXPECT_TRUE(pane->chipLooksSelected(idOf(2)));
    EXPECT_FALSE(pane->chip(idOf(2))->hasFocus()) << "a click leaves the keyboard where it was";
    // A screen reader hears the same: the chips are items of a list, the clicked one selected.
    for (int i : {0, 1, 2}) {
        SCOPED_TRACE(i);
        QWidget* chip = pane->chip(idOf(i));
        EXPECT_EQ(AccessibleReading::role(chip), QAccessible::ListItem);
        EXPECT_EQ(AccessibleReading::role(chip->parentWidget()), QAccessible::List);
        EXPECT_TRUE(AccessibleReading::state(chip).selectable);
        EXPECT_EQ(AccessibleReading::state(chip).selected, i == 2);
    }

    // A change of another preset keeps the chips that stay, with their state.
    QAbstractButton* kept = pane->chip(idOf(2));
    manager->removePreset(manager->presets().at(0));
    EXPECT_EQ(pane->chip(idOf(1)), kept);
    EXPECT_TRUE(pane->chipLooksSelected(idOf(1)));
}

TEST_F(QuickLaunchPaneTest, RenameAsksInsideTheWindowAndSavesWithReturn) {
    makePane();
    chooseFromMenu(0, "quorvane.quickLaunch.rename");
    InlineAlert* alert = pane->renameAlert();
    ASSERT_NE(alert, nullptr);
    EXPECT_EQ(alert->window(), window.get()) << "no separate window that could close the popover";
    QLineEdit* field = alert->field();
    ASSERT_TRUE(field->hasFocus());
    EXPECT_EQ(field->text(), QStringLiteral("P1"));

    field->selectAll();
    QTest::keyClicks(field, QStringLiteral("   "));
    EXPECT_FALSE(pane->renameSaveButton()->isEnabled());
    QTest::keyClick(field, Qt::Key_Return);
    EXPECT_NE(pane->renameAlert(), nullptr) << "a blank name cannot be saved";

    field->selectAll();
    QTest::keyClicks(field, QStringLiteral(" Tea "));
    QTest::keyClick(field, Qt::Key_Return);
    EXPECT_EQ(manager->presets().at(0).name, QStringLiteral("Tea"));
    EXPECT_EQ(manager->presets().at(0).durationInSeconds, 60);
    EXPECT_EQ(pane->renameAlert(), nullptr);
    EXPECT_EQ(dialogsClosed, 1);
}

TEST_F(QuickLaunchPaneTest, DeleteAsksFirstAndEscapeKeepsThePreset) {
    makePane();
    QTest::mouseClick(pane->chip(idOf(0)), Qt::LeftButton);
    chooseFromMenu(0, "quorvane.quickLaunch.delete");
    ASSERT_NE(pane->deleteAlert(), nullptr);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    EXPECT_EQ(pane->deleteAlert(), nullptr);
    EXPECT_EQ(manager->presets().size(), 3);
    EXPECT_EQ(dialogsClosed, 1);

    const QUuid gone = idOf(0);
    chooseFromMenu(0, "quorvane.quickLaunch.delete");
    QTest::mouseClick(alertButton("quorvane.quickLaunch.deleteConfirm"), Qt::LeftButton);
    EXPECT_EQ(manager->presets().size(), 2);
    EXPECT_FALSE(pane->model().selectedPresetID().has_value());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(pane->chip(gone), nullptr);
    EXPECT_EQ(pane->chipsInOrder().size(), 2);
}

TEST_F(QuickLaunchPaneTest, TheRowLinesUpWithTheHeaderAndAFocusedChipShowsItsRingThreePixelsOut) {
    makePane();
    constexpr double radius = QuickLaunchPane::chipDiameter / 2.0;
    const auto centreOf = [&](qsizetype i) {
        QAbstractButton* chip = pane->chip(idOf(i));
        return QPointF(chip->mapTo(pane, QPoint())) + QPointF(chip->width() / 2.0, chip->height() / 2.0);
    };
    EXPECT_DOUBLE_EQ(centreOf(0).x() - radius, 0) << "the first chip starts where the header does";
    EXPECT_DOUBLE_EQ(centreOf(1).x() - centreOf(0).x(), QuickLaunchPane::chipDiameter + 8);

    // The ring is a 2 px line on a circle 3 px outside the chip: it reaches 21 px out from the centre.
    if (QWidget* holder = QApplication::focusWidget()) {
        holder->clearFocus();
    }
    const QImage plain = pane->grab().toImage();
    pane->chip(idOf(1))->setFocus(Qt::TabFocusReason);
    const QImage focused = pane->grab().toImage();
    const QPoint centre = centreOf(1).toPoint();
    int reach = 0;
    for (int x = 0; x < centre.x(); ++x) {
        if (plain.pixel(x, centre.y()) != focused.pixel(x, centre.y())) {
            reach = centre.x() - x;
            break;
        }
    }
    EXPECT_EQ(reach, int(radius) + 3 + 1) << "columns from the ring's outer edge to the centre";
}

TEST_F(QuickLaunchPaneTest, AVerticalWheelMovesTheRowSideways) {
    makePane(10);
    QAbstractButton* last = pane->chipsInOrder().constLast();
    const auto lastChipShows = [&] {
        return last->mapTo(pane, QPoint(last->width(), 0)).x() -
                   (last->width() - QuickLaunchPane::chipDiameter) / 2 <=
               QuickLaunchPane::paneWidth;
    };
    ASSERT_FALSE(lastChipShows()) << "ten chips are wider than the pane";
    // The chips leave the wheel alone; it reaches the row's scrolling area under them.
    QWidget* area = pane->findChild<QScrollArea*>()->viewport();
    const auto turn = [&](int angle) {
        QAbstractButton* under = pane->chipsInOrder().at(4);
        const QPointF at = under->mapTo(area, QPointF(under->width() / 2.0, under->height() / 2.0));
        QWheelEvent wheel(at, area->mapToGlobal(at), QPoint(), QPoint(0, angle), Qt::NoButton, Qt::NoModifier,
                          Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(area, &wheel);
    };
    const QPoint start = last->mapTo(pane, QPoint());
    turn(120);
    EXPECT_EQ(last->mapTo(pane, QPoint()), start) << "up at the start: the row stays";
    for (int i = 0; i < 10 && !lastChipShows(); ++i) {
        turn(-120);
    }
    EXPECT_TRUE(lastChipShows()) << "turning the wheel down brings the tenth chip into view";
    turn(120);
    EXPECT_EQ(last->mapTo(pane, QPoint()), start) << "and up brings the row back";
}

TEST_F(QuickLaunchPaneTest, ALongLabelShrinksToFitButNoFurtherThanItsFloor) {
    makeWithPresets(0);
    // 25 minutes; 1 h 30 m; 166 h 40 m.
    persistence.presets = {TimerPreset{QUuid::createUuid(), QStringLiteral("A"), 1500},
                           TimerPreset{QUuid::createUuid(), QStringLiteral("B"), 5400},
                           TimerPreset{QUuid::createUuid(), QStringLiteral("C"), 600000}};
    manager.reset();
    make();
    window = std::make_unique<QWidget>();
    pane = new QuickLaunchPane(new QuickLaunchPaneModel(*manager, preferences, recorder()), {}, window.get());
    window->show();
    const int full = QFontInfo(pane->chipLabelFont(idOf(0))).pixelSize();
    const int shrunk = QFontInfo(pane->chipLabelFont(idOf(1))).pixelSize();
    const int smallest = QFontInfo(pane->chipLabelFont(idOf(2))).pixelSize();
    EXPECT_EQ(full, 11);
    EXPECT_LT(shrunk, 11);
    EXPECT_LE(smallest, shrunk);
    EXPECT_GE(smallest, 11 * QuickLaunchPane::chipLabelMinimumScale)
        << pane->chipLabel(idOf(2)).toStdString();
    // What fits is drawn whole; what does not, even at the smallest size, ends in an ellipsis.
    EXPECT_EQ(QuickLaunchPane::shownChipLabel(pane->chipLabel(idOf(1))), QStringLiteral("1h30m"));
    const QString cut = QuickLaunchPane::shownChipLabel(pane->chipLabel(idOf(2)));
    EXPECT_TRUE(cut.endsWith(QChar(0x2026))) << cut.toStdString();
    EXPECT_TRUE(pane->chipLabel(idOf(2)).startsWith(cut.chopped(1)));

    // A chip kept for a preset whose length changes fits its new label.
    manager->updatePreset(manager->presets().at(0), QStringLiteral("A"), 10000);
    EXPECT_EQ(QFontInfo(pane->chipLabelFont(idOf(0))).pixelSize(), smallest);
    manager->updatePreset(manager->presets().at(0), QStringLiteral("A"), 25);
    EXPECT_EQ(QFontInfo(pane->chipLabelFont(idOf(0))).pixelSize(), full);
}
