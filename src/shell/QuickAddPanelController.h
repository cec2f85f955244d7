#pragma once
// Owns the global quick-add panel: opens it with a prepared timer for confirmation or with an empty field,
// re-fronts it, and closes it. The panel is made when shown and dropped when closed.

#include "core/TimerStartRequest.h"
#include "shell/QuickAddPanel.h"

#include <QObject>
#include <QPointer>

#include <optional>

class TimerManager;

class QuickAddPanelController : public QObject {
    Q_OBJECT
public:
    // Keeps the manager weakly and makes no panel yet.
    explicit QuickAddPanelController(TimerManager* timerManager, QObject* parent = nullptr);
    ~QuickAddPanelController() override;

    // Closes a visible panel; otherwise opens one with no prepared timer.
    void toggle();
    // Opens the panel with `initialRequest` waiting for confirmation. A visible panel is brought to the front
    // when no request is given, and rebuilt with the request otherwise. Does nothing once the manager is
    // gone.
    void show(const std::optional<TimerStartRequest>& initialRequest);

    QuickAddPanel* panel() const { return m_panel; }

private:
    QPointer<TimerManager> m_timerManager;
    QPointer<QuickAddPanel> m_panel;
};
