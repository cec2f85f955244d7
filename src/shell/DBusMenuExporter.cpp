#include "shell/DBusMenuExporter.h"

#include <QDBusError>
#include <QDBusMessage>
#include <QTimer>

namespace {

const QString kType = QStringLiteral("type");
const QString kLabel = QStringLiteral("label");
const QString kChildrenDisplay = QStringLiteral("children-display");

// The protocol's defaults, answered for a property an entry leaves out.
QVariant defaultOf(const QString& name) {
    if (name == kType) {
        return QStringLiteral("standard");
    }
    if (name == kLabel || name == kChildrenDisplay || name == QLatin1String("icon-name") ||
        name == QLatin1String("toggle-type")) {
        return QString();
    }
    if (name == QLatin1String("enabled") || name == QLatin1String("visible")) {
        return true;
    }
    if (name == QLatin1String("toggle-state")) {
        return -1;
    }
    return {};
}

QVariantMap filtered(const QVariantMap& properties, const QStringList& names) {
    if (names.isEmpty()) {
        return properties;
    }
    QVariantMap kept;
    for (const QString& name : names) {
        const auto it = properties.constFind(name);
        if (it != properties.constEnd()) {
            kept.insert(name, it.value());
        }
    }
    return kept;
}

QVariantMap rootProperties() {
    return {{kChildrenDisplay, QStringLiteral("submenu")}};
}

const PanelMenuEntry* find(const QList<PanelMenuEntry>& entries, int id) {
    for (const PanelMenuEntry& e : entries) {
        if (e.id == id) {
            return &e;
        }
        if (const PanelMenuEntry* inner = find(e.children, id)) {
            return inner;
        }
    }
    return nullptr;
}

void flatten(const QList<PanelMenuEntry>& entries, int parent, QList<std::pair<int, int>>& structure,
             QHash<int, QVariantMap>& properties) {
    for (const PanelMenuEntry& e : entries) {
        structure.push_back({parent, e.id});
        properties.insert(e.id, DBusMenuExporter::propertiesOf(e));
        flatten(e.children, e.id, structure, properties);
    }
}

DBusMenuLayoutItem layoutOf(int id, const QVariantMap& properties, const QList<PanelMenuEntry>& children,
                            int depth, const QStringList& names) {
    DBusMenuLayoutItem item{id, filtered(properties, names), {}};
    if (depth != 0) {
        for (const PanelMenuEntry& child : children) {
            item.children << layoutOf(child.id, DBusMenuExporter::propertiesOf(child), child.children,
                                      depth < 0 ? depth : depth - 1, names);
        }
    }
    return item;
}

} // namespace

DBusMenuExporter::DBusMenuExporter(RightClickMenu& menu, QObject* parent) : QObject(parent), m_menu(menu) {
    registerPanelDBusTypes();
    m_entries = m_menu.build();
    m_properties.insert(RightClickMenu::rootId, rootProperties());
    flatten(m_entries, RightClickMenu::rootId, m_structure, m_properties);
    connect(&m_menu, &RightClickMenu::changed, this, &DBusMenuExporter::refresh);
}

DBusMenuExporter::~DBusMenuExporter() {
    if (m_published) {
        m_connection.unregisterObject(QString::fromLatin1(objectPath));
    }
}

bool DBusMenuExporter::publish(QDBusConnection connection) {
    m_connection = std::move(connection);
    m_published =
        m_connection.registerObject(QString::fromLatin1(objectPath), this,
                                    QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllSignals |
                                        QDBusConnection::ExportAllProperties);
    return m_published;
}

QVariantMap DBusMenuExporter::propertiesOf(const PanelMenuEntry& entry) {
    QVariantMap properties;
    switch (entry.kind) {
    case PanelMenuEntry::Kind::separator:
        properties.insert(kType, QStringLiteral("separator"));
        break;
    case PanelMenuEntry::Kind::submenu:
        properties.insert(kChildrenDisplay, QStringLiteral("submenu"));
        [[fallthrough]];
    case PanelMenuEntry::Kind::action: {
        // An underscore marks an access key in this protocol; ours are meant as written.
        QString label = entry.title;
        properties.insert(kLabel, label.replace(QLatin1Char('_'), QStringLiteral("__")));
        break;
    }
    }
    return properties;
}

bool DBusMenuExporter::refresh() {
    QList<PanelMenuEntry> entries = m_menu.build();
    QList<std::pair<int, int>> structure;
    QHash<int, QVariantMap> properties;
    properties.insert(RightClickMenu::rootId, rootProperties());
    flatten(entries, RightClickMenu::rootId, structure, properties);

    if (structure != m_structure) {
        m_entries = std::move(entries);
        m_structure = std::move(structure);
        m_properties = std::move(properties);
        ++m_revision;
        emit LayoutUpdated(m_revision, RightClickMenu::rootId);
        return true;
    }
    DBusMenuItemPropertiesList updated;
    DBusMenuItemRemovedPropertiesList removed;
    for (const auto& [parent, id] : std::as_const(m_structure)) {
        Q_UNUSED(parent);
        const QVariantMap& before = m_properties.value(id);
        const QVariantMap& now = properties.value(id);
        if (before == now) {
            continue;
        }
        updated.push_back({id, now});
        QStringList gone;
        for (auto it = before.constBegin(); it != before.constEnd(); ++it) {
            if (!now.contains(it.key())) {
                gone << it.key();
            }
        }
        if (!gone.isEmpty()) {
            removed.push_back({id, gone});
        }
    }
    if (updated.isEmpty()) {
        return false;
    }
    m_entries = std::move(entries);
    m_properties = std::move(properties);
    // Also a new revision, so AboutToShow tells panels that skip property updates to read the menu again.
    ++m_revision;
    emit ItemsPropertiesUpdated(updated, removed);
    return true;
}

bool DBusMenuExporter::exists(int id) const {
    return m_properties.contains(id);
}

void DBusMenuExporter::replyInvalid(const QString& what) {
    if (calledFromDBus()) {
        sendErrorReply(QDBusError::InvalidArgs, what);
    }
}

uint DBusMenuExporter::GetLayout(int parentId, int recursionDepth, const QStringList& propertyNames,
                                 DBusMenuLayoutItem& layout) {
    refresh();
    if (parentId == RightClickMenu::rootId) {
        layout = layoutOf(parentId, m_properties.value(parentId), m_entries, recursionDepth, propertyNames);
    } else if (const PanelMenuEntry* parent = find(m_entries, parentId)) {
        layout = layoutOf(parentId, propertiesOf(*parent), parent->children, recursionDepth, propertyNames);
    } else {
        replyInvalid(QStringLiteral("No menu entry %1").arg(parentId));
        return 0;
    }
    m_servedRevision = m_revision;
    return m_revision;
}

DBusMenuItemPropertiesList DBusMenuExporter::GetGroupProperties(const QList<int>& ids,
                                                                const QStringList& propertyNames) {
    refresh();
    DBusMenuItemPropertiesList list;
    const auto add = [&](int id) { list.push_back({id, filtered(m_properties.value(id), propertyNames)}); };
    if (ids.isEmpty()) {
        add(RightClickMenu::rootId);
        for (const auto& [parent, id] : std::as_const(m_structure)) {
            Q_UNUSED(parent);
            add(id);
        }
    } else {
        for (int id : ids) {
            if (exists(id)) {
                add(id);
            }
        }
    }
    return list;
}

QDBusVariant DBusMenuExporter::GetProperty(int id, const QString& name) {
    refresh();
    if (!exists(id)) {
        replyInvalid(QStringLiteral("No menu entry %1").arg(id));
        return {};
    }
    QVariant value = m_properties.value(id).value(name);
    if (!value.isValid()) {
        value = defaultOf(name);
    }
    if (!value.isValid()) {
        replyInvalid(QStringLiteral("No property %1").arg(name));
        return QDBusVariant(QString());
    }
    return QDBusVariant(value);
}

void DBusMenuExporter::triggerLater(int id) {
    // The answer goes out first; what the entry does (quitting, say) comes after.
    QTimer::singleShot(0, this, [this, id] { m_menu.trigger(id); });
}

void DBusMenuExporter::Event(int id, const QString& eventId, const QDBusVariant& data, uint timestamp) {
    Q_UNUSED(data);
    Q_UNUSED(timestamp);
    if (!exists(id)) {
        replyInvalid(QStringLiteral("No menu entry %1").arg(id));
        return;
    }
    if (eventId == QLatin1String("clicked")) {
        triggerLater(id);
    }
}

QList<int> DBusMenuExporter::EventGroup(const DBusMenuEventList& events) {
    QList<int> idErrors;
    for (const DBusMenuEvent& event : events) {
        if (!exists(event.id)) {
            idErrors << event.id;
        } else if (event.eventId == QLatin1String("clicked")) {
            triggerLater(event.id);
        }
    }
    if (!events.isEmpty() && idErrors.size() == events.size()) {
        replyInvalid(QStringLiteral("No menu entry for any event"));
    }
    return idErrors;
}

bool DBusMenuExporter::AboutToShow(int id) {
    refresh();
    if (!exists(id)) {
        replyInvalid(QStringLiteral("No menu entry %1").arg(id));
        return false;
    }
    return m_servedRevision != m_revision;
}

QList<int> DBusMenuExporter::AboutToShowGroup(const QList<int>& ids, QList<int>& idErrors) {
    refresh();
    QList<int> updatesNeeded;
    const bool stale = m_servedRevision != m_revision;
    for (int id : ids) {
        if (!exists(id)) {
            idErrors << id;
        } else if (stale) {
            updatesNeeded << id;
        }
    }
    return updatesNeeded;
}
