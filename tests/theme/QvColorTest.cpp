#include "theme/AccentTheme.h"
#include "theme/QV.h"
#include "theme/QvColor.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

struct Rgb {
    int r, g, b;
};

void expectOpaque(const QColor& c, Rgb expected, const QString& input) {
    SCOPED_TRACE(input.toStdString());
    EXPECT_EQ(c.red(), expected.r);
    EXPECT_EQ(c.green(), expected.g);
    EXPECT_EQ(c.blue(), expected.b);
    EXPECT_EQ(c.alpha(), 255);
}

} // namespace

TEST(QvColorTest, HexReadsWithAnyDecoration) {
    for (const QString& text :
         {QStringLiteral("#fd5321"), QStringLiteral("fd5321"), QStringLiteral("  #FD5321\n"),
          QStringLiteral("##fd5321#"), QStringLiteral("0xfd5321"), QStringLiteral("#0XFD5321"),
          QStringLiteral("\t#fd5321 ")}) {
        expectOpaque(QvColor::fromHex(text), {253, 83, 33}, text);
    }
}

TEST(QvColorTest, HexUnreadableTextIsOpaqueBlack) {
    for (const QString& text : {QString(), QStringLiteral("#"), QStringLiteral("zz"), QStringLiteral("###"),
                                QStringLiteral("-fd5321"), QStringLiteral("0x"), QStringLiteral("g12345")}) {
        expectOpaque(QvColor::fromHex(text), {0, 0, 0}, text);
    }
}

TEST(QvColorTest, HexReadsTheNumberWithoutExpandingOrPadding) {
    expectOpaque(QvColor::fromHex(QStringLiteral("12")), {0, 0, 18}, QStringLiteral("12"));
    expectOpaque(QvColor::fromHex(QStringLiteral("#fff")), {0, 15, 255}, QStringLiteral("#fff"));
    // Eight digits: only the low 24 bits, still opaque.
    expectOpaque(QvColor::fromHex(QStringLiteral("#80fd5321")), {253, 83, 33}, QStringLiteral("#80fd5321"));
    // The number stops at the first character that is not a hex digit.
    expectOpaque(QvColor::fromHex(QStringLiteral("ab12 34")), {0, 0xab, 0x12}, QStringLiteral("ab12 34"));
    expectOpaque(QvColor::fromHex(QStringLiteral("fd53#21")), {0, 0xfd, 0x53}, QStringLiteral("fd53#21"));
    // A "#" inside the text is not stripped, so nothing is read.
    expectOpaque(QvColor::fromHex(QStringLiteral("#x#fd5321")), {0, 0, 0}, QStringLiteral("#x#fd5321"));
}

TEST(QvColorTest, HexBeyondSixtyFourBitsKeepsTheLastSixDigits) {
    const QString huge = QStringLiteral("ffffffffffffffffffffffff123456");
    expectOpaque(QvColor::fromHex(huge), {0x12, 0x34, 0x56}, huge);
}

TEST(QvColorTest, ToHexIsSixLowerCaseDigitsWithoutHash) {
    EXPECT_EQ(QvColor::toHex(QvColor::fromHex(QStringLiteral("#FD5321"))), QStringLiteral("fd5321"));
    EXPECT_EQ(QvColor::toHex(QColor(Qt::white)), QStringLiteral("ffffff"));
    EXPECT_EQ(QvColor::toHex(QColor(Qt::black)), QStringLiteral("000000"));
    // Opacity is dropped.
    EXPECT_EQ(QvColor::toHex(QColor(0x12, 0xab, 0xcd, 10)), QStringLiteral("12abcd"));
    // Halves round away from zero.
    EXPECT_EQ(QvColor::toHex(QColor::fromRgbF(0.5f, 0.0f, 1.0f)), QStringLiteral("8000ff"));
    // Colours of other models are converted to sRGB first.
    EXPECT_EQ(QvColor::toHex(QColor::fromHsv(0, 255, 255)), QStringLiteral("ff0000"));
}

TEST(QvColorTest, ToHexRoundTripsThroughFromHex) {
    for (const QString& hex : {QStringLiteral("000000"), QStringLiteral("010203"), QStringLiteral("7f8081"),
                               QStringLiteral("c9a15a"), QStringLiteral("fefefe")}) {
        EXPECT_EQ(QvColor::toHex(QvColor::fromHex(hex)), hex);
    }
}

TEST(QvColorTest, PaletteResolvesEachSchemeToItsOwnValue) {
    struct Row {
        const QvColor& color;
        const char* light;
        const char* dark;
    };
    const Row rows[] = {
        {QvColor::qvBgPrimary(), "f7f7f5", "18191a"},        {QvColor::qvBgSurface(), "ededeb", "202224"},
        {QvColor::qvBgSurfaceHover(), "e4e4e1", "262a2c"},   {QvColor::qvBgCard(), "fdfdfc", "1e2022"},
        {QvColor::qvBgCardHover(), "f3f3f1", "26292b"},      {QvColor::qvInkPrimary(), "001011", "eef3f2"},
        {QvColor::qvInkSecondary(), "0f1e1f", "c9d2d0"},     {QvColor::qvInkMuted(), "6b6e6c", "8b9391"},
        {QvColor::qvBorder(), "cdcdca", "34383a"},           {QvColor::qvDivider(), "e1e1de", "2a2d2f"},
        {QvColor::qvBorderCard(), "e3e3e0", "2c3032"},       {QvColor::qvSuccess(), "2e7d52", "4fb37f"},
        {QvColor::qvDestructive(), "b3392f", "e2695d"},      {QvColor::qvOnAccent(), "fdfdfc", "fdfdfc"},
        {QvColor::qvCanvas(), "f4f4f1", "181a19"},           {QvColor::qvSurface(), "fafaf8", "1f2220"},
        {QvColor::qvSurfaceRaised(), "fdfdfb", "242724"},    {QvColor::qvSurfaceMuted(), "eeeeea", "292c29"},
        {QvColor::qvTextPrimary(), "181a18", "f0f2ef"},      {QvColor::qvTextSecondary(), "6f726d", "9da29d"},
        {QvColor::qvTextTertiary(), "9a9d97", "747a75"},     {QvColor::qvStroke(), "d9dad5", "343834"},
        {QvColor::qvReferenceDivider(), "e4e4df", "30332f"}, {QvColor::qvInkAction(), "222421", "f0f2ef"},
        {QvColor::qvInkOnAction(), "f8f8f5", "181a19"},      {QvColor::qvOrangeLive(), "ff5a1f", "ff6a32"},
        {QvColor::qvSageEnabled(), "98a89a", "829184"},      {QvColor::qvSageFill(), "dce4dc", "29332d"},
        {QvColor::qvDanger(), "c34736", "e16a58"},           {QvColor::qvDialArc(), "c9cbc7", "c9cbc7"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.light);
        EXPECT_EQ(QvColor::toHex(row.color.resolve(ColorScheme::light)), QLatin1String(row.light));
        EXPECT_EQ(QvColor::toHex(row.color.resolve(ColorScheme::dark)), QLatin1String(row.dark));
        EXPECT_EQ(row.color.resolve(ColorScheme::light).alpha(), 255);
        EXPECT_EQ(row.color.resolve(ColorScheme::dark).alpha(), 255);
    }
    EXPECT_FALSE(QvColor::qvOnAccent().isAdaptive());
    EXPECT_FALSE(QvColor::qvDialArc().isAdaptive());
    EXPECT_TRUE(QvColor::qvBgPrimary().isAdaptive());
}

TEST(QvColorTest, AccentAndSoftAccentDifferOnlyInOpacity) {
    const QColor accent = QvColor::qvAccent(AccentTheme::orange);
    const QColor soft = QvColor::qvAccentSoft(AccentTheme::orange);
    EXPECT_EQ(QvColor::toHex(accent), QStringLiteral("fd5321"));
    EXPECT_EQ(accent.alpha(), 255);
    EXPECT_EQ(QvColor::toHex(soft), QStringLiteral("fd5321"));
    EXPECT_NEAR(soft.alphaF(), 0.1, 0.005);
    for (AccentTheme theme : allAccentThemes()) {
        EXPECT_EQ(QvColor::qvAccent(theme), color(theme));
    }
}

TEST(QVTest, BottomBarWidthsDivideTheBarExactly) {
    EXPECT_EQ(QV::bottomBarItemWidth * 4, QV::bottomBarWidth);
    EXPECT_EQ(QV::bottomBarThreeItemWidth * 3, QV::bottomBarWidth);
    EXPECT_NE(QV::bottomBarThreeItemWidth, 134.67);
    EXPECT_EQ(QV::dialTickCount % QV::dialMajorTickInterval, 0);
}
