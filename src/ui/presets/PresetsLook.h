#pragma once
// The looks the presets tab's buttons share: the accent-filled action, the section's chip, the quiet
// cancel, and the accent as a palette token.

#include "theme/QvColor.h"
#include "ui/kit/LabelButton.h"

#include <QColor>
#include <QString>

class QWidget;

namespace PresetsLook {

inline constexpr double pressedScale = 0.96;
inline constexpr double disabledSaveOpacity = 0.45;

// The same colour in both schemes.
QvColor accentToken(const QColor& accent);
// Accent fill, text on it.
LabelButton::Look accentAction(const QColor& accent, double fontSize);
// The full-width chip of a section's action: a plus and the title in the accent.
LabelButton::Look sectionChip(const QColor& accent);
// An editor's Cancel: chip style, secondary ink.
LabelButton::Look cancelChip();
// A borderless symbol button (menus, step actions).
LabelButton::Look symbolButton(const QString& symbol, const QvColor& ink, double fontSize, QSize minimum);

} // namespace PresetsLook
