#include "core/SettingsKeys.h"

const QList<PreferenceDeclaration>& SettingsKeys::all() {
    static const QList<PreferenceDeclaration> declarations = {
        defaultDuration.declaration(),        appLanguage.declaration(),
        displayStyle.declaration(),           menuBarShowIcon.declaration(),
        menuBarDisplayMode.declaration(),     menuBarIconStyle.declaration(),
        floatingShowTaskName.declaration(),   menuBarAlarmFormat.declaration(),
        menuBarRemainingDetail.declaration(), quickPresetMinutes.declaration(),
        quickPresetBehavior.declaration(),    soundEnabled.declaration(),
        timerCompleteSound.declaration(),     alarmCompleteSound.declaration(),
        pomWorkStartSound.declaration(),      pomBreakStartSound.declaration(),
        showFloatingOnStart.declaration(),    pomWorkMinutes.declaration(),
        pomShortBreakMinutes.declaration(),   pomLongBreakMinutes.declaration(),
        pomLongBreakEnabled.declaration(),    pomCycles.declaration(),
        pomAutoBreak.declaration(),           pomAutoWork.declaration(),
        maxHistoryEntries.declaration(),      hasSeenOnboarding.declaration(),
    };
    return declarations;
}

bool SettingsKeys::isSettingsKey(const QString& key) {
    return key.startsWith(QLatin1String("bl."));
}
