#pragma once
// What the timers tab builds from this family, each from the popover root alone, so that placing a piece
// is one call. Where each goes and when it shows is the timers tab's.

class ChainBuilderOverlay;
class ChainRunningBanner;
class PomodoroCard;
class QWidget;
class TarvolinTimerMainView;

namespace FocusWidgets {

// The running chain's banner; it shows the root's chain coordinator and cancels through it.
ChainRunningBanner* makeChainRunningBanner(TarvolinTimerMainView& root, QWidget* parent);
// The Pomodoro area over the root's Pomodoro manager; its starts go to the root's preparation overlay.
PomodoroCard* makePomodoroCard(TarvolinTimerMainView& root, QWidget* parent);
// The layer that shows the chain builder over `canvas` while the root's showChainBuilder is true. Install
// once per canvas, after its other children, so it lies on top.
ChainBuilderOverlay* installChainBuilderOverlay(TarvolinTimerMainView& root, QWidget* canvas);
// The tool row's "Task Chain" entry: opens a fresh builder on the installed overlay.
void openChainBuilder(TarvolinTimerMainView& root);

} // namespace FocusWidgets
