// The floating window's frame with and without a compositor: a 200 × 54 card that stays put, see-through
// round it with a smoothed edge and a soft shadow where one blends it; cut to the card and opaque up to the
// cut where none does; changing over while it shows, as a compositor comes or goes; taking the pointer
// only on the card, so presses on the shadow reach what lies behind; and, where it is cut, showing only the
// card's own colours just inside the cut, whatever the timer's state and the screen's scale.
#include "shell/FloatingPanel.h"

#include "ui/kit/FloatingTimerSurface.h"
#include "ui/kit/ShapedWindow.h"

#include <QImage>
#include <QTest>

#include <algorithm>
#include <cstdlib>
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

namespace {

// What a widget draws in `region` (its own coordinates) at `scale`, on nothing. `flags` without
// DrawWindowBackground: a widget drawn alone would otherwise first get the window colour as its ground.
QImage drawnAt(QWidget& widget, int scale, const QRegion& region, QWidget::RenderFlags flags) {
    QImage image(widget.size() * scale, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(scale);
    image.fill(Qt::transparent);
    // render() puts the top left of what it draws at the offset.
    widget.render(&image, region.boundingRect().topLeft(), region, flags);
    return image;
}

// A pixel's colour weighted by how much of it is covered.
QRgb premultipliedAt(const QImage& image, const QPoint& at) {
    return reinterpret_cast<const QRgb*>(image.constScanLine(at.y()))[at.x()];
}

// The device pixels of the mask's pixels that touch the cut.
QList<QPoint> justInsideTheCut(const QRegion& mask, int scale) {
    QList<QPoint> pixels;
    for (const QRect& band : mask) {
        for (int y = band.top(); y <= band.bottom(); ++y) {
            for (int x = band.left(); x <= band.right(); ++x) {
                if (mask.contains(QPoint(x - 1, y)) && mask.contains(QPoint(x + 1, y)) &&
                    mask.contains(QPoint(x, y - 1)) && mask.contains(QPoint(x, y + 1))) {
                    continue;
                }
                for (int i = 0; i < scale * scale; ++i) {
                    pixels << QPoint(x * scale + i % scale, y * scale + i / scale);
                }
            }
        }
    }
    return pixels;
}

// `top` (premultiplied) over the opaque `bottom`.
QRgb over(QRgb top, QRgb bottom) {
    const auto mix = [a = qAlpha(top)](int t, int b) { return t + (b * (255 - a) + 127) / 255; };
    return qRgb(mix(qRed(top), qRed(bottom)), mix(qGreen(top), qGreen(bottom)),
                mix(qBlue(top), qBlue(bottom)));
}

} // namespace

TEST(FloatingPanelTest, ShowsOnlyTheCardsOwnColoursJustInsideTheCutInEveryState) {
    ShapedWindow::setCompositorProbe([] { return false; });
    const struct ProbeReset {
        ~ProbeReset() { ShapedWindow::setCompositorProbe(nullptr); }
    } reset;
    const QColor accent(0xff, 0x95, 0x00);
    const FloatingTimerSurface::Values running{
        QStringLiteral("19:59"), QStringLiteral("Tea"), true, false, 0.2, accent, true};
    FloatingTimerSurface::Values paused = running;
    paused.isRunning = false;
    const FloatingTimerSurface::Values idle{QStringLiteral("25:00"), {}, false, false, 0, accent, true};
    const struct {
        const char* behaviour;
        FloatingTimerSurface::Values values;
        int scale;
    } rows[] = {
        {"running: the accent's tint, and the strip's accent along the left edge", running, 1},
        {"running, at twice the scale", running, 2},
        {"paused: the card's own ground and outline", paused, 1},
        {"paused, at twice the scale", paused, 2},
        {"idle", idle, 1},
        {"idle, at twice the scale", idle, 2},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.behaviour);
        auto* card = new FloatingTimerSurface;
        card->setValues(row.values); // before it shows, so its ground does not fade in
        FloatingPanel panel(card);
        panel.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&panel));
        ASSERT_TRUE(panel.isCut());
        // The window as the screen shows it, and the card's own pixels in it.
        const QRegion mask = panel.mask();
        const QImage shown =
            drawnAt(panel, row.scale, mask, QWidget::DrawWindowBackground | QWidget::DrawChildren);
        const QImage own = drawnAt(*card, row.scale, mask.translated(-card->pos()), QWidget::DrawChildren);
        // What the card shows along its straight edges: the left one within the strip's width, the top one
        // elsewhere.
        const QRgb leftEdge = premultipliedAt(own, QPoint(0, own.height() / 2));
        const QRgb topEdge = premultipliedAt(own, QPoint(own.width() / 2, 0));
        ASSERT_EQ(qAlpha(leftEdge), 255);
        ASSERT_EQ(qAlpha(topEdge), 255);

        // Where the card leaves part of a pixel inside the cut uncovered, its edge colour for that place
        // shows through: no colour of another state, no lighter one. A little leeway, as 8-bit colours mixed
        // in another order round otherwise.
        const QList<QPoint> edge = justInsideTheCut(mask, row.scale);
        ASSERT_FALSE(edge.isEmpty());
        int lighter = 0;
        int otherColour = 0;
        QString first;
        for (const QPoint& device : edge) {
            const QPoint inCard = device - card->pos() * row.scale;
            const bool alongStrip = inCard.x() < FloatingTimerSurface::stripWidth * row.scale;
            const QRgb expected = over(premultipliedAt(own, inCard), alongStrip ? leftEdge : topEdge);
            const QRgb seen = premultipliedAt(shown, device);
            if (std::max({std::abs(qRed(seen) - qRed(expected)), std::abs(qGreen(seen) - qGreen(expected)),
                          std::abs(qBlue(seen) - qBlue(expected))}) <= 3) {
                continue;
            }
            ++(qGray(seen) > qGray(expected) ? lighter : otherColour);
            if (first.isEmpty()) {
                first = QStringLiteral("%1,%2 shows #%3, the card's is #%4")
                            .arg(device.x())
                            .arg(device.y())
                            .arg(seen & 0xffffff, 6, 16, QLatin1Char('0'))
                            .arg(expected & 0xffffff, 6, 16, QLatin1Char('0'));
            }
        }
        EXPECT_EQ(lighter, 0) << "light specks; the first at " << first.toStdString();
        EXPECT_EQ(otherColour, 0) << "the first at " << first.toStdString();
    }
}
