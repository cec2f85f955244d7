#include "ui/presets/PresetsSection.h"

#include "core/SettingsKeys.h"
#include "core/TimerManager.h"
#include "platform/Preferences.h"
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
#include "ui/presets/PresetRow.h"
#include "ui/presets/PresetsLook.h"
#include "ui/presets/PresetsScreenModel.h"
#include "ui/presets/SectionHeader.h"

#include <QEvent>
#include <QLabel>
#include <QVBoxLayout>

namespace {

QWidget* inset(QWidget* widget, const QMargins& shadow) {
    auto* box = new QWidget(widget->parentWidget());
    auto* layout = new QVBoxLayout(box);
    layout->setContentsMargins(shadow.left(), 0, shadow.right(), 0);
    layout->addWidget(widget);
    return box;
}

} // namespace

PresetsSection::PresetsSection(PresetsScreenModel& model, ThemeStore& theme, Preferences& preferences,
                               QWidget* parent)
    : QWidget(parent), m_model(model), m_theme(theme) {
    setObjectName(QStringLiteral("presetsScreen.presets"));
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(8);
    const QColor accent = m_theme.activeAccentColor();

    m_card = new SurfaceWidget(SurfaceWidget::Kind::card, this);
    const QMargins shadow = m_card->shadowMargins();

    m_header = new SectionHeader(this);
    m_header->setObjectName(QStringLiteral("presetsScreen.presets.header"));
    column->addWidget(inset(m_header, shadow));
    m_subtitle = new TokenLabel(QvColor::qvInkMuted(), this);
    m_subtitle->setObjectName(QStringLiteral("presetsScreen.presets.subtitle"));
    m_subtitle->setFont(QvFont::qvText(13, QFont::Normal));
    m_subtitle->setWordWrap(true);
    column->addWidget(inset(m_subtitle, shadow));

    m_empty = new SurfaceWidget(SurfaceWidget::Kind::card, this);
    m_empty->setObjectName(QStringLiteral("presetsScreen.empty"));
    m_empty->setCornerRadius(20);
    auto* empty = new QVBoxLayout(m_empty);
    empty->setContentsMargins(0, 0, 0, 0); // the card's padding is all the room around its content
    empty->setSpacing(8);
    auto* symbol = new QLabel(m_empty);
    symbol->setPixmap(SymbolIcon::pixmap(QStringLiteral("clock.badge.plus"), QSize(32, 32),
                                         QvColor::qvInkMuted().resolve(ViewEnvironment::colorScheme(this)),
                                         devicePixelRatioF()));
    symbol->setAlignment(Qt::AlignCenter);
    symbol->setContentsMargins(0, 0, 0, 4);
    empty->addWidget(symbol);
    m_emptyMessage = new TokenLabel(QvColor::qvInkSecondary(), m_empty);
    m_emptyMessage->setFont(QvFont::qvText(14, QFont::Normal));
    m_emptyMessage->setAlignment(Qt::AlignCenter);
    m_emptyMessage->setWordWrap(true);
    empty->addWidget(m_emptyMessage);
    column->addWidget(m_empty);

    m_card->setObjectName(QStringLiteral("presetsScreen.presetsCard"));
    AccessibleTraits::setRole(m_card, QAccessible::List);
    m_card->setCornerRadius(20);
    m_card->setPadding(QMargins(1, 1, 1, 1));
    m_cardLayout = new QVBoxLayout(m_card);
    m_cardLayout->setContentsMargins(0, 0, 0, 0); // rows reach the card's edges; their padding insets them
    m_cardLayout->setSpacing(0);
    column->addWidget(m_card);

    m_add = new LabelButton(PresetsLook::pressedScale, PresetsLook::sectionChip(accent), this);
    m_add->setObjectName(QStringLiteral("presetsScreen.addButton"));
    m_add->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    // Never disabled: the engine enforces the limit when the editor saves.
    connect(m_add, &QAbstractButton::clicked, &m_model, &PresetsScreenModel::openAddPreset);
    column->addWidget(
        inset(m_add, shadow - QMargins(LabelButton::focusRingRoom, 0, LabelButton::focusRingRoom, 0)));

    connect(&m_model.timerManager(), &TimerManager::presetsChanged, this, &PresetsSection::refresh);
    connect(&m_model.focusCoordinator(), &PopoverFocusCoordinator::changed, this,
            &PresetsSection::refreshSelection);
    connect(&m_theme, &ThemeStore::changed, this, &PresetsSection::refreshAccent);
    connect(&preferences, &Preferences::changed, this, [this](const QString& key) {
        if (key == SettingsKeys::appLanguage.key) {
            for (PresetRow* row : m_order) {
                row->refresh();
            }
        }
    });
    retranslate();
    setDensity(ViewEnvironment::displayDensity(this));
    refresh();
}

PresetRow* PresetsSection::selectedRow() const {
    for (qsizetype i = 0; i < m_order.size(); ++i) {
        if (m_model.isPresetRowSelected(i)) {
            return m_order.at(i);
        }
    }
    return nullptr;
}

void PresetsSection::setDensity(DisplayDensity density) {
    m_density = density;
    const int vertical = int(scaled(density, 32));
    const int horizontal = int(scaled(density, 16));
    m_empty->setPadding(QMargins(horizontal, vertical, horizontal, vertical));
    for (PresetRow* row : m_order) {
        row->setCompact(density == DisplayDensity::compact);
    }
}

void PresetsSection::refresh() {
    const QList<TimerPreset>& presets = m_model.timerManager().presets();
    m_header->setCount(presets.size());
    m_empty->setVisible(presets.isEmpty());
    m_card->setVisible(!presets.isEmpty());

    QHash<QUuid, PresetRow*> kept;
    QList<PresetRow*> order;
    const QColor accent = m_theme.activeAccentColor();
    for (const TimerPreset& preset : presets) {
        PresetRow* row = m_rows.take(preset.id);
        if (!row) {
            row = new PresetRow(m_model, preset, m_card);
            row->setCompact(m_density == DisplayDensity::compact);
            row->setAccent(accent);
        } else {
            row->setPreset(preset);
        }
        kept.insert(preset.id, row);
        order.append(row);
    }
    for (PresetRow* gone : std::as_const(m_rows)) {
        gone->hide();
        gone->deleteLater();
    }
    m_rows = kept;
    m_order = order;
    for (qsizetype i = 0; i < m_order.size(); ++i) {
        PresetRow* row = m_order.at(i);
        m_cardLayout->removeWidget(row);
        m_cardLayout->insertWidget(int(i), row);
        row->setPlace(i == 0, i == m_order.size() - 1);
        row->show();
    }
    refreshSelection();
}

void PresetsSection::refreshSelection() {
    for (qsizetype i = 0; i < m_order.size(); ++i) {
        m_order.at(i)->setSelected(m_model.isPresetRowSelected(i));
    }
}

void PresetsSection::refreshAccent() {
    m_add->setLook(PresetsLook::sectionChip(m_theme.activeAccentColor()));
    for (PresetRow* row : m_order) {
        row->setAccent(m_theme.activeAccentColor());
    }
}

void PresetsSection::retranslate() {
    m_header->setTitle(tr("Quick Durations"));
    m_subtitle->setText(tr("Save lengths you use often. Select one to review it before starting."));
    m_emptyMessage->setText(tr("Add a preset to start a timer in one tap"));
    m_add->setText(tr("Add Preset"));
    m_add->setAccessibleName(tr("Add Preset"));
}

void PresetsSection::changeEvent(QEvent* event) {
    if (event->type() == QEvent::LanguageChange) {
        retranslate();
    }
    QWidget::changeEvent(event);
}
