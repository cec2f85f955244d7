#include "hotkeys/MenuItemShortcut.h"

#include "hotkeys/GlobalHotkeys.h"

#include <QAction>

namespace GlobalHotkeys {

namespace {

const char* const kObjectName = "globalHotkeyShortcut";

QString titleOf(const QString& text) {
    return text.section(QLatin1Char('\t'), 0, 0);
}

} // namespace

MenuItemShortcut::MenuItemShortcut(QAction* item)
    : QObject(item), m_item(item), m_title(titleOf(item->text())) {
    setObjectName(QLatin1String(kObjectName));
    // Someone else renaming the item keeps the shortcut column.
    connect(item, &QAction::changed, this, &MenuItemShortcut::textChanged);
}

MenuItemShortcut* MenuItemShortcut::of(QAction* item) {
    auto* existing =
        item->findChild<MenuItemShortcut*>(QLatin1String(kObjectName), Qt::FindDirectChildrenOnly);
    return existing != nullptr ? existing : new MenuItemShortcut(item);
}

void MenuItemShortcut::bind(QAction* item, const std::optional<Name>& name) {
    MenuItemShortcut* adapter = of(item);
    QObject::disconnect(adapter->m_following);
    adapter->m_name = name;
    if (!name) {
        adapter->apply(std::nullopt);
        return;
    }
    adapter->apply(getShortcut(*name));
    adapter->m_following = connect(
        &notifier(), &HotkeyNotifier::shortcutByNameDidChange, adapter, [adapter](const Name& changed) {
            if (adapter->m_name && changed.rawValue() == adapter->m_name->rawValue()) {
                adapter->apply(getShortcut(*adapter->m_name));
            }
        });
}

void MenuItemShortcut::show(QAction* item, const std::optional<Shortcut>& shortcut) {
    of(item)->apply(shortcut);
}

QString MenuItemShortcut::title(const QAction* item) {
    return titleOf(item->text());
}

void MenuItemShortcut::apply(const std::optional<Shortcut>& shortcut) {
    m_suffix = shortcut ? QLatin1Char('\t') + shortcut->description() : QString();
    m_applying = true;
    m_item->setText(m_title + m_suffix);
    m_applying = false;
}

void MenuItemShortcut::textChanged() {
    if (m_applying || m_item->text() == m_title + m_suffix) {
        return;
    }
    m_title = titleOf(m_item->text());
    m_applying = true;
    m_item->setText(m_title + m_suffix);
    m_applying = false;
}

} // namespace GlobalHotkeys
