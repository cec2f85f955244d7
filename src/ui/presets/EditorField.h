#pragma once
// The labelled single-line fields of the presets tab's editors: a small muted label above a rounded,
// outlined text field.

class QLineEdit;
class QWidget;
class TokenLabel;

namespace EditorField {

TokenLabel* makeLabel(QWidget* parent);
QLineEdit* makeField(QWidget* parent);

} // namespace EditorField
