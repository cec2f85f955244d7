#pragma once
// Tab and Shift+Tab inside a card shown over a screen: the card's controls form a ring that focus never
// leaves for the screen behind. Every overlay shares this one walk.

#include <QList>

class QWidget;

namespace FocusRing {

// The focusable, visible, enabled widgets inside `container`, in tab order. With `skipProxied`, widgets
// that hand their focus to a proxy are left out (the proxy stands in the ring already).
QList<QWidget*> within(const QWidget* container, bool skipProxied = false);

// Moves focus to the next (or previous) widget of the ring after `current`, or to its first (last) one
// when `current` is not in it. Does nothing on an empty ring.
void step(const QList<QWidget*>& ring, const QWidget* current, bool next);

} // namespace FocusRing
