#pragma once
// The hero block of the timers tab: the chosen timer on the hero card with its controls routed to the
// engine, or, when no timer qualifies, the empty hero: a 25-minute placeholder whose play button starts a
// real timer at once. Switching between the two builds a fresh card; anything else updates it in place.

#include "core/Clock.h"
#include "ui/home/RunningHeroView.h"

#include <QPointer>
#include <QWidget>

class TimersTabModel;

class HeroSection : public QWidget {
    Q_OBJECT
public:
    // The model must outlive the section.
    HeroSection(TimersTabModel& model, Clock clock, QWidget* parent = nullptr);

    RunningHeroView* card() const { return m_card; }
    bool showsEmptyHero() const { return m_showsEmpty; }

private:
    void refresh();
    RunningHeroView* makeCard(bool empty);

    TimersTabModel& m_model;
    Clock m_clock;
    QPointer<RunningHeroView> m_card;
    bool m_showsEmpty = false;
};
