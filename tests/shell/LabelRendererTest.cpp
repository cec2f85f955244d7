// The panel item's pictures and what they hold: the short form of the time for panels that draw square
// pictures, the glyph and label for panels that draw labels, the wire form panels read, and that every
// picture can be read on light and dark panels whatever the ink.
#include "shell/LabelRenderer.h"
#include "shell/PanelShortForm.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QPainter>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace {

using Mode = MenuBarDisplayMode;
using Kind = PanelShortForm::Kind;

MenuBarDisplayContent content(Mode mode, bool active, bool paused, const char* text = "") {
    return {mode, MenuBarIconStyle::windup, active, paused, QString::fromUtf8(text)};
}

double luminance(const QColor& c) {
    return 0.2126 * c.redF() + 0.7152 * c.greenF() + 0.0722 * c.blueF();
}

QImage onPanel(const QImage& picture, const QColor& panel) {
    QImage shown(picture.size(), QImage::Format_ARGB32);
    shown.fill(panel);
    QPainter p(&shown);
    p.drawImage(0, 0, picture);
    return shown;
}

// The share of the picture's pixels whose luminance stands at least `apart` from the panel's.
double visibleShare(const QImage& picture, const QColor& panel, double apart) {
    const QImage shown = onPanel(picture, panel);
    int visible = 0;
    for (int y = 0; y < shown.height(); ++y) {
        for (int x = 0; x < shown.width(); ++x) {
            visible += std::abs(luminance(shown.pixelColor(x, y)) - luminance(panel)) >= apart ? 1 : 0;
        }
    }
    return double(visible) / double(shown.width() * shown.height());
}

// The rows and columns the ink (not the halo) covers.
QRect inkBounds(const QImage& picture, const QColor& ink) {
    QRect bounds;
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            const QColor c = picture.pixelColor(x, y);
            if (c.alpha() > 200 && std::abs(luminance(c) - luminance(ink)) < 0.25) {
                bounds |= QRect(x, y, 1, 1);
            }
        }
    }
    return bounds;
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

TEST(LabelRendererTest, ShortFormReadsAtAGlance) {
    const struct {
        const char* name;
        MenuBarDisplayContent content;
        qint64 remaining;
        qint64 total;
        Kind kind;
        const char* figure;
        bool paused;
        bool gauge;
        int gaugeFill;
    } rows[] = {
        {"no timer: the glyph", content(Mode::timeOnly, false, false), 0, 0, Kind::glyph, "", false, false,
         0},
        {"icon only never shows the time", content(Mode::iconOnly, true, false, "24:01"), 1441, 1500,
         Kind::glyph, "", false, false, 0},
        {"24:01 reads 25", content(Mode::timeOnly, true, false, "24:01"), 1441, 1500, Kind::minutes, "25",
         false, false, 0},
        {"one minute exactly reads 1", content(Mode::timeOnly, true, false), 60, 1500, Kind::minutes, "1",
         false, false, 0},
        {"the last minute in seconds", content(Mode::timeOnly, true, false), 59, 1500, Kind::seconds, "59",
         false, false, 0},
        {"none left", content(Mode::timeOnly, true, false), 0, 1500, Kind::seconds, "0", false, false, 0},
        {"a negative remainder reads as none", content(Mode::timeOnly, true, false), -5, 1500, Kind::seconds,
         "0", false, false, 0},
        {"99 minutes are still minutes", content(Mode::timeOnly, true, false), 99 * 60, 7200, Kind::minutes,
         "99", false, false, 0},
        {"past 99 minutes, hours rounded up", content(Mode::timeOnly, true, false), 99 * 60 + 1, 7200,
         Kind::hours, "2h", false, false, 0},
        {"ten hours", content(Mode::timeOnly, true, false), 36000, 36000, Kind::hours, "10h", false, false,
         0},
        {"paused keeps its figure and says so", content(Mode::timeOnly, true, true), 245, 1500, Kind::minutes,
         "5", true, false, 0},
        {"icon and time: the gauge, full at the start", content(Mode::iconAndTime, true, false), 1500, 1500,
         Kind::minutes, "25", false, true, 60},
        {"the gauge follows the figure, not the second", content(Mode::iconAndTime, true, false), 1441, 1500,
         Kind::minutes, "25", false, true, 60},
        {"half the timer left", content(Mode::iconAndTime, true, false), 750, 1500, Kind::minutes, "13",
         false, true, 31},
        {"a timer without a length keeps an empty gauge", content(Mode::iconAndTime, true, false), 30, 0,
         Kind::seconds, "30", false, true, 0},
    };
    for (const auto& row : rows) {
        const PanelShortForm form = PanelShortForm::of(row.content, row.remaining, row.total);
        EXPECT_EQ(form.kind, row.kind) << row.name;
        EXPECT_EQ(form.figure(), QString::fromLatin1(row.figure)) << row.name;
        EXPECT_EQ(form.paused, row.paused) << row.name;
        EXPECT_EQ(form.gauge, row.gauge) << row.name;
        EXPECT_EQ(form.gaugeFill, row.gaugeFill) << row.name;
        EXPECT_EQ(form.unitMark().isEmpty(), row.kind != Kind::seconds) << row.name;
    }
}

TEST(LabelRendererTest, LabelPanelsGetTheGlyphAndTheTimeOnce) {
    const QString timer = PanelLabelParts::glyphName(MenuBarIconStyle::windup);
    const QString pause = PanelLabelParts::pausedGlyphName();
    const QString mark = PanelLabelParts::pauseMark;
    const struct {
        const char* name;
        MenuBarDisplayContent content;
        QString iconName;
        QString label;
    } rows[] = {
        {"no timer", content(Mode::timeOnly, false, false), timer, {}},
        {"icon only, running", content(Mode::iconOnly, true, false, "04:05"), timer, {}},
        {"icon only, paused", content(Mode::iconOnly, true, true, "04:05"), timer, {}},
        {"time only, running", content(Mode::timeOnly, true, false, "04:05"), {}, QStringLiteral("04:05")},
        {"time only, paused: the pause glyph then the time", content(Mode::timeOnly, true, true, "04:05"),
         pause, QStringLiteral("04:05")},
        {"icon and time, running", content(Mode::iconAndTime, true, false, "19:44まで あと4:05"), timer,
         QStringLiteral("19:44まで あと4:05")},
        {"icon and time, paused: the mark before the time", content(Mode::iconAndTime, true, true, "04:05"),
         timer, mark + QStringLiteral("04:05")},
    };
    for (const auto& row : rows) {
        const PanelLabelParts parts = PanelLabelParts::of(row.content);
        EXPECT_EQ(parts.iconName, row.iconName) << row.name;
        EXPECT_EQ(parts.label, row.label) << row.name;
        EXPECT_EQ(parts.guide.size(), parts.label.size()) << row.name;
        EXPECT_FALSE(parts.guide.contains(QRegularExpression(QStringLiteral("[1-9]")))) << row.name;
    }
    // Each icon style has its own glyph, drawn from a file the icon theme holds too.
    const QString styles[] = {PanelLabelParts::glyphName(MenuBarIconStyle::windup),
                              PanelLabelParts::glyphName(MenuBarIconStyle::clock),
                              PanelLabelParts::glyphName(MenuBarIconStyle::minimal), pause};
    for (const QString& name : styles) {
        EXPECT_TRUE(name.endsWith(QLatin1String("-symbolic"))) << name.toStdString();
        EXPECT_GT(visibleShare(LabelRenderer::glyph(name, 22, Qt::black), Qt::white, 0.5), 0.08)
            << name.toStdString() << " draws something";
        EXPECT_EQ(std::count(std::begin(styles), std::end(styles), name), 1);
    }
    const QImage unknown = LabelRenderer::glyph(QStringLiteral("no-such-glyph-symbolic"), 22, Qt::black);
    EXPECT_EQ(unknown.size(), QSize(22, 22));
    EXPECT_EQ(qAlpha(unknown.pixel(11, 11)), 0) << "an unknown name draws nothing, not an empty plate";
    const QString theme = LabelRenderer::iconThemePath();
    ASSERT_FALSE(theme.isEmpty()) << "the glyphs' icon theme is in the build tree";
    for (const QString& name : styles) {
        EXPECT_TRUE(QFileInfo::exists(theme + QStringLiteral("/hicolor/scalable/status/") + name +
                                      QStringLiteral(".svg")))
            << name.toStdString();
    }
}

TEST(LabelRendererTest, SquarePicturesFillTheirSquareAndTellTheFormsApart) {
    const QColor ink(0x1d, 0x1d, 0x1f);
    const auto form = [](Mode mode, bool paused, qint64 remaining) {
        return PanelShortForm::of(content(mode, true, paused), remaining, 3000);
    };
    const PanelShortForm minutes = form(Mode::timeOnly, false, 45 * 60);
    const PanelShortForm seconds = form(Mode::timeOnly, false, 45);
    const PanelShortForm paused = form(Mode::timeOnly, true, 45 * 60);
    const PanelShortForm gauge = form(Mode::iconAndTime, false, 45 * 60);
    const PanelShortForm glyph = PanelShortForm::of(content(Mode::timeOnly, false, false), 0, 0);
    for (int side : LabelRenderer::offeredSides()) {
        for (const PanelShortForm& f : {minutes, seconds, paused, gauge, glyph}) {
            const QImage picture = LabelRenderer::shortForm(f, side, ink);
            EXPECT_EQ(picture.size(), QSize(side, side)) << side;
        }
        // The figure alone stands nearly as tall as the square.
        const QRect figure = inkBounds(LabelRenderer::shortForm(minutes, side, ink), ink);
        EXPECT_GE(figure.height(), side * 0.7) << side;
        EXPECT_GE(figure.width(), side * 0.6) << side;
        // 45 minutes, 45 seconds, paused and with a gauge: four different pictures.
        const QImage pictures[] = {
            LabelRenderer::shortForm(minutes, side, ink), LabelRenderer::shortForm(seconds, side, ink),
            LabelRenderer::shortForm(paused, side, ink), LabelRenderer::shortForm(gauge, side, ink)};
        for (int a = 0; a < 4; ++a) {
            for (int b = a + 1; b < 4; ++b) {
                EXPECT_NE(pictures[a], pictures[b]) << side << ": forms " << a << " and " << b;
            }
        }
    }
    // Every offered side goes out, each once, as its own square picture.
    const PanelIconPixmapList pixmaps = LabelRenderer::shortFormPixmaps(minutes, ink);
    ASSERT_EQ(pixmaps.size(), LabelRenderer::offeredSides().size());
    for (qsizetype i = 0; i < pixmaps.size(); ++i) {
        EXPECT_EQ(pixmaps[i].width, LabelRenderer::offeredSides()[i]);
        EXPECT_EQ(pixmaps[i].height, LabelRenderer::offeredSides()[i]);
    }
}

TEST(LabelRendererTest, LegibleOnLightAndDarkPanelsWhateverTheInk) {
    const QColor lightPanel(0xf2, 0xf2, 0xf2);
    const QColor darkPanel(0x2b, 0x2b, 0x2b);
    const QColor darkInk(0x1d, 0x1d, 0x1f);
    const QColor lightInk(0xf5, 0xf5, 0xf7);
    const PanelShortForm forms[] = {
        PanelShortForm::of(content(Mode::timeOnly, false, false), 0, 0),
        PanelShortForm::of(content(Mode::timeOnly, true, false), 1441, 1500),
        PanelShortForm::of(content(Mode::timeOnly, true, true), 1441, 1500),
        PanelShortForm::of(content(Mode::iconAndTime, true, false), 42, 1500),
    };
    for (const QColor& ink : {darkInk, lightInk}) {
        for (const QColor& panel : {lightPanel, darkPanel}) {
            for (const PanelShortForm& f : forms) {
                // The ink on its own halo: a solid edge of the other lightness wherever the panel is as
                // light (or as dark) as the ink.
                const QImage picture = LabelRenderer::shortForm(f, 22, ink);
                EXPECT_GT(visibleShare(picture, panel, 0.6), 0.08)
                    << "ink " << ink.name().toStdString() << " on " << panel.name().toStdString() << ", "
                    << f.figure().toStdString();
            }
        }
    }

    // Pictures for people: every form at every side, on a light and a dark panel, and four times larger.
    QDir().mkpath(QStringLiteral("panel-item"));
    QList<PanelShortForm> sheet;
    for (Mode mode : {Mode::timeOnly, Mode::iconAndTime}) {
        for (bool paused : {false, true}) {
            for (qint64 remaining : {qint64(1441), qint64(245), qint64(42), qint64(7200)}) {
                sheet << PanelShortForm::of(content(mode, true, paused), remaining, 1500);
            }
        }
    }
    for (MenuBarIconStyle style :
         {MenuBarIconStyle::windup, MenuBarIconStyle::clock, MenuBarIconStyle::minimal}) {
        MenuBarDisplayContent c = content(Mode::iconOnly, true, false);
        c.iconStyle = style;
        sheet << PanelShortForm::of(c, 0, 0);
    }
    const QList<int>& sides = LabelRenderer::offeredSides();
    const int cell = 52;
    QImage image(cell * int(sides.size()) * 2, cell * int(sheet.size()), QImage::Format_ARGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    for (qsizetype row = 0; row < sheet.size(); ++row) {
        for (qsizetype column = 0; column < sides.size(); ++column) {
            for (int dark = 0; dark < 2; ++dark) {
                const QRect box(int(column + dark * sides.size()) * cell, int(row) * cell, cell, cell);
                p.fillRect(box, dark ? darkPanel : lightPanel);
                const QImage picture = LabelRenderer::shortForm(sheet[row], int(sides[column]), darkInk);
                p.drawImage(box.x() + (cell - picture.width()) / 2, box.y() + (cell - picture.height()) / 2,
                            picture);
            }
        }
    }
    p.end();
    EXPECT_TRUE(image.save(QStringLiteral("panel-item/square-forms.png")));
    EXPECT_TRUE(image.scaled(image.size() * 3, Qt::IgnoreAspectRatio, Qt::FastTransformation)
                    .save(QStringLiteral("panel-item/square-forms-x3.png")));
}

} // namespace
