#include "hotkeys/HotkeyRegistrar.h"

#include <utility>
#include <vector>

namespace GlobalHotkeys {

HotkeyRegistrar::HotkeyRegistrar(HotkeyBackend* backend, QObject* parent)
    : QObject(parent), m_backend(backend) {
    if (backend != nullptr) {
        connect(backend, &HotkeyBackend::grabFailed, this, &HotkeyRegistrar::onGrabFailed);
        connect(backend, &HotkeyBackend::keyEvent, this, &HotkeyRegistrar::onBackendKey);
        connect(backend, &HotkeyBackend::connectionLost, this, &HotkeyRegistrar::forgetHeldKeys);
    }
}

bool HotkeyRegistrar::registerShortcut(const Shortcut& shortcut, Callback onKeyDown, Callback onKeyUp) {
    const quint32 id = ++m_lastId;
    if (!m_backend) {
        emit registrationFailed(shortcut, GrabFailure::noDisplay);
        return false;
    }
    if (m_delivering) {
        if (const auto failure = m_backend->grab(id, shortcut)) {
            emit registrationFailed(shortcut, *failure);
            return false;
        }
    }
    m_hotKeys[id] = HotKey{shortcut, m_delivering, std::move(onKeyDown), std::move(onKeyUp)};
    return true;
}

void HotkeyRegistrar::unregisterShortcut(const Shortcut& shortcut) {
    for (auto it = m_hotKeys.begin(); it != m_hotKeys.end();) {
        if (it->second.shortcut == shortcut) {
            if (it->second.grabbed && m_backend) {
                m_backend->ungrab(it->first);
            }
            it = m_hotKeys.erase(it);
        } else {
            ++it;
        }
    }
}

void HotkeyRegistrar::setDelivering(bool delivering) {
    m_delivering = delivering;
    m_held.clear();
    std::vector<std::pair<Shortcut, GrabFailure>> dropped;
    for (auto it = m_hotKeys.begin(); it != m_hotKeys.end();) {
        HotKey& hotKey = it->second;
        if (!delivering && hotKey.grabbed) {
            if (m_backend) {
                m_backend->ungrab(it->first);
            }
            hotKey.grabbed = false;
        } else if (delivering && !hotKey.grabbed) {
            const auto failure =
                m_backend ? m_backend->grab(it->first, hotKey.shortcut) : GrabFailure::noDisplay;
            if (failure) {
                dropped.emplace_back(hotKey.shortcut, *failure);
                it = m_hotKeys.erase(it);
                continue;
            }
            hotKey.grabbed = true;
        }
        ++it;
    }
    for (const auto& [shortcut, why] : dropped) {
        emit registrationFailed(shortcut, why);
    }
}

bool HotkeyRegistrar::contains(const Shortcut& shortcut) const {
    return find(shortcut) != nullptr;
}

const HotkeyRegistrar::HotKey* HotkeyRegistrar::find(const Shortcut& shortcut) const {
    for (const auto& [id, hotKey] : m_hotKeys) {
        if (hotKey.shortcut == shortcut) {
            return &hotKey;
        }
    }
    return nullptr;
}

bool HotkeyRegistrar::handleKeyEvent(EventType type, const Shortcut& asPressed, bool autoRepeat) {
    if (!m_delivering) {
        return false;
    }
    const auto held = m_held.constFind(asPressed.carbonKeyCode);
    if (type == EventType::keyDown) {
        if (held != m_held.constEnd() || autoRepeat) {
            // A repeat of a key that is already down: ours when its first press was.
            return held != m_held.constEnd();
        }
        const HotKey* hotKey = find(asPressed);
        if (hotKey == nullptr) {
            return false;
        }
        m_held.insert(asPressed.carbonKeyCode, asPressed);
        // Copied: the callback may change the table.
        const Callback onKeyDown = hotKey->onKeyDown;
        if (onKeyDown) {
            onKeyDown(asPressed);
        }
        return true;
    }
    if (held == m_held.constEnd()) {
        return false;
    }
    if (autoRepeat) {
        return true;
    }
    const Shortcut pressed = *held;
    m_held.erase(held);
    if (const HotKey* hotKey = find(pressed)) {
        const Callback onKeyUp = hotKey->onKeyUp;
        if (onKeyUp) {
            onKeyUp(pressed);
        }
    }
    return true;
}

void HotkeyRegistrar::onGrabFailed(quint32 id, GrabFailure why) {
    const auto found = m_hotKeys.find(id);
    if (found == m_hotKeys.end()) {
        return;
    }
    const Shortcut shortcut = found->second.shortcut;
    m_hotKeys.erase(found);
    emit registrationFailed(shortcut, why);
}

void HotkeyRegistrar::onBackendKey(EventType type, const Shortcut& shortcut) {
    handleKeyEvent(type, shortcut, false);
}

} // namespace GlobalHotkeys
