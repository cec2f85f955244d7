#pragma once
// The easing curves the screens share, so one kind of motion feels the same everywhere.

#include <QEasingCurve>

namespace MotionCurves {

// Fast at first, settling gently: presses, hovers, fades.
QEasingCurve easeOut();
// Slow at first, then faster: the way back of a bump.
QEasingCurve easeIn();

} // namespace MotionCurves
