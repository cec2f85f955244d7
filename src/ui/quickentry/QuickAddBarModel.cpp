#include "ui/quickentry/QuickAddBarModel.h"

#include "core/QuickLaunchParser.h"
#include "core/TimerManager.h"
#include "platform/TarvolinTimerLogger.h"

#include <algorithm>
#include <cmath>
#include <variant>

namespace {

const QString kContext = QStringLiteral("QuickAddBar");

} // namespace

QStringList QuickAddBarModel::symbolKeys() {
    return {QStringLiteral(":"), QStringLiteral("d"), QStringLiteral("h"), QStringLiteral("m")};
}

QuickAddBarModel::QuickAddBarModel(TimerManager& timerManager,
                                   std::function<void(const TimerStartRequest&)> onPrepare, Clock clock,
                                   QObject* parent)
    : QObject(parent), m_timerManager(timerManager), m_onPrepare(std::move(onPrepare)),
      m_clock(std::move(clock)) {}

void QuickAddBarModel::setInput(const QString& input) {
    if (input == m_input) {
        return;
    }
    m_input = input;
    emit inputChanged(m_input);
    setMessage(std::nullopt);
    const auto minutes = presetMinutesFor(m_input, m_clock());
    if (minutes != m_presetMinutes) {
        m_presetMinutes = minutes;
        emit presetMinutesChanged();
    }
}

void QuickAddBarModel::setPresetName(const QString& name) {
    if (name == m_presetName) {
        return;
    }
    m_presetName = name;
    emit presetNameChanged(m_presetName);
}

void QuickAddBarModel::setMessage(std::optional<Message> message) {
    if (message == m_message) {
        return;
    }
    m_message = std::move(message);
    emit messageChanged();
}

std::optional<qint64> QuickAddBarModel::presetMinutesFor(const QString& input, const QDateTime& now) {
    const QString trimmed = input.trimmed();
    if (trimmed.isEmpty()) {
        return std::nullopt;
    }
    const QuickLaunchParseResult result = QuickLaunchParser::parse(trimmed, now);
    const auto* parsed = std::get_if<ParsedQuickLaunch>(&result);
    if (!parsed) {
        return std::nullopt;
    }
    const auto* length = std::get_if<ParsedQuickLaunch::duration>(&parsed->value());
    if (!length) {
        return std::nullopt;
    }
    return std::max(qint64(std::ceil(length->seconds / 60.0)), qint64(1));
}

QuickAddBarModel::Stroke QuickAddBarModel::inputStroke(const std::optional<Message>& message, bool focused) {
    if (message && message->kind == MessageKind::error) {
        return Stroke::danger;
    }
    return focused ? Stroke::action : Stroke::plain;
}

QString QuickAddBarModel::errorMessageText(const QuickLaunchParseError& error) {
    return error.message();
}

void QuickAddBarModel::submit() {
    const QString trimmed = m_input.trimmed();
    if (trimmed.isEmpty()) {
        setMessage(Message{MessageKind::error,
                           errorMessageText(QuickLaunchParseError(QuickLaunchParseError::empty{}))});
        return;
    }
    const QuickLaunchParseResult result = QuickLaunchParser::parse(trimmed, m_clock());
    if (const auto* error = std::get_if<QuickLaunchParseError>(&result)) {
        setMessage(Message{MessageKind::error, errorMessageText(*error)});
        return;
    }
    const TimerStartRequest request(std::get<ParsedQuickLaunch>(result), QString());
    if (m_onPrepare) {
        m_onPrepare(request);
    }
    setInput(QString());
    setPresetName(QString());
    setMessage(std::nullopt);
}

void QuickAddBarModel::savePreset() {
    if (!m_presetMinutes) {
        return;
    }
    const QString name = m_presetName.trimmed();
    if (name.isEmpty()) {
        setMessage(Message{MessageKind::error, tr("Enter a preset name")});
        return;
    }
    if (m_timerManager.presets().size() >= TimerManager::maxPresets) {
        setMessage(Message{MessageKind::error, tr("You can save up to 10 presets")});
        return;
    }
    m_timerManager.addPreset(name, *m_presetMinutes);
    TT_LOG_INFO(kContext, QStringLiteral("Saved a preset of %1 minutes").arg(*m_presetMinutes));
    setPresetName(QString());
    setMessage(Message{MessageKind::confirmation, tr("Preset saved")});
}

void QuickAddBarModel::appendSymbol(const QString& key) {
    setInput(m_input + key);
}
