#include "ui/onboarding/OnboardingLanguageButton.h"

#include "theme/QvColor.h"
#include "theme/QvFont.h"
#include "theme/QvSurface.h"
#include "theme/SymbolIcon.h"
#include "ui/kit/AccessibleTraits.h"
#include "ui/kit/ViewEnvironment.h"

#include <QFontMetricsF>
#include <QPainter>

OnboardingLanguageButton::OnboardingLanguageButton(AppLanguage language, QWidget* parent)
    : PressableButton(pressScale, parent), m_language(language) {
    setObjectName(QStringLiteral("quorvane.onboarding.language.") + toRaw(language));
    // The language's own name in its own script, whatever the interface language.
    setText(label(language));
    setAccessibleName(label(language));
    setCheckable(true);
    setFocusPolicy(Qt::TabFocus);
    AccessibleTraits::setRole(this, QAccessible::ListItem);
    AccessibleTraits::setSelected(this, false);
    setFont(QvFont::qvText(13, QFont::DemiBold));
    setAttribute(Qt::WA_TranslucentBackground);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void OnboardingLanguageButton::setSelected(bool selected) {
    AccessibleTraits::setSelected(this, selected);
    if (selected != isChecked()) {
        setChecked(selected);
        update();
    }
}

QSize OnboardingLanguageButton::sizeHint() const {
    return QSize(120 + 2 * ringRoom, tileHeight + 2 * ringRoom);
}

QSize OnboardingLanguageButton::minimumSizeHint() const {
    const double textWidth = QFontMetricsF(font()).horizontalAdvance(text());
    return QSize(int(textWidth) + 24 + 2 * ringRoom, tileHeight + 2 * ringRoom);
}

void OnboardingLanguageButton::paintFace(QPainter& painter) {
    const ColorScheme scheme = ViewEnvironment::colorScheme(this);
    const bool selected = isSelected();
    const QRectF tile = QRectF(rect()).adjusted(ringRoom, ringRoom, -ringRoom, -ringRoom);
    const QPainterPath shape = QvSurface::continuousRoundedRect(tile, cornerRadius);
    painter.fillPath(shape, (selected ? QvColor::qvInkAction() : QvColor::qvSurfaceRaised()).resolve(scheme));
    if (!selected) {
        // Half a pixel in, so the 1-pixel line lies inside the tile.
        painter.setPen(QPen(QvColor::qvStroke().resolve(scheme), 1));
        painter.setBrush(Qt::NoBrush);
        painter.drawPath(QvSurface::continuousRoundedRect(tile.adjusted(0.5, 0.5, -0.5, -0.5), cornerRadius));
    }

    const QColor ink = (selected ? QvColor::qvInkOnAction() : QvColor::qvTextPrimary()).resolve(scheme);
    const QFontMetricsF metrics(font());
    const double blockHeight = symbolSide + stackSpacing + metrics.height();
    const double top = tile.center().y() - blockHeight / 2;
    SymbolIcon::paint(painter, QRectF(tile.center().x() - symbolSide / 2, top, symbolSide, symbolSide),
                      selected ? QStringLiteral("checkmark.circle.fill") : QStringLiteral("circle"), ink);
    painter.setPen(ink);
    painter.setFont(font());
    painter.drawText(QRectF(tile.left(), top + symbolSide + stackSpacing, tile.width(), metrics.height()),
                     Qt::AlignCenter, text());

    if (hasFocus()) {
        QColor ring = QvColor::qvInkAction().resolve(scheme);
        ring.setAlphaF(0.45f);
        painter.setPen(QPen(ring, 2));
        painter.setBrush(Qt::NoBrush);
        painter.drawPath(shape);
    }
}

void OnboardingLanguageButton::focusInEvent(QFocusEvent* event) {
    PressableButton::focusInEvent(event);
    update();
}

void OnboardingLanguageButton::focusOutEvent(QFocusEvent* event) {
    PressableButton::focusOutEvent(event);
    update();
}
