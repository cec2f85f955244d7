// The hotkey bindings kept until the system back end lands: the per-preset table and the one-time
// recommended shortcuts.
#include "platform/Preferences.h"
#include "shell/GlobalHotkeysBridge.h"

#include <gtest/gtest.h>

namespace {

namespace N = GlobalHotkeyNames;
const QString kFlag = QStringLiteral("quorvane.shortcuts.hasAppliedDefaults");

TimerPreset preset(const char* id, const char* name, qint64 seconds) {
    return {QUuid(QString::fromLatin1(id)), QString::fromLatin1(name), seconds};
}

} // namespace

TEST(GlobalHotkeysBridgeTest, PresetNamesUseTheUpperCaseId) {
    EXPECT_EQ(N::presetName(QUuid(QStringLiteral("{0a1b2c3d-4e5f-6789-abcd-ef0123456789}"))),
              QStringLiteral("tarvolin.preset.0A1B2C3D-4E5F-6789-ABCD-EF0123456789"));
}

TEST(GlobalHotkeysBridgeTest, PresetBindingsFollowTheListWithOneHandlerPerId) {
    GlobalHotkeysBridge bridge;
    QStringList started;
    const auto action = [&](const TimerPreset& p) {
        started << QStringLiteral("%1/%2").arg(p.name).arg(p.durationInSeconds);
    };
    const TimerPreset tea = preset("11111111-1111-1111-1111-111111111111", "tea", 180);
    const TimerPreset egg = preset("22222222-2222-2222-2222-222222222222", "egg", 420);
    const QString teaName = N::presetName(tea.id);
    const QString eggName = N::presetName(egg.id);

    const struct {
        const char* behaviour;
        QList<TimerPreset> list;
        QStringList startedByTeaThenEgg;
        QSet<QString> boundNames;
    } rows[] = {
        {"two presets get a handler each",
         {tea, egg},
         {QStringLiteral("tea/180"), QStringLiteral("egg/420")},
         {teaName, eggName}},
        {"the same list again changes nothing",
         {tea, egg},
         {QStringLiteral("tea/180"), QStringLiteral("egg/420")},
         {teaName, eggName}},
        {"a renamed preset starts with its new values",
         {preset("11111111-1111-1111-1111-111111111111", "green tea", 120), egg},
         {QStringLiteral("green tea/120"), QStringLiteral("egg/420")},
         {teaName, eggName}},
        {"a removed preset's hotkey starts nothing", {egg}, {QStringLiteral("egg/420")}, {eggName}},
        {"an empty list drops every entry", {}, {}, {}},
        {"a preset that comes back is bound again", {tea}, {QStringLiteral("tea/180")}, {teaName}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.behaviour);
        bridge.bindDynamicPresets(row.list, action);
        started.clear();
        bridge.trigger(teaName);
        bridge.trigger(eggName);
        EXPECT_EQ(started, row.startedByTeaThenEgg);
        EXPECT_EQ(bridge.boundNames(), row.boundNames);
        EXPECT_EQ(bridge.handlerCount(eggName), 1) << "never a second handler";
    }
    // The preset that came back found its first handler again: one release, one start.
    EXPECT_EQ(bridge.handlerCount(teaName), 1);
}

TEST(GlobalHotkeysBridgeTest, TheRecommendedShortcutsAreWrittenOncePerStore) {
    const auto stored = [](const Preferences& p, const QString& name) {
        return GlobalHotkeysBridge::storedShortcut(p, name);
    };
    const GlobalHotkeysBridge::Shortcut optionCommandP{35, 2304};
    const GlobalHotkeysBridge::Shortcut mine{3, 256};
    const struct {
        const char* behaviour;
        std::function<void(Preferences&)> before;
        QString name;
        std::optional<GlobalHotkeysBridge::Shortcut> after;
    } rows[] = {
        {"a name without a shortcut gets the recommended one", [](Preferences&) {}, N::pauseResume,
         optionCommandP},
        {"a shortcut the user chose is kept",
         [&](Preferences& p) { GlobalHotkeysBridge::storeShortcut(p, N::pauseResume, mine); }, N::pauseResume,
         mine},
        {"a shortcut the user removed gets the recommended one",
         [](Preferences& p) { p.setBool(GlobalHotkeysBridge::preferenceKey(N::quickLaunch), false); },
         N::quickLaunch, GlobalHotkeysBridge::Shortcut{49, 2304}},
        {"an unreadable entry counts as none",
         [](Preferences& p) {
             p.setString(GlobalHotkeysBridge::preferenceKey(N::reset),
                         QStringLiteral("{\"carbonKeyCode\":1}"));
         },
         N::reset, GlobalHotkeysBridge::Shortcut{15, 2304}},
        {"toggleFloating is never touched", [](Preferences&) {}, N::toggleFloating, std::nullopt},
        {"nothing is written once the flag is set", [](Preferences& p) { p.setBool(kFlag, true); },
         N::pauseResume, std::nullopt},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.behaviour);
        Preferences preferences;
        row.before(preferences);
        GlobalHotkeysBridge bridge;
        bridge.applyDefaultsIfNeeded(preferences);
        EXPECT_EQ(stored(preferences, row.name), row.after);
        EXPECT_EQ(preferences.boolValue(kFlag), true);
    }
    // The stored form every reader expects.
    Preferences preferences;
    GlobalHotkeysBridge().applyDefaultsIfNeeded(preferences);
    EXPECT_EQ(preferences.stringValue(GlobalHotkeysBridge::preferenceKey(N::quickLaunch)),
              QStringLiteral("{\"carbonKeyCode\":49,\"carbonModifiers\":2304}"));
}
