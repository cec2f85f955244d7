#pragma once
// An update channel whose answers the test gives: inside checkForUpdates() (as a build without a feed
// answers) or later, by emitting the channel's signals itself.

#include "services/UpdateChannel.h"

#include <functional>

class FakeUpdateChannel : public UpdateChannel {
public:
    bool isAvailable() const override { return true; }
    void checkForUpdates() override {
        ++checks;
        if (answerInsideCall) {
            answerInsideCall(*this);
        }
    }
    void setAutoCheck(bool) override {}

    void answerAvailable(const QString& version, const QUrl& link) { emit updateAvailable(version, link); }
    void answerUpToDate() { emit upToDate(); }
    void answerFailed(Failure failure) { emit checkFailed(failure, failureDescription(failure)); }

    int checks = 0;
    // Run inside checkForUpdates() when set.
    std::function<void(FakeUpdateChannel&)> answerInsideCall;
};
