#include "ui/settings/MenuBarPreviewButton.h"

#include "theme/QvColor.h"
#include "theme/QvFont.h"
#include "theme/QvSurface.h"
#include "ui/kit/AccessibleTraits.h"
#include "ui/kit/ViewEnvironment.h"

#include <QEvent>
#include <QFontMetricsF>
#include <QPainter>

#include <utility>

namespace {

QFont labelFont() {
    return QvFont::qvText(9, QFont::DemiBold);
}

} // namespace

MenuBarPreviewButton::MenuBarPreviewButton(LabelSource label, PreviewPainter preview, QWidget* parent)
    : PressableButton(pressScale, parent), m_label(std::move(label)), m_preview(std::move(preview)) {
    // The checked state is what the face draws; a screen reader hears it as the option's selection.
    setCheckable(true);
    setFocusPolicy(Qt::StrongFocus);
    AccessibleTraits::setRole(this, QAccessible::ListItem);
    AccessibleTraits::setSelected(this, false);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setAccessibleName(m_label());
}

void MenuBarPreviewButton::setSelected(bool selected) {
    setChecked(selected);
    AccessibleTraits::setSelected(this, selected);
    update();
}

QSize MenuBarPreviewButton::sizeHint() const {
    return {64, minimumHeight};
}

QSize MenuBarPreviewButton::minimumSizeHint() const {
    return {40, minimumHeight};
}

void MenuBarPreviewButton::changeEvent(QEvent* event) {
    if (event->type() == QEvent::LanguageChange) {
        setAccessibleName(m_label());
        update();
    }
    PressableButton::changeEvent(event);
}

void MenuBarPreviewButton::paintFace(QPainter& painter) {
    const ColorScheme scheme = ViewEnvironment::colorScheme(this);
    const bool selected = isChecked();
    const QRectF bounds = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);

    const QPainterPath shape = QvSurface::continuousRoundedRect(bounds, cornerRadius);
    painter.fillPath(shape, (selected ? QvColor::qvInkAction() : QvColor::qvSurface()).resolve(scheme));
    if (!selected) {
        painter.strokePath(shape, QPen(QvColor::qvStroke().resolve(scheme), 1.0));
    }

    const QFont font = labelFont();
    const QFontMetricsF metrics(font);
    const double labelHeight = metrics.height();
    const double stackHeight = previewHeight + stackSpacing + labelHeight;
    const double top = bounds.center().y() - stackHeight / 2;

    const QColor previewColor =
        (selected ? QvColor::qvInkOnAction() : QvColor::qvTextPrimary()).resolve(scheme);
    m_preview(painter, QRectF(bounds.left() + 4, top, bounds.width() - 8, previewHeight), previewColor);

    const QColor labelColor =
        (selected ? QvColor::qvInkOnAction() : QvColor::qvTextSecondary()).resolve(scheme);
    const QRectF labelRect(bounds.left() + 4, top + previewHeight + stackSpacing, bounds.width() - 8,
                           labelHeight);
    painter.setFont(font);
    painter.setPen(labelColor);
    painter.drawText(labelRect, Qt::AlignCenter | Qt::TextSingleLine,
                     metrics.elidedText(m_label(), Qt::ElideRight, labelRect.width()));

    if (hasFocus()) {
        QPen focus(palette().color(QPalette::Highlight), 2.0);
        painter.strokePath(QvSurface::continuousRoundedRect(bounds.adjusted(1, 1, -1, -1), cornerRadius - 1),
                           focus);
    }
}
