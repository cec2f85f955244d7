#include "shell/PopoverPlaceholderRoot.h"

#include "ui/kit/TimerListModel.h"

#include <QCoreApplication>
#include <QEvent>
#include <QLabel>
#include <QListView>
#include <QPainter>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QVBoxLayout>

namespace {

// One row: the title on the left, the remaining time on the right.
class TimerRowDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        QStyleOptionViewItem background = option;
        initStyleOption(&background, index);
        background.text.clear();
        QStyle* style = option.widget ? option.widget->style() : nullptr;
        if (style) {
            style->drawControl(QStyle::CE_ItemViewItem, &background, painter, option.widget);
        }
        const QRect area = option.rect.adjusted(12, 0, -12, 0);
        const QString time = index.data(TimerListModel::DisplayTimeRole).toString();
        QString title = index.data(TimerListModel::TitleRole).toString();
        if (title.isEmpty()) {
            title = QCoreApplication::translate("PopoverPlaceholderRoot", "Timer");
        }
        painter->save();
        painter->setPen(option.palette.color(QPalette::Text));
        const int timeWidth = option.fontMetrics.horizontalAdvance(time);
        painter->drawText(area, Qt::AlignVCenter | Qt::AlignRight, time);
        const QRect titleArea = area.adjusted(0, 0, -(timeWidth + 16), 0);
        painter->drawText(titleArea, Qt::AlignVCenter | Qt::AlignLeft,
                          option.fontMetrics.elidedText(title, Qt::ElideRight, titleArea.width()));
        painter->restore();
    }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        size.setHeight(std::max(size.height(), 36));
        return size;
    }
};

} // namespace

PopoverPlaceholderRoot::PopoverPlaceholderRoot(TimerManager& timerManager, QWidget* parent)
    : QWidget(parent), m_model(new TimerListModel(timerManager, this)) {
    setObjectName(QStringLiteral("quorvane.popoverRoot"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(18, 18, 18, 18);
    layout->setSpacing(12);

    m_heading = new QLabel(this);
    QFont headingFont = m_heading->font();
    headingFont.setPixelSize(20);
    headingFont.setWeight(QFont::Bold);
    m_heading->setFont(headingFont);
    layout->addWidget(m_heading);

    m_list = new QListView(this);
    m_list->setObjectName(QStringLiteral("quorvane.popoverRoot.timers"));
    m_list->setModel(m_model);
    m_list->setItemDelegate(new TimerRowDelegate(m_list));
    m_list->setUniformItemSizes(true);
    m_list->setSelectionMode(QAbstractItemView::NoSelection);
    m_list->setFocusPolicy(Qt::NoFocus);
    QFont rowFont = m_list->font();
    rowFont.setPixelSize(15);
    m_list->setFont(rowFont);
    layout->addWidget(m_list, 1);

    m_empty = new QLabel(this);
    m_empty->setObjectName(QStringLiteral("quorvane.popoverRoot.empty"));
    m_empty->setAlignment(Qt::AlignCenter);
    layout->addWidget(m_empty, 1);

    m_quit = new QPushButton(this);
    m_quit->setObjectName(QStringLiteral("quorvane.popoverRoot.quit"));
    layout->addWidget(m_quit);
    // The ordinary quit path: the list is saved on the way out.
    connect(m_quit, &QPushButton::clicked, qApp, &QCoreApplication::quit, Qt::QueuedConnection);

    connect(m_model, &QAbstractItemModel::rowsInserted, this, &PopoverPlaceholderRoot::updateEmptyState);
    connect(m_model, &QAbstractItemModel::rowsRemoved, this, &PopoverPlaceholderRoot::updateEmptyState);
    connect(m_model, &QAbstractItemModel::modelReset, this, &PopoverPlaceholderRoot::updateEmptyState);
    updateEmptyState();
    retranslate();
}

void PopoverPlaceholderRoot::updateEmptyState() {
    const bool empty = m_model->rowCount() == 0;
    m_list->setVisible(!empty);
    m_empty->setVisible(empty);
}

void PopoverPlaceholderRoot::retranslate() {
    m_heading->setText(tr("Timers"));
    m_empty->setText(tr("No timers"));
    m_quit->setText(tr("Quit TarvolinTimer"));
    m_list->viewport()->update();
}

void PopoverPlaceholderRoot::changeEvent(QEvent* event) {
    if (event->type() == QEvent::LanguageChange) {
        retranslate();
    }
    QWidget::changeEvent(event);
}
