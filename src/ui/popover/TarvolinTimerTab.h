#pragma once
// The popover's three tabs, in their fixed order, with the symbol, title and identifier each shows.

#include <QList>
#include <QString>

#include <optional>

enum class TarvolinTimerTab : quint8 { timers, presets, settings };

QString toRaw(TarvolinTimerTab tab);
// Exactly the three raw values; any other text names no tab.
std::optional<TarvolinTimerTab> tarvolinTimerTabFromRaw(const QString& raw);
// timers, presets, settings: the order of the bar and of Tab and Shift+Tab.
QList<TarvolinTimerTab> allTarvolinTimerTabs();
// The name of the tab's icon in our symbol set.
QString symbolName(TarvolinTimerTab tab);
// Shown as written in every interface language; also the tab's tooltip and spoken name.
QString title(TarvolinTimerTab tab);
// "quorvane.bottomBar." and the raw value.
QString accessibilityIdentifier(TarvolinTimerTab tab);
