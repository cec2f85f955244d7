// Writes pictures of the surfaces, the menu-bar label at tray size and the icon set into the build tree, for
// people to look at; the assertions check that they were written and that no tray label is clipped.
#include "theme/MenuBarDisplayContent.h"
#include "theme/QvColor.h"
#include "theme/QvFont.h"
#include "theme/QvSurface.h"
#include "theme/SymbolIcon.h"

#include <QDir>
#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
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

// True when something other than `background` was drawn in the outermost rows or columns.
bool inkOnBorder(const QImage& image, const QColor& background) {
    const auto ink = [&](int x, int y) {
        const QColor c = image.pixelColor(x, y);
        return std::max({std::abs(c.red() - background.red()), std::abs(c.green() - background.green()),
                         std::abs(c.blue() - background.blue())}) > 24;
    };
    for (int x = 0; x < image.width(); ++x) {
        if (ink(x, 0) || ink(x, image.height() - 1)) {
            return true;
        }
    }
    for (int y = 0; y < image.height(); ++y) {
        if (ink(0, y) || ink(image.width() - 1, y)) {
            return true;
        }
    }
    return false;
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

    // The label as the tray shows it: strips 22 pixels high at their natural width, on a light and on a dark
    // panel, in every icon style, with running, paused and Japanese texts. A strip with ink on its border
    // would be clipped in the tray.
    const QFont trayFont = QvFont::qvText(14, QFont::Medium);
    const QString japanese = QStringLiteral("19:44まで あと4:05");
    const struct {
        const char* caption;
        MenuBarDisplayMode mode;
        bool isActive;
        bool isPaused;
        QString text;
    } variants[] = {
        {"no timer", MenuBarDisplayMode::iconAndTime, false, false, {}},
        {"time", MenuBarDisplayMode::timeOnly, true, false, QStringLiteral("04:05")},
        {"icon + time", MenuBarDisplayMode::iconAndTime, true, false, QStringLiteral("1:02:05")},
        {"paused", MenuBarDisplayMode::iconAndTime, true, true, QStringLiteral("04:05")},
        {"Japanese", MenuBarDisplayMode::iconAndTime, true, false, japanese},
        {"Japanese, paused", MenuBarDisplayMode::timeOnly, true, true, QStringLiteral("終了 19:44")},
    };
    const struct {
        const char* name;
        QColor panel;
        QColor ink;
    } panels[] = {
        {"light", QColor(0xf2, 0xf2, 0xf2), QvColor::qvTextPrimary().resolve(ColorScheme::light)},
        {"dark", QColor(0x2b, 0x2b, 0x2b), QvColor::qvTextPrimary().resolve(ColorScheme::dark)},
    };
    constexpr int trayHeight = 22;
    constexpr int cell = 190;
    const QImage tray =
        picture(QSize(30 + 2 * 3 * cell, 40 + 6 * (trayHeight + 22)), Qt::white, [&](QPainter& p) {
            p.setFont(QvFont::qvText(10, QFont::Normal));
            for (int c = 0; c < 6; ++c) {
                const int column = c % 3;
                const auto& panel = panels[c / 3];
                const MenuBarIconStyle style = allMenuBarIconStyles().at(column);
                const int x = 10 + c * cell + (c / 3) * 10;
                p.setPen(Qt::black);
                p.drawText(QPointF(x, 20),
                           QStringLiteral("%1, %2").arg(QLatin1String(panel.name), label(style)));
                for (int r = 0; r < 6; ++r) {
                    const auto& v = variants[r];
                    const MenuBarDisplayContent content{v.mode, style, v.isActive, v.isPaused, v.text};
                    const int width = int(std::ceil(content.size(trayFont).width())) + 8;
                    QImage strip(width, trayHeight, QImage::Format_ARGB32_Premultiplied);
                    strip.fill(panel.panel);
                    {
                        QPainter sp(&strip);
                        content.paint(sp, QRectF(strip.rect()), trayFont, panel.ink);
                    }
                    EXPECT_FALSE(inkOnBorder(strip, panel.panel))
                        << panel.name << " " << v.caption << " " << toRaw(style).toStdString();
                    const int y = 30 + r * (trayHeight + 22);
                    p.drawImage(x, y, strip);
                    p.setPen(Qt::darkGray);
                    p.drawText(QPointF(x, y + trayHeight + 12), QLatin1String(v.caption));
                }
            }
        });
    EXPECT_TRUE(save(tray, QStringLiteral("menubar-label.png")));
    // Enlarged pixel for pixel, to see the edges of the glyphs.
    EXPECT_TRUE(save(tray.scaled(tray.size() * 3, Qt::IgnoreAspectRatio, Qt::FastTransformation),
                     QStringLiteral("menubar-label-3x.png")));

    const QStringList names = SymbolIcon::names();
    const QImage icons =
        picture(QSize(6 * 150, int((names.size() + 6) / 6) * 60 + 10), Qt::white, [&](QPainter& p) {
            p.setFont(QvFont::qvText(10, QFont::Normal));
            for (qsizetype i = 0; i <= names.size(); ++i) {
                const QPointF origin(static_cast<qreal>(10 + 150 * (i % 6)),
                                     static_cast<qreal>(10 + 60 * (i / 6)));
                // The last cell is the stand-in drawn for a name the set lacks.
                const bool fallback = i == names.size();
                SymbolIcon::paint(p, QRectF(origin, QSizeF(32, 32)),
                                  fallback ? QStringLiteral("no.such.symbol") : names[i],
                                  lightOf(QvColor::qvInkPrimary()));
                p.drawText(origin + QPointF(0, 46), fallback ? QStringLiteral("(unknown name)") : names[i]);
            }
        });
    EXPECT_TRUE(save(icons, QStringLiteral("icons.png")));
}
