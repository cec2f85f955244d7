#pragma once
// The floating window's content: the card, fed from the floating view model at every change of the engine
// or of the preferences it reads; a tap runs the model's primary action, the close button the given action.

#include <QWidget>

#include <functional>

class FloatingTimerSurface;
class FloatingWindowModel;
class PomodoroManager;
class Preferences;
class TimerManager;

class FloatingWindowView : public QWidget {
    Q_OBJECT
public:
    // The managers and the preferences must outlive the view. No control calls `onExpand` yet; it is kept
    // for a caller that offers one.
    FloatingWindowView(TimerManager& timerManager, PomodoroManager& pomodoroManager,
                       const Preferences& preferences, std::function<void()> onClose,
                       std::function<void()> onExpand = {}, QWidget* parent = nullptr);

    FloatingWindowModel& model() const { return *m_model; }
    FloatingTimerSurface& surface() const { return *m_surface; }

private:
    void refresh();

    FloatingWindowModel* m_model;
    FloatingTimerSurface* m_surface;
    std::function<void()> m_onClose;
    std::function<void()> m_onExpand;
};
