#pragma once
// A small up/down stepper with no text of its own: a click on its upper half adds a step, on its lower
// half takes one away, and holding the button there keeps stepping; with the keyboard focus the Up and
// Down keys do the same. It stops at its limits.

#include <QTimer>
#include <QWidget>

class MinuteStepper : public QWidget {
    Q_OBJECT
public:
    MinuteStepper(int minimum, int maximum, QWidget* parent = nullptr);

    int value() const { return m_value; }
    // Kept within the limits; a value set here is not announced.
    void setValue(int value);
    int minimum() const { return m_minimum; }
    int maximum() const { return m_maximum; }
    void stepBy(int steps);
    QSize sizeHint() const override;

signals:
    // A change made by the user.
    void valueChanged(int value);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    // +1 or -1 for the half of the widget under the point; 0 outside it.
    int directionAt(const QPointF& point) const;
    void repeatStep();
    void stopRepeating();

    int m_minimum;
    int m_maximum;
    int m_value;
    QTimer m_repeat;
    // The half pressed, and whether the pointer is still over it.
    int m_heldDirection = 0;
    bool m_heldInside = false;
};
