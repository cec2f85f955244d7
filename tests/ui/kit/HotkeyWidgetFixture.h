#pragma once
// Hotkey state for widget tests (in-memory preferences, a fake desktop, a US keyboard) and key events as
// the X server gives them: with the key's scan code and the raw modifier state.

#include "hotkeys/HotkeyTestFixture.h"

#include <QApplication>
#include <QCoreApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QWidget>
#include <QWindow>

class HotkeyWidgetFixture : public HotkeyTestFixture {
protected:
    // Raw X modifier bits.
    static constexpr quint32 xLock = 0x02;
    static constexpr quint32 xNumLock = 0x10;

    static quint32 scanCode(Key key) { return usLayout()->keycode(key.rawValue).value_or(0); }

    // A press (or release) of the key at `key`'s position; `qtKey` is what Qt names it.
    static QKeyEvent keyEvent(QEvent::Type type, Key key, int qtKey, Qt::KeyboardModifiers modifiers,
                              quint32 nativeModifiers = 0, bool autoRepeat = false) {
        return QKeyEvent(type, qtKey, modifiers, scanCode(key), 0, nativeModifiers, QString(), autoRepeat);
    }

    // Delivered to the widget itself, as Qt does after its window.
    static bool press(QWidget* widget, Key key, int qtKey, Qt::KeyboardModifiers modifiers = Qt::NoModifier,
                      quint32 nativeModifiers = 0) {
        QKeyEvent event = keyEvent(QEvent::KeyPress, key, qtKey, modifiers, nativeModifiers);
        QApplication::sendEvent(widget, &event);
        return event.isAccepted();
    }

    // Delivered to the window first, as the desktop does; it goes on to the focused widget from there.
    static void pressInWindow(QWidget* window, QEvent::Type type, Key key, int qtKey,
                              Qt::KeyboardModifiers modifiers = Qt::NoModifier, quint32 nativeModifiers = 0) {
        QKeyEvent event = keyEvent(type, key, qtKey, modifiers, nativeModifiers);
        QCoreApplication::sendEvent(window->windowHandle(), &event);
    }

    static void flushDeletes() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }
};
