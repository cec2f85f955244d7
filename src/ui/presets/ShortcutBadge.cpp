#include "ui/presets/ShortcutBadge.h"

#include "theme/QvColor.h"
#include "theme/QvFont.h"
#include "theme/QvSurface.h"
#include "theme/SymbolIcon.h"
#include "ui/kit/ViewEnvironment.h"
#include "ui/presets/PresetsLook.h"

#include <QFontMetricsF>
#include <QPainter>

#include <cmath>

namespace {

constexpr double kGlyphSide = 12;
constexpr double kSpacing = 4;

QFont labelFont() {
    QFont font = QvFont::qvText(12, QFont::DemiBold);
    font.setFamilies(QStringList{QStringLiteral("Noto Sans Mono"), QStringLiteral("DejaVu Sans Mono")} +
                     font.families());
    font.setStyleHint(QFont::Monospace);
    return font;
}

} // namespace

ShortcutBadge::ShortcutBadge(QWidget* parent) : PressableButton(PresetsLook::pressedScale, parent) {
    setFocusPolicy(Qt::TabFocus);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setAttribute(Qt::WA_TranslucentBackground);
}

void ShortcutBadge::setLabel(const std::optional<QString>& label) {
    if (label == m_label) {
        return;
    }
    m_label = label;
    updateGeometry();
    update();
}

QSize ShortcutBadge::sizeHint() const {
    double width = 2 * padding() + kGlyphSide;
    if (m_label) {
        width += kSpacing + QFontMetricsF(labelFont()).horizontalAdvance(*m_label);
    }
    return QSize(std::max(minimumSide, int(std::ceil(width))), minimumSide);
}

QSize ShortcutBadge::minimumSizeHint() const {
    return sizeHint();
}

void ShortcutBadge::paintFace(QPainter& painter) {
    const ColorScheme scheme = ViewEnvironment::colorScheme(this);
    const QPainterPath shape =
        QvSurface::continuousRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 8);
    if (m_label) {
        QColor ground = QvColor::qvInkPrimary().resolve(scheme);
        ground.setAlphaF(0.06f);
        painter.fillPath(shape, ground);
    }
    painter.setPen(QPen(QvColor::qvBorder().resolve(scheme), 1));
    painter.drawPath(shape);

    const QColor ink = (m_label ? QvColor::qvInkSecondary() : QvColor::qvInkMuted()).resolve(scheme);
    const QFont font = labelFont();
    const double textWidth = m_label ? QFontMetricsF(font).horizontalAdvance(*m_label) : 0;
    const double contentWidth = kGlyphSide + (m_label ? kSpacing + textWidth : 0);
    const double left = (width() - contentWidth) / 2;
    SymbolIcon::paint(painter, QRectF(left, (height() - kGlyphSide) / 2, kGlyphSide, kGlyphSide),
                      QStringLiteral("keyboard"), ink);
    if (m_label) {
        painter.setFont(font);
        painter.setPen(ink);
        painter.drawText(QRectF(left + kGlyphSide + kSpacing, 0, textWidth + 1, height()), Qt::AlignVCenter,
                         *m_label);
    }
    if (hasFocus()) {
        QColor ring = QvColor::qvInkAction().resolve(scheme);
        ring.setAlphaF(0.45f);
        painter.setPen(QPen(ring, 2));
        painter.drawPath(QvSurface::continuousRoundedRect(QRectF(rect()).adjusted(1, 1, -1, -1), 8));
    }
}
