#include "ui/kit/SettingBinding.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>
#include <QSpinBox>

#include <algorithm>
#include <functional>
#include <limits>
#include <memory>

namespace {

int toSpinValue(qint64 value) {
    return static_cast<int>(
        std::clamp<qint64>(value, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

// How a control follows its setting: `refresh` shows the stored value, and `showing` is true meanwhile, so
// that the control's own change signals are not taken for the user's edits. The signals are not blocked:
// other listeners of the control still see the change.
struct Following {
    std::shared_ptr<bool> showing;
    std::function<void()> refresh;
};

// Shows the stored value now and after every write to the key, by anyone.
template <class Show>
Following follow(QObject& control, Preferences& preferences, const QString& key, Show show) {
    auto showing = std::make_shared<bool>(false);
    const auto refresh = [showing, show] {
        *showing = true;
        show();
        *showing = false;
    };
    QObject::connect(&preferences, &Preferences::changed, &control,
                     [key, refresh](const QString& changedKey) {
                         if (changedKey == key) {
                             refresh();
                         }
                     });
    refresh();
    return {showing, refresh};
}

} // namespace

void SettingBinding::bind(QAbstractButton& button, Preferences& preferences,
                          const PreferenceSetting<bool>& setting) {
    button.setCheckable(true);
    const auto show = [&button, &preferences, setting] { button.setChecked(setting.read(preferences)); };
    const std::shared_ptr<bool> showing = follow(button, preferences, setting.key, show).showing;
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
    // The text of the last value shown or committed: while the box has focus and holds other text, the
    // user is typing, and the typed text wins until it is committed or the box is left.
    const auto valueText = std::make_shared<QString>(spinBox.cleanText());
    const auto show = [&spinBox, &preferences, setting, valueText] {
        if (spinBox.hasFocus() && spinBox.cleanText() != *valueText) {
            return;
        }
        spinBox.setValue(toSpinValue(setting.read(preferences)));
        *valueText = spinBox.cleanText();
    };
    const Following following = follow(spinBox, preferences, setting.key, show);
    QObject::connect(&spinBox, &QSpinBox::valueChanged, &preferences,
                     [&spinBox, &preferences, setting, valueText, showing = following.showing](int value) {
                         *valueText = spinBox.cleanText();
                         if (!*showing) {
                             setting.write(preferences, qint64(value));
                         }
                     });
    // A commit that left the number as it was writes nothing; then show what others wrote meanwhile.
    QObject::connect(&spinBox, &QAbstractSpinBox::editingFinished, &spinBox, following.refresh);
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
