#pragma once
// What a widget tells a screen reader beyond its name and description: the role it is announced as, its
// selected or checked state, a value read after its name, whether it reads as one element or not at all.
// Declared where the widget is built and reported through one accessible interface of our own, so Qt's
// AT-SPI bridge passes them on as roles, states and text instead of as words in a description.

#include <QAbstractButton>
#include <QAccessible>
#include <QPointer>

#include <functional>
#include <optional>

class QWidget;

namespace AccessibleTraits {

// The role announced for the widget (a page tab, a list item, a heading, a check box, …).
void setRole(QWidget* widget, QAccessible::Role role);

// A value read after the name (a remaining time, a chosen sound). It is the element's Value text, and its
// text as well: the text is what Qt 6.4's AT-SPI bridge hands a screen reader, the Value text it drops.
void setValue(QWidget* widget, const QString& value);

// One of a set the user picks from: selectable, and selected while `selected`.
void setSelected(QWidget* widget, bool selected);

// An on/off control: checkable, and checked while `on`.
void setChecked(QWidget* widget, bool on);

// The widget reads as one element and its children are not read. With a `control` inside (the switch of
// a card), the element is focusable, focused while the control holds the keyboard (and announced so),
// and its press presses the control.
void readAsOne(QWidget* group, QAbstractButton* control = nullptr);

// Nothing of the widget is read, its children included.
void setHidden(QWidget* widget, bool hidden = true);

// What pressing the element does when the widget is no button (a list row's click).
void setPress(QWidget* widget, std::function<void()> press);

// What was declared, for tests and for the interface that reports it.
struct Declaration {
    std::optional<QAccessible::Role> role;
    std::optional<QString> value;
    std::optional<bool> selected;
    std::optional<bool> checked;
    bool readsAsOne = false;
    bool hidden = false;
    QPointer<QAbstractButton> control;
    std::function<void()> press;
};
// Null when nothing was declared for the widget.
const Declaration* declaration(const QWidget* widget);

} // namespace AccessibleTraits
