#include "ui/presets/SequenceEditorSheet.h"

#include "theme/QvColor.h"
#include "theme/QvFont.h"
#include "theme/QvSurface.h"
#include "ui/kit/LabelButton.h"
#include "ui/kit/TokenLabel.h"
#include "ui/kit/ViewEnvironment.h"
#include "ui/presets/EditorField.h"
#include "ui/presets/MinutesStepper.h"
#include "ui/presets/PresetsLook.h"
#include "ui/presets/SequenceEditorModel.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPainter>
#include <QVBoxLayout>

// One step of the working copy: its kind (a button that flips it), its minutes, and move up, move down and
// delete. Rows are kept by position; each shows whatever step is at its position now.
class StepEditorRow : public QWidget {
public:
    StepEditorRow(SequenceEditorModel& model, qsizetype index, QWidget* parent)
        : QWidget(parent), m_model(model) {
        auto* row = new QHBoxLayout(this);
        row->setContentsMargins(8, 4, 8, 4);
        row->setSpacing(8 - 2 * LabelButton::focusRingRoom);
        LabelButton::Look kindLook(QvColor::qvBgCard(), QvColor::qvInkPrimary(),
                                   QvFont::qvText(13, QFont::DemiBold));
        kindLook.filled = false;
        kindLook.horizontalPadding = 0;
        kindLook.minimumSize = QSize(44, 28);
        m_kind = new LabelButton(PresetsLook::pressedScale, kindLook, this);
        row->addWidget(m_kind);
        m_minutes = new MinutesStepper(this);
        row->addWidget(m_minutes);
        row->addStretch(1);
        const QSize side(22, 28);
        m_up = new LabelButton(
            PresetsLook::pressedScale,
            PresetsLook::symbolButton(QStringLiteral("chevron.up"), QvColor::qvInkMuted(), 12, side), this);
        row->addWidget(m_up);
        m_down = new LabelButton(
            PresetsLook::pressedScale,
            PresetsLook::symbolButton(QStringLiteral("chevron.down"), QvColor::qvInkMuted(), 12, side), this);
        row->addWidget(m_down);
        m_delete = new LabelButton(
            PresetsLook::pressedScale,
            PresetsLook::symbolButton(QStringLiteral("trash"), QvColor::qvDanger(), 12, side), this);
        row->addWidget(m_delete);

        connect(m_kind, &QAbstractButton::clicked, this, [this] { m_model.toggleKind(m_index); });
        connect(m_minutes, &MinutesStepper::valueRequested, this,
                [this](qint64 minutes) { m_model.setMinutes(m_index, minutes); });
        connect(m_delete, &QAbstractButton::clicked, this, [this] { m_model.removeStep(m_index); });
        setIndex(index);
    }

    void setIndex(qsizetype index) {
        m_index = index;
        const QString prefix = QStringLiteral("presetsScreen.sequenceEditor.step.%1").arg(index);
        setObjectName(prefix);
        m_kind->setObjectName(prefix + QStringLiteral(".kind"));
        m_minutes->setObjectName(prefix + QStringLiteral(".minutes"));
        m_up->setObjectName(prefix + QStringLiteral(".moveUp"));
        m_down->setObjectName(prefix + QStringLiteral(".moveDown"));
        m_delete->setObjectName(prefix + QStringLiteral(".delete"));
    }
    qsizetype index() const { return m_index; }

    void refresh() {
        const SequenceStep& step = m_model.steps().at(m_index);
        m_focus = step.kind == SequenceStepKind::focus;
        LabelButton::Look kindLook = m_kind->look();
        kindLook.ink = m_focus ? QvColor::qvInkPrimary() : QvColor::qvInkSecondary();
        m_kind->setLook(kindLook);
        // Shown as written in every language.
        m_kind->setText(m_focus ? QStringLiteral("Focus") : QStringLiteral("Break"));
        m_minutes->setValue(step.minutes);
        m_up->setEnabled(m_index > 0);
        m_down->setEnabled(m_index < m_model.steps().size() - 1);
        const bool removable = m_model.canRemoveStep();
        LabelButton::Look deleteLook = m_delete->look();
        deleteLook.ink = removable ? QvColor::qvDanger() : QvColor::qvInkMuted();
        m_delete->setLook(deleteLook);
        m_delete->setEnabled(removable);
        retranslate();
        update();
    }

    void retranslate() {
        m_kind->setAccessibleName(m_kind->text());
        m_up->setAccessibleName(SequenceEditorSheet::tr("Move step up"));
        m_down->setAccessibleName(SequenceEditorSheet::tr("Move step down"));
        m_delete->setAccessibleName(SequenceEditorSheet::tr("Delete step"));
    }

    LabelButton* up() const { return m_up; }
    LabelButton* down() const { return m_down; }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        const ColorScheme scheme = ViewEnvironment::colorScheme(this);
        QColor ground = (m_focus ? QvColor::qvSageFill() : QvColor::qvBgSurface()).resolve(scheme);
        if (m_focus) {
            ground.setAlphaF(0.5f);
        }
        painter.fillPath(QvSurface::continuousRoundedRect(QRectF(rect()), 8), ground);
    }

private:
    SequenceEditorModel& m_model;
    qsizetype m_index = 0;
    bool m_focus = true;
    LabelButton* m_kind;
    MinutesStepper* m_minutes;
    LabelButton* m_up;
    LabelButton* m_down;
    LabelButton* m_delete;
};

SequenceEditorSheet::SequenceEditorSheet(SequenceEditorModel* model, const QColor& accent, QWidget* parent)
    : SurfaceWidget(Kind::card, parent), m_model(model), m_accent(accent) {
    m_model->setParent(this);
    setObjectName(QStringLiteral("presetsScreen.sequenceEditor"));
    setCornerRadius(20);
    setPadding(QMargins(24, 24, 24, 24));
    setFixedWidth(sheetWidth + shadowMargins().left() + shadowMargins().right());
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
    m_nameField->setObjectName(QStringLiteral("presetsScreen.sequenceEditor.nameField"));
    m_nameField->setText(m_model->name());
    nameBlock->addWidget(m_nameField);
    column->addLayout(nameBlock);

    auto* stepsBlock = new QVBoxLayout;
    stepsBlock->setSpacing(4);
    m_stepsLabel = EditorField::makeLabel(this);
    stepsBlock->addWidget(m_stepsLabel);
    m_stepsLayout = new QVBoxLayout;
    m_stepsLayout->setSpacing(4);
    stepsBlock->addLayout(m_stepsLayout);
    LabelButton::Look addLook(QvColor::qvBgCard(), PresetsLook::accentToken(m_accent),
                              QvFont::qvText(13, QFont::Medium));
    addLook.filled = false;
    addLook.symbol = QStringLiteral("plus");
    addLook.horizontalPadding = 4;
    addLook.minimumSize = QSize(44, 32);
    addLook.disabledOpacity = 0.4;
    m_addStep = new LabelButton(PresetsLook::pressedScale, addLook, this);
    m_addStep->setObjectName(QStringLiteral("presetsScreen.sequenceEditor.addStep"));
    stepsBlock->addWidget(m_addStep, 0, Qt::AlignLeft);
    column->addLayout(stepsBlock);
    column->addStretch(1);

    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(8 - 2 * LabelButton::focusRingRoom);
    m_cancel = new LabelButton(PresetsLook::pressedScale, PresetsLook::cancelChip(), this);
    m_cancel->setObjectName(QStringLiteral("presetsScreen.sequenceEditor.cancelButton"));
    buttons->addWidget(m_cancel);
    buttons->addStretch(1);
    m_save = new LabelButton(PresetsLook::pressedScale, PresetsLook::accentAction(m_accent, 13), this);
    m_save->setObjectName(QStringLiteral("presetsScreen.sequenceEditor.saveButton"));
    buttons->addWidget(m_save);
    column->addLayout(buttons);

    connect(m_nameField, &QLineEdit::textEdited, m_model, &SequenceEditorModel::setName);
    connect(m_model, &SequenceEditorModel::nameChanged, this, &SequenceEditorSheet::refreshSave);
    connect(m_model, &SequenceEditorModel::stepsChanged, this, &SequenceEditorSheet::refreshSteps);
    connect(m_addStep, &QAbstractButton::clicked, m_model, &SequenceEditorModel::addStep);
    connect(m_cancel, &QAbstractButton::clicked, m_model, &SequenceEditorModel::cancel);
    connect(m_save, &QAbstractButton::clicked, m_model, &SequenceEditorModel::save);
    retranslate();
    refreshSteps();
}

void SequenceEditorSheet::refreshSteps() {
    const qsizetype count = m_model->steps().size();
    while (m_rows.size() > count) {
        StepEditorRow* extra = m_rows.takeLast();
        extra->hide();
        extra->deleteLater();
    }
    while (m_rows.size() < count) {
        const qsizetype index = m_rows.size();
        auto* row = new StepEditorRow(*m_model, index, this);
        connect(row->up(), &QAbstractButton::clicked, this,
                [this, row] { moveStep(row->index(), -1, row->up()->hasFocus()); });
        connect(row->down(), &QAbstractButton::clicked, this,
                [this, row] { moveStep(row->index(), 1, row->down()->hasFocus()); });
        m_stepsLayout->addWidget(row);
        m_rows.append(row);
    }
    for (StepEditorRow* row : m_rows) {
        row->refresh();
    }
    m_addStep->setEnabled(m_model->canAddStep());
    refreshSave();
}

void SequenceEditorSheet::moveStep(qsizetype index, qsizetype offset, bool keepFocus) {
    m_model->moveStep(index, offset);
    const qsizetype destination = index + offset;
    if (keepFocus && destination >= 0 && destination < m_rows.size()) {
        StepEditorRow* row = m_rows.at(destination);
        LabelButton* same = offset < 0 ? row->up() : row->down();
        // At an end the same button is disabled; the other one of that row takes the keyboard.
        (same->isEnabled() ? same : (offset < 0 ? row->down() : row->up()))->setFocus(Qt::TabFocusReason);
    }
}

void SequenceEditorSheet::refreshSave() {
    m_save->setEnabled(m_model->canSave());
}

void SequenceEditorSheet::retranslate() {
    m_title->setText(m_model->isNew() ? tr("New Sequence") : tr("Edit Sequence"));
    m_nameLabel->setText(tr("Name"));
    m_nameField->setPlaceholderText(tr("Pomodoro"));
    m_stepsLabel->setText(tr("Steps"));
    m_addStep->setText(tr("Add Step"));
    m_cancel->setText(tr("Cancel"));
    m_save->setText(m_model->isNew() ? tr("Add") : tr("Save"));
    for (StepEditorRow* row : m_rows) {
        row->retranslate();
    }
}

void SequenceEditorSheet::changeEvent(QEvent* event) {
    if (event->type() == QEvent::LanguageChange) {
        retranslate();
    }
    SurfaceWidget::changeEvent(event);
}
