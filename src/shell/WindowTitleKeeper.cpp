#include "shell/WindowTitleKeeper.h"

#include "shell/X11WindowHints.h"

#include <QEvent>
#include <QWidget>
#include <QWindow>

WindowTitleKeeper::WindowTitleKeeper(QObject* parent) : QObject(parent) {}

bool WindowTitleKeeper::eventFilter(QObject* watched, QEvent* event) {
    // Qt names a window when it creates it, before the first show, and again whenever its title changes
    // (the event follows); the name is put back after each.
    if (event->type() == QEvent::Show || event->type() == QEvent::WindowTitleChange) {
        auto* widget = qobject_cast<QWidget*>(watched);
        if (widget && widget->isWindow() && widget->testAttribute(Qt::WA_WState_Created) &&
            widget->windowHandle() && !widget->windowHandle()->title().isEmpty()) {
            X11WindowHints::setName(widget, widget->windowHandle()->title());
        }
    }
    return QObject::eventFilter(watched, event);
}
