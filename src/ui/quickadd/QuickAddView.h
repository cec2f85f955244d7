#pragma once
// The quick-add panel's content. Entry step (380 × 400): a header, one large field for a typed time, a
// help line that turns into the error line, and four minute chips. Confirmation step: the shared start
// card for the prepared request; the view grows to fit the card and shrinks back after it. Escape goes
// back from the card, and closes from the entry step; the field takes the keyboard shortly after the view
// first shows.

#include "core/Clock.h"
#include "core/TimerStartRequest.h"
#include "ui/kit/TimerPreparationView.h"

#include <QPointer>
#include <QWidget>

#include <functional>
#include <optional>

class Preferences;
class QLineEdit;
class QuickAddViewModel;
class TimerManager;
class TokenLabel;

class QuickAddView : public QWidget {
    Q_OBJECT
public:
    static constexpr int viewWidth = 380;
    static constexpr int entryHeight = 400;
    // Room kept between the card's shape and the view's top and bottom edges.
    static constexpr int cardMargin = 10;
    static constexpr int focusDelayMs = 50;

    // `preferences` gives the accent colour and the card's own wording language, read as they change; it
    // and the manager must outlive the view.
    QuickAddView(TimerManager& timerManager, const Preferences& preferences,
                 const std::optional<TimerStartRequest>& initialRequest, std::function<void()> onClose,
                 Clock clock = systemClock(), QWidget* parent = nullptr);

    QuickAddViewModel& model() const { return *m_model; }
    // The start card of the confirmation step; none on the entry step.
    TimerPreparationView* card() const { return m_card; }
    QLineEdit* field() const { return m_field; }
    // The colour the field's outline is drawn in now, and its width.
    QColor fieldOutlineColor() const;
    int fieldOutlineWidth() const;
    QColor returnGlyphColor() const;

signals:
    // The view took another size (a step changed, or the card grew).
    void sizeChanged();

protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void retranslate();
    void syncStep();
    void syncError();
    void placeCard();
    QColor accent() const;

    QuickAddViewModel* m_model;
    const Preferences& m_preferences;
    Clock m_clock;
    QWidget* m_entry;
    TokenLabel* m_heading;
    TokenLabel* m_escHint;
    class QuickAddEntryBox* m_entryBox;
    QLineEdit* m_field;
    TokenLabel* m_placeholder;
    TokenLabel* m_helpLine;
    QList<class QuickAddChip*> m_chips;
    QPointer<TimerPreparationView> m_card;
    bool m_shownOnce = false;
};
