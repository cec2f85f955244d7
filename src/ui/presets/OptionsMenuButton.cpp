#include "ui/presets/OptionsMenuButton.h"

#include "ui/presets/PresetsLook.h"

#include <QMenu>

OptionsMenuButton::OptionsMenuButton(MenuBuilder builder, QWidget* parent)
    : LabelButton(
          PresetsLook::pressedScale,
          PresetsLook::symbolButton(QStringLiteral("ellipsis"), QvColor::qvInkMuted(), 14, QSize(44, 44)),
          parent),
      m_builder(std::move(builder)) {
    connect(this, &QAbstractButton::clicked, this, &OptionsMenuButton::openMenu);
}

void OptionsMenuButton::openMenu() {
    if (m_menu) {
        m_menu->close();
    }
    auto* menu = new QMenu(this);
    menu->setObjectName(objectName() + QStringLiteral(".popup"));
    m_builder(*menu);
    // Gone once closed; an action chosen runs before that.
    connect(menu, &QMenu::aboutToHide, menu, &QObject::deleteLater);
    m_menu = menu;
    menu->popup(mapToGlobal(QPoint(0, height())));
}
