#include "ui/kit/FocusRing.h"

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

} // namespace FocusRing
