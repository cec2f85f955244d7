#include "hotkeys/HotkeyEventStream.h"

#include "hotkeys/GlobalHotkeys.h"

#include <QPointer>
#include <QTimer>

namespace GlobalHotkeys {

HotkeyEventStream::HotkeyEventStream(const Name& name, std::optional<EventType> only, QObject* parent)
    : QObject(parent), m_name(name), m_only(only), m_id(detail::nextStreamId()) {}

HotkeyEventStream* HotkeyEventStream::events(const Name& name, QObject* parent,
                                             std::optional<EventType> only) {
    auto* stream = new HotkeyEventStream(name, only, parent);
    QTimer::singleShot(0, stream, [stream] { stream->install(true, true); });
    return stream;
}

HotkeyEventStream* HotkeyEventStream::on(EventType type, const Name& name, QObject* parent) {
    auto* stream = new HotkeyEventStream(name, type, parent);
    stream->install(type == EventType::keyDown, type == EventType::keyUp);
    return stream;
}

HotkeyEventStream::~HotkeyEventStream() {
    detail::removeStreamHandler(m_name, m_id);
}

void HotkeyEventStream::install(bool keyDown, bool keyUp) {
    QPointer<HotkeyEventStream> self(this);
    detail::addStreamHandler(m_name, m_id, keyDown, keyUp, [self](EventType type) {
        if (self && (!self->m_only || *self->m_only == type)) {
            emit self->event(type);
        }
    });
}

} // namespace GlobalHotkeys
