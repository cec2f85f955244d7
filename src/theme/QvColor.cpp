#include "theme/QvColor.h"

#include "theme/AccentTheme.h"

#include <algorithm>
#include <cmath>

namespace {

int hexDigit(QChar c) {
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9') {
        return u - u'0';
    }
    if (u >= u'a' && u <= u'f') {
        return u - u'a' + 10;
    }
    if (u >= u'A' && u <= u'F') {
        return u - u'A' + 10;
    }
    return -1;
}

int component(double fraction) {
    // Halves round away from zero; out-of-range values (extended colours) are held to 0…255.
    return int(std::lround(std::clamp(fraction, 0.0, 1.0) * 255.0));
}

} // namespace

QColor QvColor::fromHex(const QString& hex) {
    QStringView text = QStringView(hex).trimmed();
    while (text.startsWith(u'#')) {
        text = text.mid(1);
    }
    while (text.endsWith(u'#')) {
        text.chop(1);
    }
    qsizetype i = 0;
    // Blanks between a leading "#" and the number are skipped, as a scanner would.
    while (i < text.size() && text[i].isSpace()) {
        ++i;
    }
    if (i + 1 < text.size() && text[i] == u'0' && (text[i + 1] == u'x' || text[i + 1] == u'X')) {
        i += 2;
    }
    // Only the low 24 bits count, so digits beyond 64 bits cannot overflow anything: the last six decide.
    quint32 value = 0;
    for (; i < text.size(); ++i) {
        const int digit = hexDigit(text[i]);
        if (digit < 0) {
            break;
        }
        value = ((value << 4) | quint32(digit)) & 0xffffffu;
    }
    return QColor::fromRgb(int((value >> 16) & 0xff), int((value >> 8) & 0xff), int(value & 0xff));
}

QString QvColor::toHex(const QColor& color) {
    const QColor rgb = color.toRgb();
    return QString::asprintf("%02x%02x%02x", component(rgb.redF()), component(rgb.greenF()),
                             component(rgb.blueF()));
}

QvColor QvColor::lightDark(const QString& lightHex, const QString& darkHex) {
    return QvColor(lightHex, darkHex, true);
}

QvColor QvColor::fixed(const QString& hex) {
    return QvColor(hex, hex, false);
}

QColor QvColor::resolve(ColorScheme scheme) const {
    return fromHex(scheme == ColorScheme::dark ? m_darkHex : m_lightHex);
}

#define TT_ADAPTIVE(name, light, dark)                                                                       \
    const QvColor& QvColor::name() {                                                                         \
        static const QvColor c = lightDark(QStringLiteral(light), QStringLiteral(dark));                     \
        return c;                                                                                            \
    }
#define TT_FIXED(name, hex)                                                                                  \
    const QvColor& QvColor::name() {                                                                         \
        static const QvColor c = fixed(QStringLiteral(hex));                                                 \
        return c;                                                                                            \
    }

TT_ADAPTIVE(qvBgPrimary, "#f7f7f5", "#18191a")
TT_ADAPTIVE(qvBgSurface, "#ededeb", "#202224")
TT_ADAPTIVE(qvBgSurfaceHover, "#e4e4e1", "#262a2c")
TT_ADAPTIVE(qvBgCard, "#fdfdfc", "#1e2022")
TT_ADAPTIVE(qvBgCardHover, "#f3f3f1", "#26292b")
TT_ADAPTIVE(qvInkPrimary, "#001011", "#eef3f2")
TT_ADAPTIVE(qvInkSecondary, "#0f1e1f", "#c9d2d0")
TT_ADAPTIVE(qvInkMuted, "#6b6e6c", "#8b9391")
TT_ADAPTIVE(qvBorder, "#cdcdca", "#34383a")
TT_ADAPTIVE(qvDivider, "#e1e1de", "#2a2d2f")
TT_ADAPTIVE(qvBorderCard, "#e3e3e0", "#2c3032")
TT_ADAPTIVE(qvSuccess, "#2e7d52", "#4fb37f")
TT_ADAPTIVE(qvDestructive, "#b3392f", "#e2695d")
TT_FIXED(qvOnAccent, "#fdfdfc")
TT_ADAPTIVE(qvCanvas, "#F4F4F1", "#181A19")
TT_ADAPTIVE(qvSurface, "#FAFAF8", "#1F2220")
TT_ADAPTIVE(qvSurfaceRaised, "#FDFDFB", "#242724")
TT_ADAPTIVE(qvSurfaceMuted, "#EEEEEA", "#292C29")
TT_ADAPTIVE(qvTextPrimary, "#181A18", "#F0F2EF")
TT_ADAPTIVE(qvTextSecondary, "#6F726D", "#9DA29D")
TT_ADAPTIVE(qvTextTertiary, "#9A9D97", "#747A75")
TT_ADAPTIVE(qvStroke, "#D9DAD5", "#343834")
TT_ADAPTIVE(qvReferenceDivider, "#E4E4DF", "#30332F")
TT_ADAPTIVE(qvInkAction, "#222421", "#F0F2EF")
TT_ADAPTIVE(qvInkOnAction, "#F8F8F5", "#181A19")
TT_ADAPTIVE(qvOrangeLive, "#FF5A1F", "#FF6A32")
TT_ADAPTIVE(qvSageEnabled, "#98A89A", "#829184")
TT_ADAPTIVE(qvSageFill, "#DCE4DC", "#29332D")
TT_ADAPTIVE(qvDanger, "#C34736", "#E16A58")
TT_FIXED(qvDialArc, "#C9CBC7")

#undef TT_ADAPTIVE
#undef TT_FIXED

QColor QvColor::qvAccent(AccentTheme theme) {
    return fromHex(hexValue(theme));
}

QColor QvColor::qvAccentSoft(AccentTheme theme) {
    QColor c = qvAccent(theme);
    c.setAlphaF(0.1f);
    return c;
}
