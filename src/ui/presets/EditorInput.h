#pragma once
// How the presets tab's editors read what was typed: names lose surrounding spaces and tabs (not line
// breaks), lengths are whole decimal numbers.

#include <QString>

#include <optional>

namespace EditorInput {

// Spaces and tabs at both ends removed; line breaks and inner white space kept.
QString trimmedSpacesAndTabs(const QString& text);

// An optional sign and ASCII digits, after trimming; none for anything else (inner spaces, a point,
// full-width digits) or a value past 64 bits.
std::optional<qint64> wholeNumber(const QString& text);

} // namespace EditorInput
