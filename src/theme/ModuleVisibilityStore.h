#pragma once
// Keeps which optional home-screen modules are hidden, saves every change at once and follows changes that
// others store.

#include "theme/ModuleID.h"

#include <QObject>
#include <QSet>
#include <QString>

class Preferences;

class ModuleVisibilityStore : public QObject {
    Q_OBJECT
public:
    // Reads the stored list; texts that name no module are ignored here but stay stored until the next save.
    explicit ModuleVisibilityStore(Preferences& defaults, QObject* parent = nullptr);

    QSet<ModuleID> hiddenModules() const { return m_hiddenModules; }
    bool isVisible(ModuleID module) const { return !m_hiddenModules.contains(module); }
    // Saves even when nothing changed, so the stored list is always rewritten in full.
    void setVisible(bool visible, ModuleID module);
    void toggle(ModuleID module);

signals:
    // After every setVisible or toggle, and after a write by anyone else that changes the set.
    void hiddenModulesChanged(const QSet<ModuleID>& hiddenModules);
    void changed();

private:
    void persist();

    Preferences& m_defaults;
    QSet<ModuleID> m_hiddenModules;
};
