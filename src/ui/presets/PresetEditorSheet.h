#pragma once
// The card in which a preset is named and given a length in whole minutes (1 to 480), with Cancel and
// Add (or Save). Return in either field saves when the input is valid.

#include "ui/kit/SurfaceWidget.h"

#include <QColor>

class LabelButton;
class PresetEditorModel;
class QLineEdit;
class TokenLabel;

class PresetEditorSheet : public SurfaceWidget {
    Q_OBJECT
public:
    static constexpr int sheetWidth = 320;
    static constexpr int sheetMinimumHeight = 240;

    // Takes the model as its child.
    PresetEditorSheet(PresetEditorModel* model, const QColor& accent, QWidget* parent = nullptr);

    PresetEditorModel& model() const { return *m_model; }
    QLineEdit* nameField() const { return m_nameField; }
    QLineEdit* minutesField() const { return m_minutesField; }
    LabelButton* saveButton() const { return m_save; }
    LabelButton* cancelButton() const { return m_cancel; }

protected:
    void changeEvent(QEvent* event) override;

private:
    void retranslate();
    void refreshSave();

    PresetEditorModel* m_model;
    TokenLabel* m_title;
    TokenLabel* m_nameLabel;
    QLineEdit* m_nameField;
    TokenLabel* m_minutesLabel;
    QLineEdit* m_minutesField;
    LabelButton* m_cancel;
    LabelButton* m_save;
};
