#include "hotkeys/XModifierMasks.h"

#include "hotkeys/ModifierFlags.h"

#include <algorithm>

namespace GlobalHotkeys {

namespace {

// Key symbols of the X protocol's keysym list.
constexpr quint32 kNumLock = 0xff7f;
constexpr quint32 kMetaL = 0xffe7, kMetaR = 0xffe8, kAltL = 0xffe9, kAltR = 0xffea;
constexpr quint32 kSuperL = 0xffeb, kSuperR = 0xffec;

bool holds(const QList<quint32>& keysyms, std::initializer_list<quint32> wanted) {
    for (quint32 keysym : wanted) {
        if (keysyms.contains(keysym)) {
            return true;
        }
    }
    return false;
}

} // namespace

XModifierMasks XModifierMasks::fromModifierMap(const std::array<QList<quint32>, 8>& keysymsPerModifier) {
    XModifierMasks masks;
    std::optional<quint16> alt, super, numLock;
    // Shift, Lock and Control are fixed; only Mod1–Mod5 move.
    for (int index = 3; index < 8; ++index) {
        const QList<quint32>& keysyms = keysymsPerModifier[size_t(index)];
        const auto bit = quint16(1U << index);
        if (!alt && holds(keysyms, {kAltL, kAltR, kMetaL, kMetaR})) {
            alt = bit;
        }
        if (!super && holds(keysyms, {kSuperL, kSuperR})) {
            super = bit;
        }
        if (!numLock && holds(keysyms, {kNumLock})) {
            numLock = bit;
        }
    }
    // A map that names no key at all says nothing (it could not be read): Alt and Super stay in their
    // usual places. One that names keys but none for Alt or Super leaves that modifier on no key, since
    // no key press would ever set the usual bit.
    const bool saysNothing = std::all_of(keysymsPerModifier.begin(), keysymsPerModifier.end(),
                                         [](const QList<quint32>& keysyms) { return keysyms.isEmpty(); });
    masks.alt = alt.value_or(saysNothing ? masks.alt : quint16(0));
    masks.super = super.value_or(saysNothing ? masks.super : quint16(0));
    // A keyboard without Num Lock has no such bit to cover.
    masks.numLock = numLock.value_or(0);
    return masks;
}

std::optional<quint16> XModifierMasks::grabMask(qint64 carbonModifiers) const {
    quint16 mask = 0;
    const struct {
        qint64 carbon;
        quint16 bit;
    } rows[] = {{CarbonModifier::control, control},
                {CarbonModifier::option, alt},
                {CarbonModifier::shift, shift},
                {CarbonModifier::command, super}};
    for (const auto& row : rows) {
        if ((carbonModifiers & row.carbon) != 0) {
            if (row.bit == 0) {
                return std::nullopt;
            }
            mask |= row.bit;
        }
    }
    return mask;
}

QList<quint16> XModifierMasks::grabVariants(qint64 carbonModifiers) const {
    const std::optional<quint16> base = grabMask(carbonModifiers);
    if (!base) {
        return {};
    }
    QList<quint16> variants;
    for (quint16 locks : {quint16(0), lock, numLock, quint16(lock | numLock)}) {
        const auto variant = quint16(*base | locks);
        if (!variants.contains(variant)) {
            variants.append(variant);
        }
    }
    return variants;
}

qint64 XModifierMasks::carbonModifiers(quint16 state) const {
    qint64 carbon = 0;
    if ((state & control) != 0) {
        carbon |= CarbonModifier::control;
    }
    if (alt != 0 && (state & alt) != 0) {
        carbon |= CarbonModifier::option;
    }
    if ((state & shift) != 0) {
        carbon |= CarbonModifier::shift;
    }
    if (super != 0 && (state & super) != 0) {
        carbon |= CarbonModifier::command;
    }
    return carbon;
}

} // namespace GlobalHotkeys
