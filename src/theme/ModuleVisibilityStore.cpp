#include "theme/ModuleVisibilityStore.h"

#include "platform/Preferences.h"
#include "theme/ThemeSettingsKeys.h"

#include <QStringList>

namespace {

// A value that is not a list of texts reads as an empty list; texts that name no module are dropped.
QSet<ModuleID> storedModules(const Preferences& defaults) {
    QSet<ModuleID> modules;
    for (const QString& raw : ThemeSettingsKeys::hiddenModules.read(defaults)) {
        if (const auto module = moduleIDFromRaw(raw)) {
            modules.insert(*module);
        }
    }
    return modules;
}

} // namespace

ModuleVisibilityStore::ModuleVisibilityStore(Preferences& defaults, QObject* parent)
    : QObject(parent), m_defaults(defaults), m_hiddenModules(storedModules(defaults)) {
    connect(&m_defaults, &Preferences::changed, this, [this](const QString& key) {
        if (key != ThemeSettingsKeys::hiddenModules.key) {
            return;
        }
        // Our own saves read back as the set already held; only someone else's change is announced.
        const QSet<ModuleID> stored = storedModules(m_defaults);
        if (stored != m_hiddenModules) {
            m_hiddenModules = stored;
            emit hiddenModulesChanged(m_hiddenModules);
            emit changed();
        }
    });
}

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
    ThemeSettingsKeys::hiddenModules.write(m_defaults, raws);
}
