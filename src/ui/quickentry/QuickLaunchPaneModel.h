#pragma once
// The preset chips without widgets: one chip per saved preset, its label and spoken name, the chip chosen
// last, and the rename and delete questions with their answers. A chip's click goes to the confirmation
// step as a request; the engine changes only by renaming or removing a preset.

#include "core/TimerPreset.h"
#include "core/TimerStartRequest.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QUuid>

#include <functional>
#include <optional>

class Preferences;
class TimerManager;

class QuickLaunchPaneModel : public QObject {
    Q_OBJECT
public:
    // The manager and the preferences must outlive the model. Requests go to `onPrepare`.
    QuickLaunchPaneModel(TimerManager& timerManager, const Preferences& preferences,
                         std::function<void(const TimerStartRequest&)> onPrepare, QObject* parent = nullptr);

    const QList<TimerPreset>& presets() const;

    // Minutes below 61 as a bare number ("25", "60"); from 61 minutes hours and minutes ("1h1m", "2h").
    static QString chipLabel(const TimerPreset& preset);
    // What the chip is announced as: English for "en", Japanese for anything else.
    static QString presetAccessibilityLabel(const TimerPreset& preset, const QString& languageRaw);
    QString accessibilityLabel(const TimerPreset& preset) const;

    std::optional<QUuid> selectedPresetID() const { return m_selectedPresetID; }
    // A click: the chip becomes the selected one and its preset goes to confirmation.
    void choose(const TimerPreset& preset);

    // ---- Rename ----
    bool isRenamePresented() const { return m_isRenamePresented; }
    std::optional<TimerPreset> editingPreset() const { return m_editingPreset; }
    const QString& renameText() const { return m_renameText; }
    void setRenameText(const QString& text);
    // Save is offered only for a name with more than spaces.
    bool canSaveRename() const;
    void beginRename(const TimerPreset& preset);
    // Stores the trimmed name (the length stays, in whole minutes) and closes the question.
    void saveRename();
    void cancelRename();

    // ---- Delete ----
    bool isDeleteConfirmationPresented() const { return m_isDeleteConfirmationPresented; }
    std::optional<TimerPreset> presetPendingDeletion() const { return m_presetPendingDeletion; }
    void requestDeletion(const TimerPreset& preset);
    // Removes the preset; deleting the selected chip's preset clears the selection.
    void confirmDeletion();
    void cancelDeletion();

signals:
    void presetsChanged();
    void selectionChanged();
    void renameChanged();
    void deletionChanged();
    // "bl.appLanguage" changed: the chips are announced differently.
    void accessibilityLanguageChanged();

private:
    void setSelected(std::optional<QUuid> id);

    TimerManager& m_timerManager;
    const Preferences& m_preferences;
    std::function<void(const TimerStartRequest&)> m_onPrepare;
    std::optional<QUuid> m_selectedPresetID;
    std::optional<TimerPreset> m_editingPreset;
    QString m_renameText;
    bool m_isRenamePresented = false;
    std::optional<TimerPreset> m_presetPendingDeletion;
    bool m_isDeleteConfirmationPresented = false;
};
