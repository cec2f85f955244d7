#include "ui/home/QueueMenu.h"

#include "core/TimerItem.h"
#include "theme/QvColor.h"
#include "theme/SymbolIcon.h"
#include "ui/home/QueueListModel.h"
#include "ui/home/TimersTabModel.h"
#include "ui/kit/TimerListModel.h"
#include "ui/kit/ViewEnvironment.h"

#include <QAction>
#include <QEvent>

#include <algorithm>

namespace {

// Menus read "&" as a shortcut marker; a timer's title shows every character as typed.
QString menuText(QString text) {
    return text.replace(QLatin1Char('&'), QStringLiteral("&&"));
}

QAction* toggleActionOf(QMenu* entry) {
    return entry->actions().value(0);
}

QAction* cancelActionOf(QMenu* entry) {
    return entry->actions().value(1);
}

} // namespace

QueueMenu::QueueMenu(QueueListModel& rows, TimersTabModel& tab, QWidget* parent)
    : QMenu(parent), m_rows(rows), m_tab(tab) {
    setObjectName(QStringLiteral("quorvane.queue.menu"));
    // Its own row is drawn by the menu it opens from.
    const QWidget* host = parent ? parent : this;
    setIcon(SymbolIcon::icon(QStringLiteral("list.bullet"),
                             QvColor::qvTextPrimary().resolve(ViewEnvironment::colorScheme(this)),
                             host->palette().color(QPalette::Active, QPalette::HighlightedText)));
    connect(&m_rows, &QAbstractItemModel::rowsInserted, this,
            [this](const QModelIndex&, int first, int last) { insertEntries(first, last); });
    connect(&m_rows, &QAbstractItemModel::rowsRemoved, this,
            [this](const QModelIndex&, int first, int last) { removeEntries(first, last); });
    connect(&m_rows, &QAbstractItemModel::dataChanged, this,
            [this](const QModelIndex& from, const QModelIndex& to) { refreshEntries(from.row(), to.row()); });
    connect(&m_rows, &QAbstractItemModel::modelReset, this, &QueueMenu::rebuild);
    connect(&m_rows, &QAbstractItemModel::layoutChanged, this, &QueueMenu::rebuild);
    connect(&m_rows, &QAbstractItemModel::rowsMoved, this, &QueueMenu::rebuild);
    rebuild();
}

QColor QueueMenu::onHighlight() const {
    // The entries are menus of the same kind, drawn with the same palette.
    return palette().color(QPalette::Active, QPalette::HighlightedText);
}

QUuid QueueMenu::entryId(int row) const {
    return m_entries.at(row)->menuAction()->data().toUuid();
}

QString QueueMenu::entryTitle(const QString& title, const QString& displayTime) {
    return title.isEmpty() ? displayTime : title;
}

QMenu* QueueMenu::makeEntry(int row) {
    auto* entry = new QMenu(this);
    const ColorScheme scheme = ViewEnvironment::colorScheme(this);
    // The id is read when an item is chosen, so an entry always acts on its own timer.
    auto* toggle = entry->addAction(QString());
    toggle->setObjectName(QStringLiteral("quorvane.queue.toggle"));
    connect(toggle, &QAction::triggered, this,
            [this, entry] { m_tab.toggleTimer(entry->menuAction()->data().toUuid()); });
    auto* cancel = entry->addAction(
        SymbolIcon::icon(QStringLiteral("xmark"), QvColor::qvDestructive().resolve(scheme), onHighlight()),
        tr("Cancel"));
    cancel->setObjectName(QStringLiteral("quorvane.queue.cancel"));
    connect(cancel, &QAction::triggered, this,
            [this, entry] { m_tab.cancelTimer(entry->menuAction()->data().toUuid()); });
    m_entries.insert(row, entry);
    fillEntry(row);
    return entry;
}

void QueueMenu::fillEntry(int row) {
    QMenu* entry = m_entries.at(row);
    const QModelIndex index = m_rows.index(row, 0);
    const QUuid id = index.data(TimerListModel::IdRole).toUuid();
    const QString title = menuText(entryTitle(index.data(TimerListModel::TitleRole).toString(),
                                              index.data(TimerListModel::DisplayTimeRole).toString()));
    const bool running = index.data(TimerListModel::StateRole).value<TimerState>() == TimerState::running;
    // Set only what differs, so an entry the tick did not change is not touched at all.
    if (entry->menuAction()->data().toUuid() != id) {
        entry->menuAction()->setData(id);
    }
    if (entry->title() != title) {
        entry->setTitle(title);
    }
    QAction* toggle = toggleActionOf(entry);
    const QString label = running ? tr("Pause") : tr("Start");
    const QVariant shown = toggle->property("running");
    if (!shown.isValid() || shown.toBool() != running || toggle->text() != label) {
        toggle->setText(label);
        toggle->setProperty("running", running);
        toggle->setIcon(SymbolIcon::icon(running ? QStringLiteral("pause.fill") : QStringLiteral("play.fill"),
                                         QvColor::qvTextPrimary().resolve(ViewEnvironment::colorScheme(this)),
                                         onHighlight()));
    }
}

void QueueMenu::insertEntries(int first, int last) {
    for (int row = first; row <= last; ++row) {
        QAction* before = row < m_entries.size() ? m_entries.at(row)->menuAction() : nullptr;
        QMenu* entry = makeEntry(row);
        insertMenu(before, entry);
    }
    refreshTitle();
}

void QueueMenu::removeEntries(int first, int last) {
    for (int row = last; row >= first; --row) {
        QMenu* entry = m_entries.takeAt(row);
        removeAction(entry->menuAction());
        // An item of this entry may be the one being chosen right now: the entry goes after it is done.
        entry->deleteLater();
    }
    refreshTitle();
}

void QueueMenu::refreshEntries(int first, int last) {
    for (int row = std::max(0, first); row <= last && row < m_entries.size(); ++row) {
        fillEntry(row);
    }
}

void QueueMenu::rebuild() {
    for (QMenu* entry : std::as_const(m_entries)) {
        removeAction(entry->menuAction());
        entry->deleteLater();
    }
    m_entries.clear();
    const int count = m_rows.rowCount();
    for (int row = 0; row < count; ++row) {
        addMenu(makeEntry(row));
    }
    refreshTitle();
}

void QueueMenu::refreshTitle() {
    const QString title = tr("Up Next (%1)").arg(m_entries.size());
    if (title != this->title()) {
        setTitle(title);
    }
}

void QueueMenu::changeEvent(QEvent* event) {
    if (event->type() == QEvent::LanguageChange) {
        refreshTitle();
        for (int row = 0; row < m_entries.size(); ++row) {
            if (QAction* cancel = cancelActionOf(m_entries.at(row))) {
                cancel->setText(tr("Cancel"));
            }
            fillEntry(row);
        }
    }
    QMenu::changeEvent(event);
}
