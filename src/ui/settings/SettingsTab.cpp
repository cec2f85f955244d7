#include "ui/settings/SettingsTab.h"

#include "ui/popover/TarvolinTimerMainView.h"
#include "ui/settings/SettingsScreen.h"

void installSettingsTab(TarvolinTimerMainView& root, SettingsTabServices services) {
    root.setTabContentFactory(
        TarvolinTimerTab::settings, [services](TarvolinTimerMainView& view) -> QWidget* {
            return new SettingsScreen({view.preferences(), view.theme(), view.moduleVisibility(),
                                       services.userSounds(), services.sound(), services.makeLoginControl,
                                       view.onCheckForUpdates(), view.onShowOnboarding()},
                                      &view);
        });
}
