#include "theme/ThemeStore.h"

#include "platform/Preferences.h"
#include "theme/QvColor.h"
#include "theme/ThemeSettingsKeys.h"

namespace {

// Text that names no case reads as the default case, like an absent key.
AccentTheme storedAccent(const Preferences& defaults) {
    return accentThemeFromRaw(ThemeSettingsKeys::accent.read(defaults)).value_or(AccentTheme::orange);
}

Appearance storedAppearance(const Preferences& defaults) {
    return appearanceFromRaw(ThemeSettingsKeys::appearance.read(defaults)).value_or(Appearance::light);
}

} // namespace

ThemeStore::ThemeStore(Preferences& defaults, QObject* parent)
    : QObject(parent), m_defaults(defaults), m_accent(storedAccent(defaults)),
      m_appearance(storedAppearance(defaults)) {
    // Starting values are taken without saving; only the custom colour goes through its setter, which writes
    // a stored text back as it was read. A missing or non-text value is left as it is: construction never
    // removes the key.
    if (const auto hex = ThemeSettingsKeys::customAccentHex.read(defaults)) {
        setCustomAccentHex(hex);
    }
    connect(&m_defaults, &Preferences::changed, this, &ThemeStore::followStoredValue);
}

void ThemeStore::followStoredValue(const QString& key) {
    // Reads only: what someone else stored is taken as it reads, never written back or corrected. The
    // store's own writes read back as the value already held and emit nothing here.
    if (key == ThemeSettingsKeys::accent.key) {
        const AccentTheme accent = storedAccent(m_defaults);
        if (accent != m_accent) {
            m_accent = accent;
            emit accentChanged(accent);
            emit changed();
        }
    } else if (key == ThemeSettingsKeys::appearance.key) {
        const Appearance appearance = storedAppearance(m_defaults);
        if (appearance != m_appearance) {
            m_appearance = appearance;
            emit appearanceChanged(appearance);
            emit changed();
        }
    } else if (key == ThemeSettingsKeys::customAccentHex.key) {
        const std::optional<QString> hex = ThemeSettingsKeys::customAccentHex.read(m_defaults);
        if (hex != m_customAccentHex) {
            m_customAccentHex = hex;
            emit customAccentHexChanged(hex);
            emit changed();
        }
    }
}

void ThemeStore::setAccent(AccentTheme accent) {
    m_accent = accent;
    ThemeSettingsKeys::accent.write(m_defaults, toRaw(accent));
    emit accentChanged(accent);
    emit changed();
}

void ThemeStore::setAppearance(Appearance appearance) {
    m_appearance = appearance;
    ThemeSettingsKeys::appearance.write(m_defaults, toRaw(appearance));
    emit appearanceChanged(appearance);
    emit changed();
}

void ThemeStore::setCustomAccentHex(const std::optional<QString>& hex) {
    m_customAccentHex = hex;
    ThemeSettingsKeys::customAccentHex.write(m_defaults, hex);
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
    if (const auto custom = ThemeSettingsKeys::customAccentHex.read(defaults)) {
        return QvColor::fromHex(*custom);
    }
    return color(storedAccent(defaults));
}
