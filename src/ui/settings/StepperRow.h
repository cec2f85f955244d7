#pragma once
// A settings row for a whole number changed in steps: title and optional hint on the left, then minus, the
// value with its unit, and plus. Each button stops at its end of the range, and is held to repeat.

#include "platform/PreferenceSetting.h"

#include <QWidget>

class LabelButton;
class TokenLabel;

class StepperRow : public QWidget {
    Q_OBJECT
public:
    // Bound to `setting`; its declared range and step are the row's. Texts as for NumberFieldRow.
    StepperRow(const char* title, const char* hint, const QString& unit, Preferences& preferences,
               const PreferenceSetting<qint64>& setting, QWidget* parent = nullptr);

    LabelButton* minusButton() const { return m_minus; }
    LabelButton* plusButton() const { return m_plus; }
    QString valueText() const;

protected:
    void changeEvent(QEvent* event) override;

private:
    void showValue(qint64 value);
    void retranslate();

    const char* m_title;
    const char* m_hint;
    QString m_unit;
    Preferences& m_preferences;
    PreferenceSetting<qint64> m_setting;
    TokenLabel* m_titleLabel;
    TokenLabel* m_hintLabel = nullptr;
    TokenLabel* m_value;
    LabelButton* m_minus;
    LabelButton* m_plus;
};
