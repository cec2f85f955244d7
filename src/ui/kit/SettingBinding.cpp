#include "ui/kit/SettingBinding.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>
#include <QSpinBox>

#include <algorithm>
#include <limits>
#include <memory>

namespace {

int toSpinValue(qint64 value) {
    return static_cast<int>(
        std::clamp<qint64>(value, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

// Shows the stored value in the control whenever its key is written, and once now. While it shows, the
// control's own change signals are not taken as the user's edits; the signals are not blocked, so other
// listeners of the control still see the change.
template <class Show>
std::shared_ptr<bool> follow(QObject& control, Preferences& preferences, const QString& key, Show show) {
    auto showing = std::make_shared<bool>(false);
    const auto update = [showing, show] {
        *showing = true;
        show();
        *showing = false;
    };
    QObject::connect(&preferences, &Preferences::changed, &control, [key, update](const QString& changedKey) {
        if (changedKey == key) {
            update();
        }
    });
    update();
    return showing;
}

} // namespace

void SettingBinding::bind(QAbstractButton& button, Preferences& preferences,
                          const PreferenceSetting<bool>& setting) {
    button.setCheckable(true);
    const auto showing = follow(button, preferences, setting.key, [&button, &preferences, setting] {
        button.setChecked(setting.read(preferences));
    });
    QObject::connect(&button, &QAbstractButton::toggled, &preferences,
                     [&preferences, setting, showing](bool checked) {
                         if (!*showing) {
                             setting.write(preferences, checked);
                         }
                     });
}

void SettingBinding::bind(QSpinBox& spinBox, Preferences& preferences,
                          const PreferenceSetting<qint64>& setting) {
    spinBox.setRange(toSpinValue(setting.range.minimum), toSpinValue(setting.range.maximum));
    spinBox.setSingleStep(std::max(1, toSpinValue(setting.range.step)));
    spinBox.setKeyboardTracking(false);
    const auto showing = follow(spinBox, preferences, setting.key, [&spinBox, &preferences, setting] {
        spinBox.setValue(toSpinValue(setting.read(preferences)));
    });
    QObject::connect(&spinBox, &QSpinBox::valueChanged, &preferences,
                     [&preferences, setting, showing](int value) {
                         if (!*showing) {
                             setting.write(preferences, qint64(value));
                         }
                     });
}

void SettingBinding::bind(QComboBox& comboBox, Preferences& preferences,
                          const PreferenceSetting<QString>& setting) {
    follow(comboBox, preferences, setting.key, [&comboBox, &preferences, setting] {
        int index = comboBox.findData(setting.read(preferences));
        if (index < 0) {
            index = comboBox.findData(setting.defaultValue);
        }
        comboBox.setCurrentIndex(index);
    });
    // Only the user's choices arrive here: showing the stored value never emits activated.
    QObject::connect(&comboBox, &QComboBox::activated, &preferences,
                     [&comboBox, &preferences, setting](int index) {
                         if (index >= 0) {
                             setting.write(preferences, comboBox.itemData(index).toString());
                         }
                     });
}

void SettingBinding::bind(QLineEdit& lineEdit, Preferences& preferences,
                          const PreferenceSetting<QString>& setting) {
    follow(lineEdit, preferences, setting.key, [&lineEdit, &preferences, setting] {
        if (lineEdit.hasFocus() && lineEdit.isModified()) {
            return; // the user's typing wins; it is written when the edit is finished
        }
        if (lineEdit.text() != setting.read(preferences)) {
            lineEdit.setText(setting.read(preferences)); // also clears the modified flag
        }
    });
    // Return and focus loss may both finish one edit: only a text that differs from the stored one is
    // written.
    QObject::connect(&lineEdit, &QLineEdit::editingFinished, &preferences,
                     [&lineEdit, &preferences, setting] {
                         lineEdit.setModified(false);
                         if (lineEdit.text() != setting.read(preferences)) {
                             setting.write(preferences, lineEdit.text());
                         }
                     });
}
