#include "shell/QuickAddPanelController.h"

#include "core/TimerManager.h"
#include "ui/quickadd/QuickAddView.h"

#include <QCursor>
#include <QGuiApplication>
#include <QScreen>

#include <algorithm>

QuickAddPanelController::QuickAddPanelController(TimerManager* timerManager, const Preferences& preferences,
                                                 QObject* parent)
    : QObject(parent), m_timerManager(timerManager), m_preferences(preferences) {}

QuickAddPanelController::~QuickAddPanelController() {
    delete m_panel.data();
}

QPoint QuickAddPanelController::placement(const QRect& available, int height) {
    const int x = available.x() + available.width() / 2 - QuickAddView::viewWidth / 2;
    const int y = available.y() + available.height() / 2 - height / 2 - raise;
    return {x, std::max(available.y(), y)};
}

void QuickAddPanelController::toggle() {
    if (m_panel && m_panel->isVisible()) {
        hide();
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
            m_panel->present();
            return;
        }
        hide();
    }
    if (m_panel) {
        m_panel->deleteLater(); // one that exists but is hidden is replaced
        m_panel = nullptr;
    }
    const QPointer<QuickAddPanelController> self(this);
    auto* panel = new QuickAddPanel(*m_timerManager, m_preferences, initialRequest, [self] {
        if (self) {
            self->hide();
        }
    });
    connect(panel, &QuickAddPanel::resignedActive, this, &QuickAddPanelController::hide);
    const int height = std::max(panel->height(), minimumHeight);
    panel->resize(panel->width(), height);
    // The screen under the pointer, else the primary one; with none the window system places it.
    const QScreen* screen = QGuiApplication::screenAt(QCursor::pos());
    if (!screen) {
        screen = QGuiApplication::primaryScreen();
    }
    if (screen) {
        panel->move(placement(screen->availableGeometry(), height));
    }
    m_panel = panel;
    panel->present();
}

void QuickAddPanelController::hide() {
    // Cleared before closing: closing the active window can report its deactivation, which calls back here.
    QuickAddPanel* panel = m_panel.data();
    m_panel = nullptr;
    if (panel) {
        panel->close(); // deletes itself once the event loop comes round
    }
}
