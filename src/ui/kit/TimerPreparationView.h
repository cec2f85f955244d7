#pragma once
// The confirmation card of a start request: a still dial with the length, an editable title, the end time,
// ±5 minutes for a countdown, and Back, Queue and Start. Return starts from anywhere in the card, on its
// first press only; the Start button holds the keyboard focus when the card first shows.

#include "theme/ColorScheme.h"
#include "theme/SurfaceStyle.h"

#include <QWidget>

class LabelButton;
class MinuteDialView;
class QLineEdit;
class TimerPreparationModel;
class TokenLabel;

class TimerPreparationView : public QWidget {
    Q_OBJECT
public:
    static constexpr int cardWidth = 360;
    static constexpr int padding = 20;
    static constexpr int dialSize = 190;

    // Takes the model as its child: one card, one model, one request.
    explicit TimerPreparationView(TimerPreparationModel* model, QWidget* parent = nullptr);

    TimerPreparationModel& model() const { return *m_model; }
    // The length as the dial shows it now.
    QString shownLength() const;
    // Gives the Start button the keyboard focus, as the card does when it first shows.
    void focusStart();
    // The card's shape inside the widget, which keeps room around it for the shadow.
    QRect cardRect() const;
    static SurfaceStyle cardStyle(ColorScheme scheme);

protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void retranslate();
    void refreshDraft();
    void refreshClockTexts();
    void refreshLanguageTexts();
    void refreshError();

    TimerPreparationModel* m_model;
    TokenLabel* m_heading;
    QWidget* m_dialGroup;
    MinuteDialView* m_dial;
    class DialReadout* m_readout;
    QLineEdit* m_titleField;
    QWidget* m_adjustRow;
    LabelButton* m_minus;
    LabelButton* m_plus;
    TokenLabel* m_endLine;
    TokenLabel* m_error;
    LabelButton* m_back;
    LabelButton* m_queue;
    LabelButton* m_start;
    bool m_focusedOnce = false;
};
