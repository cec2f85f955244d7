#pragma once
// Puts the settings screen into the popover's settings tab, built afresh each time the tab is shown.

#include "services/LoginItemControlling.h"

#include <functional>
#include <memory>

class SoundServiceProtocol;
class TarvolinTimerMainView;
class UserSoundStore;

// What the tab needs beyond the popover root's own dependencies, asked for only when the tab is first
// shown (the program's library and sound service are made on first use); each must outlive the root.
struct SettingsTabServices {
    std::function<UserSoundStore&()> userSounds;
    std::function<SoundServiceProtocol&()> sound;
    std::function<std::unique_ptr<LoginItemControlling>()> makeLoginControl;
};

void installSettingsTab(TarvolinTimerMainView& root, SettingsTabServices services);
