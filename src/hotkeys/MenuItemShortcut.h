#pragma once
// Shows a global shortcut beside a menu item: its description in the item's shortcut column
// ("title\t⌥⌘Space", which menus draw right-aligned). The item gets no key sequence of its own, so the global
// hotkey is the only thing that fires. An item bound to a name follows that name's stored shortcut.

#include "hotkeys/Name.h"

#include <QMetaObject>
#include <QObject>
#include <QPointer>

#include <optional>

class QAction;

namespace GlobalHotkeys {

class MenuItemShortcut : public QObject {
    Q_OBJECT
public:
    // Binds the item to the name's shortcut, now and after every change of it; none unbinds it and clears
    // what it shows. Binding again replaces the earlier binding.
    static void bind(QAction* item, const std::optional<Name>& name);
    // Shows this shortcut (none: nothing) without following any name.
    static void show(QAction* item, const std::optional<Shortcut>& shortcut);

    // The item's own title, without the shortcut column.
    static QString title(const QAction* item);

private:
    explicit MenuItemShortcut(QAction* item);
    static MenuItemShortcut* of(QAction* item);
    void apply(const std::optional<Shortcut>& shortcut);
    void textChanged();

    QAction* m_item;
    QString m_title;
    QString m_suffix;
    bool m_applying = false;
    std::optional<Name> m_name;
    QMetaObject::Connection m_following;
};

} // namespace GlobalHotkeys
