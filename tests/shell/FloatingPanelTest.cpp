// The floating window's frame with and without a compositor: see-through round the card, with a smoothed
// edge, where one blends it; cut to the card and opaque up to the cut where none does; and changing over
// while it shows, as a compositor comes or goes.
#include "shell/FloatingPanel.h"

#include "ui/kit/FloatingTimerSurface.h"
#include "ui/kit/ShapedWindow.h"

#include <QImage>
#include <QTest>

#include <gtest/gtest.h>

TEST(FloatingPanelTest, IsSeeThroughRoundTheCardWhereACompositorRunsAndCutToItWhereNoneDoes) {
    bool compositor = false;
    ShapedWindow::setCompositorProbe([&compositor] { return compositor; });
    const struct ProbeReset {
        ~ProbeReset() { ShapedWindow::setCompositorProbe(nullptr); }
    } reset;
    auto* card = new FloatingTimerSurface;
    card->setValues({QStringLiteral("25:00"), {}, false, false, 0, QColor(0xff, 0x95, 0x00), true});
    FloatingPanel panel(card);

    const struct {
        const char* behaviour;
        bool compositor;
        bool whileShown; // the compositor comes or goes while the window shows, else before it shows
    } rows[] = {
        {"shown with no compositor: cut", false, false},
        {"a compositor starts while it shows: see-through", true, true},
        {"the compositor stops while it shows: cut again", false, true},
        {"shown where a compositor runs: see-through", true, false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.behaviour);
        compositor = row.compositor;
        if (row.whileShown) {
            ShapedWindow::compositorChanged();
        } else {
            panel.hide();
            panel.show();
        }
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&panel));
        EXPECT_EQ(panel.isCut(), !row.compositor);
        const QImage picture = panel.grab().toImage().convertToFormat(QImage::Format_ARGB32);
        const QRegion mask = panel.mask();
        const QRect r = panel.rect();
        if (row.compositor) {
            EXPECT_TRUE(mask.isEmpty());
            EXPECT_EQ(qAlpha(picture.pixel(0, 0)), 0) << "the corner shows what lies behind";
            EXPECT_EQ(qAlpha(picture.pixel(r.center())), 255);
            // Along the diagonal from the corner, the edge passes from see-through to opaque smoothly.
            int between = 0;
            for (int i = 0; i < 8; ++i) {
                const int alpha = qAlpha(picture.pixel(i, i));
                between += alpha > 0 && alpha < 255 ? 1 : 0;
            }
            EXPECT_GE(between, 1) << "a smoothed edge";
        } else {
            EXPECT_TRUE(mask.contains(r.center()));
            for (const QPoint corner : {r.topLeft(), r.topRight(), r.bottomLeft(), r.bottomRight()}) {
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
