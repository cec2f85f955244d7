#include "ui/presets/EditorInput.h"

#include "core/BlankText.h"

namespace EditorInput {

QString trimmedBlanks(const QString& text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isBlank(text.at(begin))) {
        ++begin;
    }
    while (end > begin && isBlank(text.at(end - 1))) {
        --end;
    }
    return text.mid(begin, end - begin);
}

std::optional<qint64> wholeNumber(const QString& text) {
    const QString trimmed = trimmedBlanks(text);
    qsizetype at = 0;
    if (at < trimmed.size() && (trimmed.at(at) == QLatin1Char('+') || trimmed.at(at) == QLatin1Char('-'))) {
        ++at;
    }
    if (at == trimmed.size()) {
        return std::nullopt; // empty, or a sign alone
    }
    for (qsizetype i = at; i < trimmed.size(); ++i) {
        const char16_t c = trimmed.at(i).unicode();
        if (c < u'0' || c > u'9') {
            return std::nullopt;
        }
    }
    bool ok = false;
    const qint64 value = trimmed.toLongLong(&ok, 10);
    if (!ok) {
        return std::nullopt;
    }
    return value;
}

} // namespace EditorInput
