#pragma once
// What an assistive technology reads of a widget, taken from its accessible interface the way Qt's bridge
// takes it: role, name, value text, states, and the children it offers.

#include <QAccessible>
#include <QString>
#include <QWidget>

namespace AccessibleReading {

inline QAccessibleInterface* of(QWidget* widget) {
    return widget ? QAccessible::queryAccessibleInterface(widget) : nullptr;
}

inline QAccessible::Role role(QWidget* widget) {
    QAccessibleInterface* i = of(widget);
    return i ? i->role() : QAccessible::NoRole;
}

inline QString name(QWidget* widget) {
    QAccessibleInterface* i = of(widget);
    return i ? i->text(QAccessible::Name) : QString();
}

inline QString description(QWidget* widget) {
    QAccessibleInterface* i = of(widget);
    return i ? i->text(QAccessible::Description) : QString();
}

// The value as the bridge hands it on: the element's text; null without one.
inline QString value(QWidget* widget) {
    QAccessibleInterface* i = of(widget);
    QAccessibleTextInterface* text = i ? i->textInterface() : nullptr;
    return text ? text->text(0, text->characterCount()) : QString();
}

inline QAccessible::State state(QWidget* widget) {
    QAccessibleInterface* i = of(widget);
    return i ? i->state() : QAccessible::State();
}

inline int childCount(QWidget* widget) {
    QAccessibleInterface* i = of(widget);
    return i ? i->childCount() : -1;
}

// Whether a reader walking down from the window reaches the widget as a shown element.
inline bool isRead(QWidget* widget) {
    for (QWidget* w = widget; w; w = w->parentWidget()) {
        QAccessibleInterface* i = of(w);
        if (!i || i->state().invisible) {
            return false;
        }
        QAccessibleInterface* parent = w->parentWidget() ? of(w->parentWidget()) : nullptr;
        if (parent && parent->indexOfChild(i) < 0) {
            return false;
        }
    }
    return true;
}

} // namespace AccessibleReading
