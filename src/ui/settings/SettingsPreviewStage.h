#pragma once
// A picture of how the menu-bar label, the main timer and the floating window will look with the settings
// as they stand, redrawn at once when one of them changes. It reads no timer and writes no setting; a
// switch flips the sample between running and paused. Its end time is taken once, when it is made.

#include "core/TimeDisplayStyle.h"
#include "theme/AccentTheme.h"
#include "theme/MenuBarDisplayContent.h"

#include <QDateTime>
#include <QWidget>

class FloatingTimerSurface;
class LabelButton;
class MinuteDialView;
class Preferences;
class TokenLabel;

class SettingsPreviewStage : public QWidget {
    Q_OBJECT
public:
    enum class PreviewState { running, paused };

    static constexpr int maximumCardWidth = 360;

    // Follows the wording, the label's mode and icon, the task-name switch and the language in
    // `preferences`; `now` gives the sample's end time (25 minutes later).
    SettingsPreviewStage(Preferences& preferences, const QDateTime& now, QWidget* parent = nullptr);

    // The accent in use; the screen hands it down whenever it changes.
    void setAccent(const QColor& accent);
    PreviewState previewState() const { return m_state; }
    void setPreviewState(PreviewState state);
    QDateTime previewEnd() const { return m_previewEnd; }

    // What the pictures show now.
    MenuBarDisplayContent menuBarContent() const;
    QString floatingLabel() const;
    QString dialCaption() const;
    MinuteDialView* dial() const { return m_dial; }
    LabelButton* stateButton(PreviewState state) const;
    FloatingTimerSurface* floatingCard() const { return m_floating; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void refresh();
    void retranslate();

    Preferences& m_preferences;
    QDateTime m_previewEnd;
    PreviewState m_state = PreviewState::running;
    QColor m_accent = color(AccentTheme::orange);
    LabelButton* m_running;
    LabelButton* m_paused;
    QWidget* m_menuBar;
    MinuteDialView* m_dial;
    TokenLabel* m_time;
    TokenLabel* m_caption;
    FloatingTimerSurface* m_floating;
};
