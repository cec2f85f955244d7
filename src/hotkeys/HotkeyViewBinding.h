#pragma once
// Runs an action on a name's global hotkey for as long as a view (a widget or a window) is shown: the
// event stream opens when the view is shown and ends when it is hidden or destroyed.

#include "hotkeys/HotkeyEventStream.h"

#include <QObject>
#include <QPointer>

#include <functional>
#include <optional>

namespace GlobalHotkeys {

class HotkeyViewBinding : public QObject {
    Q_OBJECT
public:
    // Every press and release, with its type. The binding is a child of `view`; deleting it stops it.
    static HotkeyViewBinding* onGlobalHotkey(QObject* view, const Name& name,
                                             std::function<void(EventType)> action);
    // Only the events of one type.
    static HotkeyViewBinding* onGlobalHotkey(QObject* view, const Name& name, EventType type,
                                             std::function<void()> action);

    bool eventFilter(QObject* watched, QEvent* event) override;
    bool isListening() const { return m_stream != nullptr; }

private:
    HotkeyViewBinding(QObject* view, const Name& name, std::optional<EventType> only,
                      std::function<void(EventType)> action);
    void open();
    void close();

    Name m_name;
    std::optional<EventType> m_only;
    std::function<void(EventType)> m_action;
    QPointer<HotkeyEventStream> m_stream;
};

} // namespace GlobalHotkeys
