#pragma once
// The wide "Start Pomodoro" button shown while no session is active: a brain badge, the title and the
// configured focus and break lengths. A click prepares the first focus phase.

#include "ui/kit/PressableButton.h"

class PomodoroSimpleEntry : public PressableButton {
    Q_OBJECT
public:
    static constexpr int entryWidth = 404;
    static constexpr int entryHeight = 64;

    explicit PomodoroSimpleEntry(QWidget* parent = nullptr);

    QString title() const { return text(); }
    QString subtitle() const { return m_subtitle; }
    void setSubtitle(const QString& subtitle);

protected:
    void paintFace(QPainter& painter) override;
    void changeEvent(QEvent* event) override;

private:
    void retranslate();

    QString m_subtitle;
};
