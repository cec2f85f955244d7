#include "hotkeys/MenuKeyRoute.h"

#include "hotkeys/GlobalHotkeys.h"

#include <QKeyEvent>
#include <QWindow>

namespace GlobalHotkeys {

bool MenuKeyRoute::eventFilter(QObject* watched, QEvent* event) {
    // Key events reach a window first and then its widgets: only the window's copy is looked at, so each
    // event is matched once.
    if (!watched->isWindowType()) {
        return false;
    }
    auto* window = static_cast<QWindow*>(watched);
    switch (event->type()) {
    case QEvent::Show:
        if (window->type() == Qt::Popup) {
            popupShown(window);
        }
        return false;
    case QEvent::Hide:
        popupHidden(window);
        return false;
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
        return isMenuOpen() && matchLocalKeyEvent(*static_cast<QKeyEvent*>(event));
    default:
        return false;
    }
}

void MenuKeyRoute::popupShown(QWindow* window) {
    m_openPopups.insert(window);
    if (!m_watched.contains(window)) {
        m_watched.insert(window);
        connect(window, &QObject::destroyed, this, [this, window] {
            m_watched.remove(window);
            popupHidden(window);
        });
    }
    setMenuOpen(true);
}

void MenuKeyRoute::popupHidden(QWindow* window) {
    if (m_openPopups.remove(window) && m_openPopups.isEmpty()) {
        setMenuOpen(false);
    }
}

} // namespace GlobalHotkeys
