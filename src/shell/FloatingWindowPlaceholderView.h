#pragma once
// Stand-in content of the floating window until the timer screens land: the main timer's time and a close
// button.

#include <QPointer>
#include <QWidget>

#include <functional>

class QLabel;
class QToolButton;
class TimerManager;

class FloatingWindowPlaceholderView : public QWidget {
    Q_OBJECT
public:
    FloatingWindowPlaceholderView(TimerManager& timerManager, std::function<void()> onClose,
                                  QWidget* parent = nullptr);

    QString timeText() const;

protected:
    void changeEvent(QEvent* event) override;

private:
    void refresh();
    void retranslate();

    QPointer<TimerManager> m_timerManager;
    QLabel* m_time = nullptr;
    QToolButton* m_close = nullptr;
};
