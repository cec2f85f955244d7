#pragma once
// Builds the quick-add bar and the preset chips for the popover's timers tab, wired to the popover root:
// both hand their requests to its start path, and the keyboard goes back to the root when they let it go.

#include "core/Clock.h"
// Whole types, so a caller may take the builders as functions that make QWidgets.
#include "ui/quickentry/QuickAddBar.h"
#include "ui/quickentry/QuickLaunchPane.h"

class QWidget;
class TarvolinTimerMainView;

class QuickEntrySections {
public:
    // The symbol row follows the "symbolRow" module's visibility. Clock times are read against the wall
    // clock, or against the given one.
    static QuickAddBar* makeQuickAddBar(TarvolinTimerMainView& root, QWidget* parent);
    static QuickAddBar* makeQuickAddBarWithClock(TarvolinTimerMainView& root, QWidget* parent, Clock clock);
    static QuickLaunchPane* makeQuickLaunchPane(TarvolinTimerMainView& root, QWidget* parent);

    // Whether the root takes the keyboard back when one of the bar's fields lets it go to `newFocus`: not
    // when it goes to another field (the preset name keeps what the user clicked into) nor while the
    // confirmation card holds it; otherwise yes.
    static bool returnsFocusToRoot(const TarvolinTimerMainView& root, const QWidget* newFocus);

    QuickEntrySections() = delete;
};
