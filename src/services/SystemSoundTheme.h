#pragma once
// Finds the desktop's event sounds (the freedesktop sound theme) that stand in for the named system sounds.

#include <QString>
#include <QStringList>

#include <optional>

class SystemSoundTheme {
public:
    // Looks in "<data folder>/sounds/freedesktop" under each folder, the first folder first.
    explicit SystemSoundTheme(QStringList dataDirectories);

    // The user's data folder, then the system's ($XDG_DATA_HOME, $XDG_DATA_DIRS).
    static QStringList standardDataDirectories();

    // The theme event a system sound name plays ("Glass" -> "bell"), or none for a name we do not map.
    static std::optional<QString> eventName(const QString& systemName);

    // The file of the event for the name, or none when the name is not mapped or no theme folder holds it.
    std::optional<QString> filePath(const QString& systemName) const;

private:
    QStringList m_dataDirectories;
};
