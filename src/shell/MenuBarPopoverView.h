#pragma once
// The popover: a frameless 440 × 720 window opened at the panel item's click and kept on screen, out of the
// taskbar and the window switcher, always light, in the in-app language. It closes when the focus goes to
// another application (unless one of its own dialogs or menus is open), on the next click of the item, and
// on an Escape that nothing inside it took.
// Where the desktop has no tray it is an ordinary window instead. Its content, the popover's root, is built
// the first time it is shown.

#include <QPoint>
#include <QRect>
#include <QSize>
#include <QWidget>

#include <functional>

class AppSettings;
class TarvolinTimerMainView;

class MenuBarPopoverView : public QWidget {
    Q_OBJECT
public:
    enum class Presentation { popover, window };

    static constexpr QSize popoverSize{440, 720};
    // Distance between the click and the popover's edge.
    static constexpr int anchorGap = 4;
    // A click of the item this soon after the popover closed itself is the click that closed it.
    static constexpr qint64 reopenGuardMs = 400;

    // Builds the root, parented to the popover; called once, when the popover is first shown.
    using RootFactory = std::function<TarvolinTimerMainView*(QWidget* parent)>;

    // `settings` (for the in-app language) must outlive the popover.
    MenuBarPopoverView(AppSettings& settings, RootFactory makeRoot, QWidget* parent = nullptr);

    // Where a window of `size` opens for a click at `anchor` on a screen whose free area is `available`:
    // centred on the click, below it when the click is in the upper half and above it otherwise, then moved
    // as little as needed to lie within `available`.
    static QRect placement(const QSize& size, const QPoint& anchor, const QRect& available);

    // The panel item's click: closes an open popover, opens a closed one at `anchor`.
    void toggleAt(const QPoint& anchor);
    // Opens as a popover at `anchor` on the screen under it.
    void showAt(const QPoint& anchor);
    // Opens as an ordinary window, for desktops with no tray.
    void showAsWindow();
    Presentation presentation() const { return m_presentation; }

    // True while a dialog or menu of its own is open: the popover then stays open.
    bool hasOpenChild() const;
    // The focus went to another application: a popover closes, unless a dialog or menu of its own is open.
    void applicationDeactivated();

    // The monotonic clock of the reopen guard, in milliseconds (tests set their own).
    void setClock(std::function<qint64()> monotonicMs) { m_clock = std::move(monotonicMs); }

    // Null until the popover has been shown once.
    TarvolinTimerMainView* root() const { return m_root; }

protected:
    void changeEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    // Closes the popover at the user's asking (the item's second click, Escape).
    void dismiss();
    void setPresentation(Presentation presentation);
    void present();
    void ensureRoot();
    void applyLanguage();

    AppSettings& m_settings;
    RootFactory m_makeRoot;
    TarvolinTimerMainView* m_root = nullptr; // child
    Presentation m_presentation = Presentation::popover;
    bool m_flagsSet = false;
    std::function<qint64()> m_clock;
    qint64 m_closedItselfAt = -1;
};
