#include "services/UpdateChannel.h"

#include <QCoreApplication>

QString UpdateChannel::failureDescription(Failure failure) {
    switch (failure) {
    case Failure::notAvailable:
        return QCoreApplication::translate("UpdateChannel", "Update checks are not available in this build.");
    case Failure::unreachable:
        return QCoreApplication::translate("UpdateChannel",
                                           "Couldn't reach the update server. Check your connection.");
    case Failure::timedOut:
        return QCoreApplication::translate("UpdateChannel", "The update server took too long to answer.");
    case Failure::serverError:
        return QCoreApplication::translate("UpdateChannel", "The update server answered with an error.");
    case Failure::tooLarge:
    case Failure::malformed:
        return QCoreApplication::translate("UpdateChannel", "The update information couldn't be read.");
    case Failure::redirectRefused:
        return QCoreApplication::translate(
            "UpdateChannel", "The update server sent the check to an address that isn't allowed.");
    }
    return QCoreApplication::translate("UpdateChannel", "The update information couldn't be read.");
}
