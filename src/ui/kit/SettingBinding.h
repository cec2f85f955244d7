#pragma once
// Ties an editing control to a declared setting in both directions, so widget code never spells a key:
// the control shows what the preferences hold and follows every write to its key, by anyone; an edit by
// the user writes the setting once.

#include "platform/PreferenceSetting.h"

#include <QObject>

class QAbstractButton;
class QComboBox;
class QLineEdit;
class QSpinBox;

class SettingBinding {
public:
    // The button is made checkable and shows the stored flag; each toggle writes it.
    static void bind(QAbstractButton& button, Preferences& preferences,
                     const PreferenceSetting<bool>& setting);

    // The spin box takes the setting's range and step (cut to what it can show) and writes a number once it
    // is committed (Return, focus loss, a step), not on every keystroke. A stored number outside the range is
    // shown at the nearest end and left stored as it is until the user changes it. A write by someone else
    // while the user is typing does not replace the typed text; it shows if the commit changes nothing.
    static void bind(QSpinBox& spinBox, Preferences& preferences, const PreferenceSetting<qint64>& setting);

    // For a stored enumeration: each item's data (Qt::UserRole) is a raw value, and the items are in place
    // before binding. Shows the item of the stored raw value, the default's item when none matches; choosing
    // an item writes its raw value, even when it was already shown.
    static void bind(QComboBox& comboBox, Preferences& preferences,
                     const PreferenceSetting<QString>& setting);

    // Shows the stored text and writes an edited text when the edit is finished (Return or focus loss). A
    // write by someone else while the user is typing does not replace the typed text.
    static void bind(QLineEdit& lineEdit, Preferences& preferences,
                     const PreferenceSetting<QString>& setting);

    // For controls drawn by the program itself: calls `show` with the stored value now and after every write
    // to the setting's key, by anyone, for as long as `context` lives. The control writes a change by the
    // user through the same declaration (setting.write), so neither side spells the key.
    template <class T, class Show>
    static void observe(QObject& context, Preferences& preferences, const PreferenceSetting<T>& setting,
                        Show show) {
        QObject::connect(&preferences, &Preferences::changed, &context,
                         [&preferences, setting, show](const QString& changedKey) {
                             if (changedKey == setting.key) {
                                 show(setting.read(preferences));
                             }
                         });
        show(setting.read(preferences));
    }

    SettingBinding() = delete;
};
