#pragma once
// A screen reader's view of the real program: the accessibility bus on the test's own session bus, and a
// reader (accessibility_reader.py, Debian's pyatspi) that walks the program's tree over AT-SPI, presses its
// elements and hears what they announce.

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>
#include <QTest>

#include <functional>
#include <optional>

// The accessibility bus. The launcher, started on the session bus with --launch-immediately, owns
// org.a11y.Bus there (where Qt and the reader ask for the bus's address) and starts the accessibility
// dbus-daemon at once; that daemon starts the registry (at-spi2-registryd) the first time an application
// or the reader calls it, from the service files at-spi2-core installs. Nothing else is needed: the
// program exports its tree without a screen reader running when QT_LINUX_ACCESSIBILITY_ALWAYS_ON is 1.
// Ending the launcher ends the daemon; the registry leaves with the session bus.
class AccessibilityBus {
public:
    static QString launcherPath() { return QStringLiteral("/usr/libexec/at-spi-bus-launcher"); }

    ~AccessibilityBus() {
        if (m_launcher.state() != QProcess::NotRunning) {
            m_launcher.terminate();
            if (!m_launcher.waitForFinished(3000)) {
                m_launcher.kill();
                m_launcher.waitForFinished(3000);
            }
        }
    }

    // True once the launcher answers on the session bus that `bus` is connected to.
    bool start(const QProcessEnvironment& env, QDBusConnection bus) {
        m_launcher.setProcessEnvironment(env);
        m_launcher.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_launcher.start(launcherPath(), {QStringLiteral("--launch-immediately")});
        if (!m_launcher.waitForStarted(5000)) {
            return false;
        }
        return QTest::qWaitFor(
            [&bus] { return bus.interface()->isServiceRegistered(QStringLiteral("org.a11y.Bus")).value(); },
            10'000);
    }

private:
    QProcess m_launcher;
};

// One element as the reader heard it.
struct AccessibleNode {
    QString role;
    QString name;
    QString description;
    std::optional<QString> value; // the element's text; none when it offers no text
    QStringList states;
    int children = 0; // the children a reader can walk into (visible ones)
    QString path;     // "window › … › element", for messages
};

// A change of state the program announced.
struct Announcement {
    QString state; // "focused", "selected" or "checked"
    bool on = false;
    QString role;
    QString name;
};

class ScreenReader {
public:
    // Debian's interpreter: pyatspi is a Debian package, and an interpreter earlier on PATH may lack it.
    static QString python() { return QStringLiteral("/usr/bin/python3"); }

    ~ScreenReader() {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.closeWriteChannel(); // the reader ends when its input does
            if (!m_process.waitForFinished(3000)) {
                m_process.kill();
                m_process.waitForFinished(3000);
            }
        }
    }

    // Starts the reader for the program with this process id; true once it answers.
    bool start(const QProcessEnvironment& env, qint64 pid) {
        m_process.setProcessEnvironment(env);
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_process.start(python(), {QStringLiteral(TT_ACCESSIBILITY_READER), QString::number(pid)});
        return m_process.waitForStarted(5000) && readReply().value(QStringLiteral("ready")).toBool();
    }

    // The program's visible windows, each flattened in reading order; empty before the program has
    // registered with the accessibility bus (or when the reader failed: see error()).
    QList<QList<AccessibleNode>> windows() {
        const QJsonObject reply = request({{QStringLiteral("op"), QStringLiteral("tree")}});
        QList<QList<AccessibleNode>> windows;
        for (const QJsonValue& window : reply.value(QStringLiteral("windows")).toArray()) {
            QList<AccessibleNode> nodes;
            flatten(window.toObject(), QString(), nodes);
            windows << nodes;
        }
        return windows;
    }

    // Every element of every visible window.
    QList<AccessibleNode> everything() {
        QList<AccessibleNode> all;
        for (const QList<AccessibleNode>& window : windows()) {
            all << window;
        }
        return all;
    }

    // Whether a visible element of that role and name is read now.
    bool reads(const QString& role, const QString& name) {
        return request({{QStringLiteral("op"), QStringLiteral("find")},
                        {QStringLiteral("role"), role},
                        {QStringLiteral("name"), name}})
            .value(QStringLiteral("found"))
            .toBool();
    }

    // Waits until an element of that role and name is read.
    bool waitFor(const QString& role, const QString& name, int timeoutMs = 15'000) {
        return QTest::qWaitFor([&] { return reads(role, name); }, timeoutMs);
    }

    // Waits until no element of that role and name is read.
    bool waitForGone(const QString& role, const QString& name, int timeoutMs = 15'000) {
        return QTest::qWaitFor([&] { return !reads(role, name); }, timeoutMs);
    }

    // Runs the first action (a button's press) of the first visible element of that role and name.
    bool press(const QString& role, const QString& name) {
        return request({{QStringLiteral("op"), QStringLiteral("act")},
                        {QStringLiteral("role"), role},
                        {QStringLiteral("name"), name}})
            .value(QStringLiteral("done"))
            .toBool();
    }

    // Moves the keyboard to the first visible element of that role and name, as a reader's review does.
    bool focus(const QString& role, const QString& name) {
        return request({{QStringLiteral("op"), QStringLiteral("focus")},
                        {QStringLiteral("role"), role},
                        {QStringLiteral("name"), name}})
            .value(QStringLiteral("done"))
            .toBool();
    }

    // What was announced since the last call.
    QList<Announcement> announcements() {
        QList<Announcement> heard;
        const QJsonObject reply = request({{QStringLiteral("op"), QStringLiteral("events")}});
        for (const QJsonValue& value : reply.value(QStringLiteral("events")).toArray()) {
            const QJsonObject event = value.toObject();
            heard << Announcement{event.value(QStringLiteral("state")).toString(),
                                  event.value(QStringLiteral("on")).toBool(),
                                  event.value(QStringLiteral("role")).toString(),
                                  event.value(QStringLiteral("name")).toString()};
        }
        return heard;
    }

    // The reader's last complaint, if any.
    const QString& error() const { return m_error; }

private:
    QJsonObject request(const QJsonObject& request) {
        m_process.write(QJsonDocument(request).toJson(QJsonDocument::Compact) + '\n');
        const QJsonObject reply = readReply();
        m_error = reply.value(QStringLiteral("error")).toString();
        return reply;
    }

    QJsonObject readReply() {
        while (!m_buffer.contains('\n')) {
            if (m_process.state() != QProcess::Running || !m_process.waitForReadyRead(30'000)) {
                m_error = QStringLiteral("the reader did not answer");
                return {};
            }
            m_buffer += m_process.readAllStandardOutput();
        }
        const qsizetype end = m_buffer.indexOf('\n');
        const QByteArray line = m_buffer.left(end);
        m_buffer.remove(0, end + 1);
        return QJsonDocument::fromJson(line).object();
    }

    static void flatten(const QJsonObject& object, const QString& above, QList<AccessibleNode>& out) {
        AccessibleNode node;
        node.role = object.value(QStringLiteral("role")).toString();
        node.name = object.value(QStringLiteral("name")).toString();
        node.description = object.value(QStringLiteral("description")).toString();
        if (const QJsonValue value = object.value(QStringLiteral("value")); value.isString()) {
            node.value = value.toString();
        }
        for (const QJsonValue& state : object.value(QStringLiteral("states")).toArray()) {
            node.states << state.toString();
        }
        const QJsonArray children = object.value(QStringLiteral("children")).toArray();
        node.children = int(children.size());
        // Nameless fillers (layout boxes) say nothing about where an element is.
        const bool telling = !(node.role == QLatin1String("filler") && node.name.isEmpty());
        const QString label =
            node.name.isEmpty() ? node.role : node.role + QStringLiteral(" '") + node.name + u'\'';
        node.path = !telling ? above : above.isEmpty() ? label : above + QStringLiteral(" › ") + label;
        out << node;
        for (const QJsonValue& child : children) {
            flatten(child.toObject(), node.path, out);
        }
    }

    QProcess m_process;
    QByteArray m_buffer;
    QString m_error;
};
