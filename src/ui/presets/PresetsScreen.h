#pragma once
// The presets tab: a header, the sequences section and the presets section in a scrolling column, with
// the editors as in-place overlays, the delete confirmation inside the popover, and the preset key bubble.
// Built afresh each time the tab is shown, so its view state goes when the person leaves the tab.
//
// Keyboard: the popover root keeps the arrows and Return (rows and steps). Keys it leaves alone reach the
// screen through the root: the Menu key or Shift+F10 opens the selected row's options (with no selection,
// a menu to add a sequence or a preset), and K opens the selected preset's key bubble, recording.

#include "ui/kit/AlertOverlay.h"
#include "ui/presets/EditorOverlay.h"
#include "ui/presets/PresetsScreenModel.h"
#include "ui/presets/ShortcutBubble.h"

#include <QMenu>
#include <QPointer>
#include <QWidget>

class PopoverFocusCoordinator;
class Preferences;
class PresetEditorSheet;
class PresetsSection;
class QScrollArea;
class SequenceEditorSheet;
class SequencesSection;
class ThemeStore;
class TimerManager;
class TokenLabel;

class PresetsScreen : public QWidget {
    Q_OBJECT
public:
    struct Dependencies {
        TimerManager& timerManager;
        PopoverFocusCoordinator& focusCoordinator;
        ThemeStore& theme;
        Preferences& preferences;
        PresetsScreenModel::Hooks hooks;
        // The widget that holds the keyboard while the tab is browsed (the popover root); null for none.
        QWidget* keyboardHost = nullptr;
    };

    explicit PresetsScreen(Dependencies dependencies, QWidget* parent = nullptr);
    ~PresetsScreen() override;

    PresetsScreenModel& model() const { return *m_model; }
    SequencesSection* sequencesSection() const { return m_sequences; }
    PresetsSection* presetsSection() const { return m_presets; }
    QScrollArea* scrollArea() const { return m_scroll; }
    // The open editors, bubble and confirmation; null when closed.
    SequenceEditorSheet* sequenceEditor() const;
    PresetEditorSheet* presetEditor() const;
    EditorOverlay* sequenceEditorOverlay() const { return m_sequenceOverlay; }
    EditorOverlay* presetEditorOverlay() const { return m_presetOverlay; }
    ShortcutBubble* shortcutBubble() const { return m_bubble; }
    AlertOverlay* deleteConfirmation() const { return m_deleteAlert; }
    // The selected row's options menu, or with no selection the screen's own; returns what it opened.
    QMenu* openSelectionMenu();

protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void syncSequenceEditor();
    void syncPresetEditor();
    void syncDeleteConfirmation();
    void syncBubble();
    void closeBubble();
    void applyDensity();
    void retranslate();
    void ensureSelectionVisible();
    bool handleHostKey(const QKeyEvent& event);
    bool anythingOpen() const;

    PresetsScreenModel* m_model;
    ThemeStore& m_theme;
    Preferences& m_preferences;
    QPointer<QWidget> m_keyboardHost;
    QScrollArea* m_scroll;
    QWidget* m_content;
    TokenLabel* m_title;
    TokenLabel* m_subtitle;
    SequencesSection* m_sequences;
    PresetsSection* m_presets;
    QPointer<EditorOverlay> m_sequenceOverlay;
    QPointer<EditorOverlay> m_presetOverlay;
    QPointer<AlertOverlay> m_deleteAlert;
    QPointer<ShortcutBubble> m_bubble;
    QPointer<QWidget> m_bubbleScrim;
    QPointer<QMenu> m_screenMenu;
};
