#include "ui/onboarding/OnboardingView.h"

#include "core/AppSettings.h"
#include "theme/QvColor.h"
#include "theme/QvFont.h"
#include "ui/kit/LabelButton.h"
#include "ui/kit/ViewEnvironment.h"
#include "ui/onboarding/OnboardingInputExamples.h"
#include "ui/onboarding/OnboardingLanguagePage.h"
#include "ui/onboarding/OnboardingNavigationHeader.h"
#include "ui/onboarding/OnboardingPageStack.h"
#include "ui/onboarding/OnboardingQuickChips.h"
#include "ui/onboarding/OnboardingReadyDial.h"
#include "ui/onboarding/OnboardingStepPage.h"
#include "ui/onboarding/OnboardingViewModel.h"

#include <QApplication>
#include <QEvent>
#include <QPainter>
#include <QShortcut>
#include <QVBoxLayout>

namespace {

// The shapes of the action buttons sit where the layout puts them; the buttons' widgets are larger by the
// room their focus rings take on every side.
constexpr int kRing = LabelButton::focusRingRoom;

LabelButton::Look primaryLook() {
    LabelButton::Look look(QvColor::qvInkAction(), QvColor::qvInkOnAction(),
                           QvFont::qvText(13, QFont::DemiBold));
    look.cornerRadius = 12;
    look.minimumSize = QSize(44, 44);
    return look;
}

LabelButton::Look skipLook() {
    // On the canvas colour: a plain text button.
    LabelButton::Look look(QvColor::qvCanvas(), QvColor::qvTextSecondary(),
                           QvFont::qvText(11, QFont::Medium));
    look.cornerRadius = 12;
    look.minimumSize = QSize(44, 44);
    return look;
}

} // namespace

OnboardingView::OnboardingView(TimerManager* timerManager, AppSettings& settings,
                               std::function<void()> onDismiss, QWidget* parent)
    : QWidget(parent), m_model(new OnboardingViewModel(timerManager, settings, this)),
      m_onDismiss(std::move(onDismiss)) {
    setObjectName(QStringLiteral("quorvane.onboarding.view"));
    setFixedSize(viewSize);
    ViewEnvironment::setColorScheme(this, ColorScheme::light);
    // The view itself holds the focus until the user tabs to a control, so no ring shows at first and the
    // Left key reaches the view's shortcut.
    setFocusPolicy(Qt::ClickFocus);

    auto* root = new QVBoxLayout(this);
    root->setContentsMargins(0, 0, 0, 0);
    root->setSpacing(0);

    m_headerSlot = new QWidget(this);
    auto* slotLayout = new QVBoxLayout(m_headerSlot);
    slotLayout->setContentsMargins(0, headerTopMargin, 0, 0);
    m_header = new OnboardingNavigationHeader(OnboardingStep::quickStart, tourSteps(), m_headerSlot);
    slotLayout->addWidget(m_header);
    root->addWidget(m_headerSlot);

    m_pages = new OnboardingPageStack(this);
    m_pages->addPage(OnboardingStep::language, new OnboardingLanguagePage(*m_model));
    m_pages->addPage(OnboardingStep::quickStart,
                     new OnboardingStepPage(OnboardingStep::quickStart, new OnboardingQuickChips(*m_model)));
    m_pages->addPage(OnboardingStep::input,
                     new OnboardingStepPage(OnboardingStep::input, new OnboardingInputExamples));
    auto* readyDial = new OnboardingReadyDial(m_model->selectedQuickDuration());
    m_pages->addPage(OnboardingStep::done, new OnboardingStepPage(OnboardingStep::done, readyDial));
    connect(m_model, &OnboardingViewModel::selectedQuickDurationChanged, readyDial,
            &OnboardingReadyDial::setMinutes);
    root->addWidget(m_pages, 1);

    m_actionArea = new QWidget(this);
    auto* actions = new QVBoxLayout(m_actionArea);
    actions->setContentsMargins(32 - kRing, 0, 32 - kRing, 24 - kRing);
    actions->setSpacing(8 - 2 * kRing);
    m_primary = new LabelButton(0.98, primaryLook(), m_actionArea);
    m_primary->setObjectName(QStringLiteral("quorvane.onboarding.primary"));
    m_primary->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    m_skip = new LabelButton(0.98, skipLook(), m_actionArea);
    m_skip->setObjectName(QStringLiteral("quorvane.onboarding.skip"));
    actions->addWidget(m_primary);
    actions->addWidget(m_skip, 0, Qt::AlignHCenter);
    root->addWidget(m_actionArea);

    m_backKey = new QShortcut(QKeySequence(Qt::Key_Left), this);
    m_backKey->setContext(Qt::WidgetWithChildrenShortcut);

    connect(m_header, &OnboardingNavigationHeader::backRequested, m_model, &OnboardingViewModel::goBack);
    connect(m_backKey, &QShortcut::activated, m_model, &OnboardingViewModel::goBack);
    connect(m_primary, &LabelButton::clicked, m_model, &OnboardingViewModel::handlePrimary);
    connect(m_skip, &LabelButton::clicked, m_model, &OnboardingViewModel::skip);
    connect(m_model, &OnboardingViewModel::stepChanged, this, &OnboardingView::showStep);
    connect(m_model, &OnboardingViewModel::languageChanged, this, &OnboardingView::applyLocale);
    connect(m_model, &OnboardingViewModel::dismissRequested, this, [this] {
        if (m_onDismiss) {
            m_onDismiss();
        }
    });

    applyLocale();
    retranslate();
    showStep(m_model->currentStep(), m_model->direction());
}

void OnboardingView::showStep(OnboardingStep step, int direction) {
    const bool onLanguage = step == OnboardingStep::language;
    const bool skipShown = step == OnboardingStep::quickStart || step == OnboardingStep::input;
    // A control about to go (on the page that leaves, or in the header or buttons this step hides) gives
    // the keyboard to the view first. Left to hide with it, it would hand the keyboard to a neighbour of
    // Qt's choosing, which then shows a ring nobody tabbed to; the leaving page hides only once it has
    // slid away, when that neighbour is on the new page.
    QWidget* focused = QApplication::focusWidget();
    const auto holds = [focused](const QWidget* w) {
        return w && (w == focused || w->isAncestorOf(focused));
    };
    const bool pageLeaves = step != m_pages->currentStep();
    if (focused &&
        ((pageLeaves && holds(m_pages->page(m_pages->currentStep()))) ||
         (onLanguage && (holds(m_headerSlot) || holds(m_actionArea))) || (!skipShown && focused == m_skip))) {
        setFocus(Qt::OtherFocusReason);
    }
    // The header is not there on the language page: an empty band of 24 takes its place, and its Back and
    // hover state start afresh each time the guide comes back from there.
    m_header->setVisible(!onLanguage);
    m_headerSlot->setFixedHeight(onLanguage ? languageBandHeight : headerTopMargin + m_header->height());
    if (!onLanguage) {
        m_header->setCurrentStep(step);
    }
    m_actionArea->setVisible(!onLanguage);
    m_skip->setVisible(skipShown);
    m_backKey->setEnabled(!onLanguage);
    retranslate();
    m_pages->setCurrentStep(step, direction);
}

void OnboardingView::retranslate() {
    m_primary->setText(m_model->currentStep() == OnboardingStep::done ? tr("Start selected timer")
                                                                      : tr("Next"));
    m_skip->setText(tr("Skip"));
    m_skip->setAccessibleName(tr("Skip onboarding"));
    m_primary->updateGeometry();
    m_skip->updateGeometry();
}

void OnboardingView::applyLocale() {
    setLocale(::locale(m_model->selectedLanguage()));
}

void OnboardingView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), QvColor::qvCanvas().resolve(ViewEnvironment::colorScheme(this)));
}

void OnboardingView::changeEvent(QEvent* event) {
    if (event->type() == QEvent::LanguageChange) {
        retranslate();
    }
    QWidget::changeEvent(event);
}

void OnboardingView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!focusWidget()) {
        setFocus(Qt::OtherFocusReason);
    }
}
