#pragma once
// What the panel item asks of the rest of the program: each is optional, and a missing one does nothing.

#include <QPoint>

#include <functional>

struct PanelCallbacks {
    // A click on the item, at this point of the screen: opens or closes the popover.
    std::function<void(QPoint screenPoint)> activate;
    // A quick item of the right-click menu: opens the quick-add panel with a request of this many minutes;
    // starts nothing.
    std::function<void(int minutes)> prepareMinutes;
    // Shows the floating window, or hides it when it is visible.
    std::function<void()> toggleFloating;
    // Ends the program through its normal quit path.
    std::function<void()> quit;
};
