// Nested menus near a screen edge: a submenu keeps to the side its parent opened on, falls back to the
// other side only for want of room, and never covers a menu further up while the other side has room.
#include "ui/kit/NestedMenuPlacement.h"

#include <QGuiApplication>
#include <QMenu>
#include <QScreen>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace {

const QRect kScreen(0, 0, 1000, 800);
const QSize kChild(180, 120);

QRect childAt(int x) {
    return QRect(QPoint(x, 130), kChild);
}

// A menu further up the tree, 200 wide.
QList<QRect> menuAbove(int x, int y = 60, int height = 300) {
    return {QRect(x, y, 200, height)};
}

} // namespace

TEST(NestedMenuPlacementTest, ASubmenuKeepsItsParentsSideWhileThereIsRoom) {
    const struct {
        const char* behaviour;
        int parentX, parentWidth; // the parent spans y 100 to 399
        bool parentOpensLeft;
        QList<QRect> above;
        int proposedX; // where Qt put it
        int x;
    } rows[] = {
        {"under a parent that went right, it goes right", 100, 200, false, {}, 300, 300},
        {"under a parent that went left, it goes left though the right has room, as near as Qt put it", 500,
         200, true, menuAbove(700), 698, 322},
        {"left wanted but no room there: right, even over a menu above", 50, 200, true, menuAbove(240), 250,
         250},
        {"right wanted but over a menu above while the left has room: left", 400, 200, false,
         menuAbove(600, 0, 800), 600, 220},
        {"room on neither side: where Qt squeezed it", 100, 800, false, {}, 820, 820},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.behaviour);
        const QRect proposed = childAt(row.proposedX);
        const QRect placed =
            NestedMenuPlacement::place(proposed, {QRect(row.parentX, 100, row.parentWidth, 300),
                                                  row.parentOpensLeft, row.above, kScreen});
        EXPECT_EQ(placed.x(), row.x);
        EXPECT_EQ(placed.y(), proposed.y()) << "only the side changes";
        EXPECT_EQ(placed.size(), proposed.size());
    }
}

TEST(NestedMenuPlacementTest, AThreeLevelTreeOpenedByKeyboardCoversNoMenuAboveIt) {
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    const struct {
        const char* behaviour;
        Qt::LayoutDirection direction;
        bool nearRightEdge;
        bool addedWhileOpen; // the third level joins its menu while that menu is open
        bool leftwards;      // the way each level opens
    } rows[] = {
        {"near the right edge: each level leftwards", Qt::LeftToRight, true, false, true},
        {"near the right edge, an entry added while its menu is open: leftwards too", Qt::LeftToRight, true,
         true, true},
        {"with room on the right: the usual tree, rightwards", Qt::LeftToRight, false, false, false},
        {"right-to-left near the left edge: the mirrored case, rightwards", Qt::RightToLeft, false, false,
         false},
        {"right-to-left with room on the left: Qt's mirrored tree, leftwards", Qt::RightToLeft, true, false,
         true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.behaviour);
        auto first = std::make_unique<QMenu>();
        first->setLayoutDirection(row.direction);
        first->addAction(QStringLiteral("Floating Window"));
        QMenu* second = first->addMenu(QStringLiteral("Up Next with a long title (2)"));
        first->addAction(QStringLiteral("Task Chain"));
        auto* third = new QMenu(QStringLiteral("A timer titled at length"), second);
        third->addAction(QStringLiteral("Start"));
        third->addAction(QStringLiteral("Cancel"));
        if (!row.addedWhileOpen) {
            second->addMenu(third);
        } else {
            second->addAction(QStringLiteral("Placeholder"));
        }
        NestedMenuPlacement::follow(first.get());

        const int width = first->sizeHint().width();
        const int x = row.nearRightEdge ? area.right() - width - 10 : area.left() + 10;
        first->popup(QPoint(x, area.top() + 40));
        ASSERT_TRUE(QTest::qWaitForWindowExposed(first.get()));
        // Right opens a submenu (Left in right-to-left layouts), with its first entry current.
        const Qt::Key open = row.direction == Qt::RightToLeft ? Qt::Key_Left : Qt::Key_Right;
        const Qt::Key close = row.direction == Qt::RightToLeft ? Qt::Key_Right : Qt::Key_Left;
        first->setActiveAction(second->menuAction());
        QTest::keyClick(first.get(), open);
        ASSERT_TRUE(second->isVisible());
        if (row.addedWhileOpen) {
            second->insertMenu(second->actions().constFirst(), third);
            second->setActiveAction(third->menuAction());
        }
        QTest::keyClick(second, open);
        ASSERT_TRUE(third->isVisible());

        const QRect one = first->geometry(), two = second->geometry(), three = third->geometry();
        EXPECT_FALSE(three.intersects(one)) << "the first menu stays in sight";
        EXPECT_TRUE(area.contains(three));
        if (row.leftwards) {
            EXPECT_LT(two.center().x(), one.center().x());
            EXPECT_LT(three.center().x(), two.center().x());
        } else {
            EXPECT_GT(two.center().x(), one.center().x());
            EXPECT_GT(three.center().x(), two.center().x());
        }
        // The keys still walk back out, one level at a time.
        QTest::keyClick(third, close);
        EXPECT_FALSE(third->isVisible());
        EXPECT_TRUE(second->isVisible());
        first->hide();
    }
}
