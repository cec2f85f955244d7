#include "shell/PanelItem.h"

#include "platform/TarvolinTimerLogger.h"
#include "shell/DBusMenuExporter.h"
#include "shell/LabelRenderer.h"
#include "shell/RightClickMenu.h"
#include "shell/StatusNotifierItem.h"
#include "ui/kit/MenuBarLabelModel.h"

#include <QCursor>
#include <QGuiApplication>
#include <QMenu>
#include <QMetaEnum>
#include <QPalette>
#include <QPixmap>
#include <QSystemTrayIcon>

namespace {

const QString kLog = QStringLiteral("PanelItem");

// The heights of the fallback icon's pictures; XEmbed trays are square and small.
const int kFallbackHeights[] = {16, 22, 24, 32, 48};

bool showsTime(const MenuBarDisplayContent& content) {
    const QList<MenuBarDisplayContent::Item> row = content.items();
    return std::any_of(row.begin(), row.end(), [](const MenuBarDisplayContent::Item& item) {
        return item.kind == MenuBarDisplayContent::Item::Kind::time;
    });
}

} // namespace

PanelItem::PanelItem(MenuBarLabelModel& label, TimerManager& timers, AppSettings& settings,
                     QDBusConnection connection, PanelCallbacks callbacks, QObject* parent)
    : PanelItem(label, timers, settings, std::move(connection), std::move(callbacks), Options{}, parent) {}

PanelItem::PanelItem(MenuBarLabelModel& label, TimerManager& timers, AppSettings& settings,
                     QDBusConnection connection, PanelCallbacks callbacks, Options options, QObject* parent)
    : QObject(parent), m_label(label), m_callbacks(std::move(callbacks)), m_ink(options.ink),
      m_connection(std::move(connection)) {
    if (!m_ink.isValid()) {
        m_ink = QGuiApplication::palette().color(QPalette::WindowText);
    }
    m_menu = new RightClickMenu(timers, settings, m_callbacks, this);
    m_exporter = new DBusMenuExporter(*m_menu, this);
    m_item = new StatusNotifierItem(m_connection, options.id, this);
    m_item->setTitle(options.id);
    m_item->setMenu(QDBusObjectPath(QString::fromLatin1(DBusMenuExporter::objectPath)));
    // Pictures are drawn only when a panel reads them, and then once until the picture changes.
    m_item->setIconSource([this] { return LabelRenderer::iconPixmaps(m_pictureContent, m_ink); });

    connect(m_item, &StatusNotifierItem::activateRequested, this, [this](QPoint point) {
        if (m_callbacks.activate) {
            m_callbacks.activate(point);
        }
    });
    connect(m_item, &StatusNotifierItem::contextMenuRequested, this, &PanelItem::popUpMenu);
    connect(m_item, &StatusNotifierItem::registrationChanged, this, &PanelItem::updatePresence);
    connect(&m_label, &MenuBarLabelModel::changed, this, &PanelItem::onLabelChanged);

    m_pictureContent = m_label.content();
    m_pictureRow = m_pictureContent.items();
    m_item->setToolTip({QString(), {}, toolTipText(), QString()});
    m_item->setLabel(labelText(), labelGuide());
}

PanelItem::~PanelItem() = default;

void PanelItem::start() {
    if (m_started) {
        return;
    }
    m_started = true;
    if (m_connection.isConnected() && !m_exporter->publish(m_connection)) {
        TT_LOG_WARNING(kLog, QStringLiteral("Could not publish the right-click menu: ") +
                                 m_connection.lastError().message());
    }
    m_item->start();
}

void PanelItem::setInk(const QColor& ink) {
    if (ink == m_ink) {
        return;
    }
    m_ink = ink;
    m_item->invalidateIcon();
    if (m_trayIcon) {
        m_trayIcon->setIcon(fallbackIcon());
    }
}

QString PanelItem::labelText() const {
    const MenuBarDisplayContent& content = m_label.content();
    return showsTime(content) ? content.timeText : QString();
}

QString PanelItem::labelGuide() const {
    // Digits are drawn at one width, so a guide of zeros keeps the panel's room steady as the time counts.
    QString guide = labelText();
    for (QChar& c : guide) {
        if (c.isDigit()) {
            c = QLatin1Char('0');
        }
    }
    return guide;
}

QString PanelItem::toolTipText() const {
    const QString& text = m_label.toolTip();
    return text.isEmpty() ? m_item->id() : text;
}

void PanelItem::onLabelChanged() {
    const MenuBarDisplayContent& content = m_label.content();
    const QList<MenuBarDisplayContent::Item> row = content.items();
    if (row != m_pictureRow) {
        m_pictureRow = row;
        m_pictureContent = content;
        m_item->invalidateIcon();
        if (m_trayIcon) {
            m_trayIcon->setIcon(fallbackIcon());
        }
    }
    m_item->setToolTip({QString(), {}, toolTipText(), QString()});
    m_item->setLabel(labelText(), labelGuide());
    if (m_trayIcon && m_trayIcon->toolTip() != toolTipText()) {
        m_trayIcon->setToolTip(toolTipText());
    }
}

void PanelItem::updatePresence() {
    switch (m_item->registration()) {
    case StatusNotifierItem::Registration::pending:
        return;
    case StatusNotifierItem::Registration::shown:
        hideFallback();
        setPresence(Presence::statusNotifier);
        return;
    case StatusNotifierItem::Registration::noWatcher:
    case StatusNotifierItem::Registration::noHost:
        if (QSystemTrayIcon::isSystemTrayAvailable()) {
            showFallback();
            setPresence(Presence::systemTray);
        } else {
            hideFallback();
            setPresence(Presence::none);
        }
        return;
    }
}

void PanelItem::setPresence(Presence presence) {
    if (presence == m_presence) {
        return;
    }
    m_presence = presence;
    TT_LOG_INFO(kLog,
                QStringLiteral("Shown through %1")
                    .arg(QString::fromLatin1(QMetaEnum::fromType<Presence>().valueToKey(int(presence)))));
    emit presenceChanged(presence);
}

QIcon PanelItem::fallbackIcon() const {
    QIcon icon;
    for (int height : kFallbackHeights) {
        icon.addPixmap(QPixmap::fromImage(LabelRenderer::render(m_pictureContent, height, m_ink)));
    }
    return icon;
}

void PanelItem::showFallback() {
    if (m_trayIcon) {
        return;
    }
    m_trayIcon = std::make_unique<QSystemTrayIcon>(fallbackIcon());
    m_trayIcon->setToolTip(toolTipText());
    m_trayIcon->setContextMenu(&ensureContextMenu());
    connect(m_trayIcon.get(), &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason why) {
                if (why == QSystemTrayIcon::Trigger && m_callbacks.activate) {
                    m_callbacks.activate(QCursor::pos());
                }
            });
    m_trayIcon->show();
}

void PanelItem::hideFallback() {
    if (m_trayIcon) {
        m_trayIcon->hide();
        m_trayIcon.reset();
    }
}

QRect PanelItem::fallbackGeometry() const {
    return m_trayIcon ? m_trayIcon->geometry() : QRect();
}

QMenu& PanelItem::ensureContextMenu() {
    if (!m_contextMenu) {
        m_contextMenu = std::make_unique<QMenu>();
        m_contextMenu->setObjectName(QStringLiteral("panelItemMenu"));
        // Built when it opens, so its titles and its pause or resume item are those of that moment.
        connect(m_contextMenu.get(), &QMenu::aboutToShow, this, [this] { m_menu->fill(*m_contextMenu); });
    }
    return *m_contextMenu;
}

void PanelItem::popUpMenu(QPoint screenPoint) {
    ensureContextMenu().popup(screenPoint);
}
