#pragma once
// The dashed tile at the end of the Pomodoro row that leads to the sequence editor of the presets tab.

#include "ui/kit/PressableButton.h"

class HoverFade;

class SequenceAddTile : public PressableButton {
    Q_OBJECT
public:
    static constexpr int tileSide = 58;
    static constexpr int liftRoom = 1;

    explicit SequenceAddTile(QWidget* parent = nullptr);

    bool isHovered() const;
    int lift() const;

protected:
    void paintFace(QPainter& painter) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    HoverFade* m_hover;
};
