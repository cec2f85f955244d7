#pragma once
// A step's minutes with a minus and a plus: "25 min" between two small buttons. Up and Down (and + and -)
// step it from the keyboard. It shows the value it is given as it is, and asks for the next one held in
// its range.

#include <QWidget>

#include <functional>

class LabelButton;
class TokenLabel;

class MinutesStepper : public QWidget {
    Q_OBJECT
public:
    explicit MinutesStepper(QWidget* parent = nullptr);

    void setValue(qint64 minutes);
    qint64 value() const { return m_value; }
    QString text() const;
    LabelButton* minusButton() const { return m_minus; }
    LabelButton* plusButton() const { return m_plus; }

signals:
    // A step asked for: the shown value plus or minus one (the owner holds it in range).
    void valueRequested(qint64 minutes);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void changeEvent(QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void refresh();

    qint64 m_value = 1;
    LabelButton* m_minus;
    TokenLabel* m_label;
    LabelButton* m_plus;
};
