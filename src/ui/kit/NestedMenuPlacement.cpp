#include "ui/kit/NestedMenuPlacement.h"

#include <QActionEvent>
#include <QGuiApplication>
#include <QMenu>
#include <QScreen>
#include <QVariant>

#include <algorithm>

namespace {

// Which side a shown submenu went to, read when its own submenus open.
constexpr const char* kOpensLeftProperty = "tt.menuOpensLeft";
// Styles let a submenu overlap its parent's frame by a few pixels; more than this and Qt squeezed it over
// the parent for want of room, leaving no side to mirror.
constexpr int kFrameOverlap = 8;
// A menu tree is never this deep; the bound only keeps a menu that holds itself from looping.
constexpr int kMaxDepth = 32;

// The open menu `menu` was opened from: the visible menu holding its entry whose current item it is (the
// same menu may sit in several), else any visible menu holding it.
QMenu* parentOf(const QMenu* menu) {
    QMenu* holder = nullptr;
    const QList<QObject*> objects = menu->menuAction()->associatedObjects();
    for (QObject* object : objects) {
        auto* candidate = qobject_cast<QMenu*>(object);
        if (!candidate || candidate == menu || !candidate->isVisible()) {
            continue;
        }
        if (candidate->activeAction() == menu->menuAction()) {
            return candidate;
        }
        holder = holder ? holder : candidate;
    }
    return holder;
}

bool opensLeft(const QMenu* menu) {
    // A menu opened from no menu flows the way its layout reads.
    const QVariant side = menu->property(kOpensLeftProperty);
    return side.isValid() ? side.toBool() : menu->isRightToLeft();
}

} // namespace

QRect NestedMenuPlacement::place(const QRect& proposed, const Beside& beside) {
    const QRect& parent = beside.parent;
    const bool proposedLeft = proposed.center().x() < parent.center().x();
    // The distance Qt left between the two menus (negative where they overlap), kept on either side.
    int gap = proposedLeft ? parent.left() - 1 - proposed.right() : proposed.left() - 1 - parent.right();
    if (gap < -kFrameOverlap) {
        gap = 0;
    }
    const QRect left(QPoint(parent.left() - gap - proposed.width(), proposed.y()), proposed.size());
    const QRect right(QPoint(parent.right() + 1 + gap, proposed.y()), proposed.size());
    const QRect sides[] = {beside.parentOpensLeft ? left : right, beside.parentOpensLeft ? right : left};

    const QRect& area = beside.available;
    const auto fits = [&area](const QRect& r) {
        return area.isEmpty() || (r.left() >= area.left() && r.right() <= area.right());
    };
    const auto coversAbove = [&beside](const QRect& r) {
        return std::any_of(beside.above.begin(), beside.above.end(),
                           [&r](const QRect& menu) { return menu.intersects(r); });
    };
    for (const QRect& side : sides) {
        if (fits(side) && !coversAbove(side)) {
            return side;
        }
    }
    for (const QRect& side : sides) {
        if (fits(side)) {
            return side;
        }
    }
    return proposed;
}

void NestedMenuPlacement::follow(QMenu* menu) {
    if (!menu || menu->findChild<NestedMenuPlacement*>(QString(), Qt::FindDirectChildrenOnly)) {
        return;
    }
    (new NestedMenuPlacement(menu))->watch(menu);
}

void NestedMenuPlacement::watch(QMenu* menu) {
    // Installing again only moves the filter to the front: each menu sees it once.
    menu->installEventFilter(this);
}

bool NestedMenuPlacement::eventFilter(QObject* watched, QEvent* event) {
    if (auto* menu = qobject_cast<QMenu*>(watched)) {
        if (event->type() == QEvent::ActionAdded) {
            // An entry added while the tree is open (a queued timer, say) opens the same way.
            if (QMenu* submenu = static_cast<QActionEvent*>(event)->action()->menu()) {
                watch(submenu);
            }
        } else if (event->type() == QEvent::Show && !event->spontaneous()) {
            // Sent before the window appears: moved now, the menu is never seen where Qt first put it.
            placeOnShow(menu);
        }
    }
    return QObject::eventFilter(watched, event);
}

void NestedMenuPlacement::placeOnShow(QMenu* menu) {
    // Submenus added before this one was followed are found when it opens, before any of them can.
    const QList<QAction*> actions = menu->actions();
    for (QAction* action : actions) {
        if (QMenu* submenu = action->menu()) {
            watch(submenu);
        }
    }
    QMenu* parent = parentOf(menu);
    if (!parent) {
        menu->setProperty(kOpensLeftProperty, QVariant());
        return;
    }
    Beside beside{parent->geometry(), opensLeft(parent), {}, {}};
    int depth = 0;
    for (QMenu* up = parentOf(parent); up && depth < kMaxDepth; up = parentOf(up), ++depth) {
        beside.above << up->geometry();
    }
    const QScreen* screen = QGuiApplication::screenAt(beside.parent.center());
    if (!screen) {
        screen = parent->screen();
    }
    beside.available = screen ? screen->availableGeometry() : QRect();
    const QRect placed = place(menu->geometry(), beside);
    if (placed.topLeft() != menu->geometry().topLeft()) {
        menu->move(menu->pos() + (placed.topLeft() - menu->geometry().topLeft()));
    }
    menu->setProperty(kOpensLeftProperty, placed.center().x() < beside.parent.center().x());
}
