#include "ui/quickentry/QuickLaunchPaneModel.h"

#include "core/SettingsKeys.h"
#include "core/TimerManager.h"
#include "platform/Preferences.h"
#include "platform/TarvolinTimerLogger.h"

namespace {

const QString kContext = QStringLiteral("QuickLaunchPane");
// The hour form starts at 61 minutes, so an hour still reads "60".
constexpr qint64 kHourFormFrom = 3660;

qint64 wholeMinutes(const TimerPreset& preset) {
    return preset.durationInSeconds / 60;
}

} // namespace

QuickLaunchPaneModel::QuickLaunchPaneModel(TimerManager& timerManager, const Preferences& preferences,
                                           std::function<void(const TimerStartRequest&)> onPrepare,
                                           QObject* parent)
    : QObject(parent), m_timerManager(timerManager), m_preferences(preferences),
      m_onPrepare(std::move(onPrepare)) {
    connect(&m_timerManager, &TimerManager::presetsChanged, this, &QuickLaunchPaneModel::presetsChanged);
    connect(&m_preferences, &Preferences::changed, this, [this](const QString& key) {
        if (key == SettingsKeys::appLanguage.key) {
            emit accessibilityLanguageChanged();
        }
    });
}

const QList<TimerPreset>& QuickLaunchPaneModel::presets() const {
    return m_timerManager.presets();
}

QString QuickLaunchPaneModel::chipLabel(const TimerPreset& preset) {
    const qint64 minutes = wholeMinutes(preset);
    if (preset.durationInSeconds < kHourFormFrom) {
        return QString::number(minutes);
    }
    const qint64 hours = minutes / 60;
    const qint64 rest = minutes % 60;
    if (rest == 0) {
        return QString::number(hours) + QLatin1Char('h');
    }
    return QString::number(hours) + QLatin1Char('h') + QString::number(rest) + QLatin1Char('m');
}

QString QuickLaunchPaneModel::presetAccessibilityLabel(const TimerPreset& preset,
                                                       const QString& languageRaw) {
    const QString minutes = QString::number(wholeMinutes(preset));
    if (languageRaw == QLatin1String("en")) {
        return QStringLiteral("Review the ") + minutes + QStringLiteral("-minute ") + preset.name +
               QStringLiteral(" timer");
    }
    return minutes + QStringLiteral("分の") + preset.name + QStringLiteral("タイマーを確認");
}

QString QuickLaunchPaneModel::accessibilityLabel(const TimerPreset& preset) const {
    return presetAccessibilityLabel(preset, SettingsKeys::appLanguage.read(m_preferences));
}

void QuickLaunchPaneModel::setSelected(std::optional<QUuid> id) {
    if (id == m_selectedPresetID) {
        return;
    }
    m_selectedPresetID = id;
    emit selectionChanged();
}

void QuickLaunchPaneModel::choose(const TimerPreset& preset) {
    setSelected(preset.id);
    const TimerStartRequest request(QUuid::createUuid(), preset.name,
                                    TimerStartRequest::duration{preset.durationInSeconds});
    if (m_onPrepare) {
        m_onPrepare(request);
    }
}

void QuickLaunchPaneModel::setRenameText(const QString& text) {
    if (text == m_renameText) {
        return;
    }
    m_renameText = text;
    emit renameChanged();
}

bool QuickLaunchPaneModel::canSaveRename() const {
    return !m_renameText.trimmed().isEmpty();
}

void QuickLaunchPaneModel::beginRename(const TimerPreset& preset) {
    m_editingPreset = preset;
    m_renameText = preset.name;
    m_isRenamePresented = true;
    emit renameChanged();
}

void QuickLaunchPaneModel::saveRename() {
    if (!m_editingPreset) {
        return;
    }
    const QString name = m_renameText.trimmed();
    if (name.isEmpty()) {
        return;
    }
    const TimerPreset preset = *m_editingPreset;
    m_editingPreset.reset();
    m_isRenamePresented = false;
    m_timerManager.updatePreset(preset, name, wholeMinutes(preset));
    TT_LOG_INFO(kContext, QStringLiteral("Renamed a preset"));
    emit renameChanged();
}

void QuickLaunchPaneModel::cancelRename() {
    m_editingPreset.reset();
    m_isRenamePresented = false;
    emit renameChanged();
}

void QuickLaunchPaneModel::requestDeletion(const TimerPreset& preset) {
    m_presetPendingDeletion = preset;
    m_isDeleteConfirmationPresented = true;
    emit deletionChanged();
}

void QuickLaunchPaneModel::confirmDeletion() {
    if (!m_presetPendingDeletion) {
        return;
    }
    const TimerPreset preset = *m_presetPendingDeletion;
    m_presetPendingDeletion.reset();
    m_isDeleteConfirmationPresented = false;
    m_timerManager.removePreset(preset);
    TT_LOG_INFO(kContext, QStringLiteral("Deleted a preset"));
    if (m_selectedPresetID == preset.id) {
        setSelected(std::nullopt);
    }
    emit deletionChanged();
}

void QuickLaunchPaneModel::cancelDeletion() {
    m_presetPendingDeletion.reset();
    m_isDeleteConfirmationPresented = false;
    emit deletionChanged();
}
