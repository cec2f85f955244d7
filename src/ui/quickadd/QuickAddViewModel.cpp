#include "ui/quickadd/QuickAddViewModel.h"

#include "core/QuickLaunchParser.h"
#include "core/TimerManager.h"

#include <QUuid>

const QList<int>& QuickAddViewModel::chipMinutes() {
    static const QList<int> minutes{5, 15, 25, 50};
    return minutes;
}

QuickAddViewModel::QuickAddViewModel(TimerManager& timerManager,
                                     const std::optional<TimerStartRequest>& initialRequest,
                                     std::function<void()> onClose, Clock clock, QObject* parent)
    : QObject(parent), m_timerManager(&timerManager), m_onClose(std::move(onClose)),
      m_clock(std::move(clock)), m_pendingRequest(initialRequest) {}

void QuickAddViewModel::setInput(const QString& text) {
    if (text == m_input) {
        return;
    }
    m_input = text;
    emit inputChanged();
    setError(false);
}

std::optional<QString> QuickAddViewModel::errorMessage() const {
    if (!m_hasError) {
        return std::nullopt;
    }
    return tr("Couldn't read that. Try: 10m · 1d18h · 12:30");
}

void QuickAddViewModel::submit() {
    const QString text = m_input.trimmed();
    if (text.isEmpty()) {
        return;
    }
    const QuickLaunchParseResult result = QuickLaunchParser::parse(text, m_clock());
    if (const auto* parsed = std::get_if<ParsedQuickLaunch>(&result)) {
        setPending(TimerStartRequest(*parsed, QString()));
        return;
    }
    // One wording for every kind of refusal.
    setError(true);
}

void QuickAddViewModel::chooseChip(int minutes) {
    setPending(
        TimerStartRequest(QUuid::createUuid(), QString(), TimerStartRequest::duration{qint64(minutes) * 60}));
}

bool QuickAddViewModel::confirmPreparation(const TimerStartRequest& request) {
    if (!m_timerManager || !request.start(*m_timerManager)) {
        return false;
    }
    close();
    return true;
}

bool QuickAddViewModel::queuePreparation(const TimerStartRequest& request) {
    if (!m_timerManager || !request.queue(*m_timerManager)) {
        return false;
    }
    close();
    return true;
}

void QuickAddViewModel::cancelPreparation() {
    setPending(std::nullopt);
}

void QuickAddViewModel::escape() {
    if (m_pendingRequest) {
        setPending(std::nullopt);
        return;
    }
    close();
}

void QuickAddViewModel::setPending(const std::optional<TimerStartRequest>& request) {
    if (!request && !m_pendingRequest) {
        return;
    }
    m_pendingRequest = request;
    emit pendingRequestChanged();
}

void QuickAddViewModel::setError(bool hasError) {
    if (hasError == m_hasError) {
        return;
    }
    m_hasError = hasError;
    emit errorChanged();
}

void QuickAddViewModel::close() {
    if (m_onClose) {
        m_onClose();
    }
}
