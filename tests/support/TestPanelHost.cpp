#include "support/TestPanelHost.h"

#include <QDBusPendingCall>
#include <QDBusPendingCallWatcher>
#include <QDBusVariant>
#include <QRegularExpression>
#include <QEventLoop>
#include <QTimer>

TestPanelHost::TestPanelHost(QDBusConnection connection, QString service)
    : m_connection(std::move(connection)), m_service(std::move(service)) {}

QDBusMessage TestPanelHost::call(const QString& path, const QString& interface, const QString& method,
                                 const QVariantList& arguments, int timeoutMs) {
    QDBusMessage message = QDBusMessage::createMethodCall(m_service, path, interface, method);
    message.setArguments(arguments);
    QDBusPendingCall pending = m_connection.asyncCall(message, timeoutMs);
    QDBusPendingCallWatcher watcher(pending);
    if (!watcher.isFinished()) {
        QEventLoop loop;
        QObject::connect(&watcher, &QDBusPendingCallWatcher::finished, &loop, &QEventLoop::quit);
        QTimer::singleShot(timeoutMs + 1000, &loop, &QEventLoop::quit);
        loop.exec();
    }
    if (!watcher.isFinished()) {
        return QDBusMessage::createError(QStringLiteral("test.Timeout"), QStringLiteral("no answer"));
    }
    return watcher.reply();
}

QVariant TestPanelHost::property(const QString& path, const QString& interface, const QString& name) {
    const QDBusMessage reply = call(path, QStringLiteral("org.freedesktop.DBus.Properties"),
                                    QStringLiteral("Get"), {interface, name});
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) {
        return {};
    }
    return reply.arguments().constFirst().value<QDBusVariant>().variant();
}

QString TestPanelHost::introspect(const QString& path) {
    const QDBusMessage reply =
        call(path, QStringLiteral("org.freedesktop.DBus.Introspectable"), QStringLiteral("Introspect"));
    return reply.arguments().value(0).toString();
}

QStringList TestPanelHost::listenToAllSignals(const QStringList& paths) {
    QStringList names;
    static const QRegularExpression interfacePattern(QStringLiteral("<interface name=\"([^\"]+)\""));
    static const QRegularExpression signalPattern(QStringLiteral("<signal name=\"([^\"]+)\""));
    for (const QString& path : paths) {
        const QString xml = introspect(path);
        // Each interface's block runs to the next interface.
        const QStringList blocks = xml.split(QStringLiteral("<interface "));
        for (const QString& block : blocks) {
            const auto interfaceMatch = interfacePattern.match(QStringLiteral("<interface ") + block);
            if (!interfaceMatch.hasMatch()) {
                continue;
            }
            const QString interface = interfaceMatch.captured(1);
            auto it = signalPattern.globalMatch(block);
            while (it.hasNext()) {
                const QString member = it.next().captured(1);
                m_connection.connect(m_service, path, interface, member, this, SLOT(onSignal(QDBusMessage)));
                names << interface + QLatin1Char('.') + member;
            }
        }
        const QString properties = QStringLiteral("org.freedesktop.DBus.Properties");
        m_connection.connect(m_service, path, properties, QStringLiteral("PropertiesChanged"), this,
                             SLOT(onSignal(QDBusMessage)));
        names << properties + QStringLiteral(".PropertiesChanged");
    }
    names.removeDuplicates();
    return names;
}

void TestPanelHost::onSignal(const QDBusMessage& message) {
    m_signals << message.interface() + QLatin1Char('.') + message.member();
    m_lastArguments.insert(message.member(), message.arguments());
}
