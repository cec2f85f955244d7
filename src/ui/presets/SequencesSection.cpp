#include "ui/presets/SequencesSection.h"

#include "core/TimerManager.h"
#include "theme/QvColor.h"
#include "theme/QvFont.h"
#include "theme/SymbolIcon.h"
#include "theme/ThemeStore.h"
#include "ui/kit/AccessibleTraits.h"
#include "ui/kit/LabelButton.h"
#include "ui/kit/SurfaceWidget.h"
#include "ui/kit/TokenLabel.h"
#include "ui/kit/ViewEnvironment.h"
#include "ui/popover/PopoverFocusCoordinator.h"
#include "ui/presets/CurrentSequenceCard.h"
#include "ui/presets/PresetsLook.h"
#include "ui/presets/PresetsScreenModel.h"
#include "ui/presets/SectionHeader.h"
#include "ui/presets/SequenceRow.h"

#include <QEvent>
#include <QLabel>
#include <QVBoxLayout>

namespace {

// A widget kept in line with the cards' visible edges, which sit inside their shadow room.
QWidget* inset(QWidget* widget, const QMargins& shadow) {
    auto* box = new QWidget(widget->parentWidget());
    auto* layout = new QVBoxLayout(box);
    layout->setContentsMargins(shadow.left(), 0, shadow.right(), 0);
    layout->addWidget(widget);
    return box;
}

} // namespace

SequencesSection::SequencesSection(PresetsScreenModel& model, ThemeStore& theme, QWidget* parent)
    : QWidget(parent), m_model(model), m_theme(theme) {
    setObjectName(QStringLiteral("presetsScreen.sequences"));
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(8);
    const QColor accent = m_theme.activeAccentColor();

    m_list = new SurfaceWidget(SurfaceWidget::Kind::card, this);
    const QMargins shadow = m_list->shadowMargins();

    m_header = new SectionHeader(this);
    m_header->setObjectName(QStringLiteral("presetsScreen.sequences.header"));
    column->addWidget(inset(m_header, shadow));

    m_empty = new SurfaceWidget(SurfaceWidget::Kind::card, this);
    m_empty->setObjectName(QStringLiteral("presetsScreen.sequences.empty"));
    m_empty->setCornerRadius(20);
    auto* empty = new QVBoxLayout(m_empty);
    empty->setContentsMargins(0, 0, 0, 0); // the card's padding is all the room around its content
    empty->setSpacing(8);
    auto* symbol = new QLabel(m_empty);
    symbol->setPixmap(SymbolIcon::pixmap(QStringLiteral("square.stack.3d.up.slash"), QSize(32, 32),
                                         QvColor::qvInkMuted().resolve(ViewEnvironment::colorScheme(this)),
                                         devicePixelRatioF()));
    symbol->setAlignment(Qt::AlignCenter);
    symbol->setContentsMargins(0, 0, 0, 4);
    empty->addWidget(symbol);
    m_emptyTitle = new TokenLabel(QvColor::qvInkPrimary(), m_empty);
    m_emptyTitle->setFont(QvFont::qvText(14, QFont::DemiBold));
    m_emptyTitle->setAlignment(Qt::AlignCenter);
    empty->addWidget(m_emptyTitle);
    m_emptyMessage = new TokenLabel(QvColor::qvInkMuted(), m_empty);
    m_emptyMessage->setFont(QvFont::qvText(12, QFont::Normal));
    m_emptyMessage->setAlignment(Qt::AlignCenter);
    m_emptyMessage->setWordWrap(true);
    empty->addWidget(m_emptyMessage);
    empty->addSpacing(4);
    m_create = new LabelButton(PresetsLook::pressedScale, PresetsLook::accentAction(accent, 13), m_empty);
    m_create->setObjectName(QStringLiteral("presetsScreen.sequences.create"));
    connect(m_create, &QAbstractButton::clicked, &m_model, &PresetsScreenModel::openNewSequence);
    empty->addWidget(m_create, 0, Qt::AlignHCenter);
    column->addWidget(m_empty);

    m_current = new CurrentSequenceCard(m_model, accent, this);
    column->addWidget(m_current);

    m_list->setObjectName(QStringLiteral("presetsScreen.sequences.list"));
    AccessibleTraits::setRole(m_list, QAccessible::List);
    m_list->setCornerRadius(20);
    m_list->setPadding(QMargins(1, 1, 1, 1));
    m_listLayout = new QVBoxLayout(m_list);
    m_listLayout->setContentsMargins(0, 0, 0, 0); // rows reach the card's edges; their padding insets them
    m_listLayout->setSpacing(0);
    column->addWidget(m_list);

    m_newSequence = new LabelButton(PresetsLook::pressedScale, PresetsLook::sectionChip(accent), this);
    m_newSequence->setObjectName(QStringLiteral("presetsScreen.newSequenceButton"));
    m_newSequence->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    connect(m_newSequence, &QAbstractButton::clicked, &m_model, &PresetsScreenModel::openNewSequence);
    column->addWidget(inset(m_newSequence,
                            shadow - QMargins(LabelButton::focusRingRoom, 0, LabelButton::focusRingRoom, 0)));

    TimerManager& engine = m_model.timerManager();
    connect(&engine, &TimerManager::sequencesChanged, this, &SequencesSection::refresh);
    connect(&engine, &TimerManager::activeSequenceIDChanged, this, &SequencesSection::refresh);
    connect(&m_model.focusCoordinator(), &PopoverFocusCoordinator::changed, this,
            &SequencesSection::refreshSelection);
    connect(&m_theme, &ThemeStore::changed, this, &SequencesSection::refreshAccent);
    retranslate();
    setDensity(ViewEnvironment::displayDensity(this));
    refresh();
}

SequenceRow* SequencesSection::selectedRow() const {
    for (qsizetype i = 0; i < m_order.size(); ++i) {
        if (m_model.isSequenceRowSelected(i)) {
            return m_order.at(i);
        }
    }
    return nullptr;
}

void SequencesSection::setDensity(DisplayDensity density) {
    m_density = density;
    const int vertical = int(scaled(density, 32));
    const int horizontal = int(scaled(density, 16));
    m_empty->setPadding(QMargins(horizontal, vertical, horizontal, vertical));
    for (SequenceRow* row : m_order) {
        row->setCompact(density == DisplayDensity::compact);
    }
}

void SequencesSection::refresh() {
    const QList<TimerSequence>& sequences = m_model.timerManager().sequences();
    m_header->setCount(sequences.size());
    const bool none = sequences.isEmpty();
    m_empty->setVisible(none);
    m_list->setVisible(!none);
    const auto current = m_model.currentSequence();
    m_current->setVisible(!none && current.has_value());
    if (current) {
        m_current->setSequence(*current, m_model.isActive(*current));
    }

    // Rows by id: kept, updated and put in list order; those of removed sequences go.
    QHash<QUuid, SequenceRow*> kept;
    QList<SequenceRow*> order;
    const QColor accent = m_theme.activeAccentColor();
    for (const TimerSequence& sequence : sequences) {
        SequenceRow* row = m_rows.take(sequence.id);
        if (!row) {
            row = new SequenceRow(m_model, sequence, m_list);
            row->setCompact(m_density == DisplayDensity::compact);
            row->setAccent(accent);
        }
        row->setSequence(sequence, m_model.isActive(sequence));
        kept.insert(sequence.id, row);
        order.append(row);
    }
    for (SequenceRow* gone : std::as_const(m_rows)) {
        gone->hide();
        gone->deleteLater();
    }
    m_rows = kept;
    m_order = order;
    for (qsizetype i = 0; i < m_order.size(); ++i) {
        SequenceRow* row = m_order.at(i);
        m_listLayout->removeWidget(row);
        m_listLayout->insertWidget(int(i), row);
        row->setPlace(i == 0, i == m_order.size() - 1);
        row->show();
    }
    refreshSelection();
}

void SequencesSection::refreshSelection() {
    for (qsizetype i = 0; i < m_order.size(); ++i) {
        m_order.at(i)->setSelected(m_model.isSequenceRowSelected(i));
    }
    m_current->refreshSelection();
}

void SequencesSection::refreshAccent() {
    const QColor accent = m_theme.activeAccentColor();
    m_create->setLook(PresetsLook::accentAction(accent, 13));
    m_newSequence->setLook(PresetsLook::sectionChip(accent));
    m_current->setAccent(accent);
    for (SequenceRow* row : m_order) {
        row->setAccent(accent);
    }
}

void SequencesSection::retranslate() {
    m_header->setTitle(tr("Sequences"));
    m_emptyTitle->setText(tr("No sequences yet"));
    m_emptyMessage->setText(tr("Build a focus and break rhythm."));
    m_create->setText(tr("Create Sequence"));
    m_newSequence->setText(tr("New Sequence"));
    m_newSequence->setAccessibleName(tr("New Sequence"));
}

void SequencesSection::changeEvent(QEvent* event) {
    if (event->type() == QEvent::LanguageChange) {
        retranslate();
    }
    QWidget::changeEvent(event);
}
