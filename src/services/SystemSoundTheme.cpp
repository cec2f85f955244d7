#include "services/SystemSoundTheme.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QStandardPaths>

namespace {

const QString kThemeName = QStringLiteral("freedesktop");

// Each name goes to the event whose sound comes closest to what the name promises; no two share a sound
// (the theme links some events to others' files, so only events with files of their own are used).
const QHash<QString, QString>& eventTable() {
    static const QHash<QString, QString> table = {
        {QStringLiteral("Basso"), QStringLiteral("suspend-error")},
        {QStringLiteral("Blow"), QStringLiteral("trash-empty")},
        {QStringLiteral("Bottle"), QStringLiteral("message-new-instant")},
        {QStringLiteral("Frog"), QStringLiteral("phone-outgoing-busy")},
        {QStringLiteral("Funk"), QStringLiteral("dialog-warning")},
        {QStringLiteral("Glass"), QStringLiteral("bell")},
        {QStringLiteral("Hero"), QStringLiteral("complete")},
        {QStringLiteral("Morse"), QStringLiteral("message")},
        {QStringLiteral("Ping"), QStringLiteral("dialog-information")},
        {QStringLiteral("Pop"), QStringLiteral("device-added")},
        {QStringLiteral("Purr"), QStringLiteral("device-removed")},
        {QStringLiteral("Sosumi"), QStringLiteral("service-login")},
        {QStringLiteral("Submarine"), QStringLiteral("phone-outgoing-calling")},
        {QStringLiteral("Tink"), QStringLiteral("audio-volume-change")},
    };
    return table;
}

// The theme's sub-folders from its index.theme "Directories=" line; "stereo" when the file says nothing.
QStringList themeSubfolders(const QDir& theme) {
    QFile index(theme.filePath(QStringLiteral("index.theme")));
    if (index.open(QIODevice::ReadOnly | QIODevice::Text)) {
        while (!index.atEnd()) {
            const QString line = QString::fromUtf8(index.readLine()).trimmed();
            if (line.startsWith(QLatin1String("Directories="))) {
                QStringList folders;
                for (const auto& part : line.mid(12).split(QLatin1Char(','), Qt::SkipEmptyParts)) {
                    folders << part.trimmed();
                }
                return folders;
            }
        }
    }
    return {QStringLiteral("stereo")};
}

} // namespace

SystemSoundTheme::SystemSoundTheme(QStringList dataDirectories)
    : m_dataDirectories(std::move(dataDirectories)) {}

QStringList SystemSoundTheme::standardDataDirectories() {
    return QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation);
}

std::optional<QString> SystemSoundTheme::eventName(const QString& systemName) {
    const auto& table = eventTable();
    if (const auto it = table.constFind(systemName); it != table.cend()) {
        return *it;
    }
    return std::nullopt;
}

std::optional<QString> SystemSoundTheme::filePath(const QString& systemName) const {
    const auto event = eventName(systemName);
    if (!event) {
        return std::nullopt;
    }
    static const QStringList extensions = {QStringLiteral("oga"), QStringLiteral("ogg"),
                                           QStringLiteral("wav")};
    for (const auto& data : m_dataDirectories) {
        const QDir theme(data + QStringLiteral("/sounds/") + kThemeName);
        if (!theme.exists()) {
            continue;
        }
        // The theme's output-profile folders first, then its root: the more specific sound wins.
        QStringList folders = themeSubfolders(theme);
        folders << QString();
        for (const auto& folder : folders) {
            for (const auto& ext : extensions) {
                const QString candidate = theme.filePath(
                    folder.isEmpty() ? *event + QLatin1Char('.') + ext
                                     : folder + QLatin1Char('/') + *event + QLatin1Char('.') + ext);
                if (QFileInfo(candidate).isFile()) {
                    return candidate;
                }
            }
        }
    }
    return std::nullopt;
}
