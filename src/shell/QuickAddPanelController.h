#pragma once
// Owns the global quick-add panel: opens it on the screen under the pointer, empty or with a prepared timer
// for confirmation, brings it back to the front, and closes it when asked or when it stops being the active
// window. Every opening builds a new panel; closing drops it with everything typed.

#include "core/TimerStartRequest.h"
#include "shell/QuickAddPanel.h"

#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QRect>

#include <optional>

class Preferences;
class TimerManager;

class QuickAddPanelController : public QObject {
    Q_OBJECT
public:
    static constexpr int minimumHeight = 180;
    // How far the panel's centre sits above the centre of the screen's free area.
    static constexpr int raise = 80;

    // Keeps the manager weakly and makes no panel yet; `preferences` (the accent, the card's wording) must
    // outlive the controller.
    QuickAddPanelController(TimerManager* timerManager, const Preferences& preferences,
                            QObject* parent = nullptr);
    ~QuickAddPanelController() override;

    // Closes a visible panel; otherwise opens an empty one.
    void toggle();
    // Without a request a visible panel comes to the front as it is; with one, a visible panel is replaced
    // by a new one on its confirmation step. Does nothing once the manager is gone.
    void show(const std::optional<TimerStartRequest>& initialRequest);
    // Closes the panel, if any, and drops it.
    void hide();

    QuickAddPanel* panel() const { return m_panel; }

    // The top-left corner of a panel `height` tall in a screen whose free area is `available`: centred
    // across, its centre `raise` above the area's centre, never above the area's top.
    static QPoint placement(const QRect& available, int height);

private:
    QPointer<TimerManager> m_timerManager;
    const Preferences& m_preferences;
    QPointer<QuickAddPanel> m_panel;
};
