#include "theme/ModuleVisibilityStore.h"

#include "platform/Preferences.h"

#include <QStringList>
#include <QVariant>

namespace {

// A list counts only when every entry is text; anything else reads as an empty list.
QStringList storedStrings(const Preferences& defaults, const QString& key) {
    if (const auto strings = defaults.stringListValue(key)) {
        return *strings;
    }
    QStringList out;
    if (const auto list = defaults.listValue(key)) {
        for (const QVariant& v : *list) {
            if (v.typeId() != QMetaType::QString) {
                return {};
            }
            out << v.toString();
        }
    }
    return out;
}

} // namespace

ModuleVisibilityStore::ModuleVisibilityStore(Preferences& defaults, QObject* parent)
    : QObject(parent), m_defaults(defaults) {
    for (const QString& raw : storedStrings(defaults, hiddenModulesKey)) {
        if (const auto module = moduleIDFromRaw(raw)) {
            m_hiddenModules.insert(*module);
        }
    }
}

ModuleVisibilityStore::ModuleVisibilityStore(QObject* parent)
    : ModuleVisibilityStore(Preferences::standard(), parent) {}

void ModuleVisibilityStore::setVisible(bool visible, ModuleID module) {
    if (visible) {
        m_hiddenModules.remove(module);
    } else {
        m_hiddenModules.insert(module);
    }
    persist();
    emit hiddenModulesChanged(m_hiddenModules);
    emit changed();
}

void ModuleVisibilityStore::toggle(ModuleID module) {
    setVisible(!isVisible(module), module);
}

void ModuleVisibilityStore::persist() {
    // Written in declaration order so that the same set always gives the same file.
    QStringList raws;
    for (ModuleID module : allModuleIDs()) {
        if (m_hiddenModules.contains(module)) {
            raws << toRaw(module);
        }
    }
    m_defaults.setStringList(hiddenModulesKey, raws);
}
