#include "shell/StatusNotifierItem.h"

#include "platform/TarvolinTimerLogger.h"

#include <QCoreApplication>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusServiceWatcher>
#include <QDBusVariant>
#include <QTimer>

#include <algorithm>

#include <atomic>

namespace {

const QString kLog = QStringLiteral("PanelItem");
const QString kBusService = QStringLiteral("org.freedesktop.DBus");
const QString kBusPath = QStringLiteral("/org/freedesktop/DBus");
const QString kPropertiesInterface = QStringLiteral("org.freedesktop.DBus.Properties");
constexpr uint kDoNotQueue = 4;
constexpr uint kPrimaryOwner = 1;
constexpr uint kAlreadyOwner = 4;

QString watcherName() {
    return QString::fromLatin1(StatusNotifierItem::watcherService);
}

// A name per item of this process, as the protocol asks.
QString uniqueItemName() {
    static std::atomic<int> counter{0};
    return QStringLiteral("org.kde.StatusNotifierItem-%1-%2")
        .arg(QCoreApplication::applicationPid())
        .arg(++counter);
}

} // namespace

// The object panels talk to: the protocol's names, forwarding to the item.
class StatusNotifierItemObject : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierItem")
    Q_PROPERTY(QString Category READ category)
    Q_PROPERTY(QString Id READ id)
    Q_PROPERTY(QString Title READ title)
    Q_PROPERTY(QString Status READ status)
    Q_PROPERTY(int WindowId READ windowId)
    Q_PROPERTY(QString IconThemePath READ iconThemePath)
    Q_PROPERTY(QString IconName READ iconName)
    Q_PROPERTY(PanelIconPixmapList IconPixmap READ iconPixmap)
    Q_PROPERTY(QString OverlayIconName READ emptyText)
    Q_PROPERTY(PanelIconPixmapList OverlayIconPixmap READ noPixmaps)
    Q_PROPERTY(QString AttentionIconName READ emptyText)
    Q_PROPERTY(PanelIconPixmapList AttentionIconPixmap READ noPixmaps)
    Q_PROPERTY(QString AttentionMovieName READ emptyText)
    Q_PROPERTY(PanelToolTip ToolTip READ toolTip)
    Q_PROPERTY(bool ItemIsMenu READ itemIsMenu)
    Q_PROPERTY(QDBusObjectPath Menu READ menu)
    Q_PROPERTY(QString XAyatanaLabel READ label)
    Q_PROPERTY(QString XAyatanaLabelGuide READ labelGuide)
    Q_PROPERTY(uint XAyatanaOrderingIndex READ orderingIndex)
public:
    explicit StatusNotifierItemObject(StatusNotifierItem& item) : QObject(&item), m_item(item) {}

    QString category() const { return QStringLiteral("ApplicationStatus"); }
    QString id() const { return m_item.id(); }
    QString title() const { return m_item.title(); }
    QString status() const { return m_item.status(); }
    int windowId() const { return 0; }
    QString emptyText() const { return {}; }
    QString iconThemePath() const { return m_item.iconThemePath(); }
    QString iconName() const { return m_item.iconName(); }
    PanelIconPixmapList iconPixmap() const { return m_item.iconPixmaps(); }
    PanelIconPixmapList noPixmaps() const { return {}; }
    PanelToolTip toolTip() const { return m_item.toolTip(); }
    bool itemIsMenu() const { return false; }
    QDBusObjectPath menu() const { return m_item.menu(); }
    QString label() const { return m_item.label(); }
    QString labelGuide() const { return m_item.labelGuide(); }
    uint orderingIndex() const { return 0; }

public slots:
    void Activate(int x, int y) { emit m_item.activateRequested(QPoint(x, y)); }
    void SecondaryActivate(int x, int y) { emit m_item.secondaryActivateRequested(QPoint(x, y)); }
    void ContextMenu(int x, int y) { emit m_item.contextMenuRequested(QPoint(x, y)); }
    // Scrolling over the item does nothing here.
    void Scroll(int delta, const QString& orientation) {
        Q_UNUSED(delta);
        Q_UNUSED(orientation);
    }
    // Wayland panels hand a token before Activate; the popover does not need it.
    void ProvideXdgActivationToken(const QString& token) { Q_UNUSED(token); }

signals:
    void NewTitle();
    void NewIcon();
    void NewAttentionIcon();
    void NewOverlayIcon();
    void NewToolTip();
    void NewStatus(const QString& status);
    void XAyatanaNewLabel(const QString& label, const QString& guide);

private:
    StatusNotifierItem& m_item;
};

StatusNotifierItem::StatusNotifierItem(QDBusConnection connection, const QString& id, QObject* parent)
    : QObject(parent), m_connection(std::move(connection)), m_id(id), m_title(id) {
    registerPanelDBusTypes();
    m_object = new StatusNotifierItemObject(*this);
}

StatusNotifierItem::~StatusNotifierItem() {
    if (!m_started) {
        return;
    }
    m_connection.unregisterObject(QString::fromLatin1(objectPath));
    if (m_serviceName.startsWith(QLatin1String("org.kde."))) {
        // Sent without waiting: the watcher then drops the item at once.
        QDBusMessage release =
            QDBusMessage::createMethodCall(kBusService, kBusPath, kBusService, QStringLiteral("ReleaseName"));
        release << m_serviceName;
        m_connection.send(release);
    }
}

void StatusNotifierItem::start() {
    if (m_started) {
        return;
    }
    m_started = true;
    if (!m_connection.isConnected()) {
        TT_LOG_ERROR(kLog, QStringLiteral("No session bus; the panel item cannot be shown"));
        setRegistration(Registration::noWatcher);
        return;
    }
    if (!m_connection.registerObject(QString::fromLatin1(objectPath), m_object,
                                     QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllSignals |
                                         QDBusConnection::ExportAllProperties)) {
        TT_LOG_ERROR(kLog, QStringLiteral("Could not publish the panel item: ") +
                               m_connection.lastError().message());
        setRegistration(Registration::noWatcher);
        return;
    }
    // Empty sender: naming the watcher here would make Qt look its owner up with a blocking call.
    m_connection.connect(QString(), QString::fromLatin1(watcherPath), watcherName(),
                         QStringLiteral("StatusNotifierHostRegistered"), this, SLOT(onHostRegistered()));
    m_connection.connect(QString(), QString::fromLatin1(watcherPath), watcherName(),
                         QStringLiteral("StatusNotifierHostUnregistered"), this, SLOT(onHostUnregistered()));
    m_watcherWatcher =
        new QDBusServiceWatcher(watcherName(), m_connection, QDBusServiceWatcher::WatchForOwnerChange, this);
    connect(m_watcherWatcher, &QDBusServiceWatcher::serviceOwnerChanged, this,
            [this](const QString&, const QString&, const QString& newOwner) {
                if (newOwner.isEmpty()) {
                    TT_LOG_INFO(kLog, QStringLiteral("Panel item watcher left the bus"));
                    ++m_attempt;
                    setRegistration(Registration::noWatcher);
                } else {
                    TT_LOG_INFO(kLog, QStringLiteral("Panel item watcher (re)started; registering again"));
                    m_retriesLeft = takenRetries;
                    registerWithWatcher();
                }
            });
    requestName();
}

void StatusNotifierItem::requestName() {
    const QString wanted = uniqueItemName();
    QDBusMessage call =
        QDBusMessage::createMethodCall(kBusService, kBusPath, kBusService, QStringLiteral("RequestName"));
    call << wanted << kDoNotQueue;
    auto* pending = new QDBusPendingCallWatcher(m_connection.asyncCall(call), this);
    connect(pending, &QDBusPendingCallWatcher::finished, this, [this, wanted](QDBusPendingCallWatcher* w) {
        w->deleteLater();
        const QDBusPendingReply<uint> reply = *w;
        if (!reply.isError() && (reply.value() == kPrimaryOwner || reply.value() == kAlreadyOwner)) {
            m_serviceName = wanted;
        } else {
            // Watchers also take the connection's own name.
            m_serviceName = m_connection.baseService();
            TT_LOG_WARNING(
                kLog,
                QStringLiteral("Bus name %1 not granted; registering as %2").arg(wanted, m_serviceName));
        }
        registerWithWatcher();
    });
}

void StatusNotifierItem::registerWithWatcher() {
    if (m_serviceName.isEmpty()) {
        return; // the name's answer registers
    }
    const int attempt = ++m_attempt;
    QDBusMessage call =
        QDBusMessage::createMethodCall(watcherName(), QString::fromLatin1(watcherPath), watcherName(),
                                       QStringLiteral("RegisterStatusNotifierItem"));
    call << m_serviceName;
    auto* pending = new QDBusPendingCallWatcher(m_connection.asyncCall(call), this);
    connect(pending, &QDBusPendingCallWatcher::finished, this, [this, attempt](QDBusPendingCallWatcher* w) {
        w->deleteLater();
        if (attempt != m_attempt) {
            return;
        }
        if (w->isError()) {
            TT_LOG_INFO(kLog, QStringLiteral("No panel item watcher: ") + w->error().message());
            setRegistration(Registration::noWatcher);
            return;
        }
        emit registeredWithWatcher();
        askForHost();
        QTimer::singleShot(m_takenCheckMs, this, [this, attempt] { checkTaken(attempt); });
    });
}

void StatusNotifierItem::checkTaken(int attempt) {
    if (attempt != m_attempt) {
        return; // registered again since, or the watcher left
    }
    readWatcherProperty(QStringLiteral("RegisteredStatusNotifierItems"), [this](const QVariant* value) {
        if (!value) {
            return; // a watcher that cannot say is taken at its word
        }
        // Watchers list an item by its bus name, or by the name and object path, or by the connection's
        // own name when the item gave its path.
        const QStringList items = value->toStringList();
        const QString unique = m_connection.baseService();
        const bool listed = std::any_of(items.begin(), items.end(), [&](const QString& entry) {
            for (const QString& name : {m_serviceName, unique}) {
                if (!name.isEmpty() && (entry == name || entry.startsWith(name + QLatin1Char('/')))) {
                    return true;
                }
            }
            return false;
        });
        if (listed) {
            return;
        }
        if (m_retriesLeft <= 0) {
            TT_LOG_WARNING(kLog, QStringLiteral("The panel item watcher has not listed the item after %1 "
                                                "registrations; it may not be shown")
                                     .arg(takenRetries + 1));
            return;
        }
        --m_retriesLeft;
        TT_LOG_INFO(kLog,
                    QStringLiteral("The panel item watcher has not listed the item; registering again"));
        registerWithWatcher();
    });
}

void StatusNotifierItem::askForHost() {
    readWatcherProperty(QStringLiteral("IsStatusNotifierHostRegistered"), [this](const QVariant* value) {
        // A watcher that cannot say is taken at its word that it shows items.
        const bool hostPresent = !value || value->toBool();
        setRegistration(hostPresent ? Registration::shown : Registration::noHost);
    });
}

void StatusNotifierItem::readWatcherProperty(const QString& name,
                                             std::function<void(const QVariant*)> handle) {
    const int attempt = m_attempt;
    QDBusMessage call = QDBusMessage::createMethodCall(watcherName(), QString::fromLatin1(watcherPath),
                                                       kPropertiesInterface, QStringLiteral("Get"));
    call << watcherName() << name;
    auto* pending = new QDBusPendingCallWatcher(m_connection.asyncCall(call), this);
    connect(pending, &QDBusPendingCallWatcher::finished, this,
            [this, attempt, handle = std::move(handle)](QDBusPendingCallWatcher* w) {
                w->deleteLater();
                if (attempt != m_attempt) {
                    return; // registered again since, or the watcher left
                }
                const QDBusPendingReply<QDBusVariant> reply = *w;
                if (reply.isError()) {
                    handle(nullptr);
                    return;
                }
                const QVariant value = reply.value().variant();
                handle(&value);
            });
}

void StatusNotifierItem::onHostRegistered() {
    if (m_registration == Registration::noHost) {
        setRegistration(Registration::shown);
    }
}

void StatusNotifierItem::onHostUnregistered() {
    if (m_registration == Registration::shown) {
        askForHost(); // another panel may still be there
    }
}

void StatusNotifierItem::setRegistration(Registration registration) {
    if (registration == m_registration) {
        return;
    }
    m_registration = registration;
    emit registrationChanged(registration);
}

void StatusNotifierItem::setTitle(const QString& title) {
    if (title != m_title) {
        m_title = title;
        emit m_object->NewTitle();
    }
}

void StatusNotifierItem::setStatus(const QString& status) {
    if (status != m_status) {
        m_status = status;
        emit m_object->NewStatus(status);
    }
}

void StatusNotifierItem::setToolTip(const PanelToolTip& toolTip) {
    if (!(toolTip == m_toolTip)) {
        m_toolTip = toolTip;
        emit m_object->NewToolTip();
    }
}

void StatusNotifierItem::setLabel(const QString& label, const QString& guide) {
    if (label != m_label || guide != m_labelGuide) {
        m_label = label;
        m_labelGuide = guide;
        emit m_object->XAyatanaNewLabel(label, guide);
    }
}

void StatusNotifierItem::setIconThemePath(const QString& path) {
    m_iconThemePath = path;
}

void StatusNotifierItem::setMenu(const QDBusObjectPath& menu) {
    m_menu = menu;
}

void StatusNotifierItem::setIconSource(std::function<PanelIconPixmapList()> source) {
    m_iconSource = std::move(source);
    m_iconCache.reset();
}

void StatusNotifierItem::invalidateIcon() {
    m_iconCache.reset();
    emit m_object->NewIcon();
}

PanelIconPixmapList StatusNotifierItem::iconPixmaps() {
    if (!m_iconCache) {
        m_iconCache = m_iconSource ? m_iconSource() : PanelIconPixmapList{};
    }
    return *m_iconCache;
}

#include "StatusNotifierItem.moc"
