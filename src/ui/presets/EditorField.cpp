#include "ui/presets/EditorField.h"

#include "theme/QvColor.h"
#include "theme/QvFont.h"
#include "ui/kit/TokenLabel.h"
#include "ui/kit/ViewEnvironment.h"

#include <QLineEdit>

namespace EditorField {

TokenLabel* makeLabel(QWidget* parent) {
    auto* label = new TokenLabel(QvColor::qvInkMuted(), parent);
    label->setFont(QvFont::qvText(12, QFont::Medium));
    return label;
}

QLineEdit* makeField(QWidget* parent) {
    auto* field = new QLineEdit(parent);
    field->setFont(QvFont::qvText(13, QFont::Normal));
    field->setMinimumHeight(30);
    const ColorScheme scheme = ViewEnvironment::colorScheme(parent);
    field->setStyleSheet(QStringLiteral("QLineEdit { background: #%1; color: #%2; border: 1px solid #%3;"
                                        " border-radius: 6px; padding: 3px 8px; }"
                                        " QLineEdit:focus { border: 2px solid #%4; padding: 2px 7px; }")
                             .arg(QvColor::toHex(QvColor::qvSurface().resolve(scheme)),
                                  QvColor::toHex(QvColor::qvTextPrimary().resolve(scheme)),
                                  QvColor::toHex(QvColor::qvStroke().resolve(scheme)),
                                  QvColor::toHex(QvColor::qvInkAction().resolve(scheme))));
    return field;
}

} // namespace EditorField
