#include "ui/popover/TarvolinTimerMainView.h"

#include "core/SettingsKeys.h"
#include "platform/Preferences.h"
#include "platform/TarvolinTimerLogger.h"
#include "theme/QvColor.h"
#include "theme/ThemeSettingsKeys.h"
#include "ui/kit/AccessibleTraits.h"
#include "ui/kit/TimerPreparationModel.h"
#include "ui/kit/TimerPreparationView.h"
#include "ui/kit/ViewEnvironment.h"
#include "ui/popover/BottomBar.h"
#include "ui/popover/EmptyTabPage.h"
#include "ui/popover/MainViewModel.h"
#include "ui/popover/PreparationOverlay.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPainter>

namespace {

const QString kContext = QStringLiteral("TarvolinTimerMainView");

} // namespace

TarvolinTimerMainView::TarvolinTimerMainView(Dependencies dependencies, QWidget* parent)
    : QWidget(parent), m_deps(std::move(dependencies)) {
    setObjectName(QStringLiteral("quorvane.mainView"));
    setFixedSize(popoverWidth, popoverHeight);
    // The root takes the keyboard itself; a click on anything that does not take the focus gives it back
    // here.
    setFocusPolicy(Qt::StrongFocus);

    m_model = new MainViewModel(m_deps.timerManager, m_deps.pomodoroManager, this);

    m_contentArea = new QWidget(this);
    m_contentArea->setObjectName(QStringLiteral("quorvane.mainView.content"));
    m_contentArea->setGeometry(0, 0, popoverWidth, contentHeight);

    m_bottomBar = new BottomBar(focusCoordinator().focusedTab(), this);
    m_bottomBar->move(0, contentHeight);
    // A click on a tab goes through the same operation as the keyboard, which clears the row selection.
    connect(m_bottomBar, &BottomBar::tabActivated, this,
            [this](TarvolinTimerTab tab) { focusCoordinator().focusTab(tab); });

    m_overlay = new PreparationOverlay(this);
    // Closing the card gives the keyboard back to the root, whatever opened it.
    m_overlay->setFocusReturn(this);
    connect(m_overlay, &PreparationOverlay::dimClicked, this, &TarvolinTimerMainView::cancelPreparation);
    connect(m_overlay, &PreparationOverlay::escapePressed, this, &TarvolinTimerMainView::cancelPreparation);

    connect(&focusCoordinator(), &PopoverFocusCoordinator::focusedTabChanged, this,
            [this](TarvolinTimerTab tab) {
                m_bottomBar->setSelected(tab);
                showTab(tab);
            });
    connect(m_model, &MainViewModel::pendingStartRequestChanged, this,
            &TarvolinTimerMainView::syncPreparation);
    connect(&m_deps.preferences, &Preferences::changed, this, &TarvolinTimerMainView::followPreference);

    applyDensity();
    applyLanguage();
    showTab(focusCoordinator().focusedTab());
}

TarvolinTimerMainView::~TarvolinTimerMainView() = default;

PopoverFocusCoordinator& TarvolinTimerMainView::focusCoordinator() const {
    return m_model->focusCoordinator();
}

TimerPreparationView* TarvolinTimerMainView::preparationCard() const {
    return m_overlay->card();
}

DisplayDensity TarvolinTimerMainView::displayDensity() const {
    return ViewEnvironment::displayDensity(this);
}

void TarvolinTimerMainView::setTabContentFactory(TarvolinTimerTab tab, TabContentFactory factory) {
    m_factories.insert(tab, std::move(factory));
    if (tab == focusCoordinator().focusedTab()) {
        showTab(tab);
    }
}

void TarvolinTimerMainView::setTabContent(TarvolinTimerTab tab, QWidget* content) {
    if (QWidget* old = m_keptContents.value(tab); old && old != content) {
        old->hide();
        old->deleteLater();
    }
    content->setParent(m_contentArea);
    content->hide();
    m_keptContents.insert(tab, content);
    if (tab == focusCoordinator().focusedTab()) {
        showTab(tab);
    }
}

void TarvolinTimerMainView::showTab(TarvolinTimerTab tab) {
    QWidget* focused = QApplication::focusWidget();
    const bool focusWasInPage = m_currentPage && focused && m_currentPage->isAncestorOf(focused);
    if (m_currentPage) {
        m_currentPage->hide();
        if (!m_currentPageIsKept) {
            // A built page may be the one whose button asked for this switch: delete it once that is over.
            m_currentPage->deleteLater();
        }
    }

    QWidget* page = nullptr;
    m_currentPageIsKept = false;
    if (const auto factory = m_factories.value(tab)) {
        page = factory(*this);
    }
    if (!page) {
        if (QWidget* kept = m_keptContents.value(tab)) {
            page = kept;
            m_currentPageIsKept = true;
        }
    }
    if (!page) {
        page = new EmptyTabPage(tab);
    }
    page->setParent(m_contentArea);
    page->setGeometry(m_contentArea->rect());
    page->show();
    m_currentPage = page;
    TT_LOG_INFO(kContext, QStringLiteral("Showing the %1 tab").arg(toRaw(tab)));
    if (focusWasInPage) {
        restoreKeyNavFocus();
    }
}

void TarvolinTimerMainView::prepare(const TimerStartRequest& request) {
    m_model->prepare(request);
}

void TarvolinTimerMainView::preparePomodoroStep() {
    m_model->preparePomodoroStep();
}

void TarvolinTimerMainView::cancelPreparation() {
    m_model->cancelPreparation();
}

void TarvolinTimerMainView::restoreKeyNavFocus() {
    setFocus(Qt::OtherFocusReason);
}

bool TarvolinTimerMainView::isKeyNavFocused() const {
    const QWidget* top = window();
    return top && top->focusWidget() == this;
}

void TarvolinTimerMainView::syncPreparation() {
    const auto& request = m_model->pendingStartRequest();
    // While a card asks for confirmation it is all a screen reader reads: the surface under it is hidden.
    AccessibleTraits::setHidden(m_contentArea, request.has_value());
    AccessibleTraits::setHidden(m_bottomBar, request.has_value());
    if (!request) {
        m_overlay->clearCard();
        m_overlay->hide();
        restoreKeyNavFocus();
        return;
    }
    // A new card for every request: fresh edits, no error, Start focused.
    const bool pomodoro = m_model->isPomodoroPreparation();
    TimerPreparationModel::Actions actions;
    actions.onStart = [this](const TimerStartRequest& r) { return m_model->confirmPreparation(r); };
    if (!pomodoro) {
        actions.onQueue = [this](const TimerStartRequest& r) { return m_model->queuePreparation(r); };
    }
    actions.onCancel = [this] { m_model->cancelPreparation(); };
    auto* cardModel =
        new TimerPreparationModel(*request, !pomodoro, std::move(actions), m_deps.preferences, m_deps.clock);
    auto* card = new TimerPreparationView(cardModel);
    m_overlay->setCard(card);
    m_overlay->raise();
    m_overlay->show();
    card->focusStart();
}

bool TarvolinTimerMainView::event(QEvent* event) {
    // Keys are taken here, before Qt's own Tab handling, and only when the root itself has the focus: keys
    // that a field or a button inside leaves alone also pass through here on their way up, and must not
    // move the selection while the user types. While a card is open the keyboard belongs to it.
    if (event->type() == QEvent::KeyPress && isKeyNavFocused() && !m_model->pendingStartRequest()) {
        auto* key = static_cast<QKeyEvent*>(event);
        const MainViewModel::NavKey nav = MainViewModel::navKeyFor(key->key(), key->modifiers());
        // A held key acts once, on its first press. Its repeats are taken all the same: passed on, a held
        // Tab would move the keyboard off the root.
        if (key->isAutoRepeat() && nav != MainViewModel::NavKey::other) {
            key->accept();
            return true;
        }
        if (m_model->handleKeyNav(nav)) {
            key->accept();
            return true;
        }
    }
    return QWidget::event(event);
}

void TarvolinTimerMainView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // Arrow keys and Tab work at once when the popover opens; an open card keeps the keyboard.
    if (TimerPreparationView* card = preparationCard()) {
        card->focusStart();
    } else {
        restoreKeyNavFocus();
    }
}

void TarvolinTimerMainView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), QvColor::qvBgPrimary().resolve(ViewEnvironment::colorScheme(this)));
}

void TarvolinTimerMainView::followPreference(const QString& key) {
    if (key == ThemeSettingsKeys::displayDensity.key) {
        applyDensity();
    } else if (key == SettingsKeys::appLanguage.key) {
        applyLanguage();
    }
}

void TarvolinTimerMainView::applyDensity() {
    ViewEnvironment::setDisplayDensity(this, displayDensityFromPreferences(m_deps.preferences));
}

void TarvolinTimerMainView::applyLanguage() {
    // Times and numbers inside follow the in-app language, not the system's: anything but "en" is Japanese.
    const bool english = SettingsKeys::appLanguage.read(m_deps.preferences) == QLatin1String("en");
    setLocale(QLocale(english ? QStringLiteral("en") : QStringLiteral("ja")));
}
