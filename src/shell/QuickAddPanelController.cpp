#include "shell/QuickAddPanelController.h"

#include "core/TimerManager.h"
#include "shell/QuickAddPanel.h"

#include <QGuiApplication>
#include <QScreen>

QuickAddPanelController::QuickAddPanelController(TimerManager* timerManager, QObject* parent)
    : QObject(parent), m_timerManager(timerManager) {}

QuickAddPanelController::~QuickAddPanelController() {
    delete m_panel;
}

void QuickAddPanelController::toggle() {
    if (m_panel && m_panel->isVisible()) {
        m_panel->close(); // deletes itself on close
        m_panel = nullptr;
        return;
    }
    show(std::nullopt);
}

void QuickAddPanelController::show(const std::optional<TimerStartRequest>& initialRequest) {
    if (!m_timerManager) {
        return;
    }
    if (m_panel && m_panel->isVisible()) {
        if (!initialRequest) {
            m_panel->raise();
            m_panel->activateWindow();
            return;
        }
        m_panel->close();
        m_panel = nullptr;
    }
    delete m_panel; // one that exists but is hidden is rebuilt
    m_panel = new QuickAddPanel(*m_timerManager, initialRequest);
    m_panel->adjustSize();
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        // Over the upper middle of the screen, where a command box is looked for.
        const QRect available = screen->availableGeometry();
        m_panel->move(available.x() + (available.width() - m_panel->width()) / 2,
                      available.y() + available.height() / 4);
    }
    m_panel->show();
    m_panel->raise();
    m_panel->activateWindow();
}
