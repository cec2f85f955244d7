#pragma once
// The program always draws light, whatever the desktop uses: one style and one light palette for every
// window, made from the theme's light colours.

#include <QPalette>

class LightAppearance {
public:
    // The palette every window is drawn with.
    static QPalette palette();
    // Sets the style and the palette on the running application.
    static void apply();

    LightAppearance() = delete;
};
