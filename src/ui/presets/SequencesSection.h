#pragma once
// The upper section of the presets tab: the saved sequences. An empty state when there are none;
// otherwise the current sequence's card and the list of every saved one; always the New Sequence chip.
// Rows are kept by id and updated in place when the engine's lists change.

#include "theme/DisplayDensity.h"

#include <QHash>
#include <QList>
#include <QUuid>
#include <QWidget>

class CurrentSequenceCard;
class LabelButton;
class PresetsScreenModel;
class QVBoxLayout;
class SectionHeader;
class SequenceRow;
class SurfaceWidget;
class ThemeStore;
class TokenLabel;

class SequencesSection : public QWidget {
    Q_OBJECT
public:
    SequencesSection(PresetsScreenModel& model, ThemeStore& theme, QWidget* parent = nullptr);

    SectionHeader* header() const { return m_header; }
    CurrentSequenceCard* currentCard() const { return m_current; }
    // The rows in list order.
    const QList<SequenceRow*>& rows() const { return m_order; }
    // The row the keyboard selected, if it is in the list.
    SequenceRow* selectedRow() const;
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
    SurfaceWidget* m_empty;
    TokenLabel* m_emptyTitle;
    TokenLabel* m_emptyMessage;
    LabelButton* m_create;
    CurrentSequenceCard* m_current;
    SurfaceWidget* m_list;
    QVBoxLayout* m_listLayout;
    LabelButton* m_newSequence;
    QHash<QUuid, SequenceRow*> m_rows;
    QList<SequenceRow*> m_order;
    DisplayDensity m_density = DisplayDensity::spacious;
};
