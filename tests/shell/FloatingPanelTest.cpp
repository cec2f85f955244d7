// The floating window's frame with and without a compositor: a 200 × 54 card that stays put, see-through
// round it with a smoothed edge and a soft shadow where one blends it; cut to the card and opaque up to the
// cut where none does; changing over while it shows, as a compositor comes or goes; and taking the pointer
// only on the card, so presses on the shadow reach what lies behind.
#include "shell/FloatingPanel.h"

#include "ui/kit/FloatingTimerSurface.h"
#include "ui/kit/ShapedWindow.h"

#include <QImage>
#include <QTest>

#include <optional>

#include <gtest/gtest.h>

TEST(FloatingPanelTest, IsSeeThroughRoundTheCardWhereACompositorRunsAndCutToItWhereNoneDoes) {
    bool compositor = false;
    std::optional<QRegion> takesPointer;
    ShapedWindow::setCompositorProbe([&compositor] { return compositor; });
    ShapedWindow::setInputShaper([&takesPointer](QWidget*, const QRegion& region) { takesPointer = region; });
    const struct HooksReset {
        ~HooksReset() {
            ShapedWindow::setCompositorProbe(nullptr);
            ShapedWindow::setInputShaper(nullptr);
        }
    } reset;
    auto* card = new FloatingTimerSurface;
    card->setValues({QStringLiteral("25:00"), {}, false, false, 0, QColor(0xff, 0x95, 0x00), true});
    FloatingPanel panel(card);
    // The card's top right corner 20 px in from the available area's, whatever room its shadow takes.
    const QRect available(0, 30, 1280, 994);
    panel.move(panel.placement(available));
    const QRect cardOnScreen(1280 - 20 - 200, 30 + 20, 200, 54);

    const struct {
        const char* behaviour;
        bool compositor;
        bool whileShown; // the compositor comes or goes while the window shows, else before it shows
    } rows[] = {
        {"shown with no compositor: cut", false, false},
        {"a compositor starts while it shows: see-through with a shadow", true, true},
        {"the compositor stops while it shows: cut again", false, true},
        {"shown where a compositor runs: see-through with a shadow", true, false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.behaviour);
        compositor = row.compositor;
        takesPointer.reset();
        if (row.whileShown) {
            ShapedWindow::compositorChanged();
        } else {
            panel.hide();
            panel.show();
        }
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&panel));
        EXPECT_EQ(panel.isCut(), !row.compositor);
        const QRect c = card->geometry();
        EXPECT_EQ(c.translated(panel.pos()), cardOnScreen) << "the card neither moves nor changes size";
        EXPECT_EQ(c, panel.shapeRect());
        ASSERT_TRUE(takesPointer) << "the window says where it takes the pointer";
        EXPECT_EQ(*takesPointer, panel.shapeRegion());
        EXPECT_EQ(takesPointer->boundingRect(), c) << "the card, not its shadow";

        const QImage picture = panel.grab().toImage().convertToFormat(QImage::Format_ARGB32);
        const QRegion mask = panel.mask();
        if (row.compositor) {
            EXPECT_TRUE(mask.isEmpty());
            EXPECT_EQ(qAlpha(picture.pixel(0, 0)), 0) << "the shadow fades out inside the window";
            EXPECT_LT(qAlpha(picture.pixel(c.topLeft())), 64) << "the card's corner shows what lies behind";
            EXPECT_EQ(qAlpha(picture.pixel(c.center())), 255);
            // Along the diagonal from the card's corner, the edge passes to opaque smoothly.
            int between = 0;
            for (int i = 0; i < 8; ++i) {
                const int alpha = qAlpha(picture.pixel(c.topLeft() + QPoint(i, i)));
                between += alpha > 0 && alpha < 255 ? 1 : 0;
            }
            EXPECT_GE(between, 1) << "a smoothed edge";
            // A faint dark shadow on every side, reaching further below the card than above it.
            const int below = qAlpha(picture.pixel(c.center().x(), c.bottom() + 3));
            const int above = qAlpha(picture.pixel(c.center().x(), c.top() - 3));
            for (const QPoint beside :
                 {QPoint(c.left() - 3, c.center().y()), QPoint(c.right() + 3, c.center().y())}) {
                EXPECT_GT(qAlpha(picture.pixel(beside)), 0) << beside.x() << "," << beside.y();
            }
            EXPECT_GT(above, 0);
            EXPECT_GT(below, above);
            EXPECT_LT(below, 80) << "subtle";
            EXPECT_LT(qGray(picture.pixel(c.center().x(), c.bottom() + 3)), 32) << "dark";
        } else {
            EXPECT_EQ(mask, panel.shapeRegion());
            EXPECT_EQ(mask.boundingRect(), c) << "nothing round the card is shown";
            for (const QPoint corner : {c.topLeft(), c.topRight(), c.bottomLeft(), c.bottomRight()}) {
                EXPECT_FALSE(mask.contains(corner)) << corner.x() << "," << corner.y();
            }
            // No pixel left on the screen is half see-through, which the X server would show dark.
            int translucent = 0;
            for (const QRect& band : mask) {
                for (int y = band.top(); y <= band.bottom(); ++y) {
                    for (int x = band.left(); x <= band.right(); ++x) {
                        translucent += qAlpha(picture.pixel(x, y)) < 255 ? 1 : 0;
                    }
                }
            }
            EXPECT_EQ(translucent, 0);
        }
    }
}
