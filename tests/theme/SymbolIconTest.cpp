#include "support/LogCapture.h"
#include "theme/SymbolIcon.h"

#include <QImage>

#include <gtest/gtest.h>

namespace {

using namespace Qt::StringLiterals;

// Every symbol name the screens ask for.
const QStringList kUsedSymbols =
    QStringLiteral("alarm arrow.right arrow.turn.down.right brain checkmark checkmark.circle.fill "
                   "chevron.down chevron.left chevron.right chevron.up circle circle.dashed clock "
                   "clock.badge.plus cup.and.saucer ellipsis figure.walk gearshape keyboard "
                   "largecircle.fill.circle list.bullet minus minus.circle pause.fill pencil pip pip.fill "
                   "play.fill plus plus.square.on.square power return speaker.wave.2.fill "
                   "square.stack.3d.up.slash textformat textformat.123 timer trash xmark")
        .split(QLatin1Char(' '));

QImage draw(const QString& name, int side, const QColor& color = Qt::black) {
    return SymbolIcon::pixmap(name, QSize(side, side), color).toImage();
}

// How many pixels are mostly covered, and the most covered one.
struct Ink {
    int opaque = 0;
    QColor strongest = Qt::transparent;
};

Ink inkOf(const QImage& image) {
    Ink ink;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            ink.opaque += c.alpha() > 128 ? 1 : 0;
            ink.strongest = c.alpha() > ink.strongest.alpha() ? c : ink.strongest;
        }
    }
    return ink;
}

} // namespace

TEST(SymbolIconTest, EveryUsedSymbolIsDrawnInTheAskedColour) {
    const QStringList names = SymbolIcon::names();
    for (const QString& name : kUsedSymbols) {
        SCOPED_TRACE(name.toStdString());
        EXPECT_TRUE(names.contains(name));
        EXPECT_TRUE(SymbolIcon::contains(name));
        const Ink ink = inkOf(draw(name, 24, QColor(200, 30, 60)));
        EXPECT_GT(ink.opaque, 8);
        const QColor c = ink.strongest; // the asked colour, not the drawing's own black
        EXPECT_TRUE(std::abs(c.red() - 200) <= 4 && std::abs(c.green() - 30) <= 4 &&
                    std::abs(c.blue() - 60) <= 4)
            << c.name().toStdString();
    }
    // Filled and outlined variants differ.
    EXPECT_GT(inkOf(draw(u"pip.fill"_s, 48)).opaque, inkOf(draw(u"pip"_s, 48)).opaque);
    EXPECT_GT(inkOf(draw(u"checkmark.circle.fill"_s, 48)).opaque, inkOf(draw(u"circle"_s, 48)).opaque);
}

TEST(SymbolIconTest, UnknownNameDrawsAVisibleStandInAndWarnsOnce) {
    LogCapture log;
    for (const QString& unknown :
         {QStringLiteral("no.such.symbol"), QStringLiteral("fallback/unknown"), QString()}) {
        EXPECT_FALSE(SymbolIcon::contains(unknown));
    }
    const QImage first = draw(QStringLiteral("no.such.symbol"), 24);
    EXPECT_GT(inkOf(first).opaque, 8);
    EXPECT_EQ(draw(QStringLiteral("no.such.symbol"), 24), first);
    ASSERT_EQ(log.lines().size(), 1);
    EXPECT_TRUE(log.lines()[0].contains(QStringLiteral("no.such.symbol")));
    EXPECT_TRUE(log.lines()[0].contains(QStringLiteral("[SymbolIcon]")));
}

TEST(SymbolIconTest, IconServesAnySizeAndDimsWhenDisabled) {
    const QIcon icon = SymbolIcon::icon(QStringLiteral("timer"), Qt::black, Qt::white);
    for (int side : {16, 22, 64}) {
        EXPECT_EQ(icon.pixmap(QSize(side, side)).size(), QSize(side, side));
    }
    EXPECT_EQ(inkOf(icon.pixmap(QSize(32, 32), QIcon::Normal).toImage()).strongest.alpha(), 255);
    EXPECT_LT(inkOf(icon.pixmap(QSize(32, 32), QIcon::Disabled).toImage()).strongest.alpha(), 160);
}
