#pragma once
// The program's face in the desktop's panel: the menu-bar label as our own panel item (over D-Bus), its
// click and its right-click menu. What the item shows depends on the panel: one that draws labels (GNOME
// Shell) gets a glyph it recolours and the time as the item's label; one that draws pictures only gets a
// square holding the time's short form. Where no item watcher exists but an XEmbed tray does, a
// QSystemTrayIcon stands in with the same square picture, tooltip, click and menu; where there is neither,
// presence() says so, for the shell to open its window instead. At start it waits a few seconds for a
// watcher (a panel may start after the program at login), and a watcher that comes later still gets the item.

#include "shell/PanelCallbacks.h"
#include "shell/PanelDBusTypes.h"
#include "shell/PanelHost.h"
#include "shell/PanelShortForm.h"

#include <QColor>
#include <QDBusConnection>
#include <QIcon>
#include <QObject>
#include <QPoint>
#include <QRect>
#include <QString>

#include <memory>
#include <optional>

class AppSettings;
class DBusMenuExporter;
class MenuBarLabelModel;
class QMenu;
class QSystemTrayIcon;
class QTimer;
class RightClickMenu;
class StatusNotifierItem;
class TimerManager;

class PanelItem : public QObject {
    Q_OBJECT
public:
    enum class Presence {
        unknown,        // still asking the bus, or waiting for a watcher to come
        statusNotifier, // our item, shown by a panel
        systemTray,     // the XEmbed fallback
        none,           // no tray of any kind: the shell shows a window instead
    };
    Q_ENUM(Presence)

    // How long start() waits for a watcher before it falls back.
    static constexpr int watcherGraceMs = 5000;

    struct Options {
        // The application's name to panels.
        QString id = QStringLiteral("TarvolinTimer");
        // The square pictures' ink; invalid takes the desktop palette's window text as it is at construction
        // (make the panel item before the program forces its own palette). A solid halo of the opposite
        // lightness keeps it legible on any panel.
        QColor ink;
        // The kind of panel, when known beforehand; otherwise the watcher's owner tells it.
        std::optional<PanelHostKind> hostKind;
        int watcherGraceMs = PanelItem::watcherGraceMs;
        // The glyphs' icon theme folder given to panels; empty looks for the installed or built one.
        QString iconThemePath;
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
    PanelHostKind hostKind() const;

    QColor ink() const { return m_ink; }
    void setInk(const QColor& ink);

    // What panels get now: the short form drawn in square pictures, and the tooltip.
    PanelShortForm shortForm() const { return m_form; }
    QString toolTipText() const;

    // The fallback icon's place on the screen, empty unless presence() is systemTray.
    QRect fallbackGeometry() const;
    // The menu last shown for a right click or by the fallback icon; null before the first.
    QMenu* contextMenu() const { return m_contextMenu.get(); }

signals:
    void presenceChanged(PanelItem::Presence presence);

private:
    void refresh(bool force);
    PanelIconPixmapList pictures() const;
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
    std::optional<PanelHostKind> m_fixedKind;
    int m_graceMs;
    RightClickMenu* m_menu = nullptr;       // child
    DBusMenuExporter* m_exporter = nullptr; // child
    StatusNotifierItem* m_item = nullptr;   // child
    PanelHostProbe* m_probe = nullptr;      // child
    QTimer* m_grace = nullptr;              // child
    std::unique_ptr<QMenu> m_contextMenu;
    std::unique_ptr<QSystemTrayIcon> m_trayIcon;
    QDBusConnection m_connection;
    Presence m_presence = Presence::unknown;
    bool m_started = false;
    bool m_graceOver = false;
    // What the pictures were last drawn from, so a tick that leaves them alone redraws nothing.
    PanelShortForm m_form;
    PanelShortForm m_trayForm;
    PanelLabelParts m_parts;
};
