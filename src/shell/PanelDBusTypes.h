#pragma once
// The structures the panel item's two D-Bus interfaces carry (the item's pictures and tooltip, the exported
// menu's layout, properties and events), with their wire forms.

#include <QDBusArgument>
#include <QDBusVariant>
#include <QList>
#include <QMetaType>
#include <QString>
#include <QStringList>
#include <QVariantMap>

// One picture of the item: width, height, then ARGB32 pixels with the most significant byte first.
struct PanelIconPixmap {
    int width = 0;
    int height = 0;
    QByteArray bytes;
    bool operator==(const PanelIconPixmap&) const = default;
};
using PanelIconPixmapList = QList<PanelIconPixmap>;

// The item's tooltip: an icon name, its pictures, a title and a body.
struct PanelToolTip {
    QString iconName;
    PanelIconPixmapList pixmaps;
    QString title;
    QString text;
    bool operator==(const PanelToolTip&) const = default;
};

// A menu entry with its properties and, as variants, its children (each again a layout item).
struct DBusMenuLayoutItem {
    int id = 0;
    QVariantMap properties;
    QList<DBusMenuLayoutItem> children;
};

struct DBusMenuItemProperties {
    int id = 0;
    QVariantMap properties;
};
using DBusMenuItemPropertiesList = QList<DBusMenuItemProperties>;

struct DBusMenuItemRemovedProperties {
    int id = 0;
    QStringList names;
};
using DBusMenuItemRemovedPropertiesList = QList<DBusMenuItemRemovedProperties>;

struct DBusMenuEvent {
    int id = 0;
    QString eventId;
    QDBusVariant data;
    uint timestamp = 0;
};
using DBusMenuEventList = QList<DBusMenuEvent>;

QDBusArgument& operator<<(QDBusArgument& argument, const PanelIconPixmap& pixmap);
const QDBusArgument& operator>>(const QDBusArgument& argument, PanelIconPixmap& pixmap);
QDBusArgument& operator<<(QDBusArgument& argument, const PanelToolTip& toolTip);
const QDBusArgument& operator>>(const QDBusArgument& argument, PanelToolTip& toolTip);
QDBusArgument& operator<<(QDBusArgument& argument, const DBusMenuLayoutItem& item);
const QDBusArgument& operator>>(const QDBusArgument& argument, DBusMenuLayoutItem& item);
QDBusArgument& operator<<(QDBusArgument& argument, const DBusMenuItemProperties& item);
const QDBusArgument& operator>>(const QDBusArgument& argument, DBusMenuItemProperties& item);
QDBusArgument& operator<<(QDBusArgument& argument, const DBusMenuItemRemovedProperties& item);
const QDBusArgument& operator>>(const QDBusArgument& argument, DBusMenuItemRemovedProperties& item);
QDBusArgument& operator<<(QDBusArgument& argument, const DBusMenuEvent& event);
const QDBusArgument& operator>>(const QDBusArgument& argument, DBusMenuEvent& event);

Q_DECLARE_METATYPE(PanelIconPixmap)
Q_DECLARE_METATYPE(PanelToolTip)
Q_DECLARE_METATYPE(DBusMenuLayoutItem)
Q_DECLARE_METATYPE(DBusMenuItemProperties)
Q_DECLARE_METATYPE(DBusMenuItemRemovedProperties)
Q_DECLARE_METATYPE(DBusMenuEvent)

// Makes the types above known to Qt's D-Bus layer; call before an object using them is registered.
// Safe to call more than once.
void registerPanelDBusTypes();
