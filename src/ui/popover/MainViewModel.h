#pragma once
// The popover root without widgets: its one start path (a request parked for confirmation, then started,
// queued or dropped), the keyboard navigation over tabs and the presets tab's rows, and the root's own view
// state. The root widget forwards keys to it only while the root itself holds the keyboard focus.

#include "core/TimerStartRequest.h"
#include "ui/popover/PopoverFocusCoordinator.h"

#include <QObject>

#include <optional>

class PomodoroManager;
class TimerManager;

class MainViewModel : public QObject {
    Q_OBJECT
public:
    // The keys the root acts on; everything else passes.
    enum class NavKey { nextTab, previousTab, down, up, left, right, confirm, other };
    // Shift makes Tab go backwards whatever else is held; Return and Enter both confirm.
    static NavKey navKeyFor(int key, Qt::KeyboardModifiers modifiers);

    // Both must outlive the model.
    MainViewModel(TimerManager& timerManager, PomodoroManager& pomodoroManager, QObject* parent = nullptr);

    PopoverFocusCoordinator& focusCoordinator() { return m_focusCoordinator; }
    const PopoverFocusCoordinator& focusCoordinator() const { return m_focusCoordinator; }

    // ---- The start path ----
    const std::optional<TimerStartRequest>& pendingStartRequest() const { return m_pendingStartRequest; }
    bool isPomodoroPreparation() const { return m_isPomodoroPreparation; }
    // Every start made in the popover comes here first; a pending request is replaced.
    void prepare(const TimerStartRequest& request);
    // The next Pomodoro phase, as the session alone decides it (a new session starts with focus), at its
    // configured length.
    void preparePomodoroStep();
    // Start: the request's timer, or for a Pomodoro phase a new session or the waiting phase. True when
    // something started, which closes the preparation; on a refusal it stays open.
    bool confirmPreparation(const TimerStartRequest& request);
    // Queue: the countdown waits, idle. True when the engine took it, which closes the preparation.
    bool queuePreparation(const TimerStartRequest& request);
    void cancelPreparation();

    // ---- Keyboard ----
    // Acts on one key pressed while the root holds the focus; true when the key was used.
    bool handleKeyNav(NavKey key);

    // ---- Root view state that outlives a tab's content ----
    bool showChainBuilder() const { return m_showChainBuilder; }
    void setShowChainBuilder(bool show);
    std::optional<int> previewedSequenceStepOrdinal() const { return m_previewedSequenceStepOrdinal; }
    void setPreviewedSequenceStepOrdinal(std::optional<int> ordinal);

signals:
    // A request was parked, replaced or dropped.
    void pendingStartRequestChanged();
    void showChainBuilderChanged(bool show);
    void previewedSequenceStepOrdinalChanged();

private:
    bool handleReturnOnPresets();

    TimerManager& m_timerManager;
    PomodoroManager& m_pomodoroManager;
    PopoverFocusCoordinator m_focusCoordinator{TarvolinTimerTab::timers};
    std::optional<TimerStartRequest> m_pendingStartRequest;
    bool m_isPomodoroPreparation = false;
    bool m_showChainBuilder = false;
    std::optional<int> m_previewedSequenceStepOrdinal;
};
