#pragma once
// The timers tab's "More" button: a small ellipsis button whose menu holds the queue ("Up Next"), the task
// chain entry and the floating window switch. The menu's items are chosen when it opens; while it is open
// the queue's entries follow the timers.

#include "ui/home/QueueListModel.h"
#include "ui/home/QueueMenu.h"
#include "ui/kit/PressableButton.h"

#include <QPointer>
#include <QVariantAnimation>

class TimersTabModel;

class ToolRow : public PressableButton {
    Q_OBJECT
public:
    static constexpr int side = 32;

    // The model must outlive the button.
    explicit ToolRow(TimersTabModel& model, QWidget* parent = nullptr);

    QMenu* menu() const { return m_menu; }
    // While the menu is open: its queue submenu (also when it holds nothing), and its other items.
    QueueMenu* queueMenu() const { return m_queueMenu; }
    QAction* taskChainAction() const { return m_taskChain; }
    QAction* floatingWindowAction() const { return m_floatingWindow; }
    bool isHovered() const { return m_hovered; }
    // Opens the menu under the button, as a click does.
    void openMenu();

protected:
    void paintFace(QPainter& painter) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void fillMenu();
    void releaseMenu();
    void setHovered(bool hovered);
    void retranslate();

    TimersTabModel& m_model;
    QMenu* m_menu;
    QPointer<QueueListModel> m_queueRows;
    QPointer<QueueMenu> m_queueMenu;
    QAction* m_queueSeparator = nullptr;
    QAction* m_taskChain = nullptr;
    QAction* m_floatingWindow = nullptr;
    bool m_hovered = false;
    double m_hoverLevel = 0;
    QVariantAnimation m_hoverAnimation;
};
