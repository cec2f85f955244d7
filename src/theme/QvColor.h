#pragma once
// A palette colour with a light and a dark value (or one fixed value), hex text conversion, and the palette.

#include "theme/ColorScheme.h"

#include <QColor>
#include <QString>

#include <utility>

enum class AccentTheme;

class QvColor {
public:
    // Reads hex colour text leniently; text it cannot read gives opaque black. Never fails.
    static QColor fromHex(const QString& hex);
    // Six lower-case hex digits of the sRGB value, no "#", no opacity.
    static QString toHex(const QColor& color);

    // A colour chosen at every resolution from the scheme it is drawn in.
    static QvColor lightDark(const QString& lightHex, const QString& darkHex);
    // The same colour in both schemes.
    static QvColor fixed(const QString& hex);

    // Parses the hex text each time, so nothing stale can be drawn.
    QColor resolve(ColorScheme scheme) const;
    QString lightHex() const { return m_lightHex; }
    QString darkHex() const { return m_darkHex; }
    bool isAdaptive() const { return m_adaptive; }

    // The palette: one shared value each, made on first use.
    static const QvColor& qvBgPrimary();
    static const QvColor& qvBgSurface();
    static const QvColor& qvBgSurfaceHover();
    static const QvColor& qvBgCard();
    static const QvColor& qvBgCardHover();
    static const QvColor& qvInkPrimary();
    static const QvColor& qvInkSecondary();
    static const QvColor& qvInkMuted();
    static const QvColor& qvBorder();
    static const QvColor& qvDivider();
    static const QvColor& qvBorderCard();
    static const QvColor& qvSuccess();
    static const QvColor& qvDestructive();
    static const QvColor& qvOnAccent();
    static const QvColor& qvCanvas();
    static const QvColor& qvSurface();
    static const QvColor& qvSurfaceRaised();
    static const QvColor& qvSurfaceMuted();
    static const QvColor& qvTextPrimary();
    static const QvColor& qvTextSecondary();
    static const QvColor& qvTextTertiary();
    static const QvColor& qvStroke();
    static const QvColor& qvReferenceDivider();
    static const QvColor& qvInkAction();
    static const QvColor& qvInkOnAction();
    static const QvColor& qvOrangeLive();
    static const QvColor& qvSageEnabled();
    static const QvColor& qvSageFill();
    static const QvColor& qvDanger();
    static const QvColor& qvDialArc();

    // An accent theme's colour, and the same at 10 % opacity.
    static QColor qvAccent(AccentTheme theme);
    static QColor qvAccentSoft(AccentTheme theme);

private:
    QvColor(QString lightHex, QString darkHex, bool adaptive)
        : m_lightHex(std::move(lightHex)), m_darkHex(std::move(darkHex)), m_adaptive(adaptive) {}

    QString m_lightHex;
    QString m_darkHex;
    bool m_adaptive;
};
