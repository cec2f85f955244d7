#pragma once
// The control through which a person gives a named hotkey its shortcut, replaces it or clears it: a field
// showing the stored shortcut that, while it holds the keyboard, takes the next combination pressed. It
// refuses plain keys, and combinations another of the program's hotkeys or the desktop already uses (the
// desktop's only after asking), and writes the store only when the person records or clears.

#include "hotkeys/HotkeyBackend.h"
#include "hotkeys/Name.h"
#include "hotkeys/Shortcut.h"

#include <QList>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <functional>
#include <optional>

class AlertOverlay;
class QAbstractButton;

namespace GlobalHotkeys {

class Recorder : public QWidget {
    Q_OBJECT
public:
    static constexpr int minimumWidth = 130;
    static constexpr int fieldHeight = 30;
    // A click this far outside the field still counts as on it.
    static constexpr int clickSlop = 3;

    // Told after every store or removal made through the control, with what is stored now.
    using OnChange = std::function<void(const std::optional<Shortcut>&)>;
    // Another hotkey of the program, with the title a refusal names it by.
    struct OtherHotkey {
        Name name;
        QString title;
    };
    using OtherHotkeys = std::function<QList<OtherHotkey>()>;

    explicit Recorder(const Name& name, OnChange onChange = {}, QWidget* parent = nullptr);
    ~Recorder() override;

    const Name& shortcutName() const { return m_name; }
    // Another name: the field shows that name's stored shortcut.
    void setShortcutName(const Name& name);
    // The hotkeys whose shortcuts a recording must not repeat; asked at every recorded press, so it may
    // follow a list that changes. This control's own name is skipped. Until one is given, every hotkey
    // the program holds (HotkeyDirectory::heldHotkeys), so no two of them ever share a combination.
    void setOtherHotkeys(OtherHotkeys otherHotkeys);

    bool isRecording() const { return m_recording; }
    // The stored shortcut as shown, or empty.
    const QString& text() const { return m_text; }
    // "Record Shortcut" at rest, "Press Shortcut" while recording.
    QString placeholderText() const;
    QAbstractButton* clearButton() const;
    // As the clear button: removes the shown shortcut and keeps (or starts) recording; nothing when the
    // field is empty.
    void clear();

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    void recordingChanged(bool recording);
    // A press was refused without a word (with the desktop's beep).
    void refused();

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void startRecording();
    void endRecording();
    // Ends recording and lets go of the keyboard.
    void blur();
    // Takes the keyboard back and records again, also when it never lost it.
    void focusAgain();
    // True when the press goes on (Tab moving the focus); false when it was taken here.
    bool capture(const QKeyEvent& event);
    void refuse();
    void store(const Shortcut& shortcut);
    void showStored();
    void refreshClearButton();
    std::optional<QString> otherHotkeyHolding(const Shortcut& shortcut) const;
    void followRefusal(const Shortcut& shortcut, GrabFailure why);
    void retranslate();

    Name m_name;
    OnChange m_onChange;
    OtherHotkeys m_otherHotkeys;
    QString m_text;
    bool m_recording = false;
    // Whether the hotkeys were on when recording started: they are off meanwhile, so the program's own
    // combinations reach the field instead of firing (and can be refused as taken).
    bool m_hotkeysWereEnabled = true;
    // The last shortcut stored here, until the desktop has answered for it.
    std::optional<Shortcut> m_lastStored;
    QAbstractButton* m_clearButton;
    QPointer<AlertOverlay> m_alert;
};

} // namespace GlobalHotkeys
