#include "shell/OnboardingWindowController.h"

#include "core/AppSettings.h"
#include "core/TimerManager.h"
#include "theme/QvColor.h"
#include "theme/ThemeStore.h"
#include "ui/kit/ViewEnvironment.h"
#include "ui/onboarding/OnboardingView.h"

#include <QCursor>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QScreen>
#include <QVBoxLayout>
#include <QWidget>
#include <QWindow>

#include <functional>

namespace {

// The guide's window: fixed size, a close button and nothing else, above ordinary windows, dragged by any
// part of its background.
class OnboardingPanel : public QWidget {
public:
    OnboardingPanel(TimerManager* timerManager, AppSettings& settings, std::function<void()> onDismiss)
        : QWidget(nullptr, Qt::Window | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint |
                               Qt::WindowTitleHint | Qt::WindowCloseButtonHint) {
        setObjectName(QStringLiteral("quorvane.onboarding"));
        setWindowTitle(QString());
        setFixedSize(OnboardingWindowController::windowSize);
        ViewEnvironment::setColorScheme(this, ColorScheme::light);
        QPalette background = palette();
        background.setColor(QPalette::Window, QvColor::qvBgPrimary().resolve(ColorScheme::light));
        setPalette(background);
        setAutoFillBackground(true);
        auto* layout = new QVBoxLayout(this);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(new OnboardingView(timerManager, settings, std::move(onDismiss), this));
    }

protected:
    // Presses no control took come up here: they move the window.
    void mousePressEvent(QMouseEvent* event) override {
        if (event->button() == Qt::LeftButton && windowHandle()) {
            windowHandle()->startSystemMove();
        }
        QWidget::mousePressEvent(event);
    }
};

} // namespace

OnboardingWindowController::OnboardingWindowController(TimerManager* timerManager, ThemeStore* themeStore,
                                                       AppSettings& settings, QObject* parent)
    : QObject(parent), m_timerManager(timerManager), m_themeStore(themeStore), m_settings(settings) {}

OnboardingWindowController::~OnboardingWindowController() {
    delete m_panel;
}

QRect OnboardingWindowController::placement(const QRect& available) {
    return QRect(available.x() + (available.width() - windowSize.width()) / 2,
                 available.y() + (available.height() - windowSize.height()) / 2, windowSize.width(),
                 windowSize.height());
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
    // A window closed by its close button is replaced: the guide starts again on its first page.
    if (m_panel) {
        m_panel->deleteLater();
    }
    const QPointer<OnboardingWindowController> self(this);
    auto* panel = new OnboardingPanel(m_timerManager, m_settings, [self] {
        if (self) {
            self->dismiss();
        }
    });
    m_panel = panel;
    QScreen* screen = QGuiApplication::screenAt(QCursor::pos());
    if (!screen) {
        screen = QGuiApplication::primaryScreen();
    }
    if (screen) {
        panel->move(placement(screen->availableGeometry()).topLeft());
    }
    panel->show();
    panel->raise();
    panel->activateWindow();
}

void OnboardingWindowController::dismiss() {
    if (m_panel) {
        // Asked from a button inside the window: it goes once that button's click has returned.
        m_panel->close();
        m_panel->deleteLater();
        m_panel = nullptr;
    }
}
