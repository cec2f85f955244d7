#include "ui/kit/AccessibleTraits.h"

#include <QAbstractButton>
#include <QAccessibleWidget>
#include <QApplication>
#include <QHash>
#include <QLabel>

namespace AccessibleTraits {
namespace {

QHash<const QObject*, Declaration>& declarations() {
    static QHash<const QObject*, Declaration> all;
    return all;
}

QAccessible::Role fallbackRole(const QWidget* widget) {
    if (qobject_cast<const QAbstractButton*>(widget)) {
        return QAccessible::Button;
    }
    if (qobject_cast<const QLabel*>(widget)) {
        return QAccessible::StaticText;
    }
    return QAccessible::Client;
}

// Reports what the widget declared, and otherwise what Qt reports for a plain widget or button.
class DeclaredInterface : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    explicit DeclaredInterface(QWidget* widget) : QAccessibleWidget(widget, fallbackRole(widget)) {}

    QAccessible::Role role() const override { return traits().role.value_or(QAccessibleWidget::role()); }

    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        const Declaration& declared = traits();
        if (const auto* button = qobject_cast<const QAbstractButton*>(widget())) {
            s.pressed = button->isDown();
            // A declared selection is what a checkable option's checked state stood for.
            if (button->isCheckable() && !declared.selected) {
                s.checkable = true;
                s.checked = button->isChecked();
            }
        }
        if (declared.selected) {
            s.selectable = true;
            s.selected = *declared.selected;
        }
        if (declared.checked) {
            s.checkable = true;
            s.checked = *declared.checked;
        }
        if (declared.control) {
            const QWidget* focus = QApplication::focusWidget();
            s.focusable = declared.control->isEnabled() && declared.control->focusPolicy() != Qt::NoFocus;
            s.focused = focus && (focus == widget() || widget()->isAncestorOf(focus));
        }
        if (declared.hidden) {
            s.invisible = true;
            s.offscreen = true;
            s.focusable = false;
            s.focused = false;
        }
        return s;
    }

    QString text(QAccessible::Text t) const override {
        switch (t) {
        case QAccessible::Value:
            return traits().value.value_or(QString());
        case QAccessible::Name: {
            QString name = QAccessibleWidget::text(t);
            if (!name.isEmpty()) {
                return name;
            }
            if (const auto* button = qobject_cast<const QAbstractButton*>(widget())) {
                return button->text();
            }
            if (const auto* label = qobject_cast<const QLabel*>(widget())) {
                return label->text();
            }
            return name;
        }
        case QAccessible::Description: {
            // A tooltip that repeats the name is no description (the tabs' titles).
            const QString description = QAccessibleWidget::text(t);
            return description == text(QAccessible::Name) ? QString() : description;
        }
        default:
            return QAccessibleWidget::text(t);
        }
    }

    int childCount() const override { return readsNoChildren() ? 0 : QAccessibleWidget::childCount(); }
    QAccessibleInterface* child(int index) const override {
        return readsNoChildren() ? nullptr : QAccessibleWidget::child(index);
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        return readsNoChildren() ? -1 : QAccessibleWidget::indexOfChild(child);
    }
    QAccessibleInterface* childAt(int x, int y) const override {
        return readsNoChildren() ? nullptr : QAccessibleWidget::childAt(x, y);
    }

    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::TextInterface && traits().value) {
            return static_cast<QAccessibleTextInterface*>(this);
        }
        return QAccessibleWidget::interface_cast(type);
    }

    QStringList actionNames() const override {
        QStringList names = QAccessibleWidget::actionNames();
        if (canPress()) {
            names.prepend(pressAction());
        }
        if (canFocusControl() && !names.contains(setFocusAction())) {
            names << setFocusAction();
        }
        return names;
    }
    void doAction(const QString& name) override {
        if (name == pressAction() && canPress()) {
            press();
            return;
        }
        // A reader that moves the keyboard to the group moves it to the control that takes it.
        if (name == setFocusAction() && canFocusControl()) {
            traits().control->setFocus(Qt::OtherFocusReason);
            return;
        }
        QAccessibleWidget::doAction(name);
    }

    // The value as read-only text.
    void selection(int, int* start, int* end) const override { *start = *end = 0; }
    int selectionCount() const override { return 0; }
    void addSelection(int, int) override {}
    void removeSelection(int) override {}
    void setSelection(int, int, int) override {}
    int cursorPosition() const override { return 0; }
    void setCursorPosition(int) override {}
    QString text(int start, int end) const override {
        const QString value = traits().value.value_or(QString());
        if (end < 0 || end > value.size()) {
            end = int(value.size());
        }
        return start < 0 || start >= end ? QString() : value.mid(start, end - start);
    }
    int characterCount() const override { return int(traits().value.value_or(QString()).size()); }
    QRect characterRect(int) const override { return {}; }
    int offsetAtPoint(const QPoint&) const override { return -1; }
    void scrollToSubstring(int, int) override {}
    QString attributes(int, int* start, int* end) const override {
        *start = *end = 0;
        return {};
    }

private:
    const Declaration& traits() const {
        static const Declaration none;
        const Declaration* found = declaration(widget());
        return found ? *found : none;
    }
    bool readsNoChildren() const { return traits().readsAsOne || traits().hidden; }
    bool canPress() const {
        const Declaration& declared = traits();
        if (declared.hidden || !widget()->isEnabled()) {
            return false;
        }
        return declared.press || (declared.control && declared.control->isEnabled()) ||
               qobject_cast<const QAbstractButton*>(widget());
    }
    bool canFocusControl() const {
        const QAbstractButton* control = traits().control;
        return control && control->isEnabled() && control->focusPolicy() != Qt::NoFocus;
    }
    void press() {
        const Declaration& declared = traits();
        if (declared.press) {
            declared.press();
        } else if (declared.control) {
            declared.control->click();
        } else if (auto* button = qobject_cast<QAbstractButton*>(widget())) {
            button->click();
        }
    }
};

QAccessibleInterface* factory(const QString&, QObject* object) {
    if (object && object->isWidgetType() && declarations().contains(object)) {
        return new DeclaredInterface(static_cast<QWidget*>(object));
    }
    return nullptr;
}

// The group that reads for a widget inside it, if any.
QWidget* standInFor(const QObject* object) {
    QWidget* standIn = nullptr;
    for (QObject* up = object ? object->parent() : nullptr; up; up = up->parent()) {
        if (const auto it = declarations().constFind(up); it != declarations().constEnd() && it->readsAsOne) {
            standIn = static_cast<QWidget*>(up);
        }
    }
    return standIn;
}

void forward(QAccessibleEvent* event);
QAccessible::UpdateHandler previousHandler = nullptr;

void passOn(QAccessibleEvent* event) {
    if (previousHandler) {
        previousHandler(event);
        return;
    }
    // Without a handler before ours the bridge is reached through Qt's default path, with ours off.
    QAccessible::installUpdateHandler(nullptr);
    QAccessible::updateAccessibility(event);
    QAccessible::installUpdateHandler(&forward);
}

// Focus that lands inside a group read as one is announced on the group, the element a reader knows; what
// else changes inside it the group's own declarations tell. A checkable option that declared its selection
// announces that, not its checked state.
void forward(QAccessibleEvent* event) {
    const bool stateChange = event->type() == QAccessible::StateChanged;
    const QAccessible::State changed = stateChange
                                           ? static_cast<QAccessibleStateChangeEvent*>(event)->changedStates()
                                           : QAccessible::State();
    QWidget* standIn = standInFor(event->object());
    if (!standIn) {
        const auto* widget = qobject_cast<const QWidget*>(event->object());
        const Declaration* declared = widget ? declaration(widget) : nullptr;
        if (stateChange && changed.checked && declared && declared->selected) {
            return;
        }
        passOn(event);
        return;
    }
    switch (event->type()) {
    case QAccessible::Focus: {
        QAccessibleEvent focus(standIn, QAccessible::Focus);
        passOn(&focus);
        return;
    }
    case QAccessible::StateChanged:
        if (changed.focused) {
            QAccessible::State focused;
            focused.focused = true;
            QAccessibleStateChangeEvent focusChange(standIn, focused);
            passOn(&focusChange);
        }
        return;
    case QAccessible::NameChanged:
    case QAccessible::DescriptionChanged:
    case QAccessible::ValueChanged:
    case QAccessible::SelectionAdd:
    case QAccessible::SelectionRemove:
    case QAccessible::Selection:
    case QAccessible::TextUpdated:
    case QAccessible::TextInserted:
    case QAccessible::TextRemoved:
        return;
    default:
        passOn(event);
    }
}

// The declaration of a widget, made on first use; the widget then reports through our interface.
Declaration& declare(QWidget* widget) {
    static const bool installed = [] {
        QAccessible::installFactory(&factory);
        previousHandler = QAccessible::installUpdateHandler(&forward);
        return true;
    }();
    Q_UNUSED(installed);
    auto it = declarations().find(widget);
    if (it != declarations().end()) {
        return *it;
    }
    it = declarations().insert(widget, Declaration{});
    QObject::connect(widget, &QObject::destroyed, [](QObject* gone) { declarations().remove(gone); });
    // Qt may have made its own interface already (a button makes one as it is built, a screen reader or not):
    // drop it, so the next query makes ours.
    QAccessibleInterface* existing = QAccessible::queryAccessibleInterface(widget);
    if (existing && !dynamic_cast<DeclaredInterface*>(existing)) {
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(existing));
    }
    return *it;
}

// A change is told only about a widget on screen: one still being built, or hidden, is read as it is when
// a reader comes to it.
void announce(QWidget* widget, QAccessibleEvent& event) {
    if (widget->isVisible()) {
        QAccessible::updateAccessibility(&event);
    }
}

} // namespace

void setRole(QWidget* widget, QAccessible::Role role) {
    declare(widget).role = role;
}

void setValue(QWidget* widget, const QString& value) {
    Declaration& d = declare(widget);
    if (d.value == value) {
        return;
    }
    const QString before = d.value.value_or(QString());
    d.value = value;
    // The bridge passes a change of text on; a value change without a value interface it drops.
    QAccessibleTextUpdateEvent event(widget, 0, before, value);
    announce(widget, event);
}

void setSelected(QWidget* widget, bool selected) {
    Declaration& d = declare(widget);
    if (d.selected == selected) {
        return;
    }
    d.selected = selected;
    // The bridge announces a selection through these events; a state change of "selected" it drops.
    QAccessibleEvent event(widget, selected ? QAccessible::SelectionAdd : QAccessible::SelectionRemove);
    announce(widget, event);
}

void setChecked(QWidget* widget, bool on) {
    Declaration& d = declare(widget);
    if (d.checked == on) {
        return;
    }
    d.checked = on;
    QAccessible::State changed;
    changed.checked = true;
    QAccessibleStateChangeEvent event(widget, changed);
    announce(widget, event);
}

void readAsOne(QWidget* group, QAbstractButton* control) {
    Declaration& d = declare(group);
    d.readsAsOne = true;
    d.control = control;
}

void setHidden(QWidget* widget, bool hidden) {
    Declaration& d = declare(widget);
    if (d.hidden == hidden) {
        return;
    }
    d.hidden = hidden;
    QAccessibleEvent event(widget, hidden ? QAccessible::ObjectHide : QAccessible::ObjectShow);
    announce(widget, event);
}

void setPress(QWidget* widget, std::function<void()> press) {
    declare(widget).press = std::move(press);
}

const Declaration* declaration(const QWidget* widget) {
    const auto it = declarations().constFind(widget);
    return it == declarations().constEnd() ? nullptr : &*it;
}

} // namespace AccessibleTraits
