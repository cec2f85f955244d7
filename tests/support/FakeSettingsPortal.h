#pragma once
// Stands in for the desktop's settings portal on a test bus: answers Read and ReadOne from a table the test
// fills, announces changes with SettingChanged, and can play an older portal that has no ReadOne.

#include <QDBusConnection>
#include <QDBusContext>
#include <QDBusVariant>
#include <QMap>
#include <QObject>
#include <QPair>
#include <QString>
#include <QVariant>

class FakeSettingsPortal : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.Settings")
    Q_PROPERTY(uint version READ version)
public:
    // Registers on `connection` (which it does not own); see isRegistered(). Version 1 has Read only.
    explicit FakeSettingsPortal(QDBusConnection connection, uint version = 2);
    ~FakeSettingsPortal() override;

    bool isRegistered() const { return m_registered; }
    uint version() const { return m_version; }
    // Sets a value silently (before a read) or announcing it (a change while the program runs).
    void setValue(const QString& settingNamespace, const QString& key, const QVariant& value);
    void change(const QString& settingNamespace, const QString& key, const QVariant& value);
    // How many reads of any kind have been answered.
    int reads() const { return m_reads; }

public slots:
    QDBusVariant Read(const QString& settingNamespace, const QString& key);
    QDBusVariant ReadOne(const QString& settingNamespace, const QString& key);

signals:
    void SettingChanged(const QString& settingNamespace, const QString& key, const QDBusVariant& value);

private:
    // The value, or an error reply sent and an empty value returned.
    QVariant lookUp(const QString& settingNamespace, const QString& key);

    QDBusConnection m_connection;
    uint m_version;
    bool m_registered = false;
    int m_reads = 0;
    QMap<QPair<QString, QString>, QVariant> m_values;
};
