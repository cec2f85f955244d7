#pragma once
// A panel as far as the bus goes: a D-Bus client of the test that reads a panel item and its menu, calls
// them, and counts every signal they send. Each call waits on the event loop, so an item served by the
// same thread keeps answering.

#include <QDBusConnection>
#include <QDBusMessage>
#include <QMap>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantList>

class TestPanelHost : public QObject {
    Q_OBJECT
public:
    // Talks to the item whose bus name is `service`, over `connection` (not owned).
    TestPanelHost(QDBusConnection connection, QString service);

    // The reply, or an error message when the call failed or took longer than `timeoutMs`.
    QDBusMessage call(const QString& path, const QString& interface, const QString& method,
                      const QVariantList& arguments = {}, int timeoutMs = 5000);
    // A property's value as it arrived (complex values are QDBusArguments); invalid on an error.
    QVariant property(const QString& path, const QString& interface, const QString& name);
    QString introspect(const QString& path);

    // Listens to every signal the introspection data of these paths names, and to PropertiesChanged.
    // Returns the names it listens to.
    QStringList listenToAllSignals(const QStringList& paths);
    // "Interface.Member" of every signal seen, in order.
    const QStringList& signalsSeen() const { return m_signals; }
    // The arguments of the last signal of that member, or empty.
    QVariantList lastArguments(const QString& member) const { return m_lastArguments.value(member); }
    void clearSignals() { m_signals.clear(); }
    QString service() const { return m_service; }

private slots:
    void onSignal(const QDBusMessage& message);

private:
    QDBusConnection m_connection;
    QString m_service;
    QStringList m_signals;
    QMap<QString, QVariantList> m_lastArguments;
};
