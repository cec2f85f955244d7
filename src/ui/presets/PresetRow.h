#pragma once
// One preset in the list: its name and what it suits, its length, its key badge and the options menu
// (Edit, Delete). The name and the length keep to one line; what it suits wraps and the row grows to hold
// it. A click hands it to the confirmation card; nothing starts here.

#include "core/TimerPreset.h"
#include "ui/presets/ListRow.h"

class ElidedLabel;
class OptionsMenuButton;
class PresetsScreenModel;
class ShortcutBadge;
class TabularTokenLabel;
class TokenLabel;

class PresetRow : public ListRow {
    Q_OBJECT
public:
    PresetRow(PresetsScreenModel& model, const TimerPreset& preset, QWidget* parent = nullptr);

    void setPreset(const TimerPreset& preset);
    const TimerPreset& preset() const { return m_preset; }
    ShortcutBadge* badge() const { return m_badge; }
    OptionsMenuButton* menuButton() const { return m_menu; }
    void setCompact(bool compact);
    // The badge's text from the screen's cache, and the purpose line in the in-app language.
    void refresh();

protected:
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    PresetsScreenModel& m_model;
    TimerPreset m_preset;
    ElidedLabel* m_name;
    TokenLabel* m_purpose;
    TabularTokenLabel* m_duration;
    ShortcutBadge* m_badge;
    OptionsMenuButton* m_menu;
};
