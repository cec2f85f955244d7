#include "ui/kit/FocusRing.h"

#include <QApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>

namespace FocusRing {

QList<QWidget*> within(const QWidget* container, bool skipProxied) {
    QList<QWidget*> ring;
    if (!container) {
        return ring;
    }
    QWidget* w = const_cast<QWidget*>(container);
    do {
        w = w->nextInFocusChain();
        if (w != container && container->isAncestorOf(w) && w->isVisibleTo(container) && w->isEnabled() &&
            (w->focusPolicy() & Qt::TabFocus) && !(skipProxied && w->focusProxy())) {
            ring << w;
        }
    } while (w != container);
    return ring;
}

void step(const QList<QWidget*>& ring, const QWidget* current, bool next) {
    if (ring.isEmpty()) {
        return;
    }
    const qsizetype at = ring.indexOf(const_cast<QWidget*>(current));
    const qsizetype count = ring.size();
    const qsizetype target = at < 0 ? (next ? 0 : count - 1) : (at + (next ? 1 : -1) + count) % count;
    ring.at(target)->setFocus(next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
}

namespace {

// The keepers of the overlays on screen, in the order they showed.
QList<Keeper*>& shownKeepers() {
    static QList<Keeper*> keepers;
    return keepers;
}

} // namespace

Keeper::Keeper(QWidget* overlay, Ring ring) : m_overlay(overlay), m_ring(std::move(ring)) {
    overlay->installEventFilter(this);
    m_watch = connect(qApp, &QApplication::focusChanged, this,
                      [this](QWidget* previous, QWidget* now) { follow(previous, now); });
}

Keeper::~Keeper() {
    disconnect(m_watch);
    shownKeepers().removeAll(this);
}

bool Keeper::holds(const QWidget* widget) const {
    return widget && (widget == m_overlay || m_overlay->isAncestorOf(widget));
}

bool Keeper::isUppermost() const {
    const QList<Keeper*>& shown = shownKeepers();
    for (auto it = shown.crbegin(); it != shown.crend(); ++it) {
        if ((*it)->m_overlay->isVisible() && (*it)->m_overlay->window() == m_overlay->window()) {
            return *it == this;
        }
    }
    return false;
}

bool Keeper::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_overlay && event->type() == QEvent::Show) {
        shownKeepers().removeAll(this);
        shownKeepers().append(this);
        // A window shown again has no keyboard yet: the overlay's opener stays what it was.
        QWidget* focused = m_overlay->window()->focusWidget();
        if (focused && !holds(focused)) {
            m_opener = focused;
        }
    } else if (watched == m_overlay && event->type() == QEvent::Hide) {
        shownKeepers().removeAll(this);
        // Closed, rather than gone from view with its window.
        if (m_overlay->isHidden()) {
            giveBack();
        }
    }
    return QObject::eventFilter(watched, event);
}

void Keeper::follow(QWidget* previous, QWidget* now) {
    if (!m_overlay->isVisible() || !isUppermost()) {
        return;
    }
    if (holds(now)) {
        m_lastHolder = now;
        return;
    }
    if (now) {
        // Another window (a menu, a dialog) may take the keyboard; the screen behind may not.
        if (now->window() == m_overlay->window()) {
            bringBack(previous);
        }
        return;
    }
    // Lost with a control that went away, possibly still being deleted: come back once that is over.
    if (QApplication::activeWindow() == m_overlay->window()) {
        QTimer::singleShot(0, this, [this] {
            if (!QApplication::focusWidget() && m_overlay->isVisible() && isUppermost() &&
                QApplication::activeWindow() == m_overlay->window()) {
                bringBack(nullptr);
            }
        });
    }
}

void Keeper::bringBack(QWidget* previous) {
    // Where the keyboard was inside, if that control is still there to take it.
    for (QWidget* candidate : {previous, m_lastHolder.data()}) {
        if (holds(candidate) && candidate->isVisible() && candidate->isEnabled()) {
            candidate->setFocus(Qt::OtherFocusReason);
            return;
        }
    }
    const QList<QWidget*> ring = m_ring ? m_ring() : within(m_overlay);
    (ring.isEmpty() ? m_overlay : ring.first())->setFocus(Qt::OtherFocusReason);
}

void Keeper::giveBack() {
    QWidget* focused = m_overlay->window()->focusWidget();
    if (focused && !holds(focused)) {
        return;
    }
    QWidget* target = m_returnTo ? m_returnTo.data() : m_opener.data();
    if (target && target->isVisible() && target->isEnabled()) {
        target->setFocus(Qt::OtherFocusReason);
    }
}

} // namespace FocusRing
