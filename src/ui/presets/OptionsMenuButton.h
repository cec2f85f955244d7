#pragma once
// The "…" button of a row: a 44 × 44 target that opens the row's options menu, built afresh each time
// from what the row is now.

#include "ui/kit/LabelButton.h"

#include <QMenu>
#include <QPointer>

#include <functional>

class OptionsMenuButton : public LabelButton {
    Q_OBJECT
public:
    using MenuBuilder = std::function<void(QMenu& menu)>;

    explicit OptionsMenuButton(MenuBuilder builder, QWidget* parent = nullptr);

    // Opens the menu under the button, as a click does; the keyboard can move through it at once.
    void openMenu();
    // The open menu, or null.
    QMenu* menu() const { return m_menu; }

private:
    MenuBuilder m_builder;
    QPointer<QMenu> m_menu;
};
