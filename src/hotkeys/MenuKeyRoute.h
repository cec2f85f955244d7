#pragma once
// Keeps hotkeys working while one of the program's popups (a menu, a popover) is open: a popup holds the
// keyboard, so the desktop's grabs cannot fire, and its key events are matched here instead. Installed on
// the application object; knows popups by their window type, so menus need do nothing.

#include <QObject>
#include <QPointer>
#include <QSet>

class QWindow;

namespace GlobalHotkeys {

class MenuKeyRoute : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void popupShown(QWindow* window);
    void popupHidden(QWindow* window);

    QSet<QWindow*> m_openPopups;
    QSet<QWindow*> m_watched; // popups whose destruction is followed
};

} // namespace GlobalHotkeys
