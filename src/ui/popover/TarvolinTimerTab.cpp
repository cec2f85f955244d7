#include "ui/popover/TarvolinTimerTab.h"

QString toRaw(TarvolinTimerTab tab) {
    switch (tab) {
    case TarvolinTimerTab::timers:
        return QStringLiteral("timers");
    case TarvolinTimerTab::presets:
        return QStringLiteral("presets");
    case TarvolinTimerTab::settings:
        return QStringLiteral("settings");
    }
    return {};
}

std::optional<TarvolinTimerTab> tarvolinTimerTabFromRaw(const QString& raw) {
    for (TarvolinTimerTab tab : allTarvolinTimerTabs()) {
        if (toRaw(tab) == raw) {
            return tab;
        }
    }
    return std::nullopt;
}

QList<TarvolinTimerTab> allTarvolinTimerTabs() {
    return {TarvolinTimerTab::timers, TarvolinTimerTab::presets, TarvolinTimerTab::settings};
}

QString symbolName(TarvolinTimerTab tab) {
    switch (tab) {
    case TarvolinTimerTab::timers:
        return QStringLiteral("timer");
    case TarvolinTimerTab::presets:
        return QStringLiteral("list.bullet");
    case TarvolinTimerTab::settings:
        return QStringLiteral("gearshape");
    }
    return {};
}

QString title(TarvolinTimerTab tab) {
    switch (tab) {
    case TarvolinTimerTab::timers:
        return QStringLiteral("Timer");
    case TarvolinTimerTab::presets:
        return QStringLiteral("Presets");
    case TarvolinTimerTab::settings:
        return QStringLiteral("Settings");
    }
    return {};
}

QString accessibilityIdentifier(TarvolinTimerTab tab) {
    return QStringLiteral("quorvane.bottomBar.") + toRaw(tab);
}
