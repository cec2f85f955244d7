#pragma once
// The optional parts of the popover's timers tab that the user can hide.

#include <QHashFunctions>
#include <QList>
#include <QString>

#include <optional>

enum class ModuleID { chainEntry, pomodoroStartCard, symbolRow };

QString toRaw(ModuleID module);
std::optional<ModuleID> moduleIDFromRaw(const QString& raw);
QList<ModuleID> allModuleIDs();
// The switch's title, in the interface language.
QString label(ModuleID module);

inline size_t qHash(ModuleID module, size_t seed = 0) noexcept {
    return ::qHash(int(module), seed);
}
