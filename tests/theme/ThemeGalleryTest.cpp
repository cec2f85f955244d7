// Writes pictures of the surfaces, the menu-bar label, the picker and the icon set into the build tree,
// for people to look at; the assertions only check that they were written.
#include "theme/MenuBarDisplayContent.h"
#include "theme/QvColor.h"
#include "theme/QvFont.h"
#include "theme/QvSurface.h"
#include "theme/SymbolIcon.h"

#include <QDir>
#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <functional>

namespace {

bool save(const QImage& image, const QString& file) {
    QDir().mkpath(QStringLiteral("theme-gallery"));
    return image.save(QStringLiteral("theme-gallery/") + file);
}

// A picture of `size` on `fill`, drawn by `draw`.
QImage picture(QSize size, const QColor& fill, const std::function<void(QPainter&)>& draw) {
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(fill);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    draw(p);
    return image;
}

QColor lightOf(const QvColor& token) {
    return token.resolve(ColorScheme::light);
}

} // namespace

TEST(ThemeGalleryTest, WritesPicturesForPeople) {
    // Every surface, plain and hovered, light on the left and dark on the right.
    const QImage surfaces = picture(QSize(640, 420), Qt::white, [](QPainter& p) {
        for (ColorScheme scheme : {ColorScheme::light, ColorScheme::dark}) {
            const double x = scheme == ColorScheme::light ? 0 : 320;
            p.fillRect(QRectF(x, 0, 320, 420), QvColor::qvCanvas().resolve(scheme));
            for (bool hovered : {false, true}) {
                const double left = x + 20 + (hovered ? 150 : 0);
                QvSurface::paint(p, QRectF(left, 20, 130, 70), QvSurface::qvCard(hovered, 20, scheme));
                QvSurface::paint(p, QRectF(left, 120, 90, 32), QvSurface::qvChip(hovered, scheme));
                QvSurface::paint(p, QRectF(left, 190, 130, 70),
                                 QvSurface::qvReferenceCard(hovered, 12, scheme));
            }
            QvSurface::paint(p, QRectF(x + 20, 310, 280, 54), QvSurface::qvFloatingBar(scheme));
        }
    });
    EXPECT_TRUE(save(surfaces, QStringLiteral("surfaces.png")));

    // The label in every mode (rows) and timer state (columns: none, running, paused); the icon styles are
    // in the picker's picture.
    const QImage label = picture(QSize(600, 130), lightOf(QvColor::qvCanvas()), [](QPainter& p) {
        const QFont font = QvFont::qvText(13, QFont::Medium);
        for (int i = 0; i < 9; ++i) {
            const MenuBarDisplayContent content{allMenuBarDisplayModes().at(i / 3), MenuBarIconStyle::windup,
                                                i % 3 > 0, i % 3 == 2, QStringLiteral("04:05")};
            const QRectF rect(10 + 200 * (i % 3), 10 + 40 * (i / 3), content.size(font).width() + 20, 28);
            p.fillPath(QvSurface::continuousRoundedRect(rect, 12), lightOf(QvColor::qvSurface()));
            content.paint(p, rect, font, lightOf(QvColor::qvTextPrimary()));
        }
    });
    EXPECT_TRUE(save(label, QStringLiteral("menubar-label.png")));

    const QStringList names = SymbolIcon::names();
    const QImage icons =
        picture(QSize(6 * 150, int((names.size() + 5) / 6) * 60 + 10), Qt::white, [&](QPainter& p) {
            p.setFont(QvFont::qvText(10, QFont::Normal));
            for (qsizetype i = 0; i < names.size(); ++i) {
                const QPointF origin(10 + 150 * (i % 6), 10 + 60 * (i / 6));
                SymbolIcon::paint(p, QRectF(origin, QSizeF(32, 32)), names[i],
                                  lightOf(QvColor::qvInkPrimary()));
                p.drawText(origin + QPointF(0, 46), names[i]);
            }
        });
    EXPECT_TRUE(save(icons, QStringLiteral("icons.png")));
}
