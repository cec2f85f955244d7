#pragma once
// Tells when the wall clock is set (by hand, by time synchronisation, or on waking from sleep): a timer on
// the real-time clock that the kernel cancels whenever the clock jumps. It never fires otherwise, so it costs
// no wake-ups.

#include <QObject>

class QSocketNotifier;

class WallClockWatcher : public QObject {
    Q_OBJECT
public:
    explicit WallClockWatcher(QObject* parent = nullptr);
    ~WallClockWatcher() override;

    // False where the kernel offers no such timer; nothing is then announced.
    bool isWatching() const { return m_fd >= 0; }

signals:
    // After each jump of the wall clock.
    void clockChanged();

private:
    bool arm();
    void onReadable();

    int m_fd = -1;
    QSocketNotifier* m_notifier = nullptr;
};
