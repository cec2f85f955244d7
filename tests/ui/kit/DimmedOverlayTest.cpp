// The dim layer that holds a passing surface inside the popover: it covers its parent as the parent
// resizes, keeps the keyboard inside the surface until it closes and then gives it back, and lets no key or
// click through to the screen behind.
#include "ui/kit/DimmedOverlay.h"

#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include <memory>

namespace {

class DimmedOverlayTest : public ::testing::Test {
protected:
    std::unique_ptr<QWidget> screen;
    QPushButton* behind = nullptr;
    int behindClicks = 0;
    QWidget* surface = nullptr;
    QLineEdit* field = nullptr;
    QPushButton* first = nullptr;
    QPushButton* second = nullptr;
    DimmedOverlay* overlay = nullptr;

    void SetUp() override {
        screen = std::make_unique<QWidget>();
        screen->resize(440, 650);
        behind = new QPushButton(QStringLiteral("behind"), screen.get());
        behind->setGeometry(0, 0, 80, 30);
        QObject::connect(behind, &QPushButton::clicked, [this] { ++behindClicks; });
        screen->show();
        screen->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(screen.get()));

        surface = new QWidget;
        auto* layout = new QVBoxLayout(surface);
        field = new QLineEdit(surface);
        first = new QPushButton(QStringLiteral("one"), surface);
        second = new QPushButton(QStringLiteral("two"), surface);
        for (QWidget* w :
             {static_cast<QWidget*>(field), static_cast<QWidget*>(first), static_cast<QWidget*>(second)}) {
            layout->addWidget(w);
        }
        // Opened from the button behind, which has the keyboard.
        behind->setFocus();
        overlay = new DimmedOverlay(screen.get());
        overlay->setContent(surface, 16);
        overlay->focusContent();
    }
};

} // namespace

TEST_F(DimmedOverlayTest, CoversItsParentAndKeepsTheSurfaceCentred) {
    EXPECT_EQ(overlay->geometry(), screen->rect());
    EXPECT_EQ(surface->geometry().center(), screen->rect().center());
    screen->resize(300, 400);
    EXPECT_EQ(overlay->geometry(), QRect(0, 0, 300, 400));
    EXPECT_EQ(surface->geometry().center(), QRect(0, 0, 300, 400).center());
    EXPECT_TRUE(field->hasFocus()) << "the surface's first control has the keyboard";
}

TEST_F(DimmedOverlayTest, TabCyclesInsideTheSurface) {
    const struct {
        const char* name;
        Qt::Key key;
        QWidget* expected;
    } steps[] = {
        {"Tab to the first button", Qt::Key_Tab, first},
        {"Tab to the second", Qt::Key_Tab, second},
        {"Tab wraps to the field, never to the screen behind", Qt::Key_Tab, field},
        {"Shift-Tab wraps back", Qt::Key_Backtab, second},
    };
    for (const auto& s : steps) {
        SCOPED_TRACE(s.name);
        QTest::keyClick(QApplication::focusWidget(), s.key);
        EXPECT_EQ(QApplication::focusWidget(), s.expected);
    }
}

TEST_F(DimmedOverlayTest, ReportsEscapeAndDimClicksAndLetsNothingThrough) {
    QSignalSpy escapes(overlay, &DimmedOverlay::escapePressed);
    QSignalSpy dimClicks(overlay, &DimmedOverlay::dimClicked);
    QTest::keyClick(field, Qt::Key_Escape);
    EXPECT_EQ(escapes.count(), 1);
    QTest::mouseClick(overlay, Qt::LeftButton, {}, QPoint(20, 15));
    EXPECT_EQ(dimClicks.count(), 1);
    EXPECT_EQ(behindClicks, 0) << "the button under the dim is not reached";
    QTest::mouseClick(first, Qt::LeftButton);
    EXPECT_EQ(dimClicks.count(), 1) << "a click on the surface is not on the dim";
}

TEST_F(DimmedOverlayTest, KeepsTheKeyboardUntilItClosesAndThenGivesItBackToWhatOpenedIt) {
    // The screen behind takes the keyboard on a click, as the popover's root does; this button does not.
    screen->setFocusPolicy(Qt::StrongFocus);
    first->setFocusPolicy(Qt::TabFocus);
    ASSERT_EQ(QApplication::focusWidget(), field);
    QTest::mouseClick(first, Qt::LeftButton);
    EXPECT_EQ(QApplication::focusWidget(), field)
        << "a click on the surface leaves the keyboard where it was";
    screen->setFocus();
    EXPECT_EQ(QApplication::focusWidget(), field) << "the screen behind cannot take it while the layer shows";
    second->setFocus();
    delete second;
    EXPECT_TRUE(QTest::qWaitFor([&] { return QApplication::focusWidget() == field; }, 1000))
        << "nor is it lost with a control that goes";
    overlay->hide();
    EXPECT_EQ(QApplication::focusWidget(), behind) << "closing gives the keyboard back to what opened it";
}
