#pragma once
// The small bubble beside a preset's key badge, pointing at it: which preset, what its key does, and the
// recorder for that key. It stays open after a recording; a click beside it or Escape closes it.

#include "core/TimerPreset.h"

#include <QPointer>
#include <QWidget>

#include <functional>

class PresetsScreenModel;
class TokenLabel;
class WrappingLabel;

namespace GlobalHotkeys {
class Recorder;
}

class ShortcutBubble : public QWidget {
    Q_OBJECT
public:
    static constexpr int bubbleWidth = 240;
    static constexpr int arrowLength = 8;

    ShortcutBubble(PresetsScreenModel& model, const TimerPreset& preset, QWidget* parent);

    const TimerPreset& preset() const { return m_preset; }
    GlobalHotkeys::Recorder* recorder() const { return m_recorder; }
    // Beside `badge` (in the parent's coordinates), its arrow at the badge's middle; kept inside the parent.
    void placeBeside(const QRect& badge);

signals:
    // Escape outside a recording: the bubble asks to be closed.
    void closeRequested();

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool focusNextPrevChild(bool next) override;

private:
    void retranslate();

    PresetsScreenModel& m_model;
    TimerPreset m_preset;
    WrappingLabel* m_title;
    TokenLabel* m_explanation;
    GlobalHotkeys::Recorder* m_recorder;
    int m_arrowY = 0;
};
