#pragma once
// The quick-add panel's two steps without widgets: the typed text and its one error line on the entry
// step, the prepared request on the confirmation step, the minute chips, and the two-level Escape (back to
// the entry step, then closed).

#include "core/Clock.h"
#include "core/TimerStartRequest.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>
#include <optional>

class TimerManager;

class QuickAddViewModel : public QObject {
    Q_OBJECT
public:
    // The minutes the chips offer, in their order.
    static const QList<int>& chipMinutes();

    // `onClose` closes the panel. With a request the model starts on the confirmation step. The clock
    // gives "now" to the parser.
    QuickAddViewModel(TimerManager& timerManager, const std::optional<TimerStartRequest>& initialRequest,
                      std::function<void()> onClose, Clock clock = systemClock(), QObject* parent = nullptr);

    const QString& input() const { return m_input; }
    // Every change of the text drops a shown error.
    void setInput(const QString& text);
    // The one message for every text the parser refuses, in the interface language; none when no error.
    std::optional<QString> errorMessage() const;
    bool hasError() const { return m_hasError; }
    const std::optional<TimerStartRequest>& pendingRequest() const { return m_pendingRequest; }
    bool isConfirming() const { return m_pendingRequest.has_value(); }

    // Return in the field: blank text does nothing; a parsed text moves to the confirmation step with an
    // untitled request (the text stays); anything else shows the error.
    void submit();
    // A chip: a new untitled countdown of that many minutes, whatever the field holds.
    void chooseChip(int minutes);
    // The card's Start and Queue: true, and the panel closes, when the engine made a timer.
    bool confirmPreparation(const TimerStartRequest& request);
    bool queuePreparation(const TimerStartRequest& request);
    // The card's Back: the entry step again, with its text and error as they were.
    void cancelPreparation();
    // Escape: from the confirmation step back to the entry step; from the entry step the panel closes.
    void escape();

signals:
    void inputChanged();
    void errorChanged();
    // The step changed, or a new request replaced the shown one.
    void pendingRequestChanged();

private:
    void setPending(const std::optional<TimerStartRequest>& request);
    void setError(bool hasError);
    void close();

    QPointer<TimerManager> m_timerManager;
    std::function<void()> m_onClose;
    Clock m_clock;
    QString m_input;
    bool m_hasError = false;
    std::optional<TimerStartRequest> m_pendingRequest;
};
