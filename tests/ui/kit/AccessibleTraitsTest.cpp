// What a screen reader is told of a widget that declared its role, states and value, read through the
// widget's accessible interface. (Qt passes no event on without a platform bridge, so the announcements
// are the desktop test's: system/AccessibilityDesktopTest.)
#include "ui/kit/AccessibleTraits.h"

#include "support/AccessibleReading.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QVBoxLayout>

#include <gtest/gtest.h>

TEST(AccessibleTraitsTest, ADeclaredRoleStateAndValueAreWhatIsRead) {
    QWidget window;
    auto* option = new QPushButton(QStringLiteral("Orange"), &window);
    option->setToolTip(QStringLiteral("Orange"));
    AccessibleTraits::setRole(option, QAccessible::ListItem);
    AccessibleTraits::setSelected(option, false);
    auto* sound = new QPushButton(QStringLiteral("Timer complete"), &window);
    AccessibleTraits::setValue(sound, QStringLiteral("Chime"));
    auto* heading = new QLabel(QStringLiteral("General"), &window);
    AccessibleTraits::setRole(heading, QAccessible::Heading);
    window.show();

    EXPECT_EQ(AccessibleReading::role(option), QAccessible::ListItem);
    EXPECT_EQ(AccessibleReading::name(option), QStringLiteral("Orange")) << "a button's text is its name";
    EXPECT_TRUE(AccessibleReading::description(option).isEmpty()) << "a tooltip that repeats the name";
    EXPECT_TRUE(AccessibleReading::state(option).selectable);
    EXPECT_FALSE(AccessibleReading::state(option).selected);
    AccessibleTraits::setSelected(option, true);
    EXPECT_TRUE(AccessibleReading::state(option).selected);

    EXPECT_EQ(AccessibleReading::role(sound), QAccessible::Button) << "a button stays one";
    EXPECT_EQ(AccessibleReading::of(sound)->text(QAccessible::Value), QStringLiteral("Chime"));
    EXPECT_EQ(AccessibleReading::value(sound), QStringLiteral("Chime")) << "offered as its text too";
    EXPECT_TRUE(AccessibleReading::description(sound).isEmpty());
    AccessibleTraits::setValue(sound, QStringLiteral("Bell"));
    EXPECT_EQ(AccessibleReading::value(sound), QStringLiteral("Bell"));
    EXPECT_EQ(AccessibleReading::of(option)->textInterface(), nullptr) << "no value, no text";

    EXPECT_EQ(AccessibleReading::role(heading), QAccessible::Heading);
    EXPECT_EQ(AccessibleReading::name(heading), QStringLiteral("General")) << "a label's text is its name";
}

TEST(AccessibleTraitsTest, AnInterfaceQtMadeBeforeTheDeclarationGivesWayToOurs) {
    QPushButton tab(QStringLiteral("Settings"));
    ASSERT_EQ(AccessibleReading::role(&tab), QAccessible::Button);
    AccessibleTraits::setRole(&tab, QAccessible::PageTab);
    EXPECT_EQ(AccessibleReading::role(&tab), QAccessible::PageTab);
}

TEST(AccessibleTraitsTest, AGroupReadAsOneHidesItsChildrenAndSpeaksForItsControl) {
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    auto* before = new QPushButton(QStringLiteral("Before"), &window);
    layout->addWidget(before);
    auto* card = new QWidget(&window);
    auto* inside = new QVBoxLayout(card);
    auto* title = new QLabel(QStringLiteral("Play Sounds"), card);
    auto* toggle = new QPushButton(card);
    toggle->setCheckable(true);
    inside->addWidget(title);
    inside->addWidget(toggle);
    layout->addWidget(card);
    card->setAccessibleName(QStringLiteral("Play Sounds"));
    AccessibleTraits::setRole(card, QAccessible::CheckBox);
    AccessibleTraits::setChecked(card, false);
    AccessibleTraits::readAsOne(card, toggle);
    window.show();
    QApplication::setActiveWindow(&window);

    EXPECT_EQ(AccessibleReading::childCount(card), 0);
    EXPECT_FALSE(AccessibleReading::isRead(title));
    EXPECT_FALSE(AccessibleReading::isRead(toggle));
    EXPECT_TRUE(AccessibleReading::state(card).focusable) << "the keyboard reaches it through its control";
    EXPECT_TRUE(AccessibleReading::state(card).checkable);
    EXPECT_FALSE(AccessibleReading::state(card).checked);

    // The control takes the keyboard: the group reads as focused. A reader moving the keyboard to the
    // group moves it to the control.
    before->setFocus();
    EXPECT_FALSE(AccessibleReading::state(card).focused);
    AccessibleReading::of(card)->actionInterface()->doAction(QAccessibleActionInterface::setFocusAction());
    EXPECT_TRUE(toggle->hasFocus());
    EXPECT_TRUE(AccessibleReading::state(card).focused);

    // Pressing the element presses the control.
    QSignalSpy clicks(toggle, &QAbstractButton::clicked);
    AccessibleReading::of(card)->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(clicks.size(), 1);
    AccessibleTraits::setChecked(card, true);
    EXPECT_TRUE(AccessibleReading::state(card).checked);
}

TEST(AccessibleTraitsTest, AHiddenWidgetIsNotReadNorAnythingInIt) {
    QWidget window;
    auto* picture = new QWidget(&window);
    auto* caption = new QLabel(QStringLiteral("Ready"), picture);
    AccessibleTraits::setHidden(picture);
    window.show();
    EXPECT_TRUE(AccessibleReading::state(picture).invisible);
    EXPECT_EQ(AccessibleReading::childCount(picture), 0);
    EXPECT_FALSE(AccessibleReading::isRead(caption));
    AccessibleTraits::setHidden(picture, false);
    EXPECT_TRUE(AccessibleReading::isRead(caption));
}

TEST(AccessibleTraitsTest, AWidgetThatIsNoButtonIsPressedThroughWhatItDeclared) {
    QWidget row;
    int pressed = 0;
    AccessibleTraits::setRole(&row, QAccessible::ListItem);
    AccessibleTraits::setPress(&row, [&pressed] { ++pressed; });
    QAccessibleActionInterface* actions = AccessibleReading::of(&row)->actionInterface();
    ASSERT_NE(actions, nullptr);
    EXPECT_TRUE(actions->actionNames().contains(QAccessibleActionInterface::pressAction()));
    actions->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(pressed, 1);
}
