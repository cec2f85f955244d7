#pragma once
// What counts as blank in a typed name: the tab and every Unicode space (no-break, ideographic, thin...),
// but not a line break, which the user typed on purpose.

#include <QChar>
#include <QStringView>

#include <algorithm>

inline bool isBlank(QChar c) {
    return c == QLatin1Char('\t') || c.category() == QChar::Separator_Space;
}

// True for an empty text too.
inline bool isBlank(QStringView text) {
    return std::all_of(text.begin(), text.end(), [](QChar c) { return isBlank(c); });
}
