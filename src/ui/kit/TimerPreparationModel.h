#pragma once
// The confirmation step of one start request, without widgets: the request as the user edits it, the
// length and end time as the clock moves on, the error line, and the three ways out (Start, Queue, Back).

#include "core/Clock.h"
#include "core/TimerStartRequest.h"

#include <QDateTime>
#include <QLocale>
#include <QObject>
#include <QString>
#include <QTimer>

#include <functional>
#include <optional>

class Preferences;

class TimerPreparationModel : public QObject {
    Q_OBJECT
public:
    // True when the engine made a timer, false when it refused one.
    using Confirm = std::function<bool(const TimerStartRequest&)>;

    struct Actions {
        Confirm onStart;
        Confirm onQueue; // empty: Queue is not offered
        std::function<void()> onCancel;
    };

    static constexpr qint64 adjustmentStep = 300;

    // The request is read once, as the first edited copy. The card words some texts itself in the language
    // of "bl.appLanguage" in `preferences`, read each time (English only for "en"). The clock gives "now"
    // for the length of an alarm and for the end time.
    TimerPreparationModel(const TimerStartRequest& request, bool allowsDurationAdjustment, Actions actions,
                          const Preferences& preferences, Clock clock = systemClock(),
                          QObject* parent = nullptr);

    const TimerStartRequest& request() const { return m_request; }
    const TimerStartRequest& draftRequest() const { return m_draft; }
    bool allowsDurationAdjustment() const { return m_allowsDurationAdjustment; }
    // The ±5 minute buttons: only for a countdown, and only when adjusting is allowed.
    bool showsAdjustment() const;
    // Only a countdown can be queued, and only when a queue action was given.
    bool showsQueue() const;

    // Seconds shown: a countdown's length (at least 1), or the time left to an alarm, rounded up.
    qint64 previewDuration() const;
    // The alarm's own time, or now plus the shown length.
    QDateTime endTime() const;
    // "MM:SS" or "H:MM:SS", the same in every language.
    QString lengthText() const;
    // "Ends at" and the end time in the locale's short time form (hours and minutes).
    QString endLine(const QLocale& locale) const;

    // The line under the details after a refusal; none before any.
    const std::optional<QString>& errorMessage() const { return m_errorMessage; }

    // Texts the card words itself in the interface language.
    bool isEnglish() const;
    QString timerLimitMessage() const;
    QString pastTimeMessage() const;
    // The dial's spoken name: the edited title, or a generic name when it is empty.
    QString dialAccessibleLabel() const;
    // The spoken name of the button that adds (positive) or removes (below 1) five minutes.
    QString adjustmentAccessibleLabel(qint64 seconds) const;
    // The button's face, "-5m" or "+5m".
    static QString adjustmentFace(qint64 seconds);

    // Edits change the edited copy only.
    void setTitle(const QString& title);
    // A countdown gets the new length (never below 1 s) under a new id; an alarm stays as it is.
    void adjustDuration(qint64 seconds);

    // Hand the edited request on; on a refusal the error line says why. Return the action's result.
    bool start();
    bool queue();
    void cancel();

    // Re-reads the clock; signals clockTextsChanged when the shown length or end time changed, and plans
    // the next look at the moment one of them can change next. The card calls it through a timer.
    void refreshClock();
    // Milliseconds from now until the shown length or end time can next change; none when neither will.
    std::optional<qint64> msUntilNextChange() const;

signals:
    // The edited request changed (title, length, id).
    void draftChanged();
    void errorMessageChanged();
    // The shown length or end time moved on with the clock.
    void clockTextsChanged();
    // "bl.appLanguage" changed: the texts the card words itself read differently.
    void languageChanged();

private:
    void setError(const QString& message);
    void scheduleClockRefresh();
    // What the clock-bound texts show now, to tell whether a refresh changed them.
    std::pair<qint64, qint64> clockFace() const;

    TimerStartRequest m_request;
    TimerStartRequest m_draft;
    bool m_allowsDurationAdjustment;
    Actions m_actions;
    const Preferences& m_preferences;
    Clock m_clock;
    std::optional<QString> m_errorMessage;
    std::pair<qint64, qint64> m_shownClockFace;
    QTimer m_clockTimer;
};
