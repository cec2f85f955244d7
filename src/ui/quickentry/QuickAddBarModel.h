#pragma once
// The quick-add bar without widgets: the typed time and preset name, the line under the bar, and what
// Return, the arrow, a symbol key and "Save as Preset" do. A typed time goes to the confirmation step as a
// request; the bar never starts a timer itself, and changes the engine only by saving a preset.

#include "core/Clock.h"
#include "core/QuickLaunchParseError.h"
#include "core/TimerStartRequest.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

class TimerManager;

class QuickAddBarModel : public QObject {
    Q_OBJECT
public:
    enum class MessageKind { error, confirmation };
    struct Message {
        MessageKind kind;
        QString text; // translated when it was made, shown as it is
        bool operator==(const Message&) const = default;
    };
    // The entry field's outline: red after an error, the action colour while focused, else plain.
    enum class Stroke { danger, action, plain };

    // The keys of the symbol row, in order; each appends itself to the entry.
    static QStringList symbolKeys();

    // The manager must outlive the model. Every request built goes to `onPrepare`; the clock gives "now"
    // for clock times.
    QuickAddBarModel(TimerManager& timerManager, std::function<void(const TimerStartRequest&)> onPrepare,
                     Clock clock = systemClock(), QObject* parent = nullptr);

    const QString& input() const { return m_input; }
    // Any change of the entry takes the message away.
    void setInput(const QString& input);
    const QString& presetName() const { return m_presetName; }
    void setPresetName(const QString& name);
    const std::optional<Message>& message() const { return m_message; }

    // Whole minutes of the typed duration, rounded up (at least 1); none for empty text, a clock time or
    // text that does not read. The save controls show exactly while there is a value.
    std::optional<qint64> presetMinutes() const { return m_presetMinutes; }
    static std::optional<qint64> presetMinutesFor(const QString& input, const QDateTime& now);
    static Stroke inputStroke(const std::optional<Message>& message, bool focused);
    Stroke inputStroke(bool focused) const { return inputStroke(m_message, focused); }
    static QString errorMessageText(const QuickLaunchParseError& error);

    // Return or the arrow: empty text says "Enter a time"; text that reads goes to confirmation and the
    // bar empties; anything else says why and keeps the text for correcting.
    void submit();
    // Return in the name field or the save button: stores the typed duration under the typed name.
    void savePreset();
    // Puts the key at the end of the entry, wherever the caret stands.
    void appendSymbol(const QString& key);

signals:
    void inputChanged(const QString& input);
    void presetNameChanged(const QString& name);
    void messageChanged();
    void presetMinutesChanged();

private:
    void setMessage(std::optional<Message> message);

    TimerManager& m_timerManager;
    std::function<void(const TimerStartRequest&)> m_onPrepare;
    Clock m_clock;
    QString m_input;
    QString m_presetName;
    std::optional<Message> m_message;
    std::optional<qint64> m_presetMinutes;
};
