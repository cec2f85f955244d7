#pragma once
// A settings row for a whole number in a closed range: title and optional hint on the left, a short field
// and its unit on the right. The field is free text while it holds the keyboard; Return or leaving it
// commits: the text is read strictly, clamped to the range and written once.

#include "platform/PreferenceSetting.h"

#include <QString>
#include <QWidget>

#include <optional>

class QLineEdit;
class TokenLabel;

class NumberFieldRow : public QWidget {
    Q_OBJECT
public:
    static constexpr int fieldWidth = 34;

    // Bound to `setting`, whose declared range is the row's. `title` and `hint` are translated texts
    // marked with QT_TRANSLATE_NOOP("SettingsScreen", …) and looked up
    // again on a change of language; `unit` is shown as given, empty for none.
    NumberFieldRow(const char* title, const QString& unit, Preferences& preferences,
                   const PreferenceSetting<qint64>& setting, const char* hint = nullptr,
                   QWidget* parent = nullptr);

    // Whole decimal numbers only: one optional leading sign, then ASCII digits, nothing else (no spaces,
    // no other digits), within 64 bits. Anything else gives none.
    static std::optional<qint64> parseStrictInteger(const QString& text);
    // What a commit of `text` writes when `current` is stored: the parsed number (else `current`) clamped.
    static qint64 committedValue(const QString& text, qint64 current, const IntegerRange& range);

    QLineEdit* field() const { return m_field; }
    // Writes the field's text to the setting (Return and focus loss call it).
    void commit();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void retranslate();

    const char* m_title;
    const char* m_hint;
    Preferences& m_preferences;
    PreferenceSetting<qint64> m_setting;
    TokenLabel* m_titleLabel;
    TokenLabel* m_hintLabel = nullptr;
    QWidget* m_box;
    QLineEdit* m_field;
};
