#pragma once
// The Pomodoro area of the timers tab: the simple entry without a session, and with one the start card (the
// Focus, Break, Focus, Break row with the current step marked, the add tile, and Stop). The card grows and
// shrinks with its face; the timers tab decides where it sits and whether it shows at all.

#include "ui/focus/PomodoroCardModel.h"

#include <QList>
#include <QPointer>
#include <QWidget>

class PomodoroSequenceStep;
class PomodoroSimpleEntry;
class ReferenceTextButton;
class SequenceAddTile;
class SequenceStepPreview;
class TokenLabel;

class PomodoroCard : public QWidget {
    Q_OBJECT
public:
    static constexpr int cardWidth = 404;
    static constexpr int startCardHeight = 144;
    // Above either face, where Stop reaches over the start card's header.
    static constexpr int topRoom = 10;

    // Takes the model.
    explicit PomodoroCard(PomodoroCardModel* model, QWidget* parent = nullptr);

    PomodoroCardModel& model() const { return *m_model; }
    bool showsStartCard() const;

    PomodoroSimpleEntry* simpleEntry() const { return m_simpleEntry; }
    QWidget* startCard() const { return m_startCard; }
    // The tile of ordinal 1 to 4.
    PomodoroSequenceStep* stepTile(int ordinal) const;
    SequenceAddTile* addTile() const { return m_addTile; }
    ReferenceTextButton* stopButton() const { return m_stop; }
    // The open step preview, if any.
    SequenceStepPreview* preview() const;

signals:
    // The face switched between the simple entry and the start card (the size changed with it).
    void faceChanged();

protected:
    void changeEvent(QEvent* event) override;

private:
    void refresh();
    void syncPreview();
    void retranslate();

    PomodoroCardModel* m_model;
    PomodoroSimpleEntry* m_simpleEntry;
    QWidget* m_startCard;
    TokenLabel* m_header;
    QList<PomodoroSequenceStep*> m_tiles;
    SequenceAddTile* m_addTile;
    ReferenceTextButton* m_stop;
    QPointer<SequenceStepPreview> m_preview;
    bool m_showsStartCard = false;
};
