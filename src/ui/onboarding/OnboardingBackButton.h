#pragma once
// The header's round Back control: a chevron in a 44-pixel circle that fills while the pointer is over it.

#include "ui/kit/PressableButton.h"

class OnboardingBackButton : public PressableButton {
    Q_OBJECT
public:
    static constexpr double pressScale = 0.96;
    static constexpr int side = 44;
    static constexpr double symbolSide = 12;

    explicit OnboardingBackButton(QWidget* parent = nullptr);

    bool isHovered() const { return m_hovered; }

protected:
    void paintFace(QPainter& painter) override;
    bool hitButton(const QPoint& pos) const override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void changeEvent(QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void retranslate();

    bool m_hovered = false;
};
