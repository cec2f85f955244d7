#include "ui/onboarding/OnboardingStepPage.h"

#include "theme/QvColor.h"
#include "theme/QvFont.h"
#include "ui/kit/TokenLabel.h"

#include <QEvent>
#include <QVBoxLayout>

OnboardingStepPage::OnboardingStepPage(OnboardingStep step, QWidget* visual, QWidget* parent)
    : QWidget(parent), m_step(step), m_visual(visual),
      m_title(new TokenLabel(QvColor::qvTextPrimary(), this)),
      m_body(new TokenLabel(QvColor::qvTextSecondary(), this)) {
    setObjectName(QStringLiteral("quorvane.onboarding.page.") + stepName(step));
    auto* stack = new QVBoxLayout(this);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(stackSpacing);
    stack->addStretch(1);

    // The picture's frame has the step's height whatever the picture's own, content centred.
    auto* frame = new QWidget(this);
    frame->setFixedHeight(onboardingVisualHeight(step));
    auto* frameLayout = new QVBoxLayout(frame);
    frameLayout->setContentsMargins(0, 0, 0, 0);
    if (m_visual) {
        m_visual->setParent(frame);
        frameLayout->addWidget(m_visual, 0, Qt::AlignCenter);
    }
    stack->addWidget(frame);

    auto* copy = new QVBoxLayout;
    copy->setContentsMargins(20, 0, 20, 0);
    copy->setSpacing(4);
    m_title->setObjectName(objectName() + QStringLiteral(".title"));
    m_title->setFont(QvFont::qvText(22, QFont::Bold));
    m_title->setAlignment(Qt::AlignCenter);
    m_title->setWordWrap(true);
    m_body->setObjectName(objectName() + QStringLiteral(".body"));
    m_body->setFont(QvFont::qvText(12, QFont::Normal));
    m_body->setAlignment(Qt::AlignCenter);
    m_body->setWordWrap(true);
    copy->addWidget(m_title);
    copy->addSpacing(4);
    auto* bodyRow = new QHBoxLayout;
    bodyRow->setContentsMargins(24, 0, 24, 0);
    bodyRow->addWidget(m_body);
    copy->addLayout(bodyRow);
    stack->addLayout(copy);
    stack->addStretch(1);
    retranslate();
}

void OnboardingStepPage::retranslate() {
    m_title->setText(title(m_step));
    m_body->setText(body(m_step));
}

void OnboardingStepPage::changeEvent(QEvent* event) {
    if (event->type() == QEvent::LanguageChange) {
        retranslate();
    }
    QWidget::changeEvent(event);
}
