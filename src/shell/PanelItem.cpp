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
#include <QTimer>

namespace {

const QString kLog = QStringLiteral("PanelItem");

// The bar of a panel that draws labels is dark; its own glyphs are recoloured, our pictures are not.
const QColor kLabelPanelInk = QColor(Qt::white);

} // namespace

PanelItem::PanelItem(MenuBarLabelModel& label, TimerManager& timers, AppSettings& settings,
                     QDBusConnection connection, PanelCallbacks callbacks, QObject* parent)
    : PanelItem(label, timers, settings, std::move(connection), std::move(callbacks), Options{}, parent) {}

PanelItem::PanelItem(MenuBarLabelModel& label, TimerManager& timers, AppSettings& settings,
                     QDBusConnection connection, PanelCallbacks callbacks, Options options, QObject* parent)
    : QObject(parent), m_label(label), m_callbacks(std::move(callbacks)), m_ink(options.ink),
      m_fixedKind(options.hostKind), m_graceMs(options.watcherGraceMs), m_connection(std::move(connection)) {
    if (!m_ink.isValid()) {
        m_ink = QGuiApplication::palette().color(QPalette::WindowText);
    }
    m_menu = new RightClickMenu(timers, settings, m_callbacks, this);
    m_exporter = new DBusMenuExporter(*m_menu, this);
    m_item = new StatusNotifierItem(m_connection, options.id, this);
    m_item->setTitle(options.id);
    m_item->setMenu(QDBusObjectPath(QString::fromLatin1(DBusMenuExporter::objectPath)));
    m_item->setIconThemePath(options.iconThemePath.isEmpty() ? LabelRenderer::iconThemePath()
                                                             : options.iconThemePath);
    // Pictures are drawn only when a panel reads them, and then once until they change.
    m_item->setIconSource([this] { return pictures(); });
    m_probe = new PanelHostProbe(m_connection, this);
    m_grace = new QTimer(this);
    m_grace->setSingleShot(true);

    connect(m_item, &StatusNotifierItem::activateRequested, this, [this](QPoint point) {
        // Some panels send no point (0, 0): the pointer is where the click was.
        if (point.isNull()) {
            point = QCursor::pos();
        }
        if (m_callbacks.activate) {
            m_callbacks.activate(point);
        }
    });
    connect(m_item, &StatusNotifierItem::contextMenuRequested, this, &PanelItem::popUpMenu);
    connect(m_item, &StatusNotifierItem::registrationChanged, this, &PanelItem::updatePresence);
    connect(m_item, &StatusNotifierItem::registeredWithWatcher, this, [this] {
        if (!m_fixedKind) {
            m_probe->probe();
        }
    });
    connect(m_probe, &PanelHostProbe::kindChanged, this, [this] { refresh(true); });
    connect(m_grace, &QTimer::timeout, this, [this] {
        m_graceOver = true;
        updatePresence();
    });
    connect(&m_label, &MenuBarLabelModel::changed, this, [this] { refresh(false); });
    refresh(true);
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
    m_graceOver = m_graceMs <= 0;
    if (!m_graceOver) {
        m_grace->start(m_graceMs);
    }
    m_item->start();
}

PanelHostKind PanelItem::hostKind() const {
    return m_fixedKind.value_or(m_probe->kind());
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

QString PanelItem::toolTipText() const {
    const QString& text = m_label.toolTip();
    return text.isEmpty() ? m_item->id() : text;
}

void PanelItem::refresh(bool force) {
    const MenuBarDisplayContent& content = m_label.content();
    const PanelShortForm form = PanelShortForm::of(content, m_label.remaining(), m_label.total());
    PanelLabelParts parts;
    if (hostKind() == PanelHostKind::label) {
        parts = PanelLabelParts::of(content);
    }
    // One NewIcon for the name and the pictures together, and only when what they show changed: on a
    // square panel that is once a minute while minutes count down.
    const bool pictureChanged =
        hostKind() == PanelHostKind::label ? parts.iconName != m_parts.iconName : !(form == m_form);
    m_form = form;
    if (force || pictureChanged) {
        m_item->setIconName(parts.iconName);
        m_item->invalidateIcon();
    }
    m_parts = parts;
    m_item->setLabel(parts.label, parts.guide);
    m_item->setToolTip({QString(), {}, toolTipText(), QString()});
    if (m_trayIcon) {
        if (!(form == m_trayForm)) {
            m_trayForm = form;
            m_trayIcon->setIcon(fallbackIcon());
        }
        if (m_trayIcon->toolTip() != toolTipText()) {
            m_trayIcon->setToolTip(toolTipText());
        }
    }
}

PanelIconPixmapList PanelItem::pictures() const {
    if (hostKind() == PanelHostKind::label) {
        // Panels that cannot find the named glyph draw these; a row that starts with the time has none.
        if (m_parts.iconName.isEmpty()) {
            // A row that starts with the time has no glyph; no picture at all would make the panel draw a
            // placeholder of its own, so it gets a transparent sliver.
            QImage sliver(1, 16, QImage::Format_ARGB32);
            sliver.fill(Qt::transparent);
            return {LabelRenderer::toIconPixmap(sliver)};
        }
        return LabelRenderer::glyphPixmaps(m_parts.iconName, kLabelPanelInk);
    }
    return LabelRenderer::shortFormPixmaps(m_form, m_ink);
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
        if (!m_graceOver) {
            return; // a panel starting with the session may not be up yet
        }
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
    // XEmbed trays are square too: the same short form.
    QIcon icon;
    for (int side : LabelRenderer::offeredSides()) {
        icon.addPixmap(QPixmap::fromImage(LabelRenderer::shortForm(m_trayForm, side, m_ink)));
    }
    return icon;
}

void PanelItem::showFallback() {
    if (m_trayIcon) {
        return;
    }
    m_trayForm = m_form;
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
