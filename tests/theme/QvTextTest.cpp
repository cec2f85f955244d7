#include "theme/QvColor.h"
#include "theme/QvFont.h"
#include "theme/QvText.h"

#include <QFontInfo>
#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

namespace {

QImage drawn(const QString& text, int size, bool tabular = false) {
    QImage image(tabular ? 200 : 40, tabular ? 60 : 30, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setFont(QvFont::qvText(size, QFont::Medium));
    p.setPen(Qt::black);
    if (tabular) {
        QvText::drawTabular(p, image.rect(), Qt::AlignLeft | Qt::AlignVCenter, text);
    } else {
        p.drawText(QPointF(4, 24), text);
    }
    return image;
}

} // namespace

TEST(QvFontTest, SizesArePixelsAndJapaneseTextHasGlyphs) {
    const QFont font = QvFont::qvText(13, QFont::DemiBold);
    EXPECT_EQ(QFontInfo(font).pixelSize(), 13);
    EXPECT_TRUE(font.families().contains(QStringLiteral("Noto Sans CJK JP")));
    // Missing glyphs are all drawn as the same empty box; real glyphs differ from each other.
    const QImage ma = drawn(QStringLiteral("ま"), 20);
    EXPECT_NE(ma, drawn(QStringLiteral("で"), 20));
    EXPECT_NE(ma, drawn(QStringLiteral("\uFFFF"), 20));
    EXPECT_NE(ma, drawn(QString(), 20));
}

TEST(QvTextTest, TabularDigitsTakeEqualCellsWhenMeasuredAndDrawn) {
    const QFont font = QvFont::qvText(44, QFont::Medium);
    const double cell = QvText::tabularDigitWidth(font);
    EXPECT_GT(cell, 0);
    EXPECT_DOUBLE_EQ(QvText::tabularWidth(font, QStringLiteral("11:11")),
                     QvText::tabularWidth(font, QStringLiteral("80:08")));
    EXPECT_DOUBLE_EQ(QvText::tabularWidth(font, QStringLiteral("1234")), 4 * cell);
    // Other characters keep their own advance.
    EXPECT_DOUBLE_EQ(QvText::tabularWidth(font, QStringLiteral("1:1")),
                     2 * cell + QFontMetricsF(font).horizontalAdvance(QStringLiteral(":")));

    // Drawn, the colon after "1" and after "8" lands in the same columns of the band after the first cell.
    const auto colonColumns = [](const QString& text) {
        const QImage image = drawn(text, 40, true);
        const int drawnCell = int(QvText::tabularDigitWidth(QvFont::qvText(40, QFont::Medium)));
        QList<int> columns;
        for (int x = drawnCell + 1; x < drawnCell + 10; ++x) {
            for (int y = 0; y < image.height(); ++y) {
                if (qGray(image.pixel(x, y)) < 100) {
                    columns << x;
                    break;
                }
            }
        }
        return columns;
    };
    EXPECT_EQ(colonColumns(QStringLiteral("1:")), colonColumns(QStringLiteral("8:")));
    EXPECT_FALSE(colonColumns(QStringLiteral("8:")).isEmpty());
}
