#pragma once
// The one door to checking for new versions of the program: a check the user asked for, and automatic
// checks switched on or off. Neither waits: results arrive later through the channel's own signals.

#include <QObject>
#include <QString>
#include <QUrl>

class UpdateChannel : public QObject {
    Q_OBJECT
public:
    // Why a check ended without an answer.
    enum class Failure {
        notAvailable,    // this build has no update feed
        unreachable,     // no connection to the server
        timedOut,        // the server did not finish in time
        serverError,     // the server answered with an HTTP error
        tooLarge,        // the answer was bigger than any feed we expect
        malformed,       // the answer was not a feed we can read
        redirectRefused, // sent to a scheme we do not follow, or around in circles
    };
    Q_ENUM(Failure)

    using QObject::QObject;
    ~UpdateChannel() override = default;

    // False when this build has no update feed: a check the user asks for then fails as notAvailable.
    virtual bool isAvailable() const = 0;
    // Starts a check that the user asked for.
    virtual void checkForUpdates() = 0;
    // Switches the scheduled background checks on or off.
    virtual void setAutoCheck(bool enabled) = 0;

    // What the update window shows for a failure, in the interface language current at the call.
    static QString failureDescription(Failure failure);

signals:
    // A version newer than this program's exists; `link` is its download or release page.
    void updateAvailable(const QString& version, const QUrl& link);
    // A check the user asked for found nothing newer.
    void upToDate();
    // A check the user asked for ended without an answer; `reason` is failureDescription(failure).
    void checkFailed(UpdateChannel::Failure failure, const QString& reason);
};
