#include "ui/presets/PresetRow.h"

#include "platform/JsonCodec.h"
#include "theme/QvColor.h"
#include "theme/QvFont.h"
#include "theme/SymbolIcon.h"
#include "ui/kit/TabularTokenLabel.h"
#include "ui/kit/TokenLabel.h"
#include "ui/presets/ElidedLabel.h"
#include "ui/presets/OptionsMenuButton.h"
#include "ui/presets/PresetsScreenModel.h"
#include "ui/presets/ShortcutBadge.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QMenu>
#include <QVBoxLayout>

PresetRow::PresetRow(PresetsScreenModel& model, const TimerPreset& preset, QWidget* parent)
    : ListRow(parent), m_model(model), m_preset(preset) {
    const QString id = JsonCodec::uuidText(preset.id);
    setObjectName(QStringLiteral("presetsScreen.row.") + id);
    // As tall as its width makes the purpose line: a fixed height would hold it to one line's hint.
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    auto* row = new QHBoxLayout(this);
    row->setSpacing(16);

    auto* leading = new QVBoxLayout;
    leading->setSpacing(2);
    m_name = new ElidedLabel(QvColor::qvInkPrimary(), this);
    m_name->setFont(QvFont::qvText(14, QFont::Medium));
    leading->addWidget(m_name);
    m_purpose = new TokenLabel(QvColor::qvInkMuted(), this);
    m_purpose->setObjectName(QStringLiteral("presetsScreen.row.purpose.") + id);
    m_purpose->setFont(QvFont::qvText(12, QFont::Normal));
    m_purpose->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // Whole, over as many lines as it takes; the row grows to hold them.
    m_purpose->setWordWrap(true);
    leading->addWidget(m_purpose);
    // The two texts stay together, centred in a row the buttons make taller.
    leading->insertStretch(0, 1);
    leading->addStretch(1);
    row->addLayout(leading, 1);

    m_duration = new TabularTokenLabel(QvColor::qvInkPrimary(), this);
    m_duration->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_duration->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    m_duration->setObjectName(QStringLiteral("presetsScreen.row.duration.") + id);
    QFont durationFont = QvFont::qvText(22, QFont::ExtraBold);
    durationFont.setLetterSpacing(QFont::AbsoluteSpacing, -0.5);
    m_duration->setFont(durationFont);
    row->addWidget(m_duration);

    m_badge = new ShortcutBadge(this);
    m_badge->setObjectName(QStringLiteral("presetsScreen.row.shortcut.") + id);
    connect(m_badge, &QAbstractButton::clicked, this,
            [this] { m_model.setShortcutPopoverPresetID(m_preset.id); });
    row->addWidget(m_badge);

    m_menu = new OptionsMenuButton(
        [this](QMenu& menu) {
            const TimerPreset presetNow = m_preset;
            const QColor onHighlight = menu.palette().color(QPalette::Active, QPalette::HighlightedText);
            QAction* edit = menu.addAction(
                SymbolIcon::icon(QStringLiteral("pencil"), palette().text().color(), onHighlight),
                tr("Edit"));
            edit->setObjectName(QStringLiteral("edit"));
            connect(edit, &QAction::triggered, &m_model,
                    [this, presetNow] { m_model.editPreset(presetNow); });
            QAction* remove =
                menu.addAction(SymbolIcon::icon(QStringLiteral("trash"),
                                                QvColor::qvDanger().resolve(ColorScheme::light), onHighlight),
                               tr("Delete"));
            remove->setObjectName(QStringLiteral("delete"));
            connect(remove, &QAction::triggered, &m_model,
                    [this, presetNow] { m_model.removePreset(presetNow); });
        },
        this);
    m_menu->setObjectName(QStringLiteral("presetsScreen.row.menu.") + id);
    row->addWidget(m_menu);

    readTextsInLabel({m_name, m_purpose, m_duration});
    connect(this, &ListRow::activated, this, [this] { m_model.choosePreset(m_preset); });
    connect(&m_model, &PresetsScreenModel::shortcutLabelChanged, this, [this](const QUuid& changed) {
        if (changed == m_preset.id) {
            refresh();
        }
    });
    setCompact(false);
    setPreset(preset);
}

void PresetRow::setCompact(bool compact) {
    layout()->setContentsMargins(compact ? 12 : 16, compact ? 6 : 8, compact ? 12 : 16, compact ? 6 : 8);
}

void PresetRow::setPreset(const TimerPreset& preset) {
    m_preset = preset;
    m_name->setFullText(preset.name);
    m_duration->setText(PresetsScreenModel::formattedDuration(preset));
    refresh();
}

void PresetRow::refresh() {
    m_purpose->setText(m_model.purposeText(m_preset));
    const auto label = m_model.shortcutLabel(m_preset.id);
    m_badge->setLabel(label);
    m_badge->setAccessibleName(label ? tr("%1 shortcut %2").arg(m_preset.name, *label)
                                     : tr("Assign a key to %1").arg(m_preset.name));
    m_badge->setToolTip(m_badge->accessibleName());
    setAccessibleName(tr("%1, %2").arg(m_preset.name, PresetsScreenModel::formattedDuration(m_preset)));
    setAccessibleDescription(tr("Select to review before starting"));
    m_menu->setAccessibleName(tr("Options for preset %1").arg(m_preset.name));
}

void PresetRow::showEvent(QShowEvent* event) {
    ListRow::showEvent(event);
    // The badge on screen: its text is read from the store once, if none is cached yet.
    m_model.badgeAppeared(m_preset);
}

void PresetRow::changeEvent(QEvent* event) {
    if (event->type() == QEvent::LanguageChange) {
        refresh();
    }
    ListRow::changeEvent(event);
}
