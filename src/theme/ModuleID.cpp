#include "theme/ModuleID.h"

#include <QCoreApplication>

QString toRaw(ModuleID module) {
    switch (module) {
    case ModuleID::chainEntry:
        return QStringLiteral("chainEntry");
    case ModuleID::pomodoroStartCard:
        return QStringLiteral("pomodoroStartCard");
    case ModuleID::symbolRow:
        return QStringLiteral("symbolRow");
    }
    return {};
}

std::optional<ModuleID> moduleIDFromRaw(const QString& raw) {
    for (ModuleID module : allModuleIDs()) {
        if (toRaw(module) == raw) {
            return module;
        }
    }
    return std::nullopt;
}

QList<ModuleID> allModuleIDs() {
    return {ModuleID::chainEntry, ModuleID::pomodoroStartCard, ModuleID::symbolRow};
}

QString label(ModuleID module) {
    switch (module) {
    case ModuleID::chainEntry:
        return QCoreApplication::translate("ModuleID", "Chained Timers Entry");
    case ModuleID::pomodoroStartCard:
        return QCoreApplication::translate("ModuleID", "Pomodoro Start Card");
    case ModuleID::symbolRow:
        return QCoreApplication::translate("ModuleID", "Symbol Key Row");
    }
    return {};
}
