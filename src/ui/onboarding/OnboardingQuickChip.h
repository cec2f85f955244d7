#pragma once
// One length of the quick-start page: a 36-pixel round chip with the minutes in digits of one width, in a
// 44-pixel frame, filled dark while it is the selected length.

#include "ui/kit/PressableButton.h"

class OnboardingQuickChip : public PressableButton {
    Q_OBJECT
public:
    static constexpr double pressScale = 0.94;
    static constexpr int frameSide = 44;
    static constexpr double chipDiameter = 36;

    explicit OnboardingQuickChip(int minutes, QWidget* parent = nullptr);

    int minutes() const { return m_minutes; }
    void setSelected(bool selected);
    bool isSelected() const { return m_selected; }

protected:
    void paintFace(QPainter& painter) override;
    // The circle that fits the frame, not its corners.
    bool hitButton(const QPoint& pos) const override;
    void changeEvent(QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void retranslate();

    int m_minutes;
    bool m_selected = false;
};
