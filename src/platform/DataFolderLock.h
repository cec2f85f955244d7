#pragma once
// Holds an exclusive lock on the data folder for as long as this copy runs, so no second copy starts on it;
// where the folder itself cannot be locked, a lock file beside the socket stands in.

#include <QString>

class DataFolderLock {
public:
    enum class Result {
        taken,       // this process holds it
        held,        // another process holds it
        unavailable, // it cannot be locked at all (an unreadable folder, a full disk)
    };

    DataFolderLock(const QString& dataDirectory, const QString& lockFilePath);
    ~DataFolderLock();
    DataFolderLock(const DataFolderLock&) = delete;
    DataFolderLock& operator=(const DataFolderLock&) = delete;

    // Takes the lock unless another process holds it; `error` says why, when it is unavailable. A lock goes
    // with the process that held it.
    Result take(QString* error);
    void release();
    bool isTaken() const { return m_fd >= 0; }

    // Removing a locked folder undoes its lock for the one made later in its place: where that has
    // happened, locks the one there instead (held when another process was first). A folder that is not
    // there yet is left to come back (the next save makes it); a removed lock file is made again.
    Result renew();

private:
    QString m_dataDirectory;
    QString m_lockFilePath;
    int m_fd = -1;
    bool m_onFile = false; // the lock file stands in for the folder
};
