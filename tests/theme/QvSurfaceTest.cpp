#include "theme/QV.h"
#include "theme/QvColor.h"
#include "theme/QvSurface.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

constexpr auto L = ColorScheme::light;
constexpr auto D = ColorScheme::dark;
const QPoint kCenter(100, 60), kOutlineTop(100, 30), kBelow(100, 93), kFarBelow(100, 150);

// The shape sits on half pixels so the 1-pixel outline covers whole pixels: x 40..160, y 30..90.
QImage renderOn(const QColor& background, const SurfaceStyle& style) {
    QImage image(200, 160, QImage::Format_ARGB32_Premultiplied);
    image.fill(background);
    QPainter p(&image);
    QvSurface::paint(p, QRectF(40.5, 30.5, 120, 60), style);
    return image;
}

void expectColor(const QImage& image, QPoint at, const QvColor& token, int tolerance = 1) {
    const QColor got = image.pixelColor(at), want = token.resolve(L);
    EXPECT_LE(std::max({std::abs(got.red() - want.red()), std::abs(got.green() - want.green()),
                        std::abs(got.blue() - want.blue())}),
              tolerance)
        << at.x() << "," << at.y() << " " << got.name().toStdString();
}

int lightness(const QImage& image, QPoint at) {
    const QColor c = image.pixelColor(at);
    return c.red() + c.green() + c.blue();
}

QList<double> opacities(const SurfaceStyle& style) {
    QList<double> out;
    for (const SurfaceShadow& s : style.shadows) {
        out << s.opacity;
    }
    return out;
}

} // namespace

TEST(QvSurfaceTest, StylesHaveTheDesignsRadiiAndShadowOpacities) {
    using Ops = QList<double>;
    EXPECT_EQ(opacities(QvSurface::qvCard(false, 20, L)), (Ops{0.03, 0.05}));
    EXPECT_EQ(opacities(QvSurface::qvCard(true, 20, D)), (Ops{0.03, 0.05}));
    EXPECT_EQ(opacities(QvSurface::qvReferenceCard(false, 12, L)), (Ops{0.07, 0.06}));
    EXPECT_EQ(opacities(QvSurface::qvReferenceCard(true, 12, L)), (Ops{0.07, 0.08}));
    EXPECT_EQ(opacities(QvSurface::qvReferenceCard(false, 12, D)), (Ops{0.22, 0.3}));
    EXPECT_EQ(opacities(QvSurface::qvReferenceCard(true, 12, D)), (Ops{0.22, 0.3}));
    EXPECT_EQ(opacities(QvSurface::qvFloatingBar(L)), (Ops{0.08, 0.1}));
    EXPECT_EQ(opacities(QvSurface::qvFloatingBar(D)), (Ops{0.22, 0.3}));
    EXPECT_EQ(QvSurface::qvCard(false, 20, D).shadows[1].color, QvColor::qvInkPrimary().resolve(D));
    for (bool hovered : {false, true}) {
        EXPECT_EQ(opacities(QvSurface::qvChip(hovered, L)), Ops{});
        EXPECT_DOUBLE_EQ(QvSurface::qvChip(hovered, L).cornerRadius, 8);
    }
    EXPECT_DOUBLE_EQ(QvSurface::qvFloatingBar(L).cornerRadius, QV::rBottomBar);
}

TEST(QvSurfaceTest, PaintedFillOutlineAndCornersMatchTheTokens) {
    const QColor bg = QvColor::qvBgPrimary().resolve(L), canvas = QvColor::qvCanvas().resolve(L);
    const QImage card = renderOn(bg, QvSurface::qvCard(false, 20, L));
    const QImage cardHover = renderOn(bg, QvSurface::qvCard(true, 20, L));
    const QImage chip = renderOn(bg, QvSurface::qvChip(false, L));
    const QImage ref = renderOn(canvas, QvSurface::qvReferenceCard(false, 12, L));
    const QImage refHover = renderOn(canvas, QvSurface::qvReferenceCard(true, 12, L));
    expectColor(card, kCenter, QvColor::qvBgCard());
    expectColor(card, kOutlineTop, QvColor::qvBorderCard());
    expectColor(cardHover, kCenter, QvColor::qvBgCardHover());
    expectColor(cardHover, kOutlineTop, QvColor::qvBorderCard());
    // The card casts the same shadow hovered or not; the chip casts none and has rounded corners.
    EXPECT_LT(lightness(card, kBelow), lightness(card, kFarBelow));
    EXPECT_EQ(card.pixel(kBelow), cardHover.pixel(kBelow));
    expectColor(chip, kCenter, QvColor::qvBgCard());
    expectColor(chip, kBelow, QvColor::qvBgPrimary(), 0);
    expectColor(chip, QPoint(41, 31), QvColor::qvBgPrimary(), 8);
    // The hovered reference card is raised and lifted one pixel.
    expectColor(ref, kCenter, QvColor::qvSurface());
    expectColor(ref, kOutlineTop, QvColor::qvStroke());
    expectColor(refHover, kCenter, QvColor::qvSurfaceRaised());
    expectColor(refHover, kOutlineTop - QPoint(0, 1), QvColor::qvStroke());
    expectColor(refHover, kOutlineTop, QvColor::qvSurfaceRaised());
}

TEST(QvSurfaceTest, DarkShadowsAreLightTintedOrDeeper) {
    // On black the dark card's ink-tinted shadow brightens what lies under it.
    const QImage onBlack = renderOn(Qt::black, QvSurface::qvCard(false, 20, D));
    EXPECT_GT(lightness(onBlack, kBelow), 0);
    EXPECT_EQ(lightness(onBlack, kFarBelow), 0);
    // The same grey under a light and a dark reference card: the dark one's shadow is much deeper.
    const QColor grey(128, 128, 128);
    const QImage lightRef = renderOn(grey, QvSurface::qvReferenceCard(false, 12, L));
    const QImage darkRef = renderOn(grey, QvSurface::qvReferenceCard(false, 12, D));
    EXPECT_LT(lightness(darkRef, QPoint(100, 98)) + 20, lightness(lightRef, QPoint(100, 98)));
}

TEST(QvSurfaceTest, HugeRadiusGivesACapsuleAndMarginsCoverShadowsAndLift) {
    const QPainterPath pill = QvSurface::continuousRoundedRect(QRectF(0, 0, 100, 20), QV::rPill);
    EXPECT_EQ(pill.boundingRect(), QRectF(0, 0, 100, 20));
    EXPECT_TRUE(pill.contains(QPointF(50, 1)));
    EXPECT_FALSE(pill.contains(QPointF(1, 1)));
    EXPECT_TRUE(pill.contains(QPointF(10, 10)));

    const QMargins card = QvSurface::shadowMargins(QvSurface::qvCard(false, 20, L));
    EXPECT_GT(card.bottom(), card.top()); // shadows fall downwards
    const QMargins plain = QvSurface::shadowMargins(QvSurface::qvReferenceCard(false, 12, L));
    EXPECT_EQ(QvSurface::shadowMargins(QvSurface::qvReferenceCard(true, 12, L)).top(), plain.top() + 1);
    EXPECT_GE(QvSurface::shadowMargins(QvSurface::qvChip(false, L)).left(), 1);
}
