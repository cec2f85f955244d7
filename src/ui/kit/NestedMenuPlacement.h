#pragma once
// Keeps a tree of menus readable near a screen edge: a submenu opens on the side its parent opened on
// (leftwards under a parent that went left), unless there is no room there, and never over a menu further
// up the tree while the other side has room. Qt alone places each submenu to the right whenever it fits,
// so under a parent pushed leftwards it would cover the menus above. Keys stay Qt's: Right opens and Left
// closes in left-to-right layouts, mirrored in right-to-left ones.

#include <QList>
#include <QObject>
#include <QRect>

class QMenu;

class NestedMenuPlacement : public QObject {
    Q_OBJECT
public:
    // A submenu's surroundings, in screen coordinates.
    struct Beside {
        QRect parent;         // the menu it opens from
        bool parentOpensLeft; // that menu opened to the left of its own parent (at the top: right-to-left)
        QList<QRect> above;   // the menus above the parent
        QRect available;      // the free area of the parent's screen
    };

    // Where a submenu goes that Qt would open at `proposed`: the same height and size, on the parent's
    // side when it fits there and covers no menu above; else on the other side when that does; else on
    // whichever side fits; else where Qt put it.
    static QRect place(const QRect& proposed, const Beside& beside);

    // Makes every submenu of `menu`, at any depth and including those added later, follow place(). The
    // menu owns what this sets up.
    static void follow(QMenu* menu);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    explicit NestedMenuPlacement(QObject* parent) : QObject(parent) {}

    void watch(QMenu* menu);
    void placeOnShow(QMenu* menu);
};
