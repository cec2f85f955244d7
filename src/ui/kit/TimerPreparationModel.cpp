#include "ui/kit/TimerPreparationModel.h"

#include "core/SettingsKeys.h"
#include "core/TimerItem.h"
#include "platform/Preferences.h"
#include "platform/TarvolinTimerLogger.h"

#include <variant>

namespace {

const QString kContext = QStringLiteral("TimerPreparationModel");

constexpr qint64 kMinuteMs = 60'000;
constexpr qint64 kSecondMs = 1000;

} // namespace

TimerPreparationModel::TimerPreparationModel(const TimerStartRequest& request, bool allowsDurationAdjustment,
                                             Actions actions, const Preferences& preferences, Clock clock,
                                             QObject* parent)
    : QObject(parent), m_request(request), m_draft(request),
      m_allowsDurationAdjustment(allowsDurationAdjustment), m_actions(std::move(actions)),
      m_preferences(preferences), m_clock(std::move(clock)) {
    m_clockTimer.setSingleShot(true);
    m_clockTimer.setTimerType(Qt::PreciseTimer);
    connect(&m_clockTimer, &QTimer::timeout, this, &TimerPreparationModel::refreshClock);
    connect(&preferences, &Preferences::changed, this, [this](const QString& key) {
        if (key == SettingsKeys::appLanguage.key) {
            emit languageChanged();
        }
    });
    m_shownClockFace = clockFace();
    scheduleClockRefresh();
}

bool TimerPreparationModel::showsAdjustment() const {
    return m_allowsDurationAdjustment && std::holds_alternative<TimerStartRequest::duration>(m_draft.kind());
}

bool TimerPreparationModel::showsQueue() const {
    return bool(m_actions.onQueue) && m_draft.canQueue();
}

qint64 TimerPreparationModel::previewDuration() const {
    return m_draft.previewDuration(m_clock());
}

QDateTime TimerPreparationModel::endTime() const {
    if (const auto target = m_draft.targetTime()) {
        return *target;
    }
    return m_clock().addSecs(previewDuration());
}

QString TimerPreparationModel::lengthText() const {
    return TimerItem::formatDuration(previewDuration());
}

QString TimerPreparationModel::endLine(const QLocale& locale) const {
    const QTime time = endTime().toLocalTime().time();
    return tr("Ends at") + QLatin1Char(' ') + locale.toString(time, QLocale::ShortFormat);
}

bool TimerPreparationModel::isEnglish() const {
    return SettingsKeys::appLanguage.read(m_preferences) == QLatin1String("en");
}

QString TimerPreparationModel::timerLimitMessage() const {
    return isEnglish() ? QStringLiteral("You've hit the timer limit (change it in Settings)")
                       : QStringLiteral("タイマーの上限に達しました（設定で変更できます）");
}

QString TimerPreparationModel::pastTimeMessage() const {
    return isEnglish() ? QStringLiteral("That time has already passed")
                       : QStringLiteral("その時刻はもう過ぎています");
}

QString TimerPreparationModel::dialAccessibleLabel() const {
    if (!m_draft.title().isEmpty()) {
        return m_draft.title();
    }
    return isEnglish() ? QStringLiteral("Timer preview") : QStringLiteral("タイマーのプレビュー");
}

QString TimerPreparationModel::adjustmentAccessibleLabel(qint64 seconds) const {
    if (seconds < 1) {
        return isEnglish() ? QStringLiteral("Subtract 5 minutes") : QStringLiteral("5分減らす");
    }
    return isEnglish() ? QStringLiteral("Add 5 minutes") : QStringLiteral("5分追加");
}

QString TimerPreparationModel::adjustmentFace(qint64 seconds) {
    return seconds < 1 ? QStringLiteral("-5m") : QStringLiteral("+5m");
}

void TimerPreparationModel::setTitle(const QString& title) {
    if (title == m_draft.title()) {
        return;
    }
    m_draft.setTitle(title);
    emit draftChanged();
}

void TimerPreparationModel::adjustDuration(qint64 seconds) {
    if (!std::holds_alternative<TimerStartRequest::duration>(m_draft.kind())) {
        return;
    }
    m_draft = m_draft.adjusted(seconds);
    m_shownClockFace = clockFace();
    scheduleClockRefresh();
    emit draftChanged();
}

bool TimerPreparationModel::start() {
    if (!m_actions.onStart) {
        return false;
    }
    // Read before the call: a refused alarm is told apart by where its time stood when it was refused.
    const QDateTime now = m_clock();
    if (m_actions.onStart(m_draft)) {
        return true;
    }
    const auto target = m_draft.targetTime();
    // The engine refuses an alarm less than one whole second ahead; that is no limit, so say what it is.
    if (target && now.msecsTo(*target) < kSecondMs) {
        TT_LOG_INFO(kContext, QStringLiteral("Alarm refused: its time has passed"));
        setError(pastTimeMessage());
    } else {
        TT_LOG_INFO(kContext, QStringLiteral("Start refused at the timer limit"));
        setError(timerLimitMessage());
    }
    return false;
}

bool TimerPreparationModel::queue() {
    if (!showsQueue()) {
        return false;
    }
    if (m_actions.onQueue(m_draft)) {
        return true;
    }
    TT_LOG_INFO(kContext, QStringLiteral("Queue refused at the timer limit"));
    setError(timerLimitMessage());
    return false;
}

void TimerPreparationModel::cancel() {
    if (m_actions.onCancel) {
        m_actions.onCancel();
    }
}

void TimerPreparationModel::setError(const QString& message) {
    // One line, replaced rather than repeated.
    if (m_errorMessage == message) {
        return;
    }
    m_errorMessage = message;
    emit errorMessageChanged();
}

std::pair<qint64, qint64> TimerPreparationModel::clockFace() const {
    // The end time is shown to the minute; local offsets are whole minutes, so counting minutes since the
    // epoch tells when the shown time changes.
    const qint64 endMinute = endTime().toMSecsSinceEpoch() / kMinuteMs;
    return {previewDuration(), endMinute};
}

std::optional<qint64> TimerPreparationModel::msUntilNextChange() const {
    const QDateTime now = m_clock();
    if (const auto target = m_draft.targetTime()) {
        // The length left counts down in whole seconds, rounded up; it stops at zero.
        const qint64 left = now.msecsTo(*target);
        if (left <= 0) {
            return std::nullopt;
        }
        const qint64 part = left % kSecondMs;
        return part == 0 ? kSecondMs : part;
    }
    const qint64 endMs = endTime().toMSecsSinceEpoch();
    const qint64 intoMinute = ((endMs % kMinuteMs) + kMinuteMs) % kMinuteMs;
    return kMinuteMs - intoMinute;
}

void TimerPreparationModel::scheduleClockRefresh() {
    const auto wait = msUntilNextChange();
    if (!wait) {
        m_clockTimer.stop();
        return;
    }
    m_clockTimer.start(int(std::min<qint64>(*wait, kMinuteMs)));
}

void TimerPreparationModel::refreshClock() {
    const auto face = clockFace();
    if (face != m_shownClockFace) {
        m_shownClockFace = face;
        emit clockTextsChanged();
    }
    scheduleClockRefresh();
}
