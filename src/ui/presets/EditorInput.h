#pragma once
// How the presets tab's editors read what was typed: names lose the white space around them (not line
// breaks), lengths are whole decimal numbers.

#include <QString>

#include <optional>

namespace EditorInput {

// White space within a line (the tab and every Unicode space: no-break, ideographic, thin...) removed from
// both ends; line breaks and inner white space kept.
QString trimmedBlanks(const QString& text);

// An optional sign and ASCII digits, after trimming; none for anything else (inner spaces, a point,
// full-width digits) or a value past 64 bits.
std::optional<qint64> wholeNumber(const QString& text);

} // namespace EditorInput
