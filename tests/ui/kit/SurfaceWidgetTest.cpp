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

// A white window holding one surface at its top-left corner, drawn as the screen would show it.
class Host : public QWidget {
public:
    explicit Host(SurfaceWidget::Kind kind, QSize size) : surface(new SurfaceWidget(kind, this)) {
        setAutoFillBackground(true);
        QPalette p = palette();
        p.setColor(QPalette::Window, Qt::white);
        setPalette(p);
        resize(size);
        surface->resize(size);
    }
    QImage picture() { return grab().toImage(); }

    SurfaceWidget* surface;
};

// Content that paints itself black all over.
QWidget* blackBlock(QWidget* parent, const QRect& geometry) {
    auto* block = new QWidget(parent);
    block->setAutoFillBackground(true);
    QPalette p = block->palette();
    p.setColor(QPalette::Window, Qt::black);
    block->setPalette(p);
    block->setGeometry(geometry);
    return block;
}

} // namespace

TEST(SurfaceWidgetTest, KeepsRoomForShadowsLiftsContentOnHoverAndFollowsTheTreesScheme) {
    Host host(SurfaceWidget::Kind::floatingBar, QSize(260, 100));
    SurfaceWidget& bar = *host.surface;
    bar.resize(260, 54 + bar.shadowMargins().top() + bar.shadowMargins().bottom());
    const QImage image = host.picture();
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

TEST(SurfaceWidgetTest, ShadowsFallFromEverythingDrawnNotOnlyTheShape) {
    const struct {
        const char* name;
        SurfaceWidget::Kind kind;
    } rows[] = {
        {"card", SurfaceWidget::Kind::card},
        {"reference card", SurfaceWidget::Kind::referenceCard},
        {"floating bar", SurfaceWidget::Kind::floatingBar},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        Host host(row.kind, QSize(260, 160));
        const QRect shape = host.surface->surfaceRect();
        const QMargins room = host.surface->shadowMargins();
        ASSERT_GE(room.right(), 8);
        // A badge half outside the shape's right edge, in the room kept for shadows.
        QWidget* badge = blackBlock(host.surface, QRect(shape.right() - 8, shape.center().y() - 8, 16, 16));
        const QPoint under(shape.right() + 5, badge->geometry().bottom() + 3);
        const QImage withBadge = host.picture();
        badge->hide();
        const QImage without = host.picture();

        // Beside the shape, below the badge: darker with the badge than without, so the badge casts a shadow.
        EXPECT_LT(lightness(withBadge, under) + 3, lightness(without, under));
        // Far from the badge the two pictures agree: the surface's own shadow is still there, and the same.
        const QPoint below(shape.center().x(), shape.bottom() + 4);
        EXPECT_EQ(withBadge.pixel(below), without.pixel(below));
        EXPECT_LT(lightness(without, below), 3 * 255);
    }
}
