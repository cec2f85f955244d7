#pragma once
// The program's face in the desktop's panel: the menu-bar label as our own panel item (over D-Bus, with the
// label's text beside it where the panel shows text and drawn into its picture elsewhere), its click and its
// right-click menu. Where no item watcher exists but an XEmbed tray does, a QSystemTrayIcon stands in with
// the same picture, tooltip, click and menu; where there is neither, presence() says so, for the shell to
// open its window instead.

#include "shell/PanelCallbacks.h"
#include "theme/MenuBarDisplayContent.h"

#include <QColor>
#include <QDBusConnection>
#include <QIcon>
#include <QObject>
#include <QPoint>
#include <QRect>
#include <QString>

#include <memory>

class AppSettings;
class DBusMenuExporter;
class MenuBarLabelModel;
class QMenu;
class QSystemTrayIcon;
class RightClickMenu;
class StatusNotifierItem;
class TimerManager;

class PanelItem : public QObject {
    Q_OBJECT
public:
    enum class Presence {
        unknown,        // still asking the bus
        statusNotifier, // our item, shown by a panel
        systemTray,     // the XEmbed fallback
        none,           // no tray of any kind: the shell shows a window instead
    };
    Q_ENUM(Presence)

    struct Options {
        // The application's name to panels.
        QString id = QStringLiteral("TarvolinTimer");
        // The label's ink; invalid takes the desktop palette's window text as it is at construction (make
        // the panel item before the program forces its own palette).
        QColor ink;
    };

    // The model, manager and settings must outlive the item. Nothing is shown before start().
    PanelItem(MenuBarLabelModel& label, TimerManager& timers, AppSettings& settings,
              QDBusConnection connection, PanelCallbacks callbacks, Options options,
              QObject* parent = nullptr);
    PanelItem(MenuBarLabelModel& label, TimerManager& timers, AppSettings& settings,
              QDBusConnection connection, PanelCallbacks callbacks, QObject* parent = nullptr);
    ~PanelItem() override;

    // Publishes the item and its menu and looks for a panel to show them; presenceChanged() follows.
    void start();
    Presence presence() const { return m_presence; }
    // True while the item is shown in some tray.
    bool isTrayAvailable() const {
        return m_presence == Presence::statusNotifier || m_presence == Presence::systemTray;
    }

    QColor ink() const { return m_ink; }
    void setInk(const QColor& ink);

    // What a panel gets: the label's text where a panel shows text beside items (empty when the row shows
    // no time), the width the text may take, and the tooltip.
    QString labelText() const;
    QString labelGuide() const;
    QString toolTipText() const;

    // The fallback icon's place on the screen, empty unless presence() is systemTray.
    QRect fallbackGeometry() const;
    // The menu last shown for a right click or by the fallback icon; null before the first.
    QMenu* contextMenu() const { return m_contextMenu.get(); }

signals:
    void presenceChanged(PanelItem::Presence presence);

private:
    void onLabelChanged();
    void updatePresence();
    void showFallback();
    void hideFallback();
    QIcon fallbackIcon() const;
    void popUpMenu(QPoint screenPoint);
    QMenu& ensureContextMenu();
    void setPresence(Presence presence);

    MenuBarLabelModel& m_label;
    PanelCallbacks m_callbacks;
    QColor m_ink;
    RightClickMenu* m_menu = nullptr;       // child
    DBusMenuExporter* m_exporter = nullptr; // child
    StatusNotifierItem* m_item = nullptr;   // child
    std::unique_ptr<QMenu> m_contextMenu;
    std::unique_ptr<QSystemTrayIcon> m_trayIcon;
    QDBusConnection m_connection;
    Presence m_presence = Presence::unknown;
    bool m_started = false;
    // What the picture was last drawn from, so a tick that leaves it alone redraws nothing.
    QList<MenuBarDisplayContent::Item> m_pictureRow;
    MenuBarDisplayContent m_pictureContent;
};
