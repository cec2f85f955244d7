#pragma once
// Drives every Qt animation of the process from a clock the test advances, so animations are checked at
// exact moments instead of waited for. Installed for the life of the object.

#include <QAnimationDriver>
#include <QCoreApplication>

class ManualAnimationClock : public QAnimationDriver {
public:
    ManualAnimationClock() {
        // Qt reads the time since the driver started, as its own driver reports it.
        connect(this, &QAnimationDriver::started, this, [this] { m_startedAt = m_now; });
        install();
    }
    ~ManualAnimationClock() override { uninstall(); }
    ManualAnimationClock(const ManualAnimationClock&) = delete;
    ManualAnimationClock& operator=(const ManualAnimationClock&) = delete;

    qint64 elapsed() const override { return isRunning() ? m_now - m_startedAt : 0; }

    // Lets animations started since the last step register (Qt starts them from queued calls), then moves
    // the time on and updates every running animation.
    void advanceBy(qint64 milliseconds) {
        for (int i = 0; i < 3; ++i) {
            QCoreApplication::sendPostedEvents();
        }
        m_now += milliseconds;
        QAnimationDriver::advance();
    }

private:
    qint64 m_now = 0;
    qint64 m_startedAt = 0;
};
