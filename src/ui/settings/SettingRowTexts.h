#pragma once
// The title-and-hint column every numeric setting row starts with, built one way for all of them.

class QBoxLayout;
class QWidget;
class TokenLabel;

struct SettingRowTexts {
    TokenLabel* title = nullptr;
    TokenLabel* hint = nullptr; // only when the row has a hint

    // Adds the column to `row` (stretching) with labels owned by `owner`.
    static SettingRowTexts addTo(QBoxLayout* row, QWidget* owner, bool withHint);
};
