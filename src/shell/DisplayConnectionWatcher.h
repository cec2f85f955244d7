#pragma once
// Notices when the X server goes away (the session ended without asking the program to quit), which Qt
// itself does not report: a connection of our own that selects no events, so its socket only becomes
// readable when the server closes it. Costs no wake-ups while the display lives.

#include <QObject>

class QSocketNotifier;
struct xcb_connection_t;

class DisplayConnectionWatcher : public QObject {
    Q_OBJECT
public:
    // Watches $DISPLAY when the program draws through X11; otherwise it never signals.
    explicit DisplayConnectionWatcher(QObject* parent = nullptr);
    ~DisplayConnectionWatcher() override;

    bool isWatching() const { return m_connection != nullptr; }

signals:
    void displayLost();

private:
    void onReadable();

    xcb_connection_t* m_connection = nullptr;
    QSocketNotifier* m_notifier = nullptr;
};
