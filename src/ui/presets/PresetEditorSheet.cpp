#include "ui/presets/PresetEditorSheet.h"

#include "theme/QvColor.h"
#include "theme/QvFont.h"
#include "ui/kit/LabelButton.h"
#include "ui/kit/TokenLabel.h"
#include "ui/presets/EditorField.h"
#include "ui/presets/PresetEditorModel.h"
#include "ui/presets/PresetsLook.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QVBoxLayout>

PresetEditorSheet::PresetEditorSheet(PresetEditorModel* model, const QColor& accent, QWidget* parent)
    : SurfaceWidget(Kind::card, parent), m_model(model) {
    m_model->setParent(this);
    setObjectName(QStringLiteral("presetsScreen.addSheet"));
    setCornerRadius(20);
    setPadding(QMargins(24, 24, 24, 24));
    const QMargins shadow = shadowMargins();
    setFixedWidth(sheetWidth + shadow.left() + shadow.right());
    setMinimumHeight(sheetMinimumHeight + shadow.top() + shadow.bottom());
    auto* column = new QVBoxLayout(this);
    column->setSpacing(16);

    m_title = new TokenLabel(QvColor::qvInkPrimary(), this);
    m_title->setFont(QvFont::qvText(18, QFont::DemiBold));
    column->addWidget(m_title);

    auto* nameBlock = new QVBoxLayout;
    nameBlock->setSpacing(4);
    m_nameLabel = EditorField::makeLabel(this);
    nameBlock->addWidget(m_nameLabel);
    m_nameField = EditorField::makeField(this);
    m_nameField->setObjectName(QStringLiteral("presetsScreen.addSheet.nameField"));
    m_nameField->setText(m_model->name());
    nameBlock->addWidget(m_nameField);
    column->addLayout(nameBlock);

    auto* minutesBlock = new QVBoxLayout;
    minutesBlock->setSpacing(4);
    m_minutesLabel = EditorField::makeLabel(this);
    minutesBlock->addWidget(m_minutesLabel);
    m_minutesField = EditorField::makeField(this);
    m_minutesField->setObjectName(QStringLiteral("presetsScreen.addSheet.minutesField"));
    m_minutesField->setText(m_model->minutesText());
    minutesBlock->addWidget(m_minutesField);
    column->addLayout(minutesBlock);
    column->addStretch(1);

    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(8 - 2 * LabelButton::focusRingRoom);
    m_cancel = new LabelButton(PresetsLook::pressedScale, PresetsLook::cancelChip(), this);
    m_cancel->setObjectName(QStringLiteral("presetsScreen.addSheet.cancelButton"));
    buttons->addWidget(m_cancel);
    buttons->addStretch(1);
    m_save = new LabelButton(PresetsLook::pressedScale, PresetsLook::accentAction(accent, 13), this);
    m_save->setObjectName(QStringLiteral("presetsScreen.addSheet.saveButton"));
    buttons->addWidget(m_save);
    column->addLayout(buttons);

    connect(m_nameField, &QLineEdit::textEdited, m_model, &PresetEditorModel::setName);
    connect(m_minutesField, &QLineEdit::textEdited, m_model, &PresetEditorModel::setMinutesText);
    connect(m_model, &PresetEditorModel::changed, this, &PresetEditorSheet::refreshSave);
    connect(m_cancel, &QAbstractButton::clicked, m_model, &PresetEditorModel::cancel);
    connect(m_save, &QAbstractButton::clicked, m_model, &PresetEditorModel::save);
    retranslate();
    refreshSave();
}

void PresetEditorSheet::refreshSave() {
    m_save->setEnabled(m_model->canSave());
}

void PresetEditorSheet::retranslate() {
    m_title->setText(m_model->isNew() ? tr("New Preset") : tr("Edit Preset"));
    m_nameLabel->setText(tr("Name"));
    m_nameField->setPlaceholderText(tr("Focus Session"));
    m_minutesLabel->setText(tr("Duration (minutes)"));
    m_minutesField->setPlaceholderText(QStringLiteral("25"));
    m_cancel->setText(tr("Cancel"));
    m_save->setText(m_model->isNew() ? tr("Add") : tr("Save"));
}

void PresetEditorSheet::changeEvent(QEvent* event) {
    if (event->type() == QEvent::LanguageChange) {
        retranslate();
    }
    SurfaceWidget::changeEvent(event);
}
