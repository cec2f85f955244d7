#include "ui/quickentry/QuickEntrySections.h"

#include "theme/ModuleVisibilityStore.h"
#include "ui/kit/TimerPreparationView.h"
#include "ui/popover/TarvolinTimerMainView.h"
#include "ui/quickentry/QuickAddBar.h"
#include "ui/quickentry/QuickLaunchPane.h"

bool QuickEntrySections::returnsFocusToRoot(const TarvolinTimerMainView& root, const QWidget* newFocus) {
    if (QuickAddBar::isTextField(newFocus)) {
        return false;
    }
    // Opening the confirmation card takes the keyboard on purpose.
    return root.preparationCard() == nullptr;
}

QuickAddBar* QuickEntrySections::makeQuickAddBar(TarvolinTimerMainView& root, QWidget* parent) {
    return makeQuickAddBarWithClock(root, parent, systemClock());
}

QuickAddBar* QuickEntrySections::makeQuickAddBarWithClock(TarvolinTimerMainView& root, QWidget* parent,
                                                          Clock clock) {
    auto* model = new QuickAddBarModel(
        root.timerManager(), [&root](const TimerStartRequest& request) { root.prepare(request); },
        std::move(clock));
    ModuleVisibilityStore& modules = root.moduleVisibility();
    auto* bar = new QuickAddBar(
        model, modules.isVisible(ModuleID::symbolRow),
        [&root](QWidget* newFocus) {
            if (returnsFocusToRoot(root, newFocus)) {
                root.restoreKeyNavFocus();
            }
        },
        parent);
    QObject::connect(&modules, &ModuleVisibilityStore::hiddenModulesChanged, bar,
                     [bar, &modules] { bar->setShowSymbolRow(modules.isVisible(ModuleID::symbolRow)); });
    return bar;
}

QuickLaunchPane* QuickEntrySections::makeQuickLaunchPane(TarvolinTimerMainView& root, QWidget* parent) {
    auto* model =
        new QuickLaunchPaneModel(root.timerManager(), root.preferences(),
                                 [&root](const TimerStartRequest& request) { root.prepare(request); });
    return new QuickLaunchPane(
        model, [&root] { root.restoreKeyNavFocus(); }, parent);
}
