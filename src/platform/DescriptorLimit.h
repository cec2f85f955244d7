#pragma once
// The process's limit on open descriptors. The common soft limit (1024) is kept low for programs that still
// use select(); nothing here does, and a process that serves local clients while saving files needs room.

#include <QString>

class DescriptorLimit {
public:
    // Raises the soft limit to the hard one; false when it could not. Says in `report` what changed or why
    // it could not, and leaves it empty when the soft limit already was the hard one.
    static bool raiseToHardLimit(QString* report);

    // How many more descriptors this process may open now under its soft limit, counted up to `upTo` (the
    // count stops there). It opens none to find out, so it never takes one another thread needs.
    static int freeDescriptors(int upTo);
    // The soft limit, for log lines; -1 when unlimited or unknown.
    static qint64 softLimit();

    DescriptorLimit() = delete;
};
