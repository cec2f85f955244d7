#pragma once
// Exports the right-click menu over com.canonical.dbusmenu, for panels that draw an item's menu themselves.
// The menu is built afresh for each request; panels are told when it changed (LayoutUpdated when entries
// came or went, ItemsPropertiesUpdated when only titles changed), also without AboutToShow, which some
// panels never send.

#include "shell/PanelDBusTypes.h"
#include "shell/RightClickMenu.h"

#include <QDBusConnection>
#include <QDBusContext>
#include <QDBusVariant>
#include <QHash>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

#include <utility>

class DBusMenuExporter : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "com.canonical.dbusmenu")
    Q_PROPERTY(uint Version READ version)
    Q_PROPERTY(QString TextDirection READ textDirection)
    Q_PROPERTY(QString Status READ status)
    Q_PROPERTY(QStringList IconThemePath READ iconThemePath)
public:
    static constexpr auto objectPath = "/MenuBar";

    // The menu must outlive the exporter.
    explicit DBusMenuExporter(RightClickMenu& menu, QObject* parent = nullptr);
    ~DBusMenuExporter() override;

    // Publishes the menu on the connection; false when the path is taken.
    bool publish(QDBusConnection connection);
    // The revision the last LayoutUpdated carried.
    uint revision() const { return m_revision; }

    uint version() const { return 3; }
    QString textDirection() const { return QStringLiteral("ltr"); }
    QString status() const { return QStringLiteral("normal"); }
    QStringList iconThemePath() const { return {}; }

    // The properties the protocol gives an entry, defaults left out.
    static QVariantMap propertiesOf(const PanelMenuEntry& entry);

public slots:
    uint GetLayout(int parentId, int recursionDepth, const QStringList& propertyNames,
                   DBusMenuLayoutItem& layout);
    DBusMenuItemPropertiesList GetGroupProperties(const QList<int>& ids, const QStringList& propertyNames);
    QDBusVariant GetProperty(int id, const QString& name);
    void Event(int id, const QString& eventId, const QDBusVariant& data, uint timestamp);
    QList<int> EventGroup(const DBusMenuEventList& events);
    bool AboutToShow(int id);
    QList<int> AboutToShowGroup(const QList<int>& ids, QList<int>& idErrors);

signals:
    void LayoutUpdated(uint revision, int parent);
    void ItemsPropertiesUpdated(const DBusMenuItemPropertiesList& updatedProps,
                                const DBusMenuItemRemovedPropertiesList& removedProps);
    void ItemActivationRequested(int id, uint timestamp);

private:
    // Builds the menu now and tells panels what differs from the last build. True when anything did.
    bool refresh();
    // Whether `id` names an entry now, or the menu itself.
    bool exists(int id) const;
    // Runs an entry's action once the event's answer is sent.
    void triggerLater(int id);
    void replyInvalid(const QString& what);

    RightClickMenu& m_menu;
    QDBusConnection m_connection{QString()};
    bool m_published = false;
    uint m_revision = 1;
    // The last build, as the panels were told of it: ids in order and each one's properties.
    QList<std::pair<int, int>> m_structure; // (parent, id), depth first
    QHash<int, QVariantMap> m_properties;
    QList<PanelMenuEntry> m_entries;
    // The revision a panel last read; AboutToShow answers true while it is older than the current one.
    uint m_servedRevision = 0;
};
