#include "hotkeys/ModifierFlags.h"

namespace GlobalHotkeys {

namespace {

struct ModifierRow {
    qint64 carbon;
    Qt::KeyboardModifier qt;
    char16_t glyph;
};

// In the order the glyphs are shown.
constexpr ModifierRow kModifiers[] = {
    {CarbonModifier::control, Qt::ControlModifier, u'\u2303'},
    {CarbonModifier::option, Qt::AltModifier, u'\u2325'},
    {CarbonModifier::shift, Qt::ShiftModifier, u'\u21E7'},
    {CarbonModifier::command, Qt::MetaModifier, u'\u2318'},
};

} // namespace

qint64 carbonModifiers(Qt::KeyboardModifiers modifiers) {
    qint64 carbon = 0;
    for (const ModifierRow& row : kModifiers) {
        if (modifiers.testFlag(row.qt)) {
            carbon |= row.carbon;
        }
    }
    return carbon;
}

Qt::KeyboardModifiers qtModifiers(qint64 carbon) {
    Qt::KeyboardModifiers modifiers;
    for (const ModifierRow& row : kModifiers) {
        if ((carbon & row.carbon) != 0) {
            modifiers |= row.qt;
        }
    }
    return modifiers;
}

QString modifierDescription(qint64 carbon) {
    QString text;
    for (const ModifierRow& row : kModifiers) {
        if ((carbon & row.carbon) != 0) {
            text += QChar(row.glyph);
        }
    }
    return text;
}

} // namespace GlobalHotkeys
