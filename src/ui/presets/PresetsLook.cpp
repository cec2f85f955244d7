#include "ui/presets/PresetsLook.h"

#include "theme/QvFont.h"

namespace PresetsLook {

QvColor accentToken(const QColor& accent) {
    return QvColor::fixed(QvColor::toHex(accent));
}

LabelButton::Look accentAction(const QColor& accent, double fontSize) {
    LabelButton::Look look(accentToken(accent), QvColor::qvOnAccent(),
                           QvFont::qvText(fontSize, QFont::DemiBold));
    look.cornerRadius = 8;
    look.horizontalPadding = 16;
    look.disabledOpacity = disabledSaveOpacity;
    return look;
}

LabelButton::Look sectionChip(const QColor& accent) {
    LabelButton::Look look(QvColor::qvBgCard(), accentToken(accent), QvFont::qvText(14, QFont::DemiBold));
    look.outline = QvColor::qvBorderCard();
    look.cornerRadius = 8;
    look.symbol = QStringLiteral("plus");
    return look;
}

LabelButton::Look cancelChip() {
    LabelButton::Look look(QvColor::qvBgCard(), QvColor::qvInkSecondary(), QvFont::qvText(13, QFont::Medium));
    look.outline = QvColor::qvBorderCard();
    look.cornerRadius = 8;
    look.horizontalPadding = 16;
    return look;
}

LabelButton::Look symbolButton(const QString& symbol, const QvColor& ink, double fontSize, QSize minimum) {
    LabelButton::Look look(QvColor::qvBgCard(), ink, QvFont::qvText(fontSize, QFont::DemiBold));
    look.filled = false;
    look.symbol = symbol;
    look.horizontalPadding = 0;
    look.minimumSize = minimum;
    look.disabledOpacity = 0.4;
    return look;
}

} // namespace PresetsLook
