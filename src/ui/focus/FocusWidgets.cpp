#include "ui/focus/FocusWidgets.h"

#include "ui/focus/ChainBuilderOverlay.h"
#include "ui/focus/ChainRunningBanner.h"
#include "ui/focus/PomodoroCard.h"
#include "ui/focus/PomodoroCardModel.h"
#include "ui/popover/MainViewModel.h"
#include "ui/popover/TarvolinTimerMainView.h"

namespace FocusWidgets {

ChainRunningBanner* makeChainRunningBanner(TarvolinTimerMainView& root, QWidget* parent) {
    return new ChainRunningBanner(root.chainCoordinator(), parent);
}

PomodoroCard* makePomodoroCard(TarvolinTimerMainView& root, QWidget* parent) {
    return new PomodoroCard(new PomodoroCardModel(root.pomodoroManager(), root.model()), parent);
}

ChainBuilderOverlay* installChainBuilderOverlay(TarvolinTimerMainView& root, QWidget* canvas) {
    return new ChainBuilderOverlay(root, canvas);
}

void openChainBuilder(TarvolinTimerMainView& root) {
    root.model().setShowChainBuilder(true);
}

} // namespace FocusWidgets
