#pragma once
// Tab and Shift+Tab inside a card shown over a screen: the card's controls form a ring that focus never
// leaves for the screen behind. Every overlay shares this one walk, and the keeper that holds the keyboard
// inside the overlay while it shows.

#include <QList>
#include <QObject>
#include <QPointer>

#include <functional>

class QWidget;

namespace FocusRing {

// The focusable, visible, enabled widgets inside `container`, in tab order. With `skipProxied`, widgets
// that hand their focus to a proxy are left out (the proxy stands in the ring already).
QList<QWidget*> within(const QWidget* container, bool skipProxied = false);

// Moves focus to the next (or previous) widget of the ring after `current`, or to its first (last) one
// when `current` is not in it. Does nothing on an empty ring.
void step(const QList<QWidget*>& ring, const QWidget* current, bool next);

// Holds the keyboard inside an overlay while the overlay shows. Focus that leaves it for the screen behind
// (a click on a control that takes no focus hands it to the first widget up the tree that does, which may
// be behind), or that comes back to a window shown again, returns to the control inside that last had it,
// or to the ring's first control when that one has gone; focus lost with a deleted control comes back the
// same way. When the overlay closes holding the keyboard, the
// keyboard goes to the widget that had it when the overlay showed, or to the one given instead. Of
// overlays shown over one another in a window, the last shown holds the keyboard.
// Keep it as a member of the overlay, so it stops before the overlay's children go.
class Keeper : public QObject {
public:
    using Ring = std::function<QList<QWidget*>()>;

    Keeper(QWidget* overlay, Ring ring);
    ~Keeper() override;
    Keeper(const Keeper&) = delete;
    Keeper& operator=(const Keeper&) = delete;

    // Where the keyboard goes when the overlay closes; null: the widget that had it when the overlay showed.
    void setReturnTo(QWidget* widget) { m_returnTo = widget; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool holds(const QWidget* widget) const;
    bool isUppermost() const;
    void follow(QWidget* previous, QWidget* now);
    void bringBack(QWidget* previous);
    void giveBack();

    QWidget* m_overlay;
    Ring m_ring;
    QPointer<QWidget> m_lastHolder; // the last widget inside that had the keyboard
    QPointer<QWidget> m_opener;
    QPointer<QWidget> m_returnTo;
    QMetaObject::Connection m_watch;
};

} // namespace FocusRing
