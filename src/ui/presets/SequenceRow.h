#pragma once
// One saved sequence in the list: its name (with an "Active" badge when it is the active one), its steps'
// minutes, the total, and the options menu (Edit, Duplicate, Delete). A click makes it current.

#include "core/TimerPreset.h"
#include "ui/presets/ListRow.h"

class ElidedLabel;
class OptionsMenuButton;
class PresetsScreenModel;
class QLabel;
class TabularTokenLabel;

class SequenceRow : public ListRow {
    Q_OBJECT
public:
    SequenceRow(PresetsScreenModel& model, const TimerSequence& sequence, QWidget* parent = nullptr);

    void setSequence(const TimerSequence& sequence, bool active);
    const TimerSequence& sequence() const { return m_sequence; }
    OptionsMenuButton* menuButton() const { return m_menu; }
    // Compact density tightens the padding.
    void setCompact(bool compact);
    void setAccent(const QColor& accent) override;

protected:
    void changeEvent(QEvent* event) override;

private:
    void retranslate();

    PresetsScreenModel& m_model;
    TimerSequence m_sequence;
    bool m_active = false;
    ElidedLabel* m_name;
    QLabel* m_activeBadge;
    ElidedLabel* m_summary;
    TabularTokenLabel* m_total;
    OptionsMenuButton* m_menu;
};
