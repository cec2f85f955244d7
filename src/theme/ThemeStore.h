#pragma once
// Holds the accent, the appearance choice and the custom accent colour, saving each assignment to
// preferences and following writes that others make there.

#include "theme/AccentTheme.h"
#include "theme/Appearance.h"

#include <QColor>
#include <QObject>
#include <QString>

#include <optional>

class Preferences;

class ThemeStore : public QObject {
    Q_OBJECT
public:
    // The delegate passes the standard preferences; tests pass their own.
    explicit ThemeStore(Preferences& defaults, QObject* parent = nullptr);

    AccentTheme accent() const { return m_accent; }
    Appearance appearance() const { return m_appearance; }
    std::optional<QString> customAccentHex() const { return m_customAccentHex; }
    Preferences& defaults() const { return m_defaults; }

    // Every assignment is saved, even of the value already held: callers rely on the write happening.
    void setAccent(AccentTheme accent);
    void setAppearance(Appearance appearance);
    void setCustomAccentHex(const std::optional<QString>& hex);

    // The custom colour when there is one, else the preset accent's colour.
    QColor activeAccentColor() const;
    // Chooses a preset and drops the custom colour.
    void selectPresetAccent(AccentTheme theme);
    // Chooses a custom colour; the preset accent is kept for when the custom one is dropped.
    void selectCustomAccent(const QColor& color);
    // The application always runs light: a stored other choice is replaced once launching has finished.
    void enforceLightAppearance();

    // For views that hold no store: the same colour as activeAccentColor, read from the preferences.
    static QColor resolveAccentColor(const Preferences& defaults);

signals:
    // Each is emitted after the value changed: on every assignment, and on a write by anyone else only when
    // the value it reads as differs from the held one.
    void accentChanged(AccentTheme accent);
    void appearanceChanged(Appearance appearance);
    void customAccentHexChanged(const std::optional<QString>& hex);
    void changed();

private:
    void followStoredValue(const QString& key);

    Preferences& m_defaults;
    AccentTheme m_accent = AccentTheme::orange;
    Appearance m_appearance = Appearance::light;
    std::optional<QString> m_customAccentHex;
};
