#pragma once
// A question or a warning shown inside the window it concerns: a dim layer over the whole window with a
// card of a message, an optional detail and its buttons. It opens no window of its own, so a popover that
// hides when another window takes the keyboard stays open under it. The keyboard stays in the card until
// the answer (Tab cycles its buttons, Return presses the focused one, Escape gives the escape answer), and
// then goes back where it was.

#include "ui/kit/FocusRing.h"

#include <QString>
#include <QWidget>

#include <functional>

class LabelButton;
class TokenLabel;

class AlertOverlay : public QWidget {
    Q_OBJECT
public:
    static constexpr double dimOpacity = 0.12;
    static constexpr int cardWidth = 300;

    enum class Role { normal, primary, destructive };
    struct Button {
        QString text;
        Role role = Role::normal;
        QString objectName; // empty: none
    };
    struct Alert {
        QString message;
        QString detail; // empty: none
        QList<Button> buttons;
        // The button that holds the keyboard first, and the answer Escape gives.
        int focusedButton = 0;
        int escapeAnswer = 0;
        QString objectName; // of the overlay; empty: "alertOverlay"
    };
    using Answer = std::function<void(int buttonIndex)>;

    // Covers `anchor`'s window and answers once, with the index of the chosen button, after the overlay has
    // gone and the keyboard is back where it was; the overlay then deletes itself.
    static AlertOverlay* present(QWidget* anchor, Alert alert, Answer onAnswer);

    const Alert& alert() const { return m_alert; }
    // The buttons in the alert's order.
    QList<LabelButton*> buttons() const { return m_buttons; }
    // Gives the answer as a click on that button would.
    void answer(int buttonIndex);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool focusNextPrevChild(bool next) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    AlertOverlay(QWidget* window, Alert alert, Answer onAnswer);
    void place();

    Alert m_alert;
    Answer m_onAnswer;
    QWidget* m_card;
    QList<LabelButton*> m_buttons;
    bool m_answered = false;
    FocusRing::Keeper m_keeper;
};
