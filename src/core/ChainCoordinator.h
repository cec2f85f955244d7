#pragma once
// Runs a task chain on the ordinary timer list: one running timer per step, the next started when it
// finishes.

#include "core/Clock.h"
#include "core/QueueChainEngine.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QUuid>

#include <optional>

class NotificationServiceProtocol;
class TimerManager;

class ChainCoordinator : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool isRunning READ isRunning NOTIFY isRunningChanged)
    Q_PROPERTY(QString chainName READ chainName NOTIFY chainNameChanged)
    Q_PROPERTY(qsizetype currentStepIndex READ currentStepIndex NOTIFY currentStepIndexChanged)
    Q_PROPERTY(qsizetype totalSteps READ totalSteps NOTIFY totalStepsChanged)
public:
    // One row of the chain builder.
    struct StepRow {
        QString name;
        qint64 minutes = 0;
    };

    // Fixed texts for a blank step or chain name; Japanese in every interface language.
    static inline const QString defaultStepName = QStringLiteral("ステップ");
    static inline const QString defaultChainName = QStringLiteral("連続タスク");

    // The timer manager is held weakly and driven only through its public operations.
    ChainCoordinator(TimerManager* timerManager, NotificationServiceProtocol& notification,
                     Clock clock = systemClock(), QObject* parent = nullptr);

    bool isRunning() const { return m_isRunning; }
    QString chainName() const { return m_chainName; }
    qsizetype currentStepIndex() const { return m_currentStepIndex; }
    qsizetype totalSteps() const { return m_totalSteps; }
    // The timer that runs the current step, while there is one.
    std::optional<QUuid> activeStepTimerID() const { return m_activeStepTimerID; }
    const QueueChainEngine& engine() const { return m_engine; }

    // Rows under one minute are dropped; a blank name (only spaces and tabs) gets the default, any other is
    // kept as typed. On an error nothing changes and no timer is added.
    [[nodiscard]] std::optional<QueueChainEngineError> start(const QString& name,
                                                             const QList<StepRow>& steps);
    // To be called with the id of every finished timer; acts only on the current step's timer.
    void onTimerCompleted(const QUuid& id);
    // Removes the current step's timer, then ends the chain. Earlier steps' finished timers stay in the list.
    void cancel();

signals:
    // Each is emitted after every write of its value; changed() follows each of them.
    void isRunningChanged();
    void chainNameChanged();
    void currentStepIndexChanged();
    void totalStepsChanged();
    void changed();

private:
    void startCurrentStepTimer();
    void removeActiveStepTimer();
    void finish();

    // Runs the writes in order; stops and returns false as soon as an observer of one of them has begun or
    // ended a chain (signals are synchronous), so no stale value is written over the newer ones.
    template <typename... Writes> bool publishInOrder(Writes&&... writes) {
        const quint64 generation = m_generation;
        return ((writes(), generation == m_generation) && ...);
    }
    void setIsRunning(bool value);
    void setChainName(const QString& value);
    void setCurrentStepIndex(qsizetype value);
    void setTotalSteps(qsizetype value);

    QPointer<TimerManager> m_timerManager;
    QueueChainEngine m_engine;
    std::optional<QUuid> m_activeStepTimerID;
    // Changes at every successful start and every finish, so work after a call out can tell that a chain
    // began or ended meanwhile.
    quint64 m_generation = 0;

    bool m_isRunning = false;
    QString m_chainName;
    qsizetype m_currentStepIndex = 0;
    qsizetype m_totalSteps = 0;
};
