#include "support/PixelProbe.h"
#include "theme/QvColor.h"
#include "ui/kit/SurfaceWidget.h"
#include "ui/kit/ViewEnvironment.h"

#include <QImage>

#include <gtest/gtest.h>

namespace {

constexpr auto L = ColorScheme::light;
constexpr auto D = ColorScheme::dark;

void expectColor(const QImage& image, QPoint at, const QvColor& token, int tolerance = 1) {
    const QColor got = image.pixelColor(at);
    EXPECT_LE(PixelProbe::distance(got, token.resolve(L)), tolerance)
        << at.x() << "," << at.y() << " " << got.name().toStdString();
}

int lightness(const QImage& image, QPoint at) {
    const QColor c = image.pixelColor(at);
    return c.red() + c.green() + c.blue();
}

} // namespace

TEST(SurfaceWidgetTest, KeepsRoomForShadowsLiftsContentOnHoverAndFollowsTheTreesScheme) {
    SurfaceWidget bar(SurfaceWidget::Kind::floatingBar);
    bar.resize(260, 54 + bar.shadowMargins().top() + bar.shadowMargins().bottom());
    QImage image(bar.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    bar.render(&image);
    const QRect shape = bar.surfaceRect();
    EXPECT_EQ(shape.height(), 54);
    // Under the bar, inside the reserved room: shadowed, not white.
    EXPECT_LT(lightness(image, QPoint(shape.center().x(), shape.bottom() + 6)), 3 * 255 - 6);
    expectColor(image, shape.center(), QvColor::qvSurfaceRaised());
    bar.setHovered(true); // the floating bar is never hovered
    EXPECT_FALSE(bar.isHovered());

    SurfaceWidget card(SurfaceWidget::Kind::referenceCard);
    card.setPadding(QMargins(10, 10, 10, 10));
    const QMargins before = card.contentsMargins();
    card.setHovered(true);
    EXPECT_EQ(card.contentsMargins().top(), before.top() - 1);
    EXPECT_EQ(card.contentsMargins().bottom(), before.bottom() + 1);
    EXPECT_EQ(card.currentStyle().fill, QvColor::qvSurfaceRaised().resolve(L));

    QWidget root;
    auto* dark = new SurfaceWidget(SurfaceWidget::Kind::card, &root);
    ViewEnvironment::setColorScheme(&root, D);
    EXPECT_EQ(dark->currentStyle().fill, QvColor::qvBgCard().resolve(D));
}
