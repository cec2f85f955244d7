// The label's picture: the wire form panels read, its size at every height, and that it can be read on
// light and dark panels whatever the ink.
#include "shell/LabelRenderer.h"

#include <QPainter>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace {

using Mode = MenuBarDisplayMode;

MenuBarDisplayContent content(Mode mode, bool active, bool paused, const char* text) {
    return {mode, MenuBarIconStyle::windup, active, paused, QString::fromUtf8(text)};
}

// How far the picture, laid on `panel`, stands out from it at its most visible pixel (0 to 1, by
// luminance).
double strongestContrast(const QImage& picture, const QColor& panel) {
    QImage shown(picture.size(), QImage::Format_ARGB32);
    shown.fill(panel);
    {
        QPainter p(&shown);
        p.drawImage(0, 0, picture);
    }
    const auto luminance = [](const QColor& c) {
        return 0.2126 * c.redF() + 0.7152 * c.greenF() + 0.0722 * c.blueF();
    };
    double best = 0;
    for (int y = 0; y < shown.height(); ++y) {
        for (int x = 0; x < shown.width(); ++x) {
            best = std::max(best, std::abs(luminance(shown.pixelColor(x, y)) - luminance(panel)));
        }
    }
    return best;
}

bool inkOnBorder(const QImage& image) {
    const auto ink = [&](int x, int y) { return image.pixelColor(x, y).alpha() > 40; };
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

TEST(LabelRendererTest, WireFormIsUnpremultipliedArgbMostSignificantByteFirst) {
    QImage image(2, 1, QImage::Format_ARGB32);
    image.setPixel(0, 0, qRgba(0x12, 0x34, 0x56, 0xff));
    image.setPixel(1, 0, qRgba(0xff, 0x00, 0x00, 0x80)); // half-transparent red stays full red
    const PanelIconPixmap pixmap = LabelRenderer::toIconPixmap(image);
    EXPECT_EQ(pixmap.width, 2);
    EXPECT_EQ(pixmap.height, 1);
    EXPECT_EQ(pixmap.bytes, QByteArray::fromHex("ff123456"
                                                "80ff0000"));

    // A premultiplied picture goes out unpremultiplied too.
    const PanelIconPixmap fromPremultiplied =
        LabelRenderer::toIconPixmap(image.convertToFormat(QImage::Format_ARGB32_Premultiplied));
    EXPECT_EQ(fromPremultiplied.bytes, pixmap.bytes);

    EXPECT_EQ(LabelRenderer::fromIconPixmap(pixmap), image);
    EXPECT_TRUE(LabelRenderer::fromIconPixmap({2, 2, QByteArray(15, '\0')}).isNull()) << "short data";
    EXPECT_TRUE(LabelRenderer::fromIconPixmap({0, 0, {}}).isNull()) << "empty";
}

TEST(LabelRendererTest, PictureIsThePanelsHeightAndTheContentsWidth) {
    const MenuBarDisplayContent icon = content(Mode::timeOnly, false, false, "");
    const MenuBarDisplayContent time = content(Mode::timeOnly, true, false, "04:05");
    const MenuBarDisplayContent paused = content(Mode::timeOnly, true, true, "04:05");
    const MenuBarDisplayContent both = content(Mode::iconAndTime, true, false, "04:05");
    const MenuBarDisplayContent hours = content(Mode::timeOnly, true, false, "1:02:05");
    for (int height : LabelRenderer::offeredHeights()) {
        const auto width = [&](const MenuBarDisplayContent& c) {
            const QImage image = LabelRenderer::render(c, height, Qt::black);
            EXPECT_EQ(image.height(), height);
            EXPECT_FALSE(inkOnBorder(image)) << height << " " << c.timeText.toStdString();
            return image.width();
        };
        EXPECT_EQ(width(icon), height) << "the icon alone is a square icon, at " << height;
        EXPECT_GT(width(time), height) << height;
        EXPECT_GT(width(paused), width(time)) << "the pause mark takes room, at " << height;
        EXPECT_GT(width(both), width(time)) << "the icon takes room, at " << height;
        EXPECT_GT(width(hours), width(time)) << "more digits, more room, at " << height;
    }
    // Every offered height goes out, each once, as its own picture.
    const PanelIconPixmapList pixmaps = LabelRenderer::iconPixmaps(time, Qt::black);
    ASSERT_EQ(pixmaps.size(), LabelRenderer::offeredHeights().size());
    for (qsizetype i = 0; i < pixmaps.size(); ++i) {
        EXPECT_EQ(pixmaps[i].height, LabelRenderer::offeredHeights()[i]);
        EXPECT_EQ(pixmaps[i].bytes.size(), qsizetype(pixmaps[i].width) * pixmaps[i].height * 4);
    }
}

TEST(LabelRendererTest, LegibleOnLightAndDarkPanelsWhateverTheInk) {
    const QColor lightPanel(0xf2, 0xf2, 0xf2);
    const QColor darkPanel(0x2b, 0x2b, 0x2b);
    const struct {
        const char* name;
        QColor ink;
        QColor panel;
    } rows[] = {
        {"dark ink on a light panel", QColor(0x1d, 0x1d, 0x1f), lightPanel},
        {"dark ink on a dark panel", QColor(0x1d, 0x1d, 0x1f), darkPanel},
        {"light ink on a dark panel", QColor(0xf5, 0xf5, 0xf7), darkPanel},
        {"light ink on a light panel", QColor(0xf5, 0xf5, 0xf7), lightPanel},
    };
    for (const auto& row : rows) {
        for (const MenuBarDisplayContent& c :
             {content(Mode::timeOnly, false, false, ""), content(Mode::iconAndTime, true, true, "04:05")}) {
            const QImage picture = LabelRenderer::render(c, 22, row.ink);
            EXPECT_GT(strongestContrast(picture, row.panel), 0.45)
                << row.name << " " << c.timeText.toStdString();
        }
    }
}

} // namespace
