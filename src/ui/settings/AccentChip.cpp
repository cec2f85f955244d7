#include "ui/settings/AccentChip.h"

#include "theme/QvColor.h"
#include "theme/QvFont.h"
#include "theme/SymbolIcon.h"
#include "ui/kit/AccessibleTraits.h"
#include "ui/kit/OwnDialogMark.h"
#include "ui/kit/ViewEnvironment.h"
#include "ui/settings/AccentColorPopup.h"
#include "ui/settings/SettingsAccent.h"

#include <QConicalGradient>
#include <QEvent>
#include <QPainter>

namespace {

constexpr int kLabelHeight = 16;

QRectF swatchRect(const QWidget& chip) {
    const double x = chip.width() / 2.0 - AccentChip::swatchSide / 2.0;
    return {x, 4, double(AccentChip::swatchSide), double(AccentChip::swatchSide)};
}

void paintRingAndLabel(QPainter& p, const QWidget& chip, bool selected, const QString& text) {
    const ColorScheme scheme = ViewEnvironment::colorScheme(&chip);
    if (selected) {
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(SettingsAccent::of(&chip), 2));
        p.drawEllipse(swatchRect(chip).adjusted(-4, -4, 4, 4).adjusted(1, 1, -1, -1));
    }
    p.setFont(QvFont::qvText(12, QFont::Medium));
    p.setPen((selected ? QvColor::qvInkPrimary() : QvColor::qvInkMuted()).resolve(scheme));
    const QRectF label((chip.width() - AccentChip::labelWidth) / 2.0, AccentChip::ringSide + 4,
                       AccentChip::labelWidth, kLabelHeight);
    p.drawText(label, Qt::AlignCenter | Qt::TextWordWrap, text);
    if (chip.hasFocus()) {
        QColor ring = QvColor::qvInkAction().resolve(scheme);
        ring.setAlphaF(0.45f);
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(ring, 2));
        p.drawRoundedRect(QRectF(chip.rect()).adjusted(1, 1, -1, -1), 8, 8);
    }
}

QSize chipSize() {
    return {AccentChip::labelWidth, AccentChip::ringSide + 4 + kLabelHeight + 2};
}

} // namespace

AccentChip::AccentChip(AccentTheme theme, QWidget* parent) : PressableButton(0.96, parent), m_theme(theme) {
    setObjectName(QStringLiteral("quorvane.settings.accent.") + toRaw(theme));
    setFocusPolicy(Qt::StrongFocus);
    AccessibleTraits::setRole(this, QAccessible::ListItem);
    AccessibleTraits::setSelected(this, false);
    // The chip's name is the raw value capitalised ("Orange"), the same in every language.
    QString name = toRaw(theme);
    name[0] = name[0].toUpper();
    setAccessibleName(name);
}

void AccentChip::setSelected(bool selected) {
    m_selected = selected;
    AccessibleTraits::setSelected(this, selected);
    update();
}

QSize AccentChip::sizeHint() const {
    return chipSize();
}

void AccentChip::paintFace(QPainter& p) {
    p.setRenderHint(QPainter::Antialiasing);
    const ColorScheme scheme = ViewEnvironment::colorScheme(this);
    const QRectF swatch = swatchRect(*this);
    p.setPen(Qt::NoPen);
    p.setBrush(color(m_theme));
    p.drawEllipse(swatch);
    if (m_selected) {
        SymbolIcon::paint(p, swatch.adjusted(9, 9, -9, -9), QStringLiteral("checkmark"),
                          QvColor::qvOnAccent().resolve(scheme));
    }
    paintRingAndLabel(p, *this, m_selected, accessibleName());
}

CustomAccentChip::CustomAccentChip(QWidget* parent)
    : PressableButton(0.96, parent), m_currentColor(color(AccentTheme::orange)),
      m_pickerColor(QvColor::fromHex(QStringLiteral("#fd5321"))) {
    setObjectName(QStringLiteral("quorvane.settings.accent.custom"));
    setFocusPolicy(Qt::StrongFocus);
    AccessibleTraits::setRole(this, QAccessible::ListItem);
    AccessibleTraits::setSelected(this, false);
    setAccessibleName(tr("Choose a custom accent color"));
    connect(this, &QAbstractButton::clicked, this, &CustomAccentChip::openPicker);
}

AccentColorPopup* CustomAccentChip::picker() const {
    return m_picker;
}

void CustomAccentChip::setSelected(bool selected) {
    m_selected = selected;
    AccessibleTraits::setSelected(this, selected);
    update();
}

QSize CustomAccentChip::sizeHint() const {
    return chipSize();
}

void CustomAccentChip::showEvent(QShowEvent* event) {
    m_pickerColor = m_currentColor;
    PressableButton::showEvent(event);
}

void CustomAccentChip::changeEvent(QEvent* event) {
    if (event->type() == QEvent::LanguageChange) {
        setAccessibleName(tr("Choose a custom accent color"));
    }
    PressableButton::changeEvent(event);
}

void CustomAccentChip::openPicker() {
    if (m_picker) {
        return;
    }
    // The start colour is the popup's own, so opening it writes nothing.
    auto* picker = new AccentColorPopup(m_pickerColor, this);
    connect(picker, &AccentColorPopup::colorChanged, this, [this](const QColor& color) {
        m_pickerColor = color;
        emit picked(color);
    });
    m_picker = picker;
    OwnDialogMark::markWhileOpen(this, picker);
    picker->popUp(*this);
}

void CustomAccentChip::paintFace(QPainter& p) {
    p.setRenderHint(QPainter::Antialiasing);
    const ColorScheme scheme = ViewEnvironment::colorScheme(this);
    const QRectF swatch = swatchRect(*this);
    QConicalGradient ring(swatch.center(), 90);
    const QList<AccentTheme> themes = allAccentThemes();
    for (int i = 0; i < themes.size(); ++i) {
        ring.setColorAt(i / double(themes.size()), color(themes[i]));
    }
    ring.setColorAt(1.0, color(themes.first()));
    p.setPen(Qt::NoPen);
    p.setBrush(ring);
    p.drawEllipse(swatch);
    const QColor onAccent = QvColor::qvOnAccent().resolve(scheme);
    if (m_selected) {
        const QRectF inner(swatch.center() - QPointF(11, 11), QSizeF(22, 22));
        p.setBrush(m_currentColor);
        p.drawEllipse(inner);
        SymbolIcon::paint(p, inner.adjusted(5.5, 5.5, -5.5, -5.5), QStringLiteral("checkmark"), onAccent);
    } else {
        SymbolIcon::paint(p, swatch.adjusted(10, 10, -10, -10), QStringLiteral("plus"), onAccent);
    }
    paintRingAndLabel(p, *this, m_selected, tr("Custom"));
}
