#include "support/LogCapture.h"
#include "theme/SymbolIcon.h"

#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

#include <gtest/gtest.h>

namespace {

int opaquePixels(const QImage& image) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            n += qAlpha(image.pixel(x, y)) > 128 ? 1 : 0;
        }
    }
    return n;
}

// Every symbol name the screens ask for.
const QStringList kUsedSymbols = {
    "alarm",
    "arrow.right",
    "arrow.turn.down.right",
    "brain",
    "checkmark",
    "checkmark.circle.fill",
    "chevron.down",
    "chevron.left",
    "chevron.right",
    "chevron.up",
    "circle",
    "circle.dashed",
    "clock",
    "clock.badge.plus",
    "cup.and.saucer",
    "ellipsis",
    "figure.walk",
    "gearshape",
    "keyboard",
    "largecircle.fill.circle",
    "list.bullet",
    "minus",
    "minus.circle",
    "pause.fill",
    "pencil",
    "pip",
    "pip.fill",
    "play.fill",
    "plus",
    "plus.square.on.square",
    "power",
    "return",
    "speaker.wave.2.fill",
    "square.stack.3d.up.slash",
    "textformat",
    "textformat.123",
    "timer",
    "trash",
    "xmark",
};

} // namespace

TEST(SymbolIconTest, EveryUsedSymbolIsDrawnInTheAskedColour) {
    const QStringList names = SymbolIcon::names();
    for (const QString& name : kUsedSymbols) {
        SCOPED_TRACE(name.toStdString());
        EXPECT_TRUE(names.contains(name));
        ASSERT_TRUE(SymbolIcon::contains(name));
        EXPECT_TRUE(SymbolIcon::renderer(name)->isValid());
        const QImage image = SymbolIcon::pixmap(name, QSize(24, 24), QColor(200, 30, 60)).toImage();
        EXPECT_GT(opaquePixels(image), 8);
        // The most covered pixel has the colour, not the drawing's own black.
        QColor strongest(Qt::transparent);
        for (int y = 0; y < 24; ++y) {
            for (int x = 0; x < 24; ++x) {
                if (image.pixelColor(x, y).alpha() > strongest.alpha()) {
                    strongest = image.pixelColor(x, y);
                }
            }
        }
        EXPECT_GE(strongest.alpha(), 200);
        EXPECT_NEAR(strongest.red(), 200, 4);
        EXPECT_NEAR(strongest.green(), 30, 4);
        EXPECT_NEAR(strongest.blue(), 60, 4);
    }
}

TEST(SymbolIconTest, FilledAndOutlinedVariantsDiffer) {
    const auto ink = [](const char* n) {
        return opaquePixels(SymbolIcon::pixmap(n, QSize(48, 48), Qt::black).toImage());
    };
    EXPECT_GT(ink("pip.fill"), ink("pip"));
    EXPECT_GT(ink("checkmark.circle.fill"), ink("circle"));
}

TEST(SymbolIconTest, UnknownNameDrawsAVisibleStandInAndWarnsOnce) {
    LogCapture log;
    EXPECT_FALSE(SymbolIcon::contains(QStringLiteral("no.such.symbol")));
    EXPECT_FALSE(SymbolIcon::contains(QStringLiteral("fallback/unknown")));
    EXPECT_FALSE(SymbolIcon::contains(QString()));
    const QImage first =
        SymbolIcon::pixmap(QStringLiteral("no.such.symbol"), QSize(24, 24), Qt::black).toImage();
    const QImage second =
        SymbolIcon::pixmap(QStringLiteral("no.such.symbol"), QSize(24, 24), Qt::black).toImage();
    EXPECT_GT(opaquePixels(first), 8);
    EXPECT_EQ(first, second);
    ASSERT_EQ(log.lines().size(), 1);
    EXPECT_TRUE(log.lines()[0].contains(QStringLiteral("no.such.symbol")));
    EXPECT_TRUE(log.lines()[0].contains(QStringLiteral("[SymbolIcon]")));
}

TEST(SymbolIconTest, IconServesAnySizeAndDimsWhenDisabled) {
    const QIcon icon = SymbolIcon::icon(QStringLiteral("timer"), Qt::black);
    EXPECT_FALSE(icon.isNull());
    for (int side : {16, 22, 64}) {
        EXPECT_EQ(icon.pixmap(QSize(side, side)).size(), QSize(side, side));
    }
    const QImage normal = icon.pixmap(QSize(32, 32), QIcon::Normal).toImage();
    const QImage disabled = icon.pixmap(QSize(32, 32), QIcon::Disabled).toImage();
    int maxNormal = 0, maxDisabled = 0;
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            maxNormal = std::max(maxNormal, qAlpha(normal.pixel(x, y)));
            maxDisabled = std::max(maxDisabled, qAlpha(disabled.pixel(x, y)));
        }
    }
    EXPECT_EQ(maxNormal, 255);
    EXPECT_LT(maxDisabled, 160);
}
