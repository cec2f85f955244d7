#include "ui/settings/SettingPickerOption.h"

#include "theme/QvColor.h"
#include "theme/QvFont.h"
#include "theme/QvSurface.h"
#include "theme/SymbolIcon.h"
#include "ui/kit/AccessibleTraits.h"
#include "ui/kit/ViewEnvironment.h"
#include "ui/settings/SettingsAccent.h"

#include <QFontMetricsF>
#include <QPainter>

namespace {

constexpr double kRowPaddingX = 16;
constexpr double kRowPaddingY = 8;
constexpr double kRadioSide = 16;

// Draws one line, shrinking the font down to 70 % before eliding what still does not fit.
void drawFittedLine(QPainter& p, const QRectF& rect, QFont font, const QString& text) {
    const double base = font.pixelSize() > 0 ? font.pixelSize() : 12;
    for (double size = base; size >= base * 0.7; size -= 0.5) {
        font.setPixelSize(int(size));
        if (QFontMetricsF(font).horizontalAdvance(text) <= rect.width()) {
            break;
        }
    }
    p.setFont(font);
    p.drawText(rect, Qt::AlignCenter, QFontMetricsF(font).elidedText(text, Qt::ElideRight, rect.width()));
}

QFont rowLabelFont() {
    return QvFont::qvText(14, QFont::Medium);
}

QFont rowDetailFont() {
    return QvFont::qvText(12, QFont::Normal);
}

} // namespace

SettingPickerOption::SettingPickerOption(SettingPicker::Layout layout, SettingPicker::Option option,
                                         QWidget* parent)
    : PressableButton(layout == SettingPicker::Layout::languageChip ? 0.97 : 0.96, parent), m_layout(layout),
      m_option(std::move(option)) {
    setFocusPolicy(Qt::StrongFocus);
    AccessibleTraits::setRole(this, QAccessible::ListItem);
    AccessibleTraits::setSelected(this, false);
    if (layout == SettingPicker::Layout::behaviourRow) {
        QSizePolicy policy(QSizePolicy::Expanding, QSizePolicy::Preferred);
        policy.setHeightForWidth(true);
        setSizePolicy(policy);
    } else {
        setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    }
}

void SettingPickerOption::setChosen(bool chosen) {
    m_chosen = chosen;
    AccessibleTraits::setSelected(this, chosen);
    update();
}

QSize SettingPickerOption::sizeHint() const {
    switch (m_layout) {
    case SettingPicker::Layout::exampleCard:
    case SettingPicker::Layout::exampleFirstCard:
        return {80, 60};
    case SettingPicker::Layout::languageChip:
        return {80, 44};
    case SettingPicker::Layout::behaviourRow:
        return {300, heightForWidth(300)};
    }
    return {80, 44};
}

QSize SettingPickerOption::minimumSizeHint() const {
    const QSize hint = sizeHint();
    return {40, hint.height()};
}

int SettingPickerOption::heightForWidth(int width) const {
    if (m_layout != SettingPicker::Layout::behaviourRow) {
        return sizeHint().height();
    }
    const double textWidth = width - 2 * kRowPaddingX - kRadioSide - 8;
    const QFontMetricsF label(rowLabelFont());
    const QRectF detail =
        QFontMetricsF(rowDetailFont())
            .boundingRect(QRectF(0, 0, std::max(10.0, textWidth), 10000), Qt::TextWordWrap, detailText());
    return std::max(44, int(std::ceil(2 * kRowPaddingY + label.height() + 2 + detail.height())));
}

void SettingPickerOption::paintFace(QPainter& p) {
    p.setRenderHint(QPainter::Antialiasing);
    const ColorScheme scheme = ViewEnvironment::colorScheme(this);
    const QColor accent = SettingsAccent::of(this);
    const QRectF bounds = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    const QColor onAccent = QvColor::qvOnAccent().resolve(scheme);

    switch (m_layout) {
    case SettingPicker::Layout::exampleCard:
    case SettingPicker::Layout::exampleFirstCard: {
        const QPainterPath shape = QvSurface::continuousRoundedRect(bounds, 8);
        p.fillPath(shape, m_chosen ? accent : QvColor::qvBgSurface().resolve(scheme));
        if (!m_chosen) {
            p.strokePath(shape, QPen(QvColor::qvBorder().resolve(scheme), 1));
        }
        QColor secondary = m_chosen ? onAccent : QvColor::qvInkMuted().resolve(scheme);
        if (m_chosen) {
            secondary.setAlphaF(0.85f);
        }
        const QColor primary = m_chosen ? onAccent : QvColor::qvInkPrimary().resolve(scheme);
        const bool exampleFirst = m_layout == SettingPicker::Layout::exampleFirstCard;
        const QString first = exampleFirst ? detailText() : labelText();
        const QString second = exampleFirst ? labelText() : detailText();
        const QRectF inner = bounds.adjusted(6, 8, -6, -8);
        const QRectF top(inner.left(), inner.center().y() - 17, inner.width(), 18);
        const QRectF bottom(inner.left(), inner.center().y() + 2, inner.width(), 16);
        p.setPen(primary);
        drawFittedLine(p, top, QvFont::qvText(13, QFont::DemiBold), first);
        p.setPen(secondary);
        drawFittedLine(p, bottom, QvFont::qvText(12, QFont::Normal), second);
        break;
    }
    case SettingPicker::Layout::languageChip: {
        const QPainterPath shape = QvSurface::continuousRoundedRect(bounds, 12);
        p.fillPath(shape, (m_chosen ? QvColor::qvInkAction() : QvColor::qvSurface()).resolve(scheme));
        if (!m_chosen) {
            p.strokePath(shape, QPen(QvColor::qvStroke().resolve(scheme), 1));
        }
        const QColor ink = (m_chosen ? QvColor::qvInkOnAction() : QvColor::qvTextPrimary()).resolve(scheme);
        const QFont font = QvFont::qvText(13, QFont::DemiBold);
        const double textWidth = QFontMetricsF(font).horizontalAdvance(labelText());
        const double markWidth = m_chosen ? 11 + 6 : 0;
        double x = bounds.center().x() - (textWidth + markWidth) / 2;
        if (m_chosen) {
            SymbolIcon::paint(p, QRectF(x, bounds.center().y() - 5.5, 11, 11), QStringLiteral("checkmark"),
                              ink);
            x += markWidth;
        }
        p.setFont(font);
        p.setPen(ink);
        p.drawText(QRectF(x, bounds.top(), textWidth + 2, bounds.height()), Qt::AlignVCenter | Qt::AlignLeft,
                   labelText());
        break;
    }
    case SettingPicker::Layout::behaviourRow: {
        const QPainterPath shape = QvSurface::continuousRoundedRect(bounds, 8);
        QColor fill = accent;
        fill.setAlphaF(0.08f);
        QColor border = accent;
        border.setAlphaF(0.4f);
        p.fillPath(shape, m_chosen ? fill : QvColor::qvBgSurface().resolve(scheme));
        p.strokePath(shape, QPen(m_chosen ? border : QvColor::qvBorder().resolve(scheme), 1));
        const QRectF radio(bounds.left() + kRowPaddingX, bounds.top() + kRowPaddingY + 1, kRadioSide,
                           kRadioSide);
        SymbolIcon::paint(p, radio,
                          m_chosen ? QStringLiteral("largecircle.fill.circle") : QStringLiteral("circle"),
                          m_chosen ? accent : QvColor::qvInkMuted().resolve(scheme));
        const double textLeft = radio.right() + 8;
        const double textWidth = bounds.right() - kRowPaddingX - textLeft;
        const QFontMetricsF labelMetrics(rowLabelFont());
        p.setFont(rowLabelFont());
        p.setPen(QvColor::qvInkPrimary().resolve(scheme));
        p.drawText(QRectF(textLeft, bounds.top() + kRowPaddingY, textWidth, labelMetrics.height()),
                   Qt::AlignLeft | Qt::AlignVCenter, labelText());
        p.setFont(rowDetailFont());
        p.setPen(QvColor::qvInkMuted().resolve(scheme));
        p.drawText(QRectF(textLeft, bounds.top() + kRowPaddingY + labelMetrics.height() + 2, textWidth,
                          bounds.height()),
                   Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, detailText());
        break;
    }
    }
    if (hasFocus()) {
        QColor ring = QvColor::qvInkAction().resolve(scheme);
        ring.setAlphaF(0.45f);
        p.strokePath(QvSurface::continuousRoundedRect(bounds.adjusted(1, 1, -1, -1), 8), QPen(ring, 2));
    }
}
