#pragma once
// One language of the language page: a 76-pixel tile with a ring or a check over the language's own name,
// filled dark while it is the interface language.

#include "core/AppLanguage.h"
#include "ui/kit/PressableButton.h"

class OnboardingLanguageButton : public PressableButton {
    Q_OBJECT
public:
    static constexpr double pressScale = 0.97;
    static constexpr int tileHeight = 76;
    static constexpr double cornerRadius = 12;
    static constexpr double symbolSide = 20;
    static constexpr double stackSpacing = 8;
    // Around the tile, for the half of the focus ring that lies outside it.
    static constexpr int ringRoom = 1;

    explicit OnboardingLanguageButton(AppLanguage language, QWidget* parent = nullptr);

    AppLanguage language() const { return m_language; }
    // Shown as "checked" to assistive technologies; a click alone never changes it.
    void setSelected(bool selected);
    bool isSelected() const { return isChecked(); }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintFace(QPainter& painter) override;
    void nextCheckState() override {}
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    AppLanguage m_language;
};
