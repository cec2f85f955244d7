#include "hotkeys/HotkeyViewBinding.h"

#include <QEvent>
#include <QVariant>

namespace GlobalHotkeys {

HotkeyViewBinding::HotkeyViewBinding(QObject* view, const Name& name, std::optional<EventType> only,
                                     std::function<void(EventType)> action)
    : QObject(view), m_name(name), m_only(only), m_action(std::move(action)) {
    view->installEventFilter(this);
    // Widgets and windows both say whether they are shown through this property.
    if (view->property("visible").toBool()) {
        open();
    }
}

HotkeyViewBinding* HotkeyViewBinding::onGlobalHotkey(QObject* view, const Name& name,
                                                     std::function<void(EventType)> action) {
    return new HotkeyViewBinding(view, name, std::nullopt, std::move(action));
}

HotkeyViewBinding* HotkeyViewBinding::onGlobalHotkey(QObject* view, const Name& name, EventType type,
                                                     std::function<void()> action) {
    return new HotkeyViewBinding(view, name, type, [action = std::move(action)](EventType) { action(); });
}

bool HotkeyViewBinding::eventFilter(QObject* watched, QEvent* event) {
    if (watched == parent()) {
        if (event->type() == QEvent::Show) {
            open();
        } else if (event->type() == QEvent::Hide) {
            close();
        }
    }
    return false;
}

void HotkeyViewBinding::open() {
    if (m_stream) {
        return;
    }
    m_stream = HotkeyEventStream::events(m_name, this, m_only);
    connect(m_stream, &HotkeyEventStream::event, this, [this](EventType type) {
        if (m_action) {
            m_action(type);
        }
    });
}

void HotkeyViewBinding::close() {
    delete m_stream.data();
}

} // namespace GlobalHotkeys
