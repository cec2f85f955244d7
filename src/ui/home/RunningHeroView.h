#pragma once
// The large card at the top of the timers tab: the minute dial with the remaining time, the state caption
// and the end time, over Stop, the round start/pause button and Skip. It changes nothing itself: each
// control asks through a signal. A new timer or tick redraws it in place, so hover and keyboard focus stay.

#include "core/Clock.h"
#include "ui/home/RunningHeroContent.h"

#include <QRect>
#include <QWidget>

#include <optional>

class HeroDialBlock;
class HeroPrimaryButton;
class HeroSecondaryButton;
class MinuteDialView;
class QAbstractButton;

class RunningHeroView : public QWidget {
    Q_OBJECT
public:
    enum class Control { stop, primary, skip };

    static constexpr int cardWidth = 228;
    static constexpr int cardHeight = 278;
    static constexpr int dialSize = 228;
    // The controls row, inside the card.
    static constexpr int controlsTop = 232;
    static constexpr int controlsLeft = 20;
    static constexpr int controlsWidth = 188;
    static constexpr int controlsHeight = 46;
    static constexpr int secondaryWidth = 52;
    static constexpr int secondaryHeight = 32;
    static constexpr int primaryDiameter = 46;
    static constexpr int controlSpacing = 19;
    static constexpr double primaryHoverScale = 1.04;

    // Room kept on every side of the card, so the dial's bump and the round button's shadows are drawn
    // whole; the card's own square starts there.
    static int margin();

    // "Now" comes from the clock at every redraw, for the end time.
    explicit RunningHeroView(Clock clock = systemClock(), QWidget* parent = nullptr);

    // Shows this timer now; called again for every change of it.
    void setTimer(const TimerItem& timer, bool isLive, bool showsSkip);
    const RunningHeroContent& content() const { return m_content; }

    // The card's 228 × 278 rectangle inside the widget.
    QRect cardRect() const;
    MinuteDialView* dial() const { return m_dial; }
    QAbstractButton* control(Control control) const;
    std::optional<Control> hoveredControl() const;
    std::optional<Control> focusedControl() const;
    // The end line's text; empty while the timer does not run.
    QString endsAtText() const;

signals:
    void toggleRequested();
    void cancelRequested();
    void skipRequested();

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    // `sameTimer`: the card still shows the timer it showed, so its end line may keep its end.
    void refresh(bool sameTimer = true);

    Clock m_clock;
    TimerItem m_timer;
    bool m_isLive = false;
    bool m_showsSkip = false;
    RunningHeroContent m_content;
    MinuteDialView* m_dial;
    HeroDialBlock* m_block;
    HeroSecondaryButton* m_stop;
    HeroPrimaryButton* m_primary;
    HeroSecondaryButton* m_skip;
};
