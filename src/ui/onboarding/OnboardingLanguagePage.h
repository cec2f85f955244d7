#pragma once
// The guide's first page: a large still dial, the question, and one tile per interface language. Picking a
// tile (also the one already chosen) writes the language and moves on.

#include <QList>
#include <QWidget>

class OnboardingLanguageButton;
class OnboardingViewModel;
class TokenLabel;

class OnboardingLanguagePage : public QWidget {
    Q_OBJECT
public:
    static constexpr int dialSide = 248;
    static constexpr int rowMaximumWidth = 328;

    explicit OnboardingLanguagePage(OnboardingViewModel& model, QWidget* parent = nullptr);

    const QList<OnboardingLanguageButton*>& languageButtons() const { return m_buttons; }
    TokenLabel* titleLabel() const { return m_title; }
    TokenLabel* bodyLabel() const { return m_body; }

protected:
    void changeEvent(QEvent* event) override;

private:
    void retranslate();
    void showSelection();

    OnboardingViewModel& m_model;
    TokenLabel* m_title;
    TokenLabel* m_body;
    QList<OnboardingLanguageButton*> m_buttons;
};
