#pragma once
// The settings control for the menu-bar label: one live preview button per display mode and per icon style.

#include "theme/MenuBarDisplayMode.h"
#include "theme/MenuBarIconStyle.h"

#include <QList>
#include <QWidget>

class Preferences;
class TokenLabel;
class MenuBarPreviewButton;

class MenuBarAppearancePicker : public QWidget {
    Q_OBJECT
public:
    // Bound to the menu-bar display mode and icon style settings of `defaults`: it shows what they hold
    // and writes a tapped choice there; it keeps no selection of its own.
    explicit MenuBarAppearancePicker(Preferences& defaults, QWidget* parent = nullptr);

    // What the stored texts select; a text that names no choice selects "Time" and "Wind-up".
    MenuBarDisplayMode currentMode() const;
    MenuBarIconStyle currentIconStyle() const;

    static QString objectNameFor(const QString& raw);

protected:
    void changeEvent(QEvent* event) override;

private:
    void refresh();
    void retranslate();

    Preferences& m_defaults;
    TokenLabel* m_layoutHeading;
    TokenLabel* m_iconHeading;
    QList<MenuBarPreviewButton*> m_modeButtons;
    QList<MenuBarPreviewButton*> m_iconButtons;
};
