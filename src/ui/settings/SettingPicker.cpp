#include "ui/settings/SettingPicker.h"

#include "core/AppLanguage.h"
#include "core/AppSettings.h"
#include "core/SettingsKeys.h"
#include "core/TimeDisplayStyle.h"
#include "ui/kit/AccessibleTraits.h"
#include "ui/kit/SettingBinding.h"
#include "ui/settings/SettingPickerOption.h"

#include <QBoxLayout>
#include <QEvent>

SettingPicker::SettingPicker(Layout layout, QList<Option> options,
                             std::function<QString()> accessibilityPhrase, Preferences& preferences,
                             const PreferenceSetting<QString>& setting, QWidget* parent)
    : QWidget(parent), m_layout(layout), m_phrase(std::move(accessibilityPhrase)) {
    setObjectName(QStringLiteral("quorvane.settings.picker.") + setting.key);
    AccessibleTraits::setRole(this, QAccessible::List);
    auto* box = new QBoxLayout(
        layout == Layout::behaviourRow ? QBoxLayout::TopToBottom : QBoxLayout::LeftToRight, this);
    box->setContentsMargins(0, 0, 0, 0);
    box->setSpacing(8);
    for (Option& entry : options) {
        const QString raw = entry.raw;
        auto* option = new SettingPickerOption(layout, std::move(entry), this);
        option->setObjectName(objectName() + QLatin1Char('.') + raw);
        connect(option, &QAbstractButton::clicked, this,
                [&preferences, setting, raw] { setting.write(preferences, raw); });
        box->addWidget(option, 1);
        m_options << option;
    }
    SettingBinding::observe(*this, preferences, setting,
                            [this](const QString& stored) { showStored(stored); });
}

void SettingPicker::showStored(const QString& stored) {
    for (SettingPickerOption* option : m_options) {
        option->setChosen(option->raw() == stored);
        const QString phrase = m_phrase ? m_phrase() : QString();
        option->setAccessibleName(phrase.isEmpty() ? option->labelText()
                                                   : phrase + QLatin1Char(' ') + option->labelText());
    }
}

QString SettingPicker::chosenRaw() const {
    for (const SettingPickerOption* option : m_options) {
        if (option->isChosen()) {
            return option->raw();
        }
    }
    return {};
}

SettingPickerOption* SettingPicker::option(const QString& raw) const {
    for (SettingPickerOption* option : m_options) {
        if (option->raw() == raw) {
            return option;
        }
    }
    return nullptr;
}

void SettingPicker::changeEvent(QEvent* event) {
    if (event->type() == QEvent::LanguageChange) {
        showStored(chosenRaw());
        for (SettingPickerOption* option : m_options) {
            option->updateGeometry();
            option->update();
        }
    }
    QWidget::changeEvent(event);
}

SettingPicker* SettingPicker::displayStyle(Preferences& preferences, QWidget* parent) {
    QList<Option> options;
    for (TimeDisplayStyle style : allTimeDisplayStyles()) {
        options << Option{toRaw(style), [style] { return label(style); }, [style] { return sample(style); }};
    }
    return new SettingPicker(
        Layout::exampleCard, options, [] { return tr("Time wording"); }, preferences,
        SettingsKeys::displayStyle, parent);
}

SettingPicker* SettingPicker::alarmFormat(Preferences& preferences, QWidget* parent) {
    QList<Option> options;
    for (MenuBarAlarmFormat format : allMenuBarAlarmFormats()) {
        options << Option{toRaw(format), [format] { return label(format); },
                          [format] { return sample(format); }};
    }
    return new SettingPicker(
        Layout::exampleFirstCard, options, [] { return tr("Alarm display"); }, preferences,
        SettingsKeys::menuBarAlarmFormat, parent);
}

SettingPicker* SettingPicker::remainingDetail(Preferences& preferences, QWidget* parent) {
    QList<Option> options;
    for (MenuBarRemainingDetail detail : allMenuBarRemainingDetails()) {
        options << Option{toRaw(detail), [detail] { return label(detail); },
                          [detail] { return sample(detail); }};
    }
    return new SettingPicker(
        Layout::exampleFirstCard, options, [] { return tr("Remaining detail"); }, preferences,
        SettingsKeys::menuBarRemainingDetail, parent);
}

SettingPicker* SettingPicker::appLanguage(Preferences& preferences, QWidget* parent) {
    QList<Option> options;
    for (AppLanguage language : allAppLanguages()) {
        options << Option{toRaw(language), [language] { return label(language); }, {}};
    }
    return new SettingPicker(Layout::languageChip, options, {}, preferences, SettingsKeys::appLanguage,
                             parent);
}

SettingPicker* SettingPicker::quickPresetBehavior(Preferences& preferences, QWidget* parent) {
    QList<Option> options;
    for (QuickPresetBehavior behavior : allQuickPresetBehaviors()) {
        options << Option{toRaw(behavior), [behavior] { return label(behavior); },
                          [behavior] { return detail(behavior); }};
    }
    return new SettingPicker(
        Layout::behaviourRow, options, [] { return tr("Key behavior"); }, preferences,
        SettingsKeys::quickPresetBehavior, parent);
}
