#include "theme/AccentTheme.h"
#include "theme/QvColor.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

void expectRead(const char* text, QRgb rgb) {
    const QColor c = QvColor::fromHex(QString::fromUtf8(text));
    EXPECT_EQ(c.rgb() & 0xffffff, rgb) << text;
    EXPECT_EQ(c.alpha(), 255) << text;
}

} // namespace

TEST(QvColorTest, HexIsReadLenientlyAsOneOpaqueNumber) {
    for (const char* decorated :
         {"#fd5321", "fd5321", "  #FD5321\n", "##fd5321#", "0xfd5321", "#0XFD5321", "\t#fd5321 "}) {
        expectRead(decorated, 0xfd5321);
    }
    for (const char* unreadable : {"", "#", "zz", "###", "-fd5321", "0x", "g12345", "#x#fd5321"}) {
        expectRead(unreadable, 0);
    }
    // The number as written: no expanding or padding, the low 24 bits, up to the first non-digit.
    const std::pair<const char*, QRgb> numbers[] = {
        {"12", 0x12},        {"#fff", 0xfff},     {"#80fd5321", 0xfd5321},
        {"ab12 34", 0xab12}, {"fd53#21", 0xfd53}, {"ffffffffffffffffffffffff123456", 0x123456}};
    for (const auto& [text, rgb] : numbers) {
        expectRead(text, rgb);
    }
}

TEST(QvColorTest, ToHexIsSixLowerCaseDigitsWithoutHash) {
    EXPECT_EQ(QvColor::toHex(QColor(0xfd, 0x53, 0x21)), QStringLiteral("fd5321"));
    EXPECT_EQ(QvColor::toHex(QColor(Qt::white)), QStringLiteral("ffffff"));
    EXPECT_EQ(QvColor::toHex(QColor(1, 2, 3)), QStringLiteral("010203"));
    EXPECT_EQ(QvColor::toHex(QColor(0x12, 0xab, 0xcd, 10)), QStringLiteral("12abcd")); // opacity dropped
    EXPECT_EQ(QvColor::toHex(QColor::fromRgbF(0.5f, 0.0f, 1.0f)), QStringLiteral("8000ff")); // halves up
    EXPECT_EQ(QvColor::toHex(QColor::fromHsv(0, 255, 255)), QStringLiteral("ff0000")); // converted to sRGB
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
        const QColor light = row.color.resolve(ColorScheme::light),
                     dark = row.color.resolve(ColorScheme::dark);
        EXPECT_EQ(QvColor::toHex(light), QLatin1String(row.light));
        EXPECT_EQ(QvColor::toHex(dark), QLatin1String(row.dark));
        EXPECT_EQ(light.alpha() + dark.alpha(), 2 * 255);
        EXPECT_EQ(row.color.isAdaptive(), std::strcmp(row.light, row.dark) != 0);
    }
}

TEST(QvColorTest, AccentsFollowTheThemeAndTheSoftOneOnlyAddsOpacity) {
    const QColor soft = QvColor::qvAccentSoft(AccentTheme::orange);
    EXPECT_EQ(QvColor::toHex(QvColor::qvAccent(AccentTheme::orange)), QStringLiteral("fd5321"));
    EXPECT_EQ(QvColor::qvAccent(AccentTheme::orange).alpha(), 255);
    EXPECT_EQ(QvColor::toHex(soft), QStringLiteral("fd5321"));
    EXPECT_NEAR(soft.alphaF(), 0.1, 0.005);
    for (AccentTheme theme : allAccentThemes()) {
        EXPECT_EQ(QvColor::qvAccent(theme), color(theme));
    }
}
