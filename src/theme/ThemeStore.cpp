#include "theme/ThemeStore.h"

#include "platform/Preferences.h"
#include "theme/QvColor.h"

ThemeStore::ThemeStore(Preferences& defaults, QObject* parent) : QObject(parent), m_defaults(defaults) {
    // Starting values are taken without saving; only the custom colour goes through its setter, which writes
    // a stored text back as it was read.
    if (const auto raw = defaults.stringValue(accentKey)) {
        m_accent = accentThemeFromRaw(*raw).value_or(AccentTheme::orange);
    }
    if (const auto raw = defaults.stringValue(appearanceKey)) {
        m_appearance = appearanceFromRaw(*raw).value_or(Appearance::light);
    }
    // A missing or non-text value is left as it is: construction never removes the key.
    if (const auto hex = defaults.stringValue(customAccentHexKey)) {
        setCustomAccentHex(hex);
    }
}

ThemeStore::ThemeStore(QObject* parent) : ThemeStore(Preferences::standard(), parent) {}

void ThemeStore::setAccent(AccentTheme accent) {
    m_accent = accent;
    m_defaults.setString(accentKey, toRaw(accent));
    emit accentChanged(accent);
    emit changed();
}

void ThemeStore::setAppearance(Appearance appearance) {
    m_appearance = appearance;
    m_defaults.setString(appearanceKey, toRaw(appearance));
    emit appearanceChanged(appearance);
    emit changed();
}

void ThemeStore::setCustomAccentHex(const std::optional<QString>& hex) {
    m_customAccentHex = hex;
    if (hex) {
        m_defaults.setString(customAccentHexKey, *hex);
    } else {
        m_defaults.remove(customAccentHexKey);
    }
    emit customAccentHexChanged(hex);
    emit changed();
}

QColor ThemeStore::activeAccentColor() const {
    return m_customAccentHex ? QvColor::fromHex(*m_customAccentHex) : color(m_accent);
}

void ThemeStore::selectPresetAccent(AccentTheme theme) {
    setAccent(theme);
    setCustomAccentHex(std::nullopt);
}

void ThemeStore::selectCustomAccent(const QColor& color) {
    setCustomAccentHex(QvColor::toHex(color));
}

void ThemeStore::enforceLightAppearance() {
    if (m_appearance != Appearance::light) {
        setAppearance(Appearance::light);
    }
}

QColor ThemeStore::resolveAccentColor(const Preferences& defaults) {
    if (const auto custom = defaults.stringValue(customAccentHexKey)) {
        return QvColor::fromHex(*custom);
    }
    if (const auto raw = defaults.stringValue(accentKey)) {
        if (const auto theme = accentThemeFromRaw(*raw)) {
            return color(*theme);
        }
    }
    return QvColor::fromHex(hexValue(AccentTheme::orange));
}
