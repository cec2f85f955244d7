#pragma once
// One step of the chain builder: its task field, its minutes with the unit and a stepper, and a delete
// button. It edits its entry of the builder's model, found by the entry's id.

#include <QUuid>
#include <QWidget>

class ChainBuilderButton;
class ChainBuilderModel;
class MinuteStepper;
class QLabel;
class QLineEdit;

class ChainStepRow : public QWidget {
    Q_OBJECT
public:
    ChainStepRow(ChainBuilderModel& model, const QUuid& id, QWidget* parent = nullptr);

    const QUuid& id() const { return m_id; }
    QLineEdit* nameField() const { return m_name; }
    QLabel* minutesLabel() const { return m_minutes; }
    MinuteStepper* stepper() const { return m_stepper; }
    ChainBuilderButton* deleteButton() const { return m_delete; }

    // Shows the entry's values and whether it may be deleted now.
    void refresh();
    void retranslate();

private:
    ChainBuilderModel& m_model;
    QUuid m_id;
    QLineEdit* m_name;
    QLabel* m_minutes;
    QLabel* m_unit;
    MinuteStepper* m_stepper;
    ChainBuilderButton* m_delete;
};
