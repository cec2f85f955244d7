#include "hotkeys/KeyboardLayout.h"

#include "hotkeys/KeyPositions.h"
#include "platform/TarvolinTimerLogger.h"

#include <xkbcommon/xkbcommon.h>

#include <string>

namespace GlobalHotkeys {

namespace {

std::shared_ptr<const KeyboardLayout>& currentSlot() {
    static std::shared_ptr<const KeyboardLayout> layout;
    return layout;
}

bool& currentWasSet() {
    static bool set = false;
    return set;
}

std::optional<quint32> keycodeByName(xkb_keymap* keymap, std::string_view name) {
    const xkb_keycode_t code = xkb_keymap_key_by_name(keymap, std::string(name).c_str());
    if (code == XKB_KEYCODE_INVALID) {
        return std::nullopt;
    }
    return quint32(code);
}

std::optional<xkb_keysym_t> firstLevelKeysym(xkb_keymap* keymap, xkb_keycode_t code,
                                             xkb_layout_index_t group) {
    const xkb_keysym_t* syms = nullptr;
    const int count = xkb_keymap_key_get_syms_by_level(keymap, code, group, 0, &syms);
    if (count < 1 || syms == nullptr) {
        return std::nullopt;
    }
    return syms[0];
}

} // namespace

KeyboardLayout::KeyboardLayout(xkb_keymap* keymap, const XModifierMasks& masks)
    : m_keymap(xkb_keymap_ref(keymap)), m_masks(masks) {
    // Every stored position this keyboard has, so events map back through aliases as well.
    for (qint64 carbon = 0; carbon < 128; ++carbon) {
        if (const auto name = KeyPositions::xkbKeyName(carbon)) {
            if (const auto code = keycodeByName(m_keymap, *name)) {
                m_carbonByKeycode.insert(*code, carbon);
            }
        }
    }
    // A group types Latin letters when the first letter position prints one.
    if (const auto a = keycodeByName(m_keymap, "AC01")) {
        const xkb_layout_index_t groups = xkb_keymap_num_layouts_for_key(m_keymap, *a);
        for (xkb_layout_index_t group = 0; group < groups; ++group) {
            const auto sym = firstLevelKeysym(m_keymap, *a, group);
            if (sym &&
                ((*sym >= XKB_KEY_a && *sym <= XKB_KEY_z) || (*sym >= XKB_KEY_A && *sym <= XKB_KEY_Z))) {
                m_latinGroup = group;
                break;
            }
        }
    }
}

KeyboardLayout::~KeyboardLayout() {
    xkb_keymap_unref(m_keymap);
}

std::shared_ptr<const KeyboardLayout> KeyboardLayout::fromNames(const QString& layout,
                                                                const QString& variant) {
    xkb_context* context = xkb_context_new(XKB_CONTEXT_NO_FLAGS);
    if (context == nullptr) {
        return nullptr;
    }
    const QByteArray layoutUtf8 = layout.toUtf8();
    const QByteArray variantUtf8 = variant.toUtf8();
    xkb_rule_names names{};
    names.rules = "evdev";
    names.model = "pc105";
    names.layout = layout.isEmpty() ? nullptr : layoutUtf8.constData();
    names.variant = variant.isEmpty() ? nullptr : variantUtf8.constData();
    xkb_keymap* keymap = xkb_keymap_new_from_names(context, &names, XKB_KEYMAP_COMPILE_NO_FLAGS);
    xkb_context_unref(context);
    if (keymap == nullptr) {
        TT_LOG_WARNING(QStringLiteral("GlobalHotkeys"),
                       QStringLiteral("No keymap for the layout \"%1\"").arg(layout));
        return nullptr;
    }
    auto result = std::make_shared<const KeyboardLayout>(keymap, XModifierMasks{});
    xkb_keymap_unref(keymap);
    return result;
}

std::shared_ptr<const KeyboardLayout> KeyboardLayout::current() {
    if (!currentWasSet()) {
        currentWasSet() = true;
        currentSlot() = fromNames({});
    }
    return currentSlot();
}

void KeyboardLayout::setCurrent(std::shared_ptr<const KeyboardLayout> layout) {
    currentWasSet() = true;
    currentSlot() = std::move(layout);
}

std::optional<quint32> KeyboardLayout::keycode(qint64 carbonKeyCode) const {
    const auto name = KeyPositions::xkbKeyName(carbonKeyCode);
    if (!name) {
        return std::nullopt;
    }
    return keycodeByName(m_keymap, *name);
}

std::optional<qint64> KeyboardLayout::carbonKeyCode(quint32 keycode) const {
    const auto found = m_carbonByKeycode.constFind(keycode);
    if (found == m_carbonByKeycode.constEnd()) {
        return std::nullopt;
    }
    return *found;
}

std::optional<QString> KeyboardLayout::character(qint64 carbonKeyCode) const {
    const auto code = keycode(carbonKeyCode);
    if (!code || !m_latinGroup) {
        return std::nullopt;
    }
    const auto sym = firstLevelKeysym(m_keymap, *code, *m_latinGroup);
    if (!sym) {
        return QString();
    }
    char utf8[16] = {};
    const int written = xkb_keysym_to_utf8(*sym, utf8, sizeof utf8);
    if (written <= 1) {
        return QString();
    }
    const QString text = QString::fromUtf8(utf8, written - 1);
    // Control characters (a key that types a tab or an escape) show nothing.
    if (text.size() == 1 && text.at(0).category() == QChar::Other_Control) {
        return QString();
    }
    return text;
}

QList<quint32> KeyboardLayout::keysyms(quint32 keycode) const {
    QList<quint32> result;
    const xkb_level_index_t levels = xkb_keymap_num_levels_for_key(m_keymap, keycode, 0);
    for (xkb_level_index_t level = 0; level < levels; ++level) {
        const xkb_keysym_t* syms = nullptr;
        const int count = xkb_keymap_key_get_syms_by_level(m_keymap, keycode, 0, level, &syms);
        for (int index = 0; index < count; ++index) {
            result.append(syms[index]);
        }
    }
    return result;
}

} // namespace GlobalHotkeys
