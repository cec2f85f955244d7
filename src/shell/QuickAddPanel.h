#pragma once
// The global quick-add panel's window: frameless, above other windows, always light, dragged by its
// background, sized by the quick-add view it hosts. It says when it stops being the active window, but only
// after it has been active once: some window managers report an early deactivation while mapping it.

#include "core/Clock.h"
#include "core/TimerStartRequest.h"

#include <QWidget>

#include <functional>
#include <optional>

class Preferences;
class QuickAddView;
class TimerManager;

class QuickAddPanel : public QWidget {
    Q_OBJECT
public:
    // With a request the panel opens on its confirmation step; `onClose` is what the view calls to close.
    QuickAddPanel(TimerManager& timerManager, const Preferences& preferences,
                  const std::optional<TimerStartRequest>& request, std::function<void()> onClose,
                  Clock clock = systemClock());

    QuickAddView& view() const { return *m_view; }
    // The request on the confirmation step; none on the entry step.
    const std::optional<TimerStartRequest>& pendingRequest() const;
    // Shows the panel in front and gives it the keyboard.
    void present();

signals:
    // The panel was active and another window (of any program) took over.
    void resignedActive();

protected:
    bool event(QEvent* event) override;
    void changeEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    void keepOnScreen();

    QuickAddView* m_view;
    bool m_wasActive = false;
};
