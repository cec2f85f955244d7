#include "shell/QuickAddPanel.h"

#include "shell/X11WindowHints.h"
#include "ui/quickadd/QuickAddView.h"
#include "ui/quickadd/QuickAddViewModel.h"

#include <QEvent>
#include <QMouseEvent>
#include <QScreen>
#include <QVBoxLayout>
#include <QWindow>

#include <algorithm>

QuickAddPanel::QuickAddPanel(TimerManager& timerManager, const Preferences& preferences,
                             const std::optional<TimerStartRequest>& request, std::function<void()> onClose,
                             Clock clock)
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      m_view(
          new QuickAddView(timerManager, preferences, request, std::move(onClose), std::move(clock), this)) {
    setObjectName(QStringLiteral("quorvane.quickAddPanel"));
    setAttribute(Qt::WA_DeleteOnClose);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    // The window takes the view's size, whichever step it shows.
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addWidget(m_view);
    connect(m_view, &QuickAddView::sizeChanged, this, [this] {
        if (isVisible()) {
            adjustSize();
            keepOnScreen();
        }
    });
    setWindowTitle(tr("Quick Add"));
    adjustSize();
}

const std::optional<TimerStartRequest>& QuickAddPanel::pendingRequest() const {
    return m_view->model().pendingRequest();
}

void QuickAddPanel::present() {
    if (!isVisible()) {
        X11WindowHints::addStates(this, X11WindowHints::skipTaskbar | X11WindowHints::skipPager |
                                            X11WindowHints::above);
    }
    show();
    raise();
    activateWindow();
}

void QuickAddPanel::keepOnScreen() {
    const QScreen* screen = this->screen();
    if (!screen) {
        return;
    }
    // A taller step grows the panel downwards; it moves up only as far as it must to stay in view.
    const QRect available = screen->availableGeometry();
    const int bottom = y() + height();
    const int limit = available.y() + available.height();
    if (bottom > limit) {
        move(x(), std::max(available.y(), y() - (bottom - limit)));
    }
}

bool QuickAddPanel::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate) {
        m_wasActive = true;
    } else if (event->type() == QEvent::WindowDeactivate && m_wasActive && isVisible()) {
        emit resignedActive();
    }
    return QWidget::event(event);
}

void QuickAddPanel::changeEvent(QEvent* event) {
    if (event->type() == QEvent::LanguageChange) {
        setWindowTitle(tr("Quick Add"));
    }
    QWidget::changeEvent(event);
}

void QuickAddPanel::mousePressEvent(QMouseEvent* event) {
    // Presses the view leaves alone fell on the panel's background: they move it.
    if (event->button() == Qt::LeftButton && windowHandle() && windowHandle()->startSystemMove()) {
        event->accept();
        return;
    }
    QWidget::mousePressEvent(event);
}
