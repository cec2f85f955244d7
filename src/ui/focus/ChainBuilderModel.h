#pragma once
// The task-chain builder without widgets: the chain's name and its editable steps, and the start that hands
// them to the chain coordinator. It lives only while the builder is shown.

#include <QList>
#include <QObject>
#include <QString>
#include <QUuid>

#include <optional>

class ChainCoordinator;

class ChainBuilderModel : public QObject {
    Q_OBJECT
public:
    static constexpr int minimumMinutes = 1;
    static constexpr int maximumMinutes = 180;
    static constexpr int defaultMinutes = 10;

    // One editable step; entries are told apart by their id, never by their place.
    struct StepDraft {
        QUuid id = QUuid::createUuid();
        QString name;
        int minutes = defaultMinutes;
    };

    // The coordinator must outlive the model. It starts with two empty 10-minute steps.
    explicit ChainBuilderModel(ChainCoordinator& coordinator, QObject* parent = nullptr);

    QString chainName() const { return m_chainName; }
    const QList<StepDraft>& steps() const { return m_steps; }
    std::optional<StepDraft> step(const QUuid& id) const;
    // A step may be deleted only while another one remains.
    bool canDeleteSteps() const { return m_steps.size() >= 2; }
    // Shown as stored, in English in every language.
    const std::optional<QString>& errorMessage() const { return m_errorMessage; }

    static QString emptyChainMessage();
    static QString startFailedMessage();

public slots:
    void setChainName(const QString& name);
    void addStep();
    // Ignored for the last remaining step and for an unknown id.
    void removeStep(const QUuid& id);
    void setStepName(const QUuid& id, const QString& name);
    // Kept within 1 to 180 minutes.
    void setStepMinutes(const QUuid& id, int minutes);
    // Hands the steps, exactly as entered, to the coordinator. True when the chain started; then
    // closeRequested follows. On a refusal the entries stay and the message says why.
    bool startChain();
    // The close button.
    void close();

signals:
    void stepsChanged();
    void stepAdded(const QUuid& id);
    void stepRemoved(const QUuid& id);
    void stepChanged(const QUuid& id);
    void errorMessageChanged();
    void closeRequested();

private:
    qsizetype indexOf(const QUuid& id) const;
    void setErrorMessage(std::optional<QString> message);

    ChainCoordinator& m_coordinator;
    QString m_chainName;
    QList<StepDraft> m_steps;
    std::optional<QString> m_errorMessage;
};
