#include "shell/UpdateWindowController.h"

#include "theme/ThemeStore.h"
#include "ui/updates/UpdateCheckModel.h"
#include "ui/updates/UpdateCheckWindow.h"

#include <QCursor>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

UpdateWindowController::UpdateWindowController(UpdateChannel& channel, const ThemeStore& theme,
                                               const QString& currentVersion, PopoverLookup popover,
                                               QObject* parent)
    : QObject(parent), m_theme(theme), m_popover(std::move(popover)),
      m_model(std::make_unique<UpdateCheckModel>(channel, currentVersion)) {
    connect(m_model.get(), &UpdateCheckModel::presentRequested, this, &UpdateWindowController::present);
    connect(m_model.get(), &UpdateCheckModel::dismissed, this, &UpdateWindowController::dismissed);
}

UpdateWindowController::~UpdateWindowController() {
    delete m_window.data();
}

QRect UpdateWindowController::placement(const QSize& size, const QRect& available) {
    return QRect(available.x() + (available.width() - size.width()) / 2,
                 available.y() + (available.height() - size.height()) / 2, size.width(), size.height());
}

void UpdateWindowController::present(bool activate) {
    const bool placed = m_window && m_window->isVisible();
    if (!m_window) {
        m_window = new UpdateCheckWindow(*m_model, m_theme);
    }
    if (!placed) {
        m_window->adjustSize();
        const QScreen* screen = QGuiApplication::screenAt(QCursor::pos());
        if (!screen) {
            screen = QGuiApplication::primaryScreen();
        }
        if (screen) {
            m_window->move(placement(m_window->size(), screen->availableGeometry()).topLeft());
        }
    }
    m_window->present(activate);
}

void UpdateWindowController::dismissed() {
    // The keyboard goes back to where the check was asked for, rather than to nowhere, which would close the
    // popover as if the user had left the program.
    QWidget* popover = m_popover ? m_popover() : nullptr;
    if (popover && popover->isVisible()) {
        popover->raise();
        popover->activateWindow();
    }
}
