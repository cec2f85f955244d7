#include "ui/presets/PresetsTab.h"

#include "ui/popover/TarvolinTimerMainView.h"
#include "ui/presets/PresetsScreen.h"

#include <QPointer>

void installPresetsTab(TarvolinTimerMainView& root) {
    root.setTabContentFactory(TarvolinTimerTab::presets, [](TarvolinTimerMainView& host) -> QWidget* {
        const QPointer<TarvolinTimerMainView> guarded(&host);
        PresetsScreenModel::Hooks hooks;
        hooks.onEditorSheetDismiss = [guarded] {
            if (guarded) {
                guarded->restoreKeyNavFocus();
            }
        };
        hooks.onPrepare = [guarded](const TimerStartRequest& request) {
            if (guarded) {
                guarded->prepare(request);
            }
        };
        return new PresetsScreen(PresetsScreen::Dependencies{host.timerManager(), host.focusCoordinator(),
                                                             host.theme(), host.preferences(),
                                                             std::move(hooks), &host});
    });
}
