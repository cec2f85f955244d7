#pragma once
// A choice of one value of a setting stored as a raw string: one tappable option per case of its
// enumeration, the option whose raw value is stored marked, a tap writing the option's raw value. It keeps
// no selection of its own: a stored text that names no option marks none.

#include "platform/PreferenceSetting.h"

#include <QList>
#include <QString>
#include <QWidget>

#include <functional>

class SettingPickerOption;

class SettingPicker : public QWidget {
    Q_OBJECT
public:
    enum class Layout {
        exampleCard,      // name above a fixed example, side by side
        exampleFirstCard, // the example above the name, side by side
        languageChip,     // a check mark and the name, side by side, drawn in the action ink
        behaviourRow,     // a radio mark, a title and an explanation, one under the other
    };
    struct Option {
        QString raw;
        // Texts are fetched when drawn, so translated ones follow the language.
        std::function<QString()> label;
        std::function<QString()> detail; // the example or explanation; none for language chips
    };

    // `accessibilityPhrase` (a translated phrase, or none) goes before each option's label in its
    // accessible name.
    SettingPicker(Layout layout, QList<Option> options, std::function<QString()> accessibilityPhrase,
                  Preferences& preferences, const PreferenceSetting<QString>& setting,
                  QWidget* parent = nullptr);

    // The five pickers of the settings tab.
    static SettingPicker* displayStyle(Preferences& preferences, QWidget* parent);
    static SettingPicker* alarmFormat(Preferences& preferences, QWidget* parent);
    static SettingPicker* remainingDetail(Preferences& preferences, QWidget* parent);
    static SettingPicker* appLanguage(Preferences& preferences, QWidget* parent);
    static SettingPicker* quickPresetBehavior(Preferences& preferences, QWidget* parent);

    Layout layout() const { return m_layout; }
    // The raw value of the marked option; empty when none is marked.
    QString chosenRaw() const;
    SettingPickerOption* option(const QString& raw) const;
    QList<SettingPickerOption*> options() const { return m_options; }

protected:
    void changeEvent(QEvent* event) override;

private:
    void showStored(const QString& stored);

    Layout m_layout;
    std::function<QString()> m_phrase;
    QList<SettingPickerOption*> m_options;
};
