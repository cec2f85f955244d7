#pragma once
// Turns SIGTERM, SIGINT and SIGHUP into an orderly quit of the event loop, so the timer list is saved.

#include <QObject>

class QSocketNotifier;

class TerminationSignals : public QObject {
    Q_OBJECT
public:
    // Installs the handlers; a signal that arrives before the event loop runs is acted on once it does.
    explicit TerminationSignals(QObject* parent = nullptr);
    ~TerminationSignals() override;

signals:
    void received(int signalNumber);

private:
    void drain();

    QSocketNotifier* m_notifier = nullptr;
};
