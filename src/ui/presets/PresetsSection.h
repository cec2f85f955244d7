#pragma once
// The lower section of the presets tab: the timer presets. An empty state when there are none; otherwise
// the card of their rows; always the Add Preset chip. Rows are kept by id and updated in place.

#include "theme/DisplayDensity.h"

#include <QHash>
#include <QList>
#include <QUuid>
#include <QWidget>

class LabelButton;
class Preferences;
class PresetRow;
class PresetsScreenModel;
class QVBoxLayout;
class SectionHeader;
class SurfaceWidget;
class ThemeStore;
class TokenLabel;

class PresetsSection : public QWidget {
    Q_OBJECT
public:
    PresetsSection(PresetsScreenModel& model, ThemeStore& theme, Preferences& preferences,
                   QWidget* parent = nullptr);

    SectionHeader* header() const { return m_header; }
    const QList<PresetRow*>& rows() const { return m_order; }
    PresetRow* row(const QUuid& presetId) const { return m_rows.value(presetId); }
    PresetRow* selectedRow() const;
    void setDensity(DisplayDensity density);

protected:
    void changeEvent(QEvent* event) override;

private:
    void refresh();
    void refreshSelection();
    void refreshAccent();
    void retranslate();

    PresetsScreenModel& m_model;
    ThemeStore& m_theme;
    SectionHeader* m_header;
    TokenLabel* m_subtitle;
    SurfaceWidget* m_empty;
    TokenLabel* m_emptyMessage;
    SurfaceWidget* m_card;
    QVBoxLayout* m_cardLayout;
    LabelButton* m_add;
    QHash<QUuid, PresetRow*> m_rows;
    QList<PresetRow*> m_order;
    DisplayDensity m_density = DisplayDensity::spacious;
};
