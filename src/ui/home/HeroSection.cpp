#include "ui/home/HeroSection.h"

#include "ui/home/RunningHeroView.h"
#include "ui/home/TimersTabModel.h"

#include <QAbstractButton>

HeroSection::HeroSection(TimersTabModel& model, Clock clock, QWidget* parent)
    : QWidget(parent), m_model(model), m_clock(std::move(clock)) {
    setAttribute(Qt::WA_TranslucentBackground);
    setFixedSize(RunningHeroView::cardWidth + 2 * RunningHeroView::margin(),
                 RunningHeroView::cardHeight + 2 * RunningHeroView::margin());
    connect(&m_model, &TimersTabModel::heroChanged, this, &HeroSection::refresh);
    connect(&m_model, &TimersTabModel::heroUpdated, this, &HeroSection::refresh);
    refresh();
}

RunningHeroView* HeroSection::makeCard(bool empty) {
    auto* card = new RunningHeroView(m_clock, this);
    if (empty) {
        card->setObjectName(QStringLiteral("quorvane.emptyHero"));
        connect(card, &RunningHeroView::toggleRequested, &m_model, &TimersTabModel::startEmptyHero);
        // Stop and Skip are never shown on the empty hero.
    } else {
        connect(card, &RunningHeroView::toggleRequested, &m_model, &TimersTabModel::toggleHero);
        connect(card, &RunningHeroView::cancelRequested, &m_model, &TimersTabModel::stopHero);
        connect(card, &RunningHeroView::skipRequested, &m_model, &TimersTabModel::skipHero);
    }
    return card;
}

void HeroSection::refresh() {
    const auto hero = m_model.heroTimer();
    const bool empty = !hero;
    if (!m_card || empty != m_showsEmpty) {
        // The real and the empty hero are different cards: hover and focus start afresh.
        const bool hadFocus = m_card && m_card->isAncestorOf(window()->focusWidget());
        if (m_card) {
            m_card->hide();
            m_card->deleteLater();
        }
        m_showsEmpty = empty;
        m_card = makeCard(empty);
        if (isVisible()) {
            m_card->show();
        }
        if (hadFocus) {
            // The control that had the keyboard is gone; the same control of the new card takes it.
            m_card->control(RunningHeroView::Control::primary)->setFocus(Qt::OtherFocusReason);
        }
    }
    if (hero) {
        m_card->setTimer(*hero, TimersTabModel::isLive(*hero), true);
    } else {
        // A placeholder that is never added to the list, made afresh for each showing.
        const QDateTime now = m_clock();
        m_card->setTimer(TimerItem::make(QUuid::createUuid(), QString(), TimersTabModel::emptyHeroDuration,
                                         TimerState::idle, false, std::nullopt, std::nullopt, now),
                         false, false);
    }
}
