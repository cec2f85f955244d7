#pragma once
// The one door to checking for new versions of the program: a check the user asked for, and automatic
// checks switched on or off. Neither waits: results arrive later through the channel's own signals.

#include <QObject>

class UpdateChannel : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~UpdateChannel() override = default;

    // False when this build has no update feed: checks do nothing and the settings say so.
    virtual bool isAvailable() const = 0;
    // Starts a check that the user asked for.
    virtual void checkForUpdates() = 0;
    // Switches the scheduled background checks on or off.
    virtual void setAutoCheck(bool enabled) = 0;
};
