#pragma once
// An exclusive lock tied to the data folder itself, which the running copy holds beside its door: a lock on
// a file sees every process that reaches the folder, from any network or user namespace and by any path,
// where the door is only seen from its own network namespace and name. The lock file is the user's own
// (mode 0600, and one of another owner is not used), so no other user can hold it.

#include <QString>

class DataFolderLock {
public:
    enum class State {
        taken,       // this object holds it
        held,        // another process (or another object of this one) holds it
        unavailable, // it cannot be had at all: an unwritable folder, a file system without locks
    };

    // The file that is locked in `folder`.
    static constexpr const char* fileName = "running.lock";

    explicit DataFolderLock(const QString& folder);
    ~DataFolderLock();
    DataFolderLock(const DataFolderLock&) = delete;
    DataFolderLock& operator=(const DataFolderLock&) = delete;

    // Takes the lock without waiting, or keeps it when taken already; `error` says why when it is
    // unavailable.
    State take(QString* error = nullptr);
    bool isTaken() const { return m_fd >= 0; }
    // Lets it go; it also goes with the process.
    void release();
    QString path() const { return m_path; }

private:
    QString m_path;
    int m_fd = -1;
};
