#include "ui/onboarding/OnboardingLanguagePage.h"

#include "core/AppLanguage.h"
#include "theme/QvColor.h"
#include "theme/QvFont.h"
#include "ui/kit/AccessibleTraits.h"
#include "ui/kit/TokenLabel.h"
#include "ui/onboarding/OnboardingDial.h"
#include "ui/onboarding/OnboardingLanguageButton.h"
#include "ui/onboarding/OnboardingStep.h"
#include "ui/onboarding/OnboardingViewModel.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QVBoxLayout>

OnboardingLanguagePage::OnboardingLanguagePage(OnboardingViewModel& model, QWidget* parent)
    : QWidget(parent), m_model(model), m_title(new TokenLabel(QvColor::qvTextPrimary(), this)),
      m_body(new TokenLabel(QvColor::qvTextSecondary(), this)) {
    setObjectName(QStringLiteral("quorvane.onboarding.page.") + stepName(OnboardingStep::language));
    auto* stack = new QVBoxLayout(this);
    stack->setContentsMargins(32, 32, 32, 0);
    stack->setSpacing(16);

    stack->addSpacing(8);
    stack->addWidget(new OnboardingDial(dialSide, QFont(), QFont(), this), 0, Qt::AlignHCenter);

    auto* copy = new QVBoxLayout;
    copy->setSpacing(6);
    m_title->setObjectName(objectName() + QStringLiteral(".title"));
    m_title->setFont(QvFont::qvText(22, QFont::Bold));
    m_title->setAlignment(Qt::AlignCenter);
    m_body->setObjectName(objectName() + QStringLiteral(".body"));
    m_body->setFont(QvFont::qvText(12, QFont::Normal));
    m_body->setAlignment(Qt::AlignCenter);
    m_body->setWordWrap(true);
    copy->addWidget(m_title);
    copy->addWidget(m_body);
    stack->addLayout(copy);

    auto* rowHolder = new QWidget(this);
    AccessibleTraits::setRole(rowHolder, QAccessible::List);
    rowHolder->setFixedWidth(rowMaximumWidth + 2 * OnboardingLanguageButton::ringRoom);
    auto* row = new QHBoxLayout(rowHolder);
    row->setContentsMargins(0, 0, 0, 0);
    // The tiles' focus-ring room eats into the gap between them.
    row->setSpacing(12 - 2 * OnboardingLanguageButton::ringRoom);
    for (const AppLanguage language : allAppLanguages()) {
        auto* button = new OnboardingLanguageButton(language, rowHolder);
        connect(button, &OnboardingLanguageButton::clicked, this,
                [this, language] { m_model.chooseLanguage(language); });
        row->addWidget(button);
        m_buttons << button;
    }
    stack->addWidget(rowHolder, 0, Qt::AlignHCenter);
    stack->addStretch(1);

    connect(&m_model, &OnboardingViewModel::languageChanged, this, &OnboardingLanguagePage::showSelection);
    showSelection();
    retranslate();
}

void OnboardingLanguagePage::showSelection() {
    const AppLanguage selected = m_model.selectedLanguage();
    for (OnboardingLanguageButton* button : m_buttons) {
        button->setSelected(button->language() == selected);
    }
}

void OnboardingLanguagePage::retranslate() {
    m_title->setText(title(OnboardingStep::language));
    m_body->setText(body(OnboardingStep::language));
}

void OnboardingLanguagePage::changeEvent(QEvent* event) {
    if (event->type() == QEvent::LanguageChange) {
        retranslate();
    }
    QWidget::changeEvent(event);
}
