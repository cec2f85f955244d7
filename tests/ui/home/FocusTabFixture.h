#pragma once
// The real timers tab on a root whose completion hook reaches the Pomodoro manager and the chain
// coordinator, for driving the Pomodoro area, the chain builder and the chain banner where they live.

#include "../focus/FocusFixture.h"

#include "ui/focus/ChainBuilderOverlay.h"
#include "ui/focus/ChainBuilderView.h"
#include "ui/focus/ChainRunningBanner.h"
#include "ui/focus/FocusWidgets.h"
#include "ui/focus/PomodoroCard.h"
#include "ui/home/TimersTab.h"
#include "ui/quickentry/QuickEntrySections.h"

class FocusCanvasFixture : public FocusFixture {
public:
    TimersTab* canvas = nullptr;

    // The root, shown, with the timers tab installed as the program installs it.
    void makeCanvasRoot() {
        makeFocusRoot();
        installTimersTab(*root, TimersTabSections::entry(&QuickEntrySections::makeQuickAddBar,
                                                         &QuickEntrySections::makeQuickLaunchPane));
        root->show();
        root->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(root.get()));
        canvas = qobject_cast<TimersTab*>(root->currentTabContent());
        ASSERT_NE(canvas, nullptr);
    }

    ChainBuilderView* builder() const { return canvas->chainBuilderOverlay()->builder(); }
};
