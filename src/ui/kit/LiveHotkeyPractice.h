#pragma once
// A small view in which a person tries a global hotkey right after choosing it: it names the shortcut to
// press, echoes the modifiers and the key as they go down, and confirms once the stored shortcut is
// pressed. While it listens, the name's desktop registration is off, so the press reaches this program's
// window as an ordinary key instead of running the hotkey's action.

#include "hotkeys/Name.h"

#include <QColor>
#include <QString>
#include <QWidget>

#include <functional>

class QKeyEvent;
class TokenLabel;

class LiveHotkeyPractice : public QWidget {
    Q_OBJECT
public:
    static constexpr int maximumWidth = 320;
    static constexpr int boxHeight = 56;
    static constexpr int successDelayMs = 500;
    // Caps Lock, on the stored modifiers' spare bit: a shortcut never holds it, so a press with Caps Lock on
    // never matches.
    static constexpr qint64 capsLockFlag = 1024;

    // `onSuccess` runs once, half a second after the match, even when the view is gone by then.
    LiveHotkeyPractice(const GlobalHotkeys::Name& name, std::function<void()> onSuccess, const QColor& accent,
                       QWidget* parent = nullptr);
    ~LiveHotkeyPractice() override;

    // The modifier glyphs and key of the last key seen, empty before the first.
    const QString& liveLabel() const { return m_liveLabel; }
    bool succeeded() const { return m_success; }
    const QColor& accent() const { return m_accent; }
    // True while the view listens (and the name's registration is off).
    bool isPracticing() const { return m_practicing; }
    // The line above the box, or the hint alone when the name has no shortcut.
    QString captionText() const;
    // What the box shows: the live label, the shortcut after success, or the waiting text.
    QString boxText() const;

    // The flags a press is compared with: Ctrl, Alt, Shift and Super as stored modifier bits, and Caps
    // Lock; Num Lock and the keypad flag count for nothing. A modifier key's own press or release is
    // already in (or out of) them.
    static qint64 eventFlags(const QKeyEvent& event);
    // Glyphs in the order ⌃⌥⇧⌘; other flags add nothing.
    static QString symbolString(qint64 flags);
    // Return, Tab, Space, Escape, the letters and the digits; any other key gives the empty text.
    static QString keyString(qint64 carbonKeyCode);

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void startPractice();
    void endPractice();
    // True when the press was the shortcut and is used up here.
    bool handle(const QKeyEvent& event);
    void refresh();

    GlobalHotkeys::Name m_name;
    std::function<void()> m_onSuccess;
    QColor m_accent;
    QString m_liveLabel;
    bool m_success = false;
    bool m_practicing = false;
    TokenLabel* m_caption;
    class PracticeBox* m_box;
};
