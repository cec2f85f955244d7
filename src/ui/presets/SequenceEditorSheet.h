#pragma once
// The card in which a sequence is composed: a name, one to eight steps (each a focus or a break of some
// minutes, which can be flipped, stepped, moved and removed), Add Step, Cancel and Add (or Save). It shows
// its model's working copy; Return saves nothing here.

#include "ui/kit/SurfaceWidget.h"

#include <QColor>
#include <QList>

class LabelButton;
class QLineEdit;
class QVBoxLayout;
class SequenceEditorModel;
class StepEditorRow;
class TokenLabel;

class SequenceEditorSheet : public SurfaceWidget {
    Q_OBJECT
public:
    static constexpr int sheetWidth = 340;

    // Takes the model as its child.
    SequenceEditorSheet(SequenceEditorModel* model, const QColor& accent, QWidget* parent = nullptr);

    SequenceEditorModel& model() const { return *m_model; }
    QLineEdit* nameField() const { return m_nameField; }
    LabelButton* saveButton() const { return m_save; }
    LabelButton* cancelButton() const { return m_cancel; }
    LabelButton* addStepButton() const { return m_addStep; }

protected:
    void changeEvent(QEvent* event) override;

private:
    void retranslate();
    void refreshSteps();
    void refreshSave();
    // After a move, the keyboard follows the step to its new row.
    void moveStep(qsizetype index, qsizetype offset, bool keepFocus);

    SequenceEditorModel* m_model;
    QColor m_accent;
    TokenLabel* m_title;
    TokenLabel* m_nameLabel;
    QLineEdit* m_nameField;
    TokenLabel* m_stepsLabel;
    QVBoxLayout* m_stepsLayout;
    QList<StepEditorRow*> m_rows;
    LabelButton* m_addStep;
    LabelButton* m_cancel;
    LabelButton* m_save;
};
