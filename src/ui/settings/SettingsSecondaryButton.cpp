#include "ui/settings/SettingsSecondaryButton.h"

#include "theme/QvSurface.h"
#include "ui/kit/ViewEnvironment.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QTextBoundaryFinder>

#include <algorithm>
#include <cmath>

namespace {

constexpr int kTextFlags = Qt::AlignCenter | Qt::TextWordWrap;

} // namespace

SettingsSecondaryButton::SettingsSecondaryButton(Look look, QWidget* parent)
    : LabelButton(0.96, std::move(look), parent) {
    QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
}

double SettingsSecondaryButton::textHeight(double width) const {
    return QFontMetricsF(font())
        .boundingRect(QRectF(0, 0, std::max(1.0, width), 1e6), kTextFlags, text())
        .height();
}

double SettingsSecondaryButton::lineWidth(const QString& line) const {
    // Measured by the wrapping layout that sizes and draws the label, not by the pen's advance: the layout
    // also counts the ink of a last glyph that overhangs its advance (an "r"), and breaks the line before
    // the last word when the width leaves no room for it.
    return QFontMetricsF(font()).boundingRect(QRectF(0, 0, 1e6, 1e6), kTextFlags, line).width();
}

QSize SettingsSecondaryButton::sizeHint() const {
    // The label on one line.
    const double width = lineWidth(text()) + 2 * look().horizontalPadding;
    const int wide = std::max(look().minimumSize.width(), int(std::ceil(width)));
    return {wide, heightForWidth(wide)};
}

QSize SettingsSecondaryButton::minimumSizeHint() const {
    // As narrow as the longest piece between two places the line may break (words in English, nearly
    // every character in Japanese).
    const QString label = text();
    QTextBoundaryFinder breaks(QTextBoundaryFinder::Line, label);
    double widest = 0;
    qsizetype start = 0;
    while (breaks.toNextBoundary() != -1) {
        const qsizetype end = breaks.position();
        widest = std::max(widest, lineWidth(label.mid(start, end - start).trimmed()));
        start = end;
    }
    const int width =
        std::max(look().minimumSize.width(), int(std::ceil(widest + 2 * look().horizontalPadding)));
    return {width, heightForWidth(width)};
}

int SettingsSecondaryButton::heightForWidth(int width) const {
    const double height = textHeight(width - 2 * look().horizontalPadding) + 2 * verticalPadding;
    return std::max(look().minimumSize.height(), int(std::ceil(height)));
}

void SettingsSecondaryButton::paintFace(QPainter& painter) {
    const ColorScheme scheme = ViewEnvironment::colorScheme(this);
    const QRectF shape = QRectF(rect());
    const double radius = look().cornerRadius;
    const QPainterPath path = QvSurface::continuousRoundedRect(shape.adjusted(0.5, 0.5, -0.5, -0.5), radius);
    painter.fillPath(path, look().fill.resolve(scheme));
    if (look().outline) {
        painter.setPen(QPen(look().outline->resolve(scheme), 1));
        painter.drawPath(path);
    }
    painter.setPen(look().ink.resolve(scheme));
    painter.setFont(font());
    painter.drawText(shape.adjusted(look().horizontalPadding, 0, -look().horizontalPadding, 0), kTextFlags,
                     text());
    if (hasFocus()) {
        QColor ring = QvColor::qvInkAction().resolve(scheme);
        ring.setAlphaF(float(focusRingOpacity));
        painter.setPen(QPen(ring, 2));
        painter.setBrush(Qt::NoBrush);
        painter.drawPath(QvSurface::continuousRoundedRect(shape.adjusted(1, 1, -1, -1), radius - 1));
    }
}
