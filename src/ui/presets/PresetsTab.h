#pragma once
// Puts the presets tab into the popover root: a new screen each time the tab is shown, on the root's
// engine, theme, preferences and focus coordinator, handing chosen presets to the root's confirmation card.

class TarvolinTimerMainView;

void installPresetsTab(TarvolinTimerMainView& root);
