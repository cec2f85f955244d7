#include "theme/QV.h"
#include "theme/QvColor.h"
#include "theme/QvSurface.h"
#include "theme/SurfaceWidget.h"
#include "theme/ViewEnvironment.h"

#include <QImage>
#include <QPainter>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

// The shape sits on half pixels so the 1-pixel outline covers whole pixels.
const QRectF kShape(40.5, 30.5, 120, 60);

QImage renderOn(const QColor& background, const SurfaceStyle& style) {
    QImage image(200, 160, QImage::Format_ARGB32_Premultiplied);
    image.fill(background);
    QPainter p(&image);
    QvSurface::paint(p, kShape, style);
    return image;
}

void expectColor(const QImage& image, int x, int y, const QColor& expected, int tolerance = 1) {
    const QColor got = image.pixelColor(x, y);
    EXPECT_LE(std::abs(got.red() - expected.red()), tolerance)
        << x << "," << y << " " << got.name().toStdString();
    EXPECT_LE(std::abs(got.green() - expected.green()), tolerance) << x << "," << y;
    EXPECT_LE(std::abs(got.blue() - expected.blue()), tolerance) << x << "," << y;
}

int lightness(const QImage& image, int x, int y) {
    const QColor c = image.pixelColor(x, y);
    return c.red() + c.green() + c.blue();
}

QColor light(const QvColor& c) {
    return c.resolve(ColorScheme::light);
}

const int kCenterX = 100;
const int kCenterY = 60;
const int kBelow = 93; // three pixels under the outline
const int kOutlineTop = 30;

} // namespace

TEST(QvSurfaceTest, CardFillFollowsHoverWhileOutlineAndShadowsStay) {
    const SurfaceStyle plain = QvSurface::qvCard(false, 20, ColorScheme::light);
    const SurfaceStyle hovered = QvSurface::qvCard(true, 20, ColorScheme::light);
    EXPECT_EQ(plain.outline, hovered.outline);
    EXPECT_EQ(plain.shadows, hovered.shadows);

    const QColor bg = light(QvColor::qvBgPrimary());
    const QImage a = renderOn(bg, plain);
    const QImage b = renderOn(bg, hovered);
    expectColor(a, kCenterX, kCenterY, light(QvColor::qvBgCard()));
    expectColor(b, kCenterX, kCenterY, light(QvColor::qvBgCardHover()));
    expectColor(a, kCenterX, kOutlineTop, light(QvColor::qvBorderCard()));
    expectColor(b, kCenterX, kOutlineTop, light(QvColor::qvBorderCard()));
    // The same shadow under both.
    EXPECT_LT(lightness(a, kCenterX, kBelow), lightness(a, kCenterX, 150));
    EXPECT_EQ(a.pixel(kCenterX, kBelow), b.pixel(kCenterX, kBelow));
}

TEST(QvSurfaceTest, CardShadowIsInkTintedInBothSchemes) {
    const SurfaceStyle dark = QvSurface::qvCard(false, 20, ColorScheme::dark);
    ASSERT_EQ(dark.shadows.size(), 2);
    EXPECT_DOUBLE_EQ(dark.shadows[0].opacity, 0.03);
    EXPECT_DOUBLE_EQ(dark.shadows[1].opacity, 0.05);
    EXPECT_EQ(QvColor::toHex(dark.shadows[1].color), QStringLiteral("eef3f2"));
    // On black the dark card's light-tinted shadow brightens what lies under it.
    const QImage image = renderOn(Qt::black, dark);
    EXPECT_GT(lightness(image, kCenterX, kBelow), 0);
    EXPECT_EQ(lightness(image, kCenterX, 150), 0);
}

TEST(QvSurfaceTest, ChipHasRadiusEightAndNoShadow) {
    for (bool hovered : {false, true}) {
        const SurfaceStyle chip = QvSurface::qvChip(hovered, ColorScheme::light);
        EXPECT_DOUBLE_EQ(chip.cornerRadius, 8);
        EXPECT_TRUE(chip.shadows.isEmpty());
    }
    const QColor bg = light(QvColor::qvBgPrimary());
    const QImage image = renderOn(bg, QvSurface::qvChip(false, ColorScheme::light));
    expectColor(image, kCenterX, kBelow, bg, 0);
    expectColor(image, kCenterX, kCenterY, light(QvColor::qvBgCard()));
    // The corner is rounded off: the shape's very corner shows the background.
    expectColor(image, 41, 31, bg, 8);
}

TEST(QvSurfaceTest, ReferenceCardShadowsFollowSchemeAndHover) {
    const auto opacities = [](const SurfaceStyle& s) {
        return std::make_pair(s.shadows[0].opacity, s.shadows[1].opacity);
    };
    EXPECT_EQ(opacities(QvSurface::qvReferenceCard(false, 12, ColorScheme::light)),
              std::make_pair(0.07, 0.06));
    EXPECT_EQ(opacities(QvSurface::qvReferenceCard(true, 12, ColorScheme::light)),
              std::make_pair(0.07, 0.08));
    EXPECT_EQ(opacities(QvSurface::qvReferenceCard(false, 12, ColorScheme::dark)), std::make_pair(0.22, 0.3));
    EXPECT_EQ(opacities(QvSurface::qvReferenceCard(true, 12, ColorScheme::dark)), std::make_pair(0.22, 0.3));

    // The same grey under a light and a dark card: the dark one's shadow is much deeper.
    const QColor grey(128, 128, 128);
    const QImage lightImage = renderOn(grey, QvSurface::qvReferenceCard(false, 12, ColorScheme::light));
    const QImage darkImage = renderOn(grey, QvSurface::qvReferenceCard(false, 12, ColorScheme::dark));
    EXPECT_LT(lightness(darkImage, kCenterX, 98) + 20, lightness(lightImage, kCenterX, 98));
}

TEST(QvSurfaceTest, HoveredReferenceCardIsRaisedAndLiftedOnePixel) {
    const QColor bg = light(QvColor::qvCanvas());
    const QImage plain = renderOn(bg, QvSurface::qvReferenceCard(false, 12, ColorScheme::light));
    const QImage hovered = renderOn(bg, QvSurface::qvReferenceCard(true, 12, ColorScheme::light));
    expectColor(plain, kCenterX, kCenterY, light(QvColor::qvSurface()));
    expectColor(hovered, kCenterX, kCenterY, light(QvColor::qvSurfaceRaised()));
    expectColor(plain, kCenterX, kOutlineTop, light(QvColor::qvStroke()));
    expectColor(hovered, kCenterX, kOutlineTop - 1, light(QvColor::qvStroke()));
    expectColor(hovered, kCenterX, kOutlineTop, light(QvColor::qvSurfaceRaised()));
}

TEST(QvSurfaceTest, FloatingBarIsAlwaysRaisedWithItsOwnRadius) {
    const SurfaceStyle bar = QvSurface::qvFloatingBar(ColorScheme::light);
    EXPECT_DOUBLE_EQ(bar.cornerRadius, QV::rBottomBar);
    EXPECT_DOUBLE_EQ(bar.yOffset, 0);
    EXPECT_EQ(bar.fill, light(QvColor::qvSurfaceRaised()));
    EXPECT_DOUBLE_EQ(bar.shadows[0].opacity, 0.08);
    EXPECT_DOUBLE_EQ(bar.shadows[1].opacity, 0.1);
    const SurfaceStyle dark = QvSurface::qvFloatingBar(ColorScheme::dark);
    EXPECT_DOUBLE_EQ(dark.shadows[0].opacity, 0.22);
    EXPECT_DOUBLE_EQ(dark.shadows[1].opacity, 0.3);
}

TEST(QvSurfaceTest, HugeRadiusGivesACapsuleInsideItsRect) {
    const QPainterPath pill = QvSurface::continuousRoundedRect(QRectF(0, 0, 100, 20), QV::rPill);
    EXPECT_EQ(pill.boundingRect(), QRectF(0, 0, 100, 20));
    EXPECT_TRUE(pill.contains(QPointF(50, 1)));
    EXPECT_FALSE(pill.contains(QPointF(1, 1)));
    EXPECT_TRUE(pill.contains(QPointF(10, 10)));
}

TEST(QvSurfaceTest, ShadowMarginsCoverTheFarthestShadowAndTheLift) {
    const QMargins card = QvSurface::shadowMargins(QvSurface::qvCard(false, 20, ColorScheme::light));
    EXPECT_GT(card.bottom(), card.top()); // shadows fall downwards
    const QMargins plain =
        QvSurface::shadowMargins(QvSurface::qvReferenceCard(false, 12, ColorScheme::light));
    const QMargins lifted =
        QvSurface::shadowMargins(QvSurface::qvReferenceCard(true, 12, ColorScheme::light));
    EXPECT_EQ(lifted.top(), plain.top() + 1);
    EXPECT_GE(QvSurface::shadowMargins(QvSurface::qvChip(false, ColorScheme::light)).left(), 1);
}

TEST(SurfaceWidgetTest, ShadowIsDrawnInsideTheWidgetWithoutClipping) {
    QWidget host;
    host.setAutoFillBackground(true);
    QPalette palette = host.palette();
    palette.setColor(QPalette::Window, Qt::white);
    host.setPalette(palette);
    auto* layout = new QVBoxLayout(&host);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* surface = new SurfaceWidget(SurfaceWidget::Kind::floatingBar);
    surface->setFixedSize(260, 54 + surface->shadowMargins().top() + surface->shadowMargins().bottom());
    layout->addWidget(surface);
    host.resize(260, surface->height());

    const QImage image = host.grab().toImage();
    const QRect shape = surface->surfaceRect();
    EXPECT_EQ(shape.height(), 54);
    // Under the bar, inside the reserved room: shadowed, not white.
    EXPECT_LT(lightness(image, shape.center().x(), shape.bottom() + 6), 3 * 255 - 6);
    expectColor(image, shape.center().x(), shape.center().y(), light(QvColor::qvSurfaceRaised()));
}

TEST(SurfaceWidgetTest, HoverTrackingLiftsContentWithTheSurface) {
    SurfaceWidget card(SurfaceWidget::Kind::referenceCard);
    card.setPadding(QMargins(10, 10, 10, 10));
    const QMargins before = card.contentsMargins();
    card.setHovered(true);
    EXPECT_EQ(card.contentsMargins().top(), before.top() - 1);
    EXPECT_EQ(card.contentsMargins().bottom(), before.bottom() + 1);
    EXPECT_EQ(card.currentStyle().fill, light(QvColor::qvSurfaceRaised()));

    SurfaceWidget bar(SurfaceWidget::Kind::floatingBar);
    bar.setHovered(true);
    EXPECT_FALSE(bar.isHovered());
}

TEST(SurfaceWidgetTest, DarkSchemeFromTheTreeReachesTheSurface) {
    QWidget root;
    auto* card = new SurfaceWidget(SurfaceWidget::Kind::card, &root);
    ViewEnvironment::setColorScheme(&root, ColorScheme::dark);
    EXPECT_EQ(card->currentStyle().fill, QvColor::qvBgCard().resolve(ColorScheme::dark));
}
