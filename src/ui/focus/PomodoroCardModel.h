#pragma once
// The Pomodoro area without widgets: the four steps drawn from the settings, which of them the session is
// in, which may be prepared now, and what a click on a tile, the add tile or Stop asks of the popover.

#include "core/PomodoroConfig.h"
#include "core/PomodoroSession.h"

#include <QList>
#include <QObject>
#include <QString>

#include <optional>

class MainViewModel;
class PomodoroManager;

// One tile of the row; its ordinal (1 to 4) is its identity.
struct PomodoroSequenceStepData {
    QString title; // "Focus" or "Break", shown as written
    qint64 minutes = 0;
    int ordinal = 0;
    bool isFocus = false;

    bool operator==(const PomodoroSequenceStepData& other) const = default;
};

class PomodoroCardModel : public QObject {
    Q_OBJECT
public:
    static constexpr int stepCount = 4;

    // Both must outlive the model.
    PomodoroCardModel(PomodoroManager& pomodoroManager, MainViewModel& root, QObject* parent = nullptr);

    // Focus, Break, Focus, Break at the configured lengths in whole minutes (at least 1); the long break is
    // never shown on its own.
    static QList<PomodoroSequenceStepData> steps(const PomodoroConfig& config);
    // 0 to 3: where the session is in the row; the row starts again after every second focus round.
    static int currentPomodoroStep(const PomodoroSession& session);

    QList<PomodoroSequenceStepData> steps() const;
    bool isSessionActive() const;
    int currentPomodoroStep() const;
    // The tile of the session's current step, whether or not its timer runs.
    bool isStepRunning(const PomodoroSequenceStepData& step) const;
    bool canPreparePomodoroStep(const PomodoroSequenceStepData& step) const;

    // The simple entry's second line, in the current language.
    QString simpleEntrySubtitle() const;
    // What the preview and the tile's accessible label call a step.
    static QString localizedStepName(bool isFocus);
    static QString minutesText(qint64 minutes);
    static QString stepAccessibleLabel(const PomodoroSequenceStepData& step);

    std::optional<int> previewedSequenceStepOrdinal() const;

public slots:
    // The simple entry: the session's next phase goes to the preparation overlay.
    void prepareFirstStep();
    // A tile's click, judged again now: prepares the phase when it may, otherwise opens the step's preview.
    void activateStep(int ordinal);
    // The add tile: the presets tab, with a new sequence waiting to be made there.
    void addOrManageSequence();
    // The banner's Stop.
    void stopSession();
    // The preview of `ordinal` closed; a preview of another step stays as it is.
    void closePreview(int ordinal);

signals:
    // The session, its phase timer, the settings or the open preview changed.
    void changed();

private:
    PomodoroManager& m_pomodoroManager;
    MainViewModel& m_root;
};
