#include "ui/focus/ChainStepRow.h"

#include "theme/QvColor.h"
#include "theme/QvFont.h"
#include "ui/focus/ChainBuilderButton.h"
#include "ui/focus/ChainBuilderModel.h"
#include "ui/focus/ChainField.h"
#include "ui/focus/MinuteStepper.h"
#include "ui/kit/TabularTokenLabel.h"
#include "ui/kit/TokenLabel.h"

#include <QHBoxLayout>
#include <QLineEdit>

ChainStepRow::ChainStepRow(ChainBuilderModel& model, const QUuid& id, QWidget* parent)
    : QWidget(parent), m_model(model), m_id(id) {
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(8);

    auto* field = new ChainField(QvFont::qvText(14, QFont::Normal), QMargins(8, 8, 8, 8), this);
    m_name = field->lineEdit();
    row->addWidget(field, 1);

    auto* length = new QHBoxLayout;
    length->setSpacing(2);
    // Digits of one width: stepping from 11 to 10 does not shift the number.
    auto* minutes = new TabularTokenLabel(QvColor::qvInkPrimary(), this);
    minutes->setFont(QvFont::qvText(14, QFont::DemiBold));
    minutes->setMinimumWidth(22);
    minutes->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_minutes = minutes;
    length->addWidget(m_minutes);
    auto* unit = new TokenLabel(QvColor::qvInkMuted(), this);
    unit->setFont(QvFont::qvText(13, QFont::Normal));
    m_unit = unit;
    length->addWidget(m_unit);
    m_stepper = new MinuteStepper(ChainBuilderModel::minimumMinutes, ChainBuilderModel::maximumMinutes, this);
    length->addWidget(m_stepper);
    row->addLayout(length);

    ChainBuilderButton::Look deleteLook;
    deleteLook.ink = QvColor::qvInkMuted().resolve(ColorScheme::light);
    deleteLook.font = QvFont::qvText(13, QFont::Normal);
    deleteLook.symbol = QStringLiteral("minus.circle");
    deleteLook.symbolSide = 16;
    m_delete = new ChainBuilderButton(deleteLook, this);
    m_delete->setFixedSize(44, 44);
    row->addWidget(m_delete);

    connect(m_name, &QLineEdit::textEdited, &m_model,
            [this](const QString& text) { m_model.setStepName(m_id, text); });
    connect(m_stepper, &MinuteStepper::valueChanged, &m_model,
            [this](int value) { m_model.setStepMinutes(m_id, value); });
    connect(m_delete, &QAbstractButton::clicked, &m_model, [this] { m_model.removeStep(m_id); });
    retranslate();
    refresh();
}

void ChainStepRow::refresh() {
    const auto step = m_model.step(m_id);
    if (!step) {
        return;
    }
    if (m_name->text() != step->name) {
        m_name->setText(step->name);
    }
    m_minutes->setText(QString::number(step->minutes));
    m_stepper->setValue(step->minutes);
    m_stepper->setAccessibleName(tr("%1 min").arg(step->minutes));
    m_delete->setEnabled(m_model.canDeleteSteps());
}

void ChainStepRow::retranslate() {
    m_name->setPlaceholderText(tr("Task"));
    m_unit->setText(tr("min"));
    m_delete->setAccessibleName(tr("Delete this step"));
    m_delete->setToolTip(tr("Delete this step"));
}
