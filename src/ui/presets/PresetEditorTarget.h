#pragma once
// What the preset editor edits: a new preset, or a saved one as it was when the editor opened.

#include "core/TimerPreset.h"

#include <QString>

#include <optional>

class PresetEditorTarget {
public:
    enum class Kind { add, edit };

    static PresetEditorTarget add() { return PresetEditorTarget(Kind::add, std::nullopt); }
    static PresetEditorTarget edit(const TimerPreset& preset) {
        return PresetEditorTarget(Kind::edit, preset);
    }

    Kind kind() const { return m_kind; }
    // The preset of an edit; none for an add.
    const std::optional<TimerPreset>& preset() const { return m_preset; }
    // "add", or "edit-" and the preset's upper-case id.
    QString id() const;

    bool operator==(const PresetEditorTarget& other) const = default;

private:
    PresetEditorTarget(Kind kind, std::optional<TimerPreset> preset)
        : m_kind(kind), m_preset(std::move(preset)) {}

    Kind m_kind;
    std::optional<TimerPreset> m_preset;
};
