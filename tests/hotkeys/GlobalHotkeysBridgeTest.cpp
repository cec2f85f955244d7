// The application's bindings: their order and actions, the per-preset hotkeys following the preset list,
// the recommended shortcuts written once, and unbinding at quit.
#include "HotkeyTestFixture.h"
#include "core/TimerManagerFixture.h"
#include "hotkeys/ApplicationHotkeys.h"
#include "hotkeys/GlobalHotkeysBridge.h"
#include "hotkeys/PresetShortcutNaming.h"

#include <QSignalSpy>

using namespace GlobalHotkeys;

namespace {

class GlobalHotkeysBridgeTest : public HotkeyTestFixture {
protected:
    // Stores a shortcut the way an earlier run left it: written, not yet registered.
    void storeQuietly(const Name& name, const Shortcut& shortcut) {
        preferences.setString(userDefaultsKey(name), QString::fromUtf8(shortcut.encoded()));
    }
    TimerPreset preset(const char* name, qint64 seconds, int idNumber) const {
        return TimerPreset{QUuid(uint(idNumber), 0, 0, 0, 0, 0, 0, 0, 0, 0, 1), QString::fromUtf8(name),
                           seconds};
    }
    QSet<QString> boundTexts() const {
        QSet<QString> texts;
        for (const Name& name : bridge.boundNames()) {
            texts.insert(name.rawValue());
        }
        return texts;
    }

    GlobalHotkeysBridge bridge;
    QStringList started; // what the preset action was handed: "name seconds"
    GlobalHotkeysBridge::PresetAction startPreset = [this](const TimerPreset& p) {
        started.append(p.name + QLatin1Char(' ') + QString::number(p.durationInSeconds));
    };
};

TEST_F(GlobalHotkeysBridgeTest, LaunchBindingsComeInTheirOrderAndRunTheirActions) {
    const TimerPreset tea = preset("Tea", 180, 1);
    const TimerPreset nap = preset("Nap", 1200, 2);
    const struct {
        const char* name;
        Key key;
    } order[] = {
        {"quickLaunch", Key::a}, {"toggleFloating", Key::b}, {"quickPreset", Key::c}, {"pauseResume", Key::d},
        {"reset", Key::e},       {"newTimer", Key::f},       {"tea", Key::g},         {"nap", Key::h},
        {"startTimer", Key::i},  {"stopTimer", Key::j},      {"nextInQueue", Key::k}, {"pauseQueue", Key::l}};
    QList<Shortcut> expectedGrabs;
    for (const auto& row : order) {
        const QString text = QString::fromLatin1(row.name);
        const Name name = text == QStringLiteral("tea")   ? PresetShortcutNaming::shortcutName(tea.id)
                          : text == QStringLiteral("nap") ? PresetShortcutNaming::shortcutName(nap.id)
                                                          : Name(text);
        storeQuietly(name, optionCommand(row.key));
        expectedGrabs.append(optionCommand(row.key));
    }

    QStringList ran;
    const auto note = [&ran](const char* what) {
        return [&ran, what] { ran.append(QString::fromLatin1(what)); };
    };
    ApplicationHotkeyActions actions;
    actions.quickLaunch = note("quickLaunch");
    actions.toggleFloating = note("toggleFloating");
    actions.quickPreset = note("quickPreset");
    actions.pauseResume = note("pauseResume");
    actions.reset = note("reset");
    actions.newTimer = note("newTimer");
    actions.startPreset = [&ran](const TimerPreset& p) { ran.append(p.name); };
    actions.startTimer = note("startTimer");
    actions.stopTimer = note("stopTimer");
    bindApplicationHotkeys(bridge, {tea, nap}, actions);
    EXPECT_EQ(backend.grabs, expectedGrabs);

    const QStringList expectedRuns = {QStringLiteral("quickLaunch"), QStringLiteral("toggleFloating"),
                                      QStringLiteral("quickPreset"), QStringLiteral("pauseResume"),
                                      QStringLiteral("reset"),       QStringLiteral("newTimer"),
                                      QStringLiteral("Tea"),         QStringLiteral("Nap"),
                                      QStringLiteral("startTimer"),  QStringLiteral("stopTimer")};
    for (const Shortcut& shortcut : expectedGrabs) {
        const qsizetype before = ran.count();
        backend.press(shortcut);
        EXPECT_EQ(ran.count(), before) << "nothing runs on the press";
        backend.release(shortcut);
    }
    EXPECT_EQ(ran, expectedRuns) << "nextInQueue and pauseQueue do nothing";
}

TEST_F(GlobalHotkeysBridgeTest, PresetHotkeysFollowThePresetList) {
    const TimerPreset tea = preset("Tea", 180, 1);
    const TimerPreset nap = preset("Nap", 1200, 2);
    const Name teaName = PresetShortcutNaming::shortcutName(tea.id);
    EXPECT_EQ(teaName.rawValue(), QStringLiteral("tarvolin.preset.00000001-0000-0000-0000-000000000001"));
    const Shortcut teaKeys = optionCommand(Key::t);
    const auto release = [&] {
        started.clear();
        backend.tap(teaKeys);
        return started;
    };

    bridge.bindDynamicPresets({tea, nap}, startPreset);
    EXPECT_EQ(boundTexts(),
              (QSet<QString>{teaName.rawValue(), PresetShortcutNaming::shortcutName(nap.id).rawValue()}));
    EXPECT_TRUE(release().isEmpty()) << "no shortcut recorded yet";
    setShortcut(teaKeys, teaName);
    EXPECT_EQ(release(), QStringList{QStringLiteral("Tea 180")});

    bridge.bindDynamicPresets({tea, nap}, startPreset);
    EXPECT_EQ(release(), QStringList{QStringLiteral("Tea 180")}) << "the same list adds no handler";

    TimerPreset renamed = tea;
    renamed.name = QStringLiteral("Green tea");
    renamed.durationInSeconds = 240;
    bridge.bindDynamicPresets({renamed, nap}, startPreset);
    EXPECT_EQ(release(), QStringList{QStringLiteral("Green tea 240")}) << "started as it is now";

    bridge.bindDynamicPresets({nap}, startPreset);
    EXPECT_FALSE(boundTexts().contains(teaName.rawValue()));
    EXPECT_TRUE(backend.isHeld(teaKeys)) << "a dropped preset's shortcut stays stored and registered";
    EXPECT_TRUE(release().isEmpty()) << "a dropped preset starts nothing";

    bridge.bindDynamicPresets({renamed, nap}, startPreset);
    EXPECT_EQ(release(), QStringList{QStringLiteral("Green tea 240")}) << "listed again: started once";
    EXPECT_TRUE(boundTexts().contains(teaName.rawValue()));

    bridge.bindDynamicPresets({}, startPreset);
    EXPECT_TRUE(boundTexts().isEmpty());
    EXPECT_TRUE(release().isEmpty());
}

TEST_F(GlobalHotkeysBridgeTest, EachListedPresetsHotkeyGoesByThePresetsName) {
    using Titles = QList<std::pair<Name, QString>>;
    const TimerPreset tea = preset("Tea", 180, 1);
    const TimerPreset nap = preset("Nap", 1200, 2);
    const Name teaName = PresetShortcutNaming::shortcutName(tea.id);
    const Name napName = PresetShortcutNaming::shortcutName(nap.id);
    bridge.bindDynamicPresets({tea, nap}, startPreset);
    EXPECT_EQ(titledNames(), (Titles{{teaName, QStringLiteral("Tea")}, {napName, QStringLiteral("Nap")}}));

    // Renamed, or no longer listed (its shortcut then starts nothing, so it is nobody's).
    TimerPreset longNap = nap;
    longNap.name = QStringLiteral("Long nap");
    bridge.bindDynamicPresets({longNap}, startPreset);
    EXPECT_EQ(titledNames(), (Titles{{napName, QStringLiteral("Long nap")}}));

    bridge.unbindAll();
    EXPECT_TRUE(titledNames().isEmpty());
}

TEST_F(GlobalHotkeysBridgeTest, ABindingMadeTwiceRunsTwice) {
    const Name name(QStringLiteral("twice"));
    setShortcut(optionCommand(Key::w), name);
    int runs = 0;
    bridge.bind(name, [&runs] { ++runs; });
    bridge.bind(name, [&runs] { ++runs; });
    backend.tap(optionCommand(Key::w));
    EXPECT_EQ(runs, 2);
}

TEST_F(GlobalHotkeysBridgeTest, RecommendedShortcutsAreWrittenOncePerStore) {
    const QString flag = QStringLiteral("quorvane.shortcuts.hasAppliedDefaults");
    const struct {
        const char* name;
        std::optional<bool> flagBefore;
        bool writes;
    } rows[] = {
        {"flag absent", std::nullopt, true},
        {"flag false", false, true},
        {"flag set by the migration", true, false},
    };
    for (const auto& row : rows) {
        for (const QString& key : preferences.keys()) {
            preferences.remove(key);
        }
        SetUp();
        // Every name built (and its default written) before anything is counted.
        Name::quickPreset();
        Name::toggleFloating();
        if (row.flagBefore) {
            preferences.setBool(flag, *row.flagBefore);
        }
        const Shortcut kept = optionCommand(Key::z);
        setShortcut(kept, Name::reset());
        setShortcut(std::nullopt, Name::quickLaunch()); // the user removed a default: stored false
        QSignalSpy changes(&notifier(), &HotkeyNotifier::shortcutByNameDidChange);

        bridge.applyDefaultsIfNeeded(preferences);
        EXPECT_EQ(preferences.boolValue(flag), std::optional<bool>(true)) << row.name;
        const struct {
            Name name;
            std::optional<Shortcut> expected;
        } results[] = {
            {Name::quickLaunch(), row.writes ? std::optional(optionCommand(Key::space)) : std::nullopt},
            {Name::pauseResume(), row.writes ? std::optional(optionCommand(Key::p)) : std::nullopt},
            {Name::reset(), kept},
            {Name::newTimer(), row.writes ? std::optional(optionCommand(Key::n)) : std::nullopt},
            {Name::startTimer(), row.writes ? std::optional(optionCommand(Key::s)) : std::nullopt},
            {Name::stopTimer(), row.writes ? std::optional(optionCommand(Key::x)) : std::nullopt},
            {Name::quickPreset(), optionCommand(Key::one)},
            {Name::toggleFloating(), optionCommand(Key::f)},
            {Name::nextInQueue(), std::nullopt},
            {Name::pauseQueue(), std::nullopt},
        };
        for (const auto& result : results) {
            EXPECT_EQ(getShortcut(result.name), result.expected)
                << row.name << ": " << result.name.rawValue().toStdString();
        }
        EXPECT_EQ(changes.count(), row.writes ? 5 : 0) << row.name;

        changes.clear();
        bridge.applyDefaultsIfNeeded(preferences);
        EXPECT_EQ(changes.count(), 0) << row.name << ": the second call writes nothing";
        TearDown();
    }
}

TEST_F(GlobalHotkeysBridgeTest, UnbindingAllSilencesEveryHotkey) {
    int runs = 0;
    const Name name(QStringLiteral("bound"));
    setShortcut(optionCommand(Key::u), name);
    bridge.bind(name, [&runs] { ++runs; });
    const TimerPreset tea = preset("Tea", 180, 1);
    setShortcut(optionCommand(Key::t), PresetShortcutNaming::shortcutName(tea.id));
    bridge.bindDynamicPresets({tea}, startPreset);

    bridge.unbindAll();
    EXPECT_TRUE(bridge.boundNames().isEmpty());
    EXPECT_FALSE(backend.isHeld(optionCommand(Key::u)));
    backend.tap(optionCommand(Key::u));
    backend.tap(optionCommand(Key::t));
    EXPECT_EQ(runs, 0);
    EXPECT_TRUE(started.isEmpty());

    bridge.bindDynamicPresets({tea}, startPreset);
    backend.tap(optionCommand(Key::t));
    EXPECT_EQ(started, QStringList{QStringLiteral("Tea 180")}) << "binding again after unbinding works";
}

class TimerHotkeyActionsTest : public TimerManagerFixture {
protected:
    void SetUp() override { make(); }
    ApplicationHotkeyActions actions = ApplicationHotkeyActions::forTimers([this] { return manager.get(); });
};

TEST_F(TimerHotkeyActionsTest, TimerActionsActOnTheManager) {
    const TimerItem running = add("running", 60, true);
    const TimerItem idle = add("idle", 60, false);
    const TimerItem secondIdle = add("second idle", 60, false);

    actions.startTimer();
    EXPECT_EQ(current(idle.id).state, TimerState::running) << "the first idle timer starts";
    EXPECT_EQ(current(secondIdle.id).state, TimerState::idle);

    actions.pauseResume();
    EXPECT_EQ(current(running.id).state, TimerState::paused);
    EXPECT_EQ(current(idle.id).state, TimerState::paused);
    actions.stopTimer();
    EXPECT_EQ(current(running.id).state, TimerState::paused) << "stop pauses and never resumes";

    actions.startTimer();
    EXPECT_EQ(current(running.id).state, TimerState::running) << "a paused timer counts as startable";

    const qsizetype before = manager->timers().count();
    actions.newTimer();
    ASSERT_EQ(manager->timers().count(), before + 1);
    const TimerItem added = manager->timers().last();
    EXPECT_EQ(added.title, QString());
    EXPECT_EQ(added.totalDuration, manager->defaultDuration());
    EXPECT_EQ(added.state, TimerState::running);

    actions.startPreset(TimerPreset{QUuid::createUuid(), QStringLiteral("Tea"), 180});
    EXPECT_EQ(manager->timers().last().title, QStringLiteral("Tea"));
    EXPECT_EQ(manager->timers().last().totalDuration, 180);

    manager.reset();
    actions.newTimer(); // the manager is gone: nothing happens
}

} // namespace
