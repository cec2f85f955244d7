#pragma once
// The tiles of the sound gallery. A SoundCard shows one sound: a play badge, its name, a check mark when it
// is the chosen one and, for the user's own sounds, a menu to rename or delete it; a tap chooses and plays
// it. The AddSoundCard ends the user's group and asks for the file dialog.

#include "services/TimerSound.h"
#include "ui/kit/PressableButton.h"

#include <QPointer>

class QMenu;
class QAction;
class SoundCardMenuButton;

class SoundCard : public PressableButton {
    Q_OBJECT
public:
    static constexpr int minimumHeight = 94;

    // Built-in sounds get no menu; user sounds get "Rename" and "Delete".
    SoundCard(const TimerSound& sound, QWidget* parent = nullptr);

    const TimerSound& sound() const { return m_sound; }
    bool isSelected() const { return m_selected; }
    void setSelected(bool selected);
    // The menu is offered only on an unselected user sound.
    bool offersMenu() const;
    QMenu* menu() const { return m_menu; }
    // The "…" that opens the menu; shown while the menu is offered.
    QAbstractButton* menuButton() const;
    QAction* renameAction() const { return m_rename; }
    QAction* deleteAction() const { return m_delete; }
    // Opens the menu under its mark (also the Menu key or Shift+F10).
    void popupMenu();

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    void renameRequested(const TimerSound& sound);
    void deleteRequested(const TimerSound& sound);

protected:
    void paintFace(QPainter& painter) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    QRectF menuMarkRect() const;
    void placeMenuButton();
    void retranslate();

    TimerSound m_sound;
    bool m_selected = false;
    bool m_hovered = false;
    QMenu* m_menu = nullptr;
    QAction* m_rename = nullptr;
    QAction* m_delete = nullptr;
    SoundCardMenuButton* m_menuButton = nullptr;
};

class AddSoundCard : public PressableButton {
    Q_OBJECT
public:
    explicit AddSoundCard(QWidget* parent = nullptr);

    QSize sizeHint() const override { return {90, 74}; }
    QSize minimumSizeHint() const override { return {40, 74}; }

protected:
    void paintFace(QPainter& painter) override;
    void changeEvent(QEvent* event) override;
};
