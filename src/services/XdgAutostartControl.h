#pragma once
// Starts the program at login through the desktop's autostart folder: one desktop entry of our own,
// "$XDG_CONFIG_HOME/autostart/<app id>.desktop", whose Exec names this program by its absolute path.

#include "services/LoginItemControlling.h"

#include <QByteArray>
#include <QString>

class XdgAutostartControl : public LoginItemControlling {
public:
    static QString defaultAppId() { return QStringLiteral("tarvolintimer"); }

    // The user's autostart folder (from $XDG_CONFIG_HOME, read now), our app id and the running program.
    XdgAutostartControl();
    XdgAutostartControl(QString autostartDirectory, QString appId, QString programPath);

    // "$XDG_CONFIG_HOME/autostart", or "~/.config/autostart" when that is unset or not absolute.
    static QString standardAutostartDirectory();

    QString filePath() const;

    // True only for a regular file (not a link) that we can read, that is a desktop entry, and that is not
    // switched off (Hidden=true, X-GNOME-Autostart-enabled=false), whoever wrote it.
    bool isRegistered() const override;
    // Writes our entry atomically, replacing whatever entry or link was there; a folder in its place stays.
    bool registerItem(QString* error) override;
    // Removes the entry, or a link in its place (never what the link points to). A folder in its place is
    // not an entry and stays; nothing there at all is success.
    bool unregisterItem(QString* error) override;

    // The entry we write for a program; none (empty) when its path cannot be written in an Exec line.
    static QByteArray desktopEntry(const QString& programPath);
    // The program as one Exec argument: quoted when it holds a reserved character, with "%" doubled, then
    // escaped as a desktop entry string value.
    static QString execArgument(const QString& programPath);

private:
    QString m_directory;
    QString m_appId;
    QString m_programPath;
};
