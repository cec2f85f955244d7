#include "theme/QvColor.h"
#include "theme/QvFont.h"
#include "theme/QvText.h"

#include <QFontInfo>
#include <QImage>
#include <QLabel>
#include <QPainter>

#include <gtest/gtest.h>

TEST(QvFontTest, SizesArePixelsAndWeightsAreKept) {
    const QFont font = QvFont::qvText(13, QFont::DemiBold);
    EXPECT_EQ(font.pixelSize(), 13);
    EXPECT_EQ(font.weight(), QFont::DemiBold);
    EXPECT_EQ(QFontInfo(font).pixelSize(), 13);
    EXPECT_TRUE(font.families().contains(QStringLiteral("Noto Sans CJK JP")));
    EXPECT_EQ(QvFont::qvDisplay(44, QFont::Light), QvFont::qvText(44, QFont::Light));
}

TEST(QvFontTest, JapaneseTextHasGlyphs) {
    // Missing glyphs are all drawn as the same empty box; real glyphs differ from each other.
    const auto render = [](const QString& text) {
        QImage image(40, 30, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::white);
        QPainter p(&image);
        p.setFont(QvFont::qvText(20, QFont::Normal));
        p.setPen(Qt::black);
        p.drawText(QPointF(4, 24), text);
        return image;
    };
    const QImage ma = render(QStringLiteral("ま"));
    EXPECT_NE(ma, render(QStringLiteral("で")));
    EXPECT_NE(ma, render(QStringLiteral("\uFFFF")));
    EXPECT_NE(ma, render(QString()));
}

TEST(QvTextTest, SectionLabelShowsUpperCaseButKeepsTheText) {
    QLabel label(QStringLiteral("general"));
    QvText::qvSectionLabel(&label);
    EXPECT_EQ(label.text(), QStringLiteral("general"));
    EXPECT_EQ(label.font().capitalization(), QFont::AllUppercase);
    EXPECT_EQ(label.font().pixelSize(), 10);
    EXPECT_EQ(label.font().weight(), QFont::DemiBold);
    EXPECT_NEAR(label.font().letterSpacing(), 0.3, 1.0 / 64); // Qt keeps it in 1/64 px
    EXPECT_EQ(label.palette().color(QPalette::WindowText), QvColor::qvInkMuted().resolve(ColorScheme::light));
    // Drawn in capitals: as wide as the upper-case text, wider than the lower-case one.
    const QFontMetricsF metrics(label.font());
    QFont plain = label.font();
    plain.setCapitalization(QFont::MixedCase);
    EXPECT_GT(metrics.horizontalAdvance(QStringLiteral("general")),
              QFontMetricsF(plain).horizontalAdvance(QStringLiteral("general")));
}

TEST(QvTextTest, TabularDigitsTakeEqualWidths) {
    const QFont font = QvFont::qvText(44, QFont::Medium);
    const double cell = QvText::tabularDigitWidth(font);
    EXPECT_GT(cell, 0);
    EXPECT_DOUBLE_EQ(QvText::tabularWidth(font, QStringLiteral("11:11")),
                     QvText::tabularWidth(font, QStringLiteral("80:08")));
    EXPECT_DOUBLE_EQ(QvText::tabularWidth(font, QStringLiteral("1234")), 4 * cell);
    // Other characters keep their own advance.
    EXPECT_DOUBLE_EQ(QvText::tabularWidth(font, QStringLiteral("1:1")),
                     2 * cell + QFontMetricsF(font).horizontalAdvance(QStringLiteral(":")));
}

TEST(QvTextTest, TabularDrawingPlacesDigitsInFixedCells) {
    // The colon after "1" and after "8" lands in the same columns.
    const auto colonColumns = [](const QString& text) {
        QImage image(200, 60, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::white);
        QPainter p(&image);
        p.setFont(QvFont::qvText(40, QFont::Medium));
        p.setPen(Qt::black);
        QvText::drawTabular(p, QRectF(0, 0, 200, 60), Qt::AlignLeft | Qt::AlignVCenter, text);
        p.end();
        // Columns that hold ink in the narrow band between the digits.
        const double cell = QvText::tabularDigitWidth(QvFont::qvText(40, QFont::Medium));
        QList<int> columns;
        for (int x = int(cell) + 1; x < int(cell) + 10; ++x) {
            for (int y = 0; y < 60; ++y) {
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
