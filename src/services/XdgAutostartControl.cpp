#include "services/XdgAutostartControl.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

#include <algorithm>
#include <optional>
#include <utility>

namespace {

// A desktop entry is a few hundred bytes; reading more of a stranger's file would tell us nothing.
constexpr qint64 kMaxEntryBytes = 64 * 1024;

void setError(QString* error, const QString& text) {
    if (error) {
        *error = text;
    }
}

bool isReserved(QChar c) {
    // The characters that force an Exec argument into quotes.
    static const QString reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
    return reserved.contains(c);
}

bool isControl(QChar c) {
    return c.unicode() < 0x20 || c.unicode() == 0x7F;
}

// Key files take true/false; GLib-based sessions also take 1/0.
std::optional<bool> booleanValue(const QByteArray& value) {
    if (value == "true" || value == "1") {
        return true;
    }
    if (value == "false" || value == "0") {
        return false;
    }
    return std::nullopt;
}

// Whether the text is a desktop entry that the session would start: it has the main group, and that group
// does not switch it off.
bool startsAtLogin(const QByteArray& text) {
    bool sawMainGroup = false;
    bool inMainGroup = false;
    bool hidden = false;
    bool enabled = true;
    for (const QByteArray& rawLine : text.split('\n')) {
        const QByteArray line = rawLine.trimmed();
        if (line.isEmpty() || line.startsWith('#')) {
            continue;
        }
        if (line.startsWith('[')) {
            inMainGroup = line == "[Desktop Entry]";
            sawMainGroup = sawMainGroup || inMainGroup;
            continue;
        }
        const qsizetype equals = line.indexOf('=');
        if (!inMainGroup || equals < 0) {
            continue;
        }
        const QByteArray key = line.left(equals).trimmed();
        const std::optional<bool> value = booleanValue(line.mid(equals + 1).trimmed());
        if (!value) {
            continue;
        }
        if (key == "Hidden") {
            hidden = *value;
        } else if (key == "X-GNOME-Autostart-enabled") {
            enabled = *value;
        }
    }
    return sawMainGroup && !hidden && enabled;
}

} // namespace

XdgAutostartControl::XdgAutostartControl()
    : XdgAutostartControl(standardAutostartDirectory(), defaultAppId(),
                          QCoreApplication::applicationFilePath()) {}

XdgAutostartControl::XdgAutostartControl(QString autostartDirectory, QString appId, QString programPath)
    : m_directory(std::move(autostartDirectory)), m_appId(std::move(appId)),
      m_programPath(std::move(programPath)) {}

QString XdgAutostartControl::standardAutostartDirectory() {
    QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    // Qt passes a relative $XDG_CONFIG_HOME through; the standard says to ignore it, and the session that
    // reads the folder would not look there.
    if (!QDir::isAbsolutePath(config)) {
        config = QDir::homePath() + QStringLiteral("/.config");
    }
    return QDir(config).filePath(QStringLiteral("autostart"));
}

QString XdgAutostartControl::filePath() const {
    return m_directory.isEmpty() ? QString()
                                 : QDir(m_directory).filePath(m_appId + QStringLiteral(".desktop"));
}

bool XdgAutostartControl::isRegistered() const {
    const QString path = filePath();
    if (path.isEmpty()) {
        return false;
    }
    // Checked before opening: a link could lead anywhere, and opening a pipe would block.
    const QFileInfo info(path);
    if (info.isSymLink() || !info.isFile()) {
        return false;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return false;
    }
    return startsAtLogin(file.read(kMaxEntryBytes));
}

bool XdgAutostartControl::registerItem(QString* error) {
    const QString path = filePath();
    if (path.isEmpty()) {
        setError(error, QStringLiteral("there is no configuration folder to hold the autostart entry"));
        return false;
    }
    const QByteArray entry = desktopEntry(m_programPath);
    if (entry.isEmpty()) {
        setError(error,
                 QStringLiteral("the program's path cannot be written in a desktop entry: ") + m_programPath);
        return false;
    }
    const QFileInfo folder(m_directory);
    if (folder.exists() && !folder.isDir()) {
        setError(error, QStringLiteral("%1 is not a folder").arg(m_directory));
        return false;
    }
    if (!QDir().mkpath(m_directory)) {
        setError(error, QStringLiteral("could not create the folder %1").arg(m_directory));
        return false;
    }
    const QFileInfo existing(path);
    if (existing.isSymLink()) {
        // The file is saved in place of the link, not through it: whatever the link points to is not ours.
        if (!QFile::remove(path)) {
            setError(error, QStringLiteral("could not replace the link %1").arg(path));
            return false;
        }
    } else if (existing.isDir()) {
        setError(error, QStringLiteral("%1 is a folder, not an autostart entry").arg(path));
        return false;
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        setError(error, QStringLiteral("could not write %1: %2").arg(path, file.errorString()));
        return false;
    }
    if (file.write(entry) != entry.size() || !file.commit()) {
        setError(error, QStringLiteral("could not write %1: %2").arg(path, file.errorString()));
        return false;
    }
    return true;
}

bool XdgAutostartControl::unregisterItem(QString* error) {
    const QString path = filePath();
    if (path.isEmpty()) {
        return true;
    }
    const QFileInfo info(path);
    // QFileInfo follows links; a dangling link does not "exist" but is still ours to remove.
    if (!info.isSymLink() && (!info.exists() || info.isDir())) {
        return true;
    }
    QFile file(path);
    if (!file.remove()) {
        setError(error, QStringLiteral("could not remove %1: %2").arg(path, file.errorString()));
        return false;
    }
    return true;
}

QString XdgAutostartControl::execArgument(const QString& programPath) {
    QString argument;
    const bool quoted = std::any_of(programPath.cbegin(), programPath.cend(), isReserved);
    if (quoted) {
        argument += u'"';
    }
    for (QChar c : programPath) {
        if (quoted && (c == u'"' || c == u'`' || c == u'$' || c == u'\\')) {
            argument += u'\\';
        }
        argument += c;
        if (c == u'%') {
            argument += u'%'; // a literal percent sign, not a field code
        }
    }
    if (quoted) {
        argument += u'"';
    }
    // The quoting above is read back after the value's own string escapes are undone.
    return argument.replace(u'\\', QStringLiteral("\\\\"));
}

QByteArray XdgAutostartControl::desktopEntry(const QString& programPath) {
    // An Exec program path may not hold "=", and a value is one line of printable text.
    if (!QDir::isAbsolutePath(programPath) || programPath.contains(u'=') ||
        std::any_of(programPath.cbegin(), programPath.cend(), isControl)) {
        return {};
    }
    QByteArray entry;
    entry += "[Desktop Entry]\n";
    entry += "Type=Application\n";
    entry += "Name=TarvolinTimer\n";
    entry += "Exec=" + execArgument(programPath).toUtf8() + '\n';
    entry += "Icon=tarvolintimer\n";
    entry += "Terminal=false\n";
    entry += "X-GNOME-Autostart-enabled=true\n";
    return entry;
}
