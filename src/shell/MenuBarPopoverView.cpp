#include "shell/MenuBarPopoverView.h"

#include "core/AppSettings.h"
#include "core/SettingsKeys.h"
#include "shell/X11WindowHints.h"
#include "ui/kit/KeyPress.h"
#include "ui/kit/OwnDialogMark.h"
#include "ui/kit/ViewEnvironment.h"
#include "ui/popover/TarvolinTimerMainView.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QScreen>
#include <QVBoxLayout>

#include <algorithm>

namespace {

qint64 monotonicNow() {
    static QElapsedTimer timer;
    if (!timer.isValid()) {
        timer.start();
    }
    return timer.elapsed();
}

} // namespace

MenuBarPopoverView::MenuBarPopoverView(AppSettings& settings, RootFactory makeRoot, QWidget* parent)
    : QWidget(parent), m_settings(settings), m_makeRoot(std::move(makeRoot)), m_clock(monotonicNow) {
    setObjectName(QStringLiteral("quorvane.popover"));
    setFixedSize(popoverSize);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    ViewEnvironment::setColorScheme(this, ColorScheme::light);
    setAutoFillBackground(true);

    connect(&m_settings, &AppSettings::keyChanged, this, [this](const QString& key) {
        if (key == SettingsKeys::appLanguage.key) {
            applyLanguage();
        }
    });
    applyLanguage();
    connect(qApp, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState state) {
        if (state != Qt::ApplicationActive) {
            applicationDeactivated();
        }
    });
}

QRect MenuBarPopoverView::placement(const QSize& size, const QPoint& anchor, const QRect& available) {
    QRect rect(QPoint(0, 0), size);
    const bool upperHalf = anchor.y() < available.y() + available.height() / 2;
    rect.moveLeft(anchor.x() - size.width() / 2);
    rect.moveTop(upperHalf ? anchor.y() + anchorGap : anchor.y() - anchorGap - size.height());
    // Right and bottom edges first, so a window larger than the area keeps its top left corner in view.
    const int availableRight = available.x() + available.width();
    const int availableBottom = available.y() + available.height();
    rect.moveLeft(std::min(rect.x(), availableRight - size.width()));
    rect.moveTop(std::min(rect.y(), availableBottom - size.height()));
    rect.moveLeft(std::max(rect.x(), available.x()));
    rect.moveTop(std::max(rect.y(), available.y()));
    return rect;
}

void MenuBarPopoverView::toggleAt(const QPoint& anchor) {
    if (isVisible()) {
        dismiss();
        return;
    }
    if (m_closedItselfAt >= 0 && m_clock() - m_closedItselfAt < reopenGuardMs) {
        // The press on the item took the focus and closed the popover; its click must not reopen it.
        m_closedItselfAt = -1;
        return;
    }
    showAt(anchor);
}

void MenuBarPopoverView::dismiss() {
    hide();
}

void MenuBarPopoverView::showAt(const QPoint& anchor) {
    setPresentation(Presentation::popover);
    const QScreen* screen = QGuiApplication::screenAt(anchor);
    if (!screen) {
        screen = QGuiApplication::primaryScreen();
    }
    if (screen) {
        move(placement(popoverSize, anchor, screen->availableGeometry()).topLeft());
    }
    present();
}

void MenuBarPopoverView::showAsWindow() {
    const bool wasWindow = m_presentation == Presentation::window && m_flagsSet;
    setPresentation(Presentation::window);
    if (!wasWindow) {
        if (const QScreen* screen = QGuiApplication::primaryScreen()) {
            const QRect available = screen->availableGeometry();
            move(available.center() - QPoint(popoverSize.width() / 2, popoverSize.height() / 2));
        }
    }
    present();
}

void MenuBarPopoverView::setPresentation(Presentation presentation) {
    if (m_flagsSet && presentation == m_presentation) {
        return;
    }
    const bool visible = isVisible();
    m_presentation = presentation;
    m_flagsSet = true;
    // Changing the flags makes a new native window, hidden: shown again by the caller.
    if (presentation == Presentation::popover) {
        setWindowFlags(Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    } else {
        setWindowFlags(Qt::Window);
    }
    if (visible) {
        hide();
    }
}

void MenuBarPopoverView::ensureRoot() {
    if (m_root || !m_makeRoot) {
        return;
    }
    m_root = m_makeRoot(this);
    if (m_root) {
        layout()->addWidget(m_root);
    }
}

void MenuBarPopoverView::present() {
    ensureRoot();
    if (!isVisible() && m_presentation == Presentation::popover) {
        X11WindowHints::addStates(this, X11WindowHints::skipTaskbar | X11WindowHints::skipPager);
    }
    m_closedItselfAt = -1;
    show();
    raise();
    activateWindow();
}

bool MenuBarPopoverView::hasOpenChild() const {
    if (QApplication::activePopupWidget() || QApplication::activeModalWidget()) {
        return true;
    }
    // A dialog the desktop draws for us (a file chooser, say) is no widget of ours: its opener marks it.
    if (OwnDialogMark::isOpen(this)) {
        return true;
    }
    const auto widgets = QApplication::topLevelWidgets();
    return std::any_of(widgets.begin(), widgets.end(), [this](const QWidget* w) {
        if (w == this || !w->isVisible()) {
            return false;
        }
        for (const QWidget* p = w->parentWidget(); p; p = p->parentWidget()) {
            if (p == this) {
                return true;
            }
        }
        return false;
    });
}

void MenuBarPopoverView::applicationDeactivated() {
    if (!isVisible() || m_presentation != Presentation::popover || hasOpenChild()) {
        return;
    }
    hide();
    m_closedItselfAt = m_clock();
}

void MenuBarPopoverView::applyLanguage() {
    setLocale(::locale(m_settings.appLanguage()));
    setWindowTitle(QStringLiteral("TarvolinTimer"));
}

void MenuBarPopoverView::changeEvent(QEvent* event) {
    if (event->type() == QEvent::LanguageChange) {
        applyLanguage();
    }
    QWidget::changeEvent(event);
}

void MenuBarPopoverView::keyPressEvent(QKeyEvent* event) {
    // Keys come here only when nothing inside used them: the bar's field, the confirmation card, an editor
    // or a gallery each take their Escape first, and an open menu has the keyboard to itself. A window
    // stands in for a missing panel item and stays until closed as windows are.
    if (KeyPress::isPlainEscape(*event) && m_presentation == Presentation::popover) {
        event->accept();
        dismiss();
        return;
    }
    QWidget::keyPressEvent(event);
}
