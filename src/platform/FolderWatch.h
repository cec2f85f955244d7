#pragma once
// Tells when one entry of a folder, or the folder itself, is removed, moved or replaced: inotify, so nothing
// polls and only removals and moves (rare there) wake the program.

#include <QByteArray>
#include <QObject>
#include <QString>

class QSocketNotifier;

class FolderWatch : public QObject {
    Q_OBJECT
public:
    FolderWatch(const QString& folder, const QString& entry, QObject* parent = nullptr);
    ~FolderWatch() override;

    // Watches the folder now at the path, which is another folder once it was removed and made anew; false,
    // with `error`, when it cannot (no folder there, no inotify left). Needs an event loop.
    bool watch(QString* error);

signals:
    // The entry went or was replaced, or the folder itself went, or events were lost: look again.
    void changed();

private:
    void readEvents();

    QString m_folder;
    QByteArray m_entry;
    int m_fd = -1;
    QSocketNotifier* m_notifier = nullptr;
};
