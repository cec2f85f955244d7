#pragma once
// Stand-in root of the popover until the popover screens land: the timers with their remaining time, and a
// button that quits the program.

#include <QWidget>

class QLabel;
class QListView;
class QPushButton;
class TimerListModel;
class TimerManager;

class PopoverPlaceholderRoot : public QWidget {
    Q_OBJECT
public:
    explicit PopoverPlaceholderRoot(TimerManager& timerManager, QWidget* parent = nullptr);

    TimerListModel& model() const { return *m_model; }
    QListView* list() const { return m_list; }

protected:
    void changeEvent(QEvent* event) override;

private:
    void retranslate();
    void updateEmptyState();

    TimerListModel* m_model = nullptr;
    QLabel* m_heading = nullptr;
    QListView* m_list = nullptr;
    QLabel* m_empty = nullptr;
    QPushButton* m_quit = nullptr;
};
