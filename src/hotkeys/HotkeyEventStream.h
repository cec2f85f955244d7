#pragma once
// The presses and releases of one name's shortcut, as a signal, for as long as the object lives. Its
// handler counts as a user of the shortcut, so the shortcut stays registered while the stream is open.

#include "hotkeys/HotkeyBackend.h"
#include "hotkeys/Name.h"

#include <QObject>

#include <optional>

namespace GlobalHotkeys {

class HotkeyEventStream : public QObject {
    Q_OBJECT
public:
    // Every press and release of the name's shortcut (or only those of `only`). The handler is installed
    // on the next turn of the event loop, so an event before then is not seen.
    static HotkeyEventStream* events(const Name& name, QObject* parent, std::optional<EventType> only = {});
    // Events of one type, with the handler installed at once.
    static HotkeyEventStream* on(EventType type, const Name& name, QObject* parent);

    ~HotkeyEventStream() override;

    const Name& name() const { return m_name; }

signals:
    void event(GlobalHotkeys::EventType type);

private:
    HotkeyEventStream(const Name& name, std::optional<EventType> only, QObject* parent);
    void install(bool keyDown, bool keyUp);

    Name m_name;
    std::optional<EventType> m_only;
    quint64 m_id;
};

} // namespace GlobalHotkeys
