#pragma once
// The "Up Next" submenu of the timers tab's overflow menu: one entry per queued timer, each a small menu to
// start or pause it and to cancel it. While it is open the entries follow the queue row by row: a tick
// renames the entry of an untitled running timer and leaves every other entry, and the pointer, alone.

#include <QList>
#include <QMenu>
#include <QUuid>

class QueueListModel;
class TimersTabModel;

class QueueMenu : public QMenu {
    Q_OBJECT
public:
    // Both must outlive the menu.
    QueueMenu(QueueListModel& rows, TimersTabModel& tab, QWidget* parent = nullptr);

    int entryCount() const { return int(m_entries.size()); }
    QMenu* entry(int row) const { return m_entries.at(row); }
    QUuid entryId(int row) const;
    // What an entry is called: the timer's title as written, or its remaining time when it has none.
    static QString entryTitle(const QString& title, const QString& displayTime);

protected:
    void changeEvent(QEvent* event) override;

private:
    // The colour an icon takes on a highlighted row.
    QColor onHighlight() const;
    QMenu* makeEntry(int row);
    void fillEntry(int row);
    void insertEntries(int first, int last);
    void removeEntries(int first, int last);
    void refreshEntries(int first, int last);
    void rebuild();
    void refreshTitle();

    QueueListModel& m_rows;
    TimersTabModel& m_tab;
    QList<QMenu*> m_entries;
};
