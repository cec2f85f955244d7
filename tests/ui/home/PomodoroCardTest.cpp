// The Pomodoro card driven by clicks: the simple entry and the tiles go through the preparation overlay,
// the tiles show the session's state, Stop and the add tile do what they say.
#include "FocusTabFixture.h"

#include "platform/ReduceMotion.h"
#include "support/AccessibleReading.h"
#include "support/PixelProbe.h"
#include "ui/focus/PomodoroSequenceStep.h"
#include "ui/focus/PomodoroSimpleEntry.h"
#include "ui/focus/ReferenceTextButton.h"
#include "ui/focus/SequenceAddTile.h"
#include "ui/focus/SequenceStepPreview.h"
#include "ui/kit/ShapedWindow.h"
#include "ui/popover/MainViewModel.h"

#include <QEnterEvent>
#include <QImage>

namespace {

void hover(QWidget* widget, bool inside) {
    if (inside) {
        QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
        QCoreApplication::sendEvent(widget, &enter);
    } else {
        QEvent leave(QEvent::Leave);
        QCoreApplication::sendEvent(widget, &leave);
    }
}

} // namespace

class PomodoroCardTest : public FocusCanvasFixture {
public:
    void SetUp() override {
        settings.setPomAutoBreak(false);
        settings.setPomAutoWork(false);
        makeCanvasRoot();
    }

    PomodoroCard* card() const { return canvas->pomodoroArea(); }
    PomodoroSequenceStep* tile(int ordinal) const { return card()->stepTile(ordinal); }
    QString preparedTitle() const {
        const auto& pending = root->model().pendingStartRequest();
        return pending ? pending->title() : QString();
    }
    void confirm() {
        ASSERT_NE(root->preparationCard(), nullptr);
        QTest::mouseClick(
            root->preparationCard()->findChild<QWidget*>(QStringLiteral("quorvane.preparation.start")),
            Qt::LeftButton);
        flushDeletes();
    }
    // Which tiles are enabled, and which one is marked running.
    QString tileStates() const {
        QString states;
        for (int ordinal = 1; ordinal <= 4; ++ordinal) {
            states += tile(ordinal)->isRunning()   ? QLatin1Char('R')
                      : tile(ordinal)->isEnabled() ? QLatin1Char('E')
                                                   : QLatin1Char('-');
        }
        return states;
    }
};

TEST_F(PomodoroCardTest, ASessionGoesFromTheSimpleEntryThroughItsTilesAndStops) {
    ASSERT_TRUE(card()->isVisible());
    EXPECT_TRUE(card()->simpleEntry()->isVisible());
    EXPECT_FALSE(card()->startCard()->isVisible());
    EXPECT_EQ(card()->geometry().bottom() + 1, 642);
    // Read as its title with the lengths as its value, not as a description.
    EXPECT_EQ(AccessibleReading::name(card()->simpleEntry()), QStringLiteral("Start Pomodoro"));
    EXPECT_EQ(AccessibleReading::value(card()->simpleEntry()), QStringLiteral("25m focus, 5m break"));
    EXPECT_TRUE(AccessibleReading::description(card()->simpleEntry()).isEmpty());

    QTest::mouseClick(card()->simpleEntry(), Qt::LeftButton);
    EXPECT_EQ(preparedTitle(), QStringLiteral("Focus"));
    EXPECT_FALSE(pomodoro->isActive()) << "nothing starts before the confirmation";
    confirm();
    ASSERT_TRUE(pomodoro->isActive());
    EXPECT_TRUE(card()->startCard()->isVisible());
    EXPECT_FALSE(card()->simpleEntry()->isVisible());
    EXPECT_EQ(card()->mapTo(canvas, card()->startCard()->pos()), QPoint(18, 498));

    const struct {
        const char* name;
        std::function<void(PomodoroCardTest&)> act;
        const char* states;
        const char* clickPrepares; // what a click on the tile prepares; empty for nothing
        int clicked;
    } rows[] = {
        {"a running focus phase: only its mark, nothing clickable", [](auto&) {}, "R---", "", 2},
        {"the finished focus leaves the break waiting on tile 2",
         [](auto& t) { t.runOut(*t.pomodoro->activeTimerID()); }, "-R--", "Short Break", 2},
        {"the confirmed break: nothing clickable again", [](auto& t) { t.confirm(); }, "-R--", "", 2},
        {"the finished break leaves focus waiting on tile 3",
         [](auto& t) { t.runOut(*t.pomodoro->activeTimerID()); }, "--R-", "Focus", 3},
    };
    for (const auto& row : rows) {
        row.act(*this);
        EXPECT_EQ(tileStates(), QLatin1String(row.states)) << row.name;
        QTest::mouseClick(tile(row.clicked), Qt::LeftButton);
        EXPECT_EQ(preparedTitle(), QString::fromLatin1(row.clickPrepares)) << row.name;
    }
    // The waiting current tile is enabled even though the row marks it running.
    EXPECT_TRUE(tile(3)->isEnabled());
    root->cancelPreparation();

    QTest::mouseClick(card()->stopButton(), Qt::LeftButton);
    EXPECT_FALSE(pomodoro->isActive());
    EXPECT_TRUE(card()->simpleEntry()->isVisible());
    EXPECT_EQ(card()->geometry().bottom() + 1, 642);
}

TEST_F(PomodoroCardTest, TilesDimAndHoverOnlyWhenTheyMayBeClicked) {
    pomodoro->startSession();
    runOut(*pomodoro->activeTimerID()); // the break waits on tile 2; tile 1 is neither current nor enabled
    const struct {
        const char* name;
        int ordinal;
        bool reduceMotion;
        double opacity;
        bool hovered;
        int lift;
    } rows[] = {
        {"a dimmed tile ignores the pointer", 1, false, 0.55, false, 0},
        {"the waiting current tile lifts under the pointer", 2, false, 1.0, true, -1},
        {"under Reduce Motion it only changes its border", 2, true, 1.0, true, 0},
    };
    for (const auto& row : rows) {
        ReduceMotion::setEnabled(row.reduceMotion);
        hover(tile(row.ordinal), true);
        EXPECT_DOUBLE_EQ(tile(row.ordinal)->restOpacity(), row.opacity) << row.name;
        EXPECT_EQ(tile(row.ordinal)->isHovered(), row.hovered) << row.name;
        EXPECT_EQ(tile(row.ordinal)->lift(), row.lift) << row.name;
        hover(tile(row.ordinal), false);
    }
    ReduceMotion::setEnabled(false);

    // Once the phase runs, the current tile is still drawn at full strength though it may not be clicked.
    pomodoro->startPendingPhase();
    EXPECT_FALSE(tile(2)->isEnabled());
    EXPECT_DOUBLE_EQ(tile(2)->restOpacity(), 1.0);
    for (int ordinal = 1; ordinal <= 4; ++ordinal) {
        SCOPED_TRACE(ordinal);
        EXPECT_EQ(AccessibleReading::role(tile(ordinal)), QAccessible::ListItem);
        EXPECT_EQ(AccessibleReading::state(tile(ordinal)).selected, ordinal == 2)
            << "the current step is announced as selected";
        EXPECT_TRUE(AccessibleReading::description(tile(ordinal)).isEmpty());
    }
}

TEST_F(PomodoroCardTest, AStepThatCannotPrepareShowsItsPreviewUntilItCloses) {
    pomodoro->startSession();
    card()->model().activateStep(4);
    QCoreApplication::processEvents();
    SequenceStepPreview* preview = card()->preview();
    ASSERT_NE(preview, nullptr);
    EXPECT_EQ(preview->objectName(), QStringLiteral("quorvane.pomodoro.step.preview.4"));
    EXPECT_TRUE(preview->isVisible());
    EXPECT_EQ(root->model().previewedSequenceStepOrdinal(), 4);

    preview->close();
    flushDeletes();
    EXPECT_EQ(card()->preview(), nullptr);
    EXPECT_EQ(root->model().previewedSequenceStepOrdinal(), std::nullopt);
}

TEST_F(PomodoroCardTest, TheStepPreviewIsCutToItsRoundedShapeOnlyWhereNoCompositorRuns) {
    const struct ProbeReset {
        ~ProbeReset() { ShapedWindow::setCompositorProbe(nullptr); }
    } reset;
    pomodoro->startSession();
    for (const bool compositor : {false, true}) {
        SCOPED_TRACE(compositor ? "a compositor blends its edge" : "no compositor");
        ShapedWindow::setCompositorProbe([compositor] { return compositor; });
        card()->model().activateStep(4);
        QCoreApplication::processEvents();
        SequenceStepPreview* preview = card()->preview();
        ASSERT_NE(preview, nullptr);
        const QRegion mask = preview->mask();
        const QRect r = preview->rect();
        if (compositor) {
            EXPECT_TRUE(mask.isEmpty());
        } else {
            EXPECT_EQ(mask.boundingRect(), r);
            EXPECT_TRUE(mask.contains(r.center()));
            for (const QPoint corner : {r.topLeft(), r.topRight(), r.bottomLeft(), r.bottomRight()}) {
                EXPECT_FALSE(mask.contains(corner)) << corner.x() << "," << corner.y();
            }
        }
        preview->close();
        flushDeletes();
    }
}

TEST_F(PomodoroCardTest, TheAddTileOpensTheSequenceEditorOnThePresetsTab) {
    pomodoro->startSession();
    QTest::mouseClick(card()->addTile(), Qt::LeftButton);
    EXPECT_EQ(root->focusCoordinator().focusedTab(), TarvolinTimerTab::presets);
    EXPECT_EQ(root->focusCoordinator().pendingPresetsAction(), PresetsPendingAction::createSequence);
}

TEST_F(PomodoroCardTest, TheRowHangsFromTheTopOfItsFrameWithEachArrowBesideItsTile) {
    pomodoro->startSession();
    flushDeletes();
    QWidget* sequence = card()->startCard();
    ASSERT_TRUE(sequence->isVisible());
    // The header's 12 px and a 10 px gap above the tiles.
    constexpr int rowTop = 22;
    for (int ordinal = 1; ordinal <= 4; ++ordinal) {
        SCOPED_TRACE(ordinal);
        EXPECT_EQ(tile(ordinal)->tileRect().translated(tile(ordinal)->pos()).top(), rowTop);
    }
    EXPECT_EQ(card()->addTile()->pos().y() + SequenceAddTile::liftRoom, rowTop);

    // The arrow in the gap after the first tile is centred on the tile's height.
    const QImage picture = sequence->grab().toImage();
    const QColor ground = picture.pixelColor(PomodoroSequenceStep::tileWidth + 4, rowTop + 2);
    int first = -1;
    int last = -1;
    for (int y = rowTop; y < rowTop + PomodoroSequenceStep::tileHeight; ++y) {
        for (int x = PomodoroSequenceStep::tileWidth; x < PomodoroSequenceStep::tileWidth + 8; ++x) {
            // The arrow is drawn in the faint stroke colour.
            if (PixelProbe::distance(picture.pixelColor(x, y), ground) > 8) {
                first = first < 0 ? y : first;
                last = y;
            }
        }
    }
    ASSERT_GE(first, 0) << "no arrow drawn";
    EXPECT_NEAR((first + last) / 2.0, rowTop + PomodoroSequenceStep::tileHeight / 2.0, 1);
}
