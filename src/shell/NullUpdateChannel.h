#pragma once
// The update channel of a build without an update feed: every check does nothing, and the settings say so.
// The shell uses it until the feed-reading channel is wired in.

#include "services/UpdateChannel.h"

class NullUpdateChannel : public UpdateChannel {
    Q_OBJECT
public:
    using UpdateChannel::UpdateChannel;

    bool isAvailable() const override { return false; }
    void checkForUpdates() override { ++m_checks; }
    void setAutoCheck(bool enabled) override { m_autoCheck = enabled; }

    bool autoCheck() const { return m_autoCheck; }
    int checkCount() const { return m_checks; }

private:
    bool m_autoCheck = false;
    int m_checks = 0;
};
