#pragma once
// The popover's home screen: on a fixed 440 × 650 canvas, the hero card, the quick-add bar and the preset
// chips below it, the Pomodoro area under them, the "More" button at the top right, the running chain's
// banner above them all, and the task-chain builder, when open, over all of it. The entry sections come
// from their own screen family through the sections given at installation; the Pomodoro area, the banner
// and the builder are ui/focus's pieces, placed and shown here.

#include "core/Clock.h"

#include <QPoint>
#include <QWidget>

#include <functional>

class ChainBuilderOverlay;
class ChainRunningBanner;
class HeroSection;
class InProcessNotifications;
class PomodoroCard;
class TarvolinTimerMainView;
class TimersTabModel;
class ToolRow;

// What the timers tab places but does not build itself.
struct TimersTabSections {
    using Section = std::function<QWidget*(TarvolinTimerMainView& root, QWidget* parent)>;
    // The two entry sections, everything else left out.
    static TimersTabSections entry(Section quickAddBar, Section quickLaunchPane) {
        TimersTabSections sections;
        sections.quickAddBar = std::move(quickAddBar);
        sections.quickLaunchPane = std::move(quickLaunchPane);
        return sections;
    }
    // The quick-add bar and the preset chips; either may be missing.
    Section quickAddBar;
    Section quickLaunchPane;
    // Where "Floating Window" posts its notice; the program's default centre when none is given.
    InProcessNotifications* notifications = nullptr;
    // "Now", for the hero's end time.
    Clock clock = systemClock();
};

class TimersTab : public QWidget {
    Q_OBJECT
public:
    static constexpr int canvasWidth = 440;
    static constexpr int canvasHeight = 650;

    // Where each section's top-left corner sits; an active Pomodoro session moves the upper ones up to make
    // room for its card. The Pomodoro area's origin is that of the face it shows: the start card during a
    // session, the simple entry lower down without one.
    static QPoint heroOrigin(bool pomodoroActive) { return {106, pomodoroActive ? 24 : 44}; }
    static QPoint quickAddBarOrigin(bool pomodoroActive) { return {18, pomodoroActive ? 310 : 366}; }
    static QPoint quickLaunchPaneOrigin(bool pomodoroActive) { return {18, pomodoroActive ? 428 : 484}; }
    static QPoint toolRowOrigin() { return {390, 14}; }
    static QPoint pomodoroAreaOrigin(bool pomodoroActive) { return {18, pomodoroActive ? 498 : 578}; }
    static QPoint chainBannerOrigin() { return {18, 4}; }

    TimersTab(TarvolinTimerMainView& root, const TimersTabSections& sections, QWidget* parent = nullptr);

    TimersTabModel& model() const { return *m_model; }
    HeroSection* heroSection() const { return m_hero; }
    QWidget* quickAddBar() const { return m_quickAddBar; }
    QWidget* quickLaunchPane() const { return m_quickLaunchPane; }
    // Shown while the model's shouldShowPomodoroSequence() holds.
    PomodoroCard* pomodoroArea() const { return m_pomodoroArea; }
    // Shown while a chain runs.
    ChainRunningBanner* chainBanner() const { return m_chainBanner; }
    ToolRow* toolRow() const { return m_toolRow; }
    // Covers the canvas and holds the builder while the root's showChainBuilder is true.
    ChainBuilderOverlay* chainBuilderOverlay() const { return m_chainBuilder; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void placeSections();
    void followPomodoroArea();
    void followChainBanner();

    TarvolinTimerMainView& m_root;
    TimersTabSections m_sections;
    TimersTabModel* m_model;
    HeroSection* m_hero;
    QWidget* m_quickAddBar = nullptr;
    QWidget* m_quickLaunchPane = nullptr;
    PomodoroCard* m_pomodoroArea;
    ToolRow* m_toolRow;
    ChainRunningBanner* m_chainBanner;
    ChainBuilderOverlay* m_chainBuilder;
};

// Makes the timers tab the root's content for its tab, built afresh each time the tab is chosen.
void installTimersTab(TarvolinTimerMainView& root, TimersTabSections sections = {});
