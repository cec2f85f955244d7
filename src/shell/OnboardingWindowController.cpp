#include "shell/OnboardingWindowController.h"

#include "core/AppSettings.h"
#include "core/TimerManager.h"
#include "theme/ThemeStore.h"

#include <QCoreApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <QWidget>

#include <functional>

namespace {

// The window's content: welcome text and Done.
class OnboardingPlaceholderView : public QWidget {
public:
    explicit OnboardingPlaceholderView(std::function<void()> onDone)
        : QWidget(nullptr, Qt::Window | Qt::WindowStaysOnTopHint) {
        setObjectName(QStringLiteral("quorvane.onboarding"));
        setAttribute(Qt::WA_DeleteOnClose);
        setFixedSize(OnboardingWindowController::windowSize);
        auto* layout = new QVBoxLayout(this);
        layout->setContentsMargins(32, 48, 32, 32);
        m_title = new QLabel(this);
        QFont titleFont = m_title->font();
        titleFont.setPixelSize(24);
        titleFont.setWeight(QFont::Bold);
        m_title->setFont(titleFont);
        m_title->setAlignment(Qt::AlignCenter);
        m_body = new QLabel(this);
        m_body->setWordWrap(true);
        m_body->setAlignment(Qt::AlignCenter);
        m_done = new QPushButton(this);
        m_done->setObjectName(QStringLiteral("quorvane.onboarding.done"));
        m_done->setDefault(true);
        layout->addWidget(m_title);
        layout->addSpacing(16);
        layout->addWidget(m_body);
        layout->addStretch(1);
        layout->addWidget(m_done, 0, Qt::AlignHCenter);
        connect(m_done, &QPushButton::clicked, this, [onDone = std::move(onDone)] { onDone(); });
        retranslate();
    }

protected:
    void changeEvent(QEvent* event) override {
        if (event->type() == QEvent::LanguageChange) {
            retranslate();
        }
        QWidget::changeEvent(event);
    }

private:
    void retranslate() {
        setWindowTitle(QCoreApplication::translate("OnboardingWindowController", "Welcome"));
        m_title->setText(
            QCoreApplication::translate("OnboardingWindowController", "Welcome to TarvolinTimer"));
        m_body->setText(QCoreApplication::translate(
            "OnboardingWindowController",
            "Your timers live in the panel. Click its item to see them, or type a time such as 25m or 9pm."));
        m_done->setText(QCoreApplication::translate("OnboardingWindowController", "Done"));
    }

    QLabel* m_title = nullptr;
    QLabel* m_body = nullptr;
    QPushButton* m_done = nullptr;
};

} // namespace

OnboardingWindowController::OnboardingWindowController(TimerManager* timerManager, ThemeStore* themeStore,
                                                       AppSettings& settings, QObject* parent)
    : QObject(parent), m_timerManager(timerManager), m_themeStore(themeStore), m_settings(settings) {}

OnboardingWindowController::~OnboardingWindowController() {
    delete m_panel;
}

void OnboardingWindowController::show(bool force) {
    if (!force && m_settings.hasSeenOnboarding()) {
        return;
    }
    if (!m_timerManager || !m_themeStore) {
        return;
    }
    if (m_panel && m_panel->isVisible()) {
        m_panel->raise();
        m_panel->activateWindow();
        return;
    }
    delete m_panel;
    m_panel = new OnboardingPlaceholderView([this] { dismiss(); });
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        m_panel->move(screen->availableGeometry().center() - m_panel->rect().center());
    }
    m_panel->show();
    m_panel->raise();
    m_panel->activateWindow();
}

void OnboardingWindowController::dismiss() {
    m_settings.setHasSeenOnboarding(true);
    if (m_panel) {
        m_panel->close(); // deletes itself on close
    }
}
