#pragma once
// The task-chain editor: an optional chain name and ordered steps of a task name and whole minutes; Start
// hands them to the chain coordinator and closes it, a refusal keeps it open with a message. Fixed at
// 380 × 480; many steps scroll between the fixed header and the Start button.

#include <QColor>
#include <QHash>
#include <QUuid>
#include <QWidget>

class ChainBuilderButton;
class ChainBuilderModel;
class ChainStepRow;
class QLabel;
class QLineEdit;
class QScrollArea;
class QVBoxLayout;

class ChainBuilderView : public QWidget {
    Q_OBJECT
public:
    static constexpr int builderWidth = 380;
    static constexpr int builderHeight = 480;

    // Takes the model. `accent` colours "Add step" and Start.
    ChainBuilderView(ChainBuilderModel* model, const QColor& accent, QWidget* parent = nullptr);

    ChainBuilderModel& model() const { return *m_model; }
    QLineEdit* chainNameField() const { return m_chainName; }
    // The rows in the order of the steps.
    QList<ChainStepRow*> rows() const;
    ChainBuilderButton* closeButton() const { return m_close; }
    ChainBuilderButton* addStepButton() const { return m_addStep; }
    ChainBuilderButton* startButton() const { return m_start; }
    QLabel* errorLabel() const { return m_error; }
    QScrollArea* scrollArea() const { return m_scroll; }
    // Puts the keyboard in the chain name field.
    void focusFirstField();

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void addRow(const QUuid& id);
    void removeRow(const QUuid& id);
    void refreshRows();
    void refreshError();
    void retranslate();

    ChainBuilderModel* m_model;
    QLabel* m_title;
    ChainBuilderButton* m_close;
    QScrollArea* m_scroll;
    QLabel* m_description;
    QLineEdit* m_chainName;
    QVBoxLayout* m_rowsLayout;
    QHash<QUuid, ChainStepRow*> m_rows;
    ChainBuilderButton* m_addStep;
    QLabel* m_error;
    ChainBuilderButton* m_start;
};
