// The delegate's start-up, termination and actions, on fakes with a frozen clock.
#include "DelegateFixture.h"

#include "core/SettingsKeys.h"
#include "platform/InProcessNotifications.h"
#include "platform/ReduceMotion.h"
#include "shell/FloatingPanel.h"
#include "hotkeys/PresetShortcutNaming.h"
#include "services/AppcastUpdateChannel.h"
#include "shell/MenuBarPopoverView.h"
#include "shell/OnboardingWindowController.h"
#include "shell/QuickAddPanelController.h"
#include "shell/RightClickMenu.h"
#include "support/FakeSettingsPortal.h"
#include "support/LogCapture.h"
#include "support/TestPanelHost.h"
#include "theme/ThemeSettingsKeys.h"
#include "ui/kit/FloatingTimerSurface.h"
#include "ui/floating/FloatingWindowView.h"
#include "ui/kit/TimerPreparationView.h"
#include "ui/quickadd/QuickAddView.h"
#include "ui/popover/TarvolinTimerMainView.h"

#include <QProcessEnvironment>
#include <QDBusVariant>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QAbstractButton>
#include <QScreen>

namespace {

using AppDelegateTest = DelegateFixture;
using namespace Qt::StringLiterals;
using GlobalHotkeys::Key;
using GlobalHotkeys::Name;
using GlobalHotkeys::Shortcut;

// Records, in the journal, each window of interest as it is shown.
class ShowRecorder : public QObject {
public:
    explicit ShowRecorder(QStringList& journal) : m_journal(journal) { qApp->installEventFilter(this); }
    ~ShowRecorder() override { qApp->removeEventFilter(this); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show && watched->isWidgetType() &&
            static_cast<QWidget*>(watched)->isWindow()) {
            m_journal << QStringLiteral("window:") + watched->objectName();
        }
        return false;
    }

private:
    QStringList& m_journal;
};

} // namespace

TEST_F(AppDelegateTest, StartUpRunsItsStepsInOrderAndOpensTheWindowsAfterItReturns) {
    persistence.activeTimers = {stored(TimerState::running, QStringLiteral("saved"))};
    preferences.setString(ThemeSettingsKeys::appearance.key, QStringLiteral("dark"));
    settings.setShowFloatingOnStart(true);
    settings.setHasSeenOnboarding(false);
    settings.setPomWorkMinutes(40);
    QObject::connect(&preferences, &Preferences::changed,
                     [this](const QString& key) { journal << QStringLiteral("pref:") + key; });
    ShowRecorder windows(journal);

    AppDelegate::migratePreferences(preferences, now);
    const auto firstIndex = [this](const QString& prefix) {
        for (qsizetype i = 0; i < journal.size(); ++i) {
            if (journal[i].startsWith(prefix)) {
                return i;
            }
        }
        return qsizetype(-1);
    };
    // The appearance is made light before the migrations, and the display mode comes last.
    ASSERT_GE(firstIndex(QStringLiteral("pref:quorvane.theme.appearance")), 0);
    EXPECT_LT(firstIndex(QStringLiteral("pref:quorvane.theme.appearance")),
              firstIndex(QStringLiteral("pref:quorvane.migration.")));
    EXPECT_LT(firstIndex(QStringLiteral("pref:quorvane.migration.")),
              firstIndex(QStringLiteral("pref:bl.menubar.displayMode")));
    EXPECT_EQ(preferences.stringValue(ThemeSettingsKeys::appearance.key), QStringLiteral("light"));

    make();
    delegate->openURL(QStringLiteral("quorvane://start?minutes=3&title=early"));
    // Building the engine loads its records but leaves the saved timer list for the launch.
    EXPECT_FALSE(journal.contains(QStringLiteral("persistence.loadActiveTimers")));
    journal.clear();
    delegate->applicationDidFinishLaunching();

    // During start-up: the list is restored, then notifications are asked for; nothing is shown yet, and the
    // URL that came early waits.
    EXPECT_EQ(journal.filter(QStringLiteral("window:")), QStringList{});
    EXPECT_LT(journal.indexOf(QStringLiteral("persistence.loadActiveTimers")),
              journal.indexOf(QStringLiteral("notification.requestAuthorization")));
    EXPECT_EQ(delegate->timerManager().timers().size(), 1);
    EXPECT_FALSE(updates.autoCheck);
    EXPECT_EQ(delegate->pomodoroManager().timerManager(), &delegate->timerManager());
    EXPECT_EQ(delegate->pomodoroManager().config().workDuration, 40 * 60);
    ASSERT_NE(delegate->onboardingController(), nullptr);
    ASSERT_NE(delegate->globalHotkeysBridge(), nullptr);
    ASSERT_NE(delegate->panelItem(), nullptr);

    settle();
    // After it returned: the floating window first, then onboarding; update checks on; the early URL's timer.
    EXPECT_EQ(journal.filter(QStringLiteral("window:quorvane.")),
              (QStringList{QStringLiteral("window:quorvane.floatingPanel"),
                           QStringLiteral("window:quorvane.onboarding")}));
    EXPECT_TRUE(updates.autoCheck);
    ASSERT_EQ(delegate->timerManager().timers().size(), 2);
    EXPECT_EQ(delegate->timerManager().timers()[1].title, QStringLiteral("early"));
    EXPECT_EQ(delegate->timerManager().timers()[1].totalDuration, 180);
}

TEST_F(AppDelegateTest, WithNoChannelGivenItChecksTheBuildsOwnFeed) {
    make(nullptr);
    auto* channel = dynamic_cast<AppcastUpdateChannel*>(&delegate->updateChannel());
    ASSERT_NE(channel, nullptr);
    EXPECT_FALSE(channel->autoCheck());
    delegate->applicationDidFinishLaunching();
    settle();
    EXPECT_TRUE(channel->autoCheck()) << "automatic checks are on once start-up has returned";
    EXPECT_EQ(channel->isAvailable(),
              AppcastUpdateChannel::isUsableFeedUrl(AppcastUpdateChannel::buildOptions().feedUrl));
    if (!channel->isAvailable()) {
        // The popover's button still gets an answer from a build without a feed.
        QSignalSpy failed(channel, &UpdateChannel::checkFailed);
        delegate->togglePopover(QPoint(200, 10));
        delegate->popover()->root()->onCheckForUpdates()();
        ASSERT_EQ(failed.count(), 1);
        EXPECT_EQ(failed[0][0].value<UpdateChannel::Failure>(), UpdateChannel::Failure::notAvailable);
    }
}

TEST_F(AppDelegateTest, TheURLHandlerStartsExactlyWhatTheURLAsksFor) {
    struct Row {
        const char* behaviour;
        QString url;
        std::optional<std::pair<QString, qint64>> timer; // title and seconds; none when nothing starts
        QString addingLine;                              // the second log line, when there is one
    };
    const auto adding = [](const QString& title, int minutes) {
        return QStringLiteral("[AppDelegate] Adding timer: title=\"%1\" minutes=%2")
            .arg(title, QString::number(minutes));
    };
    const QString pelvarine = QStringLiteral("Pelvarine");
    const QList<Row> rows = {
        {"no query: 15 minutes of the default title", QStringLiteral("quorvane://start"),
         std::pair{pelvarine, qint64(900)}, adding(pelvarine, 15)},
        {"scheme and host in upper case", QStringLiteral("QUORVANE://START?minutes=25&title=Tea"),
         std::pair{QStringLiteral("Tea"), qint64(1500)}, adding(QStringLiteral("Tea"), 25)},
        {"a capitalised Minutes is another item", QStringLiteral("quorvane://start?Minutes=5&title=Tea"),
         std::pair{QStringLiteral("Tea"), qint64(900)}, adding(QStringLiteral("Tea"), 15)},
        {"zero minutes give one", QStringLiteral("quorvane://start?minutes=0"),
         std::pair{pelvarine, qint64(60)}, adding(pelvarine, 1)},
        {"negative minutes give one", QStringLiteral("quorvane://start?minutes=-5"),
         std::pair{pelvarine, qint64(60)}, adding(pelvarine, 1)},
        {"more than eight hours give eight hours", QStringLiteral("quorvane://start?minutes=1000"),
         std::pair{pelvarine, qint64(28800)}, adding(pelvarine, 480)},
        {"a plus sign is allowed", QStringLiteral("quorvane://start?minutes=+25"),
         std::pair{pelvarine, qint64(1500)}, adding(pelvarine, 25)},
        {"letters give the default", QStringLiteral("quorvane://start?minutes=ten"),
         std::pair{pelvarine, qint64(900)}, adding(pelvarine, 15)},
        {"an empty value gives the default", QStringLiteral("quorvane://start?minutes="),
         std::pair{pelvarine, qint64(900)}, adding(pelvarine, 15)},
        {"a fraction gives the default", QStringLiteral("quorvane://start?minutes=12.5"),
         std::pair{pelvarine, qint64(900)}, adding(pelvarine, 15)},
        {"a leading space gives the default", QStringLiteral("quorvane://start?minutes=%2025"),
         std::pair{pelvarine, qint64(900)}, adding(pelvarine, 15)},
        {"a number past 64 bits gives the default",
         QStringLiteral("quorvane://start?minutes=99999999999999999999"), std::pair{pelvarine, qint64(900)},
         adding(pelvarine, 15)},
        {"the most negative 64-bit number gives one",
         QStringLiteral("quorvane://start?minutes=-9223372036854775808"), std::pair{pelvarine, qint64(60)},
         adding(pelvarine, 1)},
        {"an empty title gives the default", QStringLiteral("quorvane://start?title=&minutes=2"),
         std::pair{pelvarine, qint64(120)}, adding(pelvarine, 2)},
        {"the first of two titles is used", QStringLiteral("quorvane://start?title=A&title=B"),
         std::pair{QStringLiteral("A"), qint64(900)}, adding(QStringLiteral("A"), 15)},
        {"a title of spaces is kept", QStringLiteral("quorvane://start?title=%20%20"),
         std::pair{QStringLiteral("  "), qint64(900)}, adding(QStringLiteral("  "), 15)},
        {"a plus in the title stays a plus", QStringLiteral("quorvane://start?title=a+b"),
         std::pair{QStringLiteral("a+b"), qint64(900)}, adding(QStringLiteral("a+b"), 15)},
        {"an encoded ampersand belongs to the title",
         QStringLiteral("quorvane://start?title=a%26b&minutes=1"),
         std::pair{QStringLiteral("a&b"), qint64(60)}, adding(QStringLiteral("a&b"), 1)},
        {"an encoded Japanese title", QStringLiteral("quorvane://start?title=%E3%81%8A%E8%8C%B6"),
         std::pair{QStringLiteral("お茶"), qint64(900)}, adding(QStringLiteral("お茶"), 15)},
        {"a title that looks like a placeholder is logged as it is",
         QStringLiteral("quorvane://start?title=%251%20%252&minutes=15"),
         std::pair{QStringLiteral("%1 %2"), qint64(900)},
         QStringLiteral("[AppDelegate] Adding timer: title=\"%1 %2\" minutes=15")},
        {"another host starts nothing", QStringLiteral("quorvane://stop?minutes=5"), std::nullopt, {}},
        {"another scheme starts nothing", QStringLiteral("https://start?minutes=5"), std::nullopt, {}},
        {"no host starts nothing", QStringLiteral("quorvane:start?minutes=5"), std::nullopt, {}},
    };
    launch();
    // The panel item's first answer is logged when it comes; let it come before the log is read.
    ASSERT_TRUE(waitForTrayAnswer());
    for (const Row& row : rows) {
        SCOPED_TRACE(row.behaviour);
        LogCapture log;
        const qsizetype before = delegate->timerManager().timers().size();
        delegate->handleURL(row.url);
        // The timer is added from the event loop, never inside the handler.
        EXPECT_EQ(delegate->timerManager().timers().size(), before);
        settle();
        QStringList expectedLines{QStringLiteral("[AppDelegate] URL event received: ") + row.url};
        if (!row.addingLine.isEmpty()) {
            expectedLines << row.addingLine;
        }
        EXPECT_EQ(log.linesFrom(QStringLiteral("AppDelegate")), expectedLines);
        if (row.timer) {
            ASSERT_EQ(delegate->timerManager().timers().size(), before + 1);
            const TimerItem& added = delegate->timerManager().timers().last();
            EXPECT_EQ(added.title, row.timer->first);
            EXPECT_EQ(added.totalDuration, row.timer->second);
            EXPECT_EQ(added.state, TimerState::running);
        } else {
            EXPECT_EQ(delegate->timerManager().timers().size(), before);
        }
    }
}

TEST_F(AppDelegateTest, TextThatIsNoURLIsLoggedAsSuchAndStartsNothing) {
    launch();
    for (const QString& text :
         {QString(), QStringLiteral("quorvane://[::1"), QStringLiteral("http://host:99999/")}) {
        SCOPED_TRACE(text.toStdString());
        LogCapture log;
        delegate->handleURL(text);
        settle();
        const QList<LogCapture::Entry> lines = log.entriesFrom(QStringLiteral("AppDelegate"));
        ASSERT_EQ(lines.size(), 1);
        EXPECT_EQ(lines[0].line, QStringLiteral("[AppDelegate] URL event received but no URL"));
        EXPECT_EQ(lines[0].level, TarvolinTimerLogger::Level::error);
        EXPECT_TRUE(delegate->timerManager().timers().isEmpty());
    }
}

TEST_F(AppDelegateTest, AURLAtTheTimerLimitIsLoggedAndStartsNothing) {
    QList<TimerItem> full;
    full.reserve(TimerManager::maxTimers);
    const TimerItem idle = stored(TimerState::idle, QString());
    for (qsizetype i = 0; i < TimerManager::maxTimers; ++i) {
        TimerItem item = idle;
        item.id = QUuid::createUuid();
        full.push_back(item);
    }
    persistence.activeTimers = std::move(full);
    launch();
    LogCapture log;
    delegate->handleURL(QStringLiteral("quorvane://start?minutes=5"));
    settle();
    EXPECT_EQ(delegate->timerManager().timers().size(), TimerManager::maxTimers);
    ASSERT_FALSE(log.lines().isEmpty());
    EXPECT_EQ(log.lines().last(), QStringLiteral("[AppDelegate] addTimer returned nil (limit reached?)"));
}

TEST_F(AppDelegateTest, TheOneKeyTimerFollowsItsBehaviour) {
    struct Row {
        const char* behaviour;
        QVariant behaviourRaw;
        qint64 minutes;
        QList<TimerState> before; // timers in the list before the first press
        int presses;
        QList<TimerState> after;
        qint64 newLength; // the length of the timer the presses added, 0 when they added none
    };
    using S = TimerState;
    const QList<Row> rows = {
        {"toggle on an empty list starts a timer", u"toggle"_s, 25, {}, 1, {S::running}, 1500},
        {"toggle again removes the running timer", u"toggle"_s, 25, {}, 2, {}, 0},
        {"toggle removes a paused main timer", u"toggle"_s, 25, {S::paused}, 1, {}, 0},
        {"toggle with only idle and finished timers adds one",
         u"toggle"_s,
         25,
         {S::idle, S::finished},
         1,
         {S::idle, S::finished, S::running},
         1500},
        {"pauseResume pauses the second time", u"pauseResume"_s, 25, {}, 2, {S::paused}, 1500},
        {"pauseResume resumes the third time", u"pauseResume"_s, 25, {}, 3, {S::running}, 1500},
        {"start adds a timer each time", u"start"_s, 25, {}, 2, {S::running, S::running}, 1500},
        {"an unknown behaviour toggles", u"sideways"_s, 25, {}, 2, {}, 0},
        {"a behaviour of another type toggles", QVariant(qint64(3)), 25, {}, 1, {S::running}, 1500},
        {"minutes below one count as one", u"start"_s, 0, {}, 1, {S::running}, 60},
        {"minutes have no upper bound", u"start"_s, 1000, {}, 1, {S::running}, 60000},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.behaviour);
        persistence.activeTimers.clear();
        for (const S state : row.before) {
            persistence.activeTimers << stored(state, QStringLiteral("old"));
        }
        preferences.setValue(SettingsKeys::quickPresetBehavior.key, row.behaviourRaw);
        preferences.setInt(SettingsKeys::quickPresetMinutes.key, row.minutes);
        launch();
        // Restored running timers come back paused; the rows list what the test wants before the presses.
        for (const TimerItem& t : delegate->timerManager().timers()) {
            ASSERT_NE(t.state, S::running);
        }
        for (int i = 0; i < row.presses; ++i) {
            delegate->runQuickPreset();
        }
        QList<S> states;
        for (const TimerItem& t : delegate->timerManager().timers()) {
            states << t.state;
        }
        EXPECT_EQ(states, row.after);
        if (row.newLength > 0) {
            EXPECT_EQ(delegate->timerManager().timers().last().totalDuration, row.newLength);
            EXPECT_EQ(delegate->timerManager().timers().last().title, QString());
        }
        delegate.reset();
    }
}

TEST_F(AppDelegateTest, HotkeysAreBoundInTheirOrderAndActOnTheEngine) {
    // Each name gets a shortcut of its own before launch, so the order of the grabs is the order of binding.
    const QList<TimerPreset> presets = TimerPreset::defaultPresets();
    QStringList names{QStringLiteral("quickLaunch"), QStringLiteral("toggleFloating"),
                      QStringLiteral("quickPreset"), QStringLiteral("pauseResume"),
                      QStringLiteral("reset"),       QStringLiteral("newTimer")};
    for (const TimerPreset& preset : presets) {
        names << PresetShortcutNaming::shortcutName(preset.id).rawValue();
    }
    names << QStringLiteral("startTimer") << QStringLiteral("stopTimer") << QStringLiteral("nextInQueue")
          << QStringLiteral("pauseQueue");
    const QList<Key> keys{Key::a, Key::b, Key::c, Key::d, Key::e, Key::f, Key::g,
                          Key::h, Key::i, Key::j, Key::k, Key::l, Key::m};
    ASSERT_EQ(names.size(), keys.size());
    QHash<QString, Shortcut> shortcutOf;
    QList<Shortcut> inOrder;
    for (qsizetype i = 0; i < names.size(); ++i) {
        const Shortcut shortcut(keys[i].rawValue, GlobalHotkeys::CarbonModifier::control);
        preferences.setString(GlobalHotkeys::userDefaultsKey(Name(names[i])),
                              QString::fromUtf8(shortcut.encoded()));
        shortcutOf.insert(names[i], shortcut);
        inOrder << shortcut;
    }
    launch();
    EXPECT_EQ(keyboard.grabs, inOrder);
    settle(); // following the preset list grabs nothing twice
    EXPECT_EQ(keyboard.grabs, inOrder);

    struct Row {
        const char* behaviour;
        QList<TimerState> before;
        QString hotkey;
        QList<TimerState> after;
    };
    using S = TimerState;
    const QList<Row> rows = {
        {"stopTimer pauses every running timer",
         {S::running, S::running},
         QStringLiteral("stopTimer"),
         {S::paused, S::paused}},
        {"pauseResume pauses and resumes nothing",
         {S::running, S::paused},
         QStringLiteral("pauseResume"),
         {S::paused, S::paused}},
        {"startTimer starts the first idle or paused timer",
         {S::finished, S::paused, S::idle},
         QStringLiteral("startTimer"),
         {S::finished, S::running, S::idle}},
        {"startTimer with only running and finished timers does nothing",
         {S::finished, S::running},
         QStringLiteral("startTimer"),
         {S::finished, S::running}},
        {"newTimer adds a running timer", {}, QStringLiteral("newTimer"), {S::running}},
        {"nextInQueue does nothing", {S::idle}, QStringLiteral("nextInQueue"), {S::idle}},
        {"a preset's hotkey adds that preset's running timer",
         {S::idle},
         PresetShortcutNaming::shortcutName(presets[1].id).rawValue(),
         {S::idle, S::running}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.behaviour);
        while (!delegate->timerManager().timers().isEmpty()) {
            delegate->timerManager().removeTimer(delegate->timerManager().timers().first().id);
        }
        for (const S state : row.before) {
            const auto added = delegate->timerManager().addTimer(QStringLiteral("t"), 300, state != S::idle);
            ASSERT_TRUE(added);
            if (state == S::paused) {
                delegate->timerManager().pause(added->id);
            } else if (state == S::finished) {
                ASSERT_TRUE(tickUntil(
                    [&] { return delegate->timerManager().timer(added->id)->state == S::finished; }, 400));
            }
        }
        keyboard.tap(shortcutOf.value(row.hotkey));
        QList<S> states;
        for (const TimerItem& t : delegate->timerManager().timers()) {
            states << t.state;
        }
        EXPECT_EQ(states, row.after);
    }
    // newTimer's timer: no title, the default length.
    keyboard.tap(shortcutOf.value(QStringLiteral("newTimer")));
    const TimerItem added = delegate->timerManager().timers().last();
    EXPECT_EQ(added.title, QString());
    EXPECT_EQ(added.totalDuration, delegate->timerManager().defaultDuration());
    EXPECT_EQ(added.state, TimerState::running);

    // The window rows: the quick-add panel opens and closes, the floating window shows and hides.
    keyboard.tap(shortcutOf.value(QStringLiteral("quickLaunch")));
    ASSERT_NE(delegate->quickAddController().panel(), nullptr);
    EXPECT_TRUE(delegate->quickAddController().panel()->isVisible());
    keyboard.tap(shortcutOf.value(QStringLiteral("quickLaunch")));
    EXPECT_EQ(delegate->quickAddController().panel(), nullptr);
    keyboard.tap(shortcutOf.value(QStringLiteral("toggleFloating")));
    EXPECT_NE(delegate->floatingPanel(), nullptr);
    keyboard.tap(shortcutOf.value(QStringLiteral("toggleFloating")));
    EXPECT_EQ(delegate->floatingPanel(), nullptr);
}

TEST_F(AppDelegateTest, TheDefaultQuickLaunchShortcutIsHeldAndOpensTheQuickAddPanel) {
    launch();
    const Shortcut optionCommandSpace(Key::space.rawValue, GlobalHotkeys::CarbonModifier::option |
                                                               GlobalHotkeys::CarbonModifier::command);
    EXPECT_EQ(Name::quickLaunch().shortcut(), optionCommandSpace);
    EXPECT_TRUE(keyboard.isHeld(optionCommandSpace));
    keyboard.tap(optionCommandSpace);
    ASSERT_NE(delegate->quickAddController().panel(), nullptr);
    EXPECT_TRUE(delegate->quickAddController().panel()->isVisible());
}

TEST_F(AppDelegateTest, APresetHotkeyStartsThePresetAsItIsWhenReleased) {
    const Shortcut shortcut(Key::k.rawValue, GlobalHotkeys::CarbonModifier::control);
    launch();
    const TimerPreset first = delegate->timerManager().presets().first();
    GlobalHotkeys::setShortcut(shortcut, PresetShortcutNaming::shortcutName(first.id));
    keyboard.tap(shortcut);
    ASSERT_EQ(delegate->timerManager().timers().size(), 1);
    EXPECT_EQ(delegate->timerManager().timers()[0].title, first.name);
    EXPECT_EQ(delegate->timerManager().timers()[0].totalDuration, first.durationInSeconds);

    delegate->timerManager().updatePreset(first, QStringLiteral("Steep"), 4);
    settle();
    keyboard.tap(shortcut);
    ASSERT_EQ(delegate->timerManager().timers().size(), 2) << "one handler per preset, however often listed";
    EXPECT_EQ(delegate->timerManager().timers()[1].title, QStringLiteral("Steep"));
    EXPECT_EQ(delegate->timerManager().timers()[1].totalDuration, 240);

    delegate->timerManager().removePreset(*delegate->timerManager().presets().begin());
    settle();
    keyboard.tap(shortcut);
    EXPECT_EQ(delegate->timerManager().timers().size(), 2) << "a deleted preset's hotkey starts nothing";

    // A preset added after launch gets its hotkey as soon as it has a shortcut.
    const Shortcut other(Key::j.rawValue, GlobalHotkeys::CarbonModifier::control);
    delegate->timerManager().addPreset(QStringLiteral("Nap"), 20);
    const TimerPreset nap = delegate->timerManager().presets().last();
    GlobalHotkeys::setShortcut(other, PresetShortcutNaming::shortcutName(nap.id));
    keyboard.tap(other);
    ASSERT_EQ(delegate->timerManager().timers().size(), 3);
    EXPECT_EQ(delegate->timerManager().timers()[2].title, QStringLiteral("Nap"));
}

TEST_F(AppDelegateTest, QuitSavesTheWholeListAndReleasesTheHotkeys) {
    launch();
    const Shortcut newTimer = *Name::newTimer().shortcut();
    ASSERT_TRUE(keyboard.isHeld(newTimer));
    const auto running = delegate->timerManager().addTimer(QStringLiteral("tea"), 300, true);
    const auto idle = delegate->timerManager().addTimer(QStringLiteral("egg"), 300, false);
    ASSERT_TRUE(running && idle);
    persistence.activeTimerSaves.clear();

    delegate->applicationWillTerminate();
    ASSERT_EQ(persistence.activeTimerSaves.size(), 1);
    const QList<TimerItem>& saved = persistence.activeTimerSaves.last();
    ASSERT_EQ(saved.size(), 2);
    EXPECT_EQ(saved[0].state, TimerState::running);
    EXPECT_EQ(saved[1].state, TimerState::idle);
    EXPECT_TRUE(keyboard.held.empty()) << "every grab given back";
    keyboard.tap(newTimer);
    EXPECT_EQ(delegate->timerManager().timers().size(), 2);
    // A preset list changed after the end binds nothing again.
    delegate->timerManager().addPreset(QStringLiteral("late"), 3);
    settle();
    EXPECT_TRUE(keyboard.held.empty());
}

TEST_F(AppDelegateTest, OnTheWayOutNoWindowIsBuiltWhileTheEngineWorksOn) {
    settings.setShowFloatingOnStart(true);
    settings.setHasSeenOnboarding(false);
    ShowRecorder windows(journal);
    launch();
    const qsizetype built = QApplication::topLevelWidgets().size();
    // Waiting when the ending meets them: start-up's floating window and onboarding, the popover's floating
    // toggle, and a later launch's link, whose timer is still added and saved.
    InProcessNotifications::defaultCenter().post(InProcessNotifications::toggleFloating);
    delegate->handleInstanceMessage(AppDelegate::urlMessagePrefix +
                                    QByteArrayLiteral("quorvane://start?minutes=2&title=Late"));
    delegate->leaveTheScreen();
    QCoreApplication::sendPostedEvents(delegate.get(), QEvent::MetaCall);
    // And what the user could still reach meanwhile.
    delegate->replayOnboarding();
    delegate->showQuickAddPreparation(5);
    delegate->togglePopover(QPoint(10, 10));
    delegate->showPopover();
    keyboard.tap(*Name::quickLaunch().shortcut());
    EXPECT_EQ(journal.filter(QStringLiteral("window:")), QStringList{});
    EXPECT_EQ(QApplication::topLevelWidgets().size(), built);
    EXPECT_EQ(delegate->floatingPanel(), nullptr);
    EXPECT_FALSE(delegate->hasQuickAddController());
    ASSERT_EQ(delegate->timerManager().timers().size(), 1);
    EXPECT_EQ(delegate->timerManager().timers()[0].title, QStringLiteral("Late"));
    delegate->applicationWillTerminate();
    ASSERT_FALSE(persistence.activeTimerSaves.isEmpty());
    EXPECT_EQ(persistence.activeTimerSaves.last().size(), 1);
}

TEST_F(AppDelegateTest, FinishedTimersGoToThePomodoroManagerThenToTheChain) {
    settings.setPomWorkMinutes(1);
    const struct {
        const char* name;
        std::function<void(AppDelegate&)> begin;
        std::function<bool(AppDelegate&)> movedOn;
    } rows[] = {
        {"a focus phase's timer moves the session to its break",
         [](AppDelegate& d) { d.pomodoroManager().startSession(); },
         [](AppDelegate& d) { return d.pomodoroManager().currentPhase() == PomodoroPhase::shortBreak; }},
        {"a chain step's timer starts the next step",
         [](AppDelegate& d) {
             const auto error = d.chainCoordinator().start(
                 QStringLiteral("chores"), {{QStringLiteral("dishes"), 1}, {QStringLiteral("floor"), 1}});
             EXPECT_FALSE(error.has_value());
         },
         [](AppDelegate& d) { return d.chainCoordinator().currentStepIndex() == 1; }},
        {"an ordinary timer finishes without waking either",
         [](AppDelegate& d) { ASSERT_TRUE(d.timerManager().addTimer(QStringLiteral("tea"), 3, true)); },
         [this](AppDelegate& d) {
             return notification.timerCompletions.size() == 1 && !d.pomodoroManager().isActive();
         }},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        persistence.activeTimers.clear();
        notification.timerCompletions.clear();
        launch();
        EXPECT_FALSE(delegate->hasChainCoordinator());
        row.begin(*delegate);
        EXPECT_FALSE(row.movedOn(*delegate));
        EXPECT_TRUE(tickUntil([&] { return row.movedOn(*delegate); }));
        // The first finished timer makes the chain coordinator, whoever started it.
        EXPECT_TRUE(delegate->hasChainCoordinator());
        delegate.reset();
    }
}

TEST_F(AppDelegateTest, TheFloatingWindowIsBuiltOnceAndRebuiltAfterItsCloseButton) {
    launch();
    delegate->showFloatingWindow();
    FloatingPanel* first = delegate->floatingPanel();
    ASSERT_NE(first, nullptr);
    EXPECT_TRUE(first->isVisible());
    // Its card is 200 × 54, its top right corner 20 px in from the available area's.
    const auto* card = first->findChild<FloatingWindowView*>();
    ASSERT_NE(card, nullptr);
    const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_EQ(QRect(card->mapToGlobal(QPoint(0, 0)), card->size()),
              QRect(available.x() + available.width() - 220, available.y() + 20, 200, 54));
    delegate->showFloatingWindow();
    EXPECT_EQ(delegate->floatingPanel(), first) << "showing twice makes one panel";

    // Its own close button drops it; the next showing builds a new one.
    first->findChild<QAbstractButton*>(QStringLiteral("quorvane.floatingWindow.close"))->click();
    EXPECT_EQ(delegate->floatingPanel(), nullptr);
    settle();
    delegate->toggleFloatingWindow();
    ASSERT_NE(delegate->floatingPanel(), nullptr);
    // The popover's button posts the in-process notification; the delegate toggles from the event loop.
    InProcessNotifications::defaultCenter().post(InProcessNotifications::toggleFloating);
    EXPECT_NE(delegate->floatingPanel(), nullptr);
    settle();
    EXPECT_EQ(delegate->floatingPanel(), nullptr);
}

TEST_F(AppDelegateTest, TheFloatingWindowShowsTheMainTimersTime) {
    launch();
    delegate->showFloatingWindow();
    auto* view = delegate->floatingPanel()->findChild<FloatingWindowView*>();
    ASSERT_NE(view, nullptr);
    const auto shown = [view] { return view->surface().values().timeText; };
    EXPECT_EQ(shown(), delegate->timerManager().displayTime());
    ASSERT_TRUE(delegate->timerManager().addTimer(QStringLiteral("tea"), 125, true));
    EXPECT_EQ(shown(), QStringLiteral("02:05"));
    EXPECT_EQ(view->surface().values().label, QStringLiteral("tea"));
    tickUntil([&] { return shown() == QStringLiteral("02:00"); }, 10);
    EXPECT_EQ(shown(), QStringLiteral("02:00"));
}

TEST_F(AppDelegateTest, AClickOnTheFloatingCardMakesItTheActiveWindowAndTogglesTheMainTimer) {
    launch();
    ASSERT_TRUE(delegate->timerManager().addTimer(QStringLiteral("tea"), 600, true));
    delegate->showFloatingWindow();
    FloatingPanel* panel = delegate->floatingPanel();
    ASSERT_NE(panel, nullptr);
    QWidget elsewhere;
    elsewhere.show();
    elsewhere.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&elsewhere));
    QTest::mouseClick(&panel->findChild<FloatingWindowView*>()->surface(), Qt::LeftButton, {},
                      QPoint(40, 30));
    EXPECT_TRUE(QTest::qWaitForWindowActive(panel));
    EXPECT_EQ(delegate->timerManager().timers()[0].state, TimerState::paused);
}

TEST_F(AppDelegateTest, OnboardingOpensAtLaunchOnlyUntilItWasSeen) {
    const struct {
        const char* behaviour;
        bool seen;
        bool controllerAtLaunch;
    } rows[] = {
        {"a first launch opens onboarding", false, true},
        {"a later launch makes no controller", true, false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.behaviour);
        settings.setHasSeenOnboarding(row.seen);
        launch();
        EXPECT_EQ(delegate->onboardingController() != nullptr, row.controllerAtLaunch);
        settle();
        EXPECT_EQ(visibleWindow(QStringLiteral("quorvane.onboarding")) != nullptr, row.controllerAtLaunch);
        delegate.reset();
        settle();
    }
    // Replaying shows it although it was seen; Skip closes it and records it.
    settings.setHasSeenOnboarding(true);
    launch();
    delegate->replayOnboarding();
    QWidget* window = visibleWindow(QStringLiteral("quorvane.onboarding"));
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->size(), QSize(440, 560));
    settings.setHasSeenOnboarding(false);
    delegate->onboardingController()->show(false); // already open: brought to the front, nothing rebuilt
    EXPECT_EQ(visibleWindow(QStringLiteral("quorvane.onboarding")), window);
    window->findChild<QAbstractButton*>(QStringLiteral("quorvane.onboarding.language.en"))->click();
    window->findChild<QAbstractButton*>(QStringLiteral("quorvane.onboarding.skip"))->click();
    settle();
    EXPECT_TRUE(settings.hasSeenOnboarding());
    EXPECT_EQ(visibleWindow(QStringLiteral("quorvane.onboarding")), nullptr);
}

TEST_F(AppDelegateTest, TheOnboardingsLanguageSwitchesTheWholeInterfaceAtOnce) {
    settings.setAppLanguageRaw(QStringLiteral("ja"));
    launch();
    delegate->showPopover();
    delegate->replayOnboarding();
    settle();
    QWidget* onboarding = visibleWindow(QStringLiteral("quorvane.onboarding"));
    ASSERT_NE(onboarding, nullptr);
    const auto overflow = [this] {
        return delegate->popover()->findChild<QWidget*>(QStringLiteral("quorvane.timers.overflow"));
    };
    ASSERT_NE(overflow(), nullptr);
    EXPECT_EQ(overflow()->accessibleName(), QStringLiteral("タイマーのその他のオプション"));

    onboarding->findChild<QAbstractButton*>(QStringLiteral("quorvane.onboarding.language.en"))->click();
    settle();
    EXPECT_EQ(settings.appLanguageRaw(), QStringLiteral("en"));
    EXPECT_EQ(
        onboarding->findChild<QLabel*>(QStringLiteral("quorvane.onboarding.page.quickStart.title"))->text(),
        QStringLiteral("Your one-key timer"));
    EXPECT_EQ(overflow()->accessibleName(), QStringLiteral("More timer options"))
        << "the popover follows in the same moment";
    EXPECT_EQ(delegate->popover()->locale().language(), QLocale::English);

    // The first timer goes to the delegate's own engine.
    onboarding->findChild<QAbstractButton*>(QStringLiteral("quorvane.onboarding.primary"))->click();
    onboarding->findChild<QAbstractButton*>(QStringLiteral("quorvane.onboarding.primary"))->click();
    onboarding->findChild<QAbstractButton*>(QStringLiteral("quorvane.onboarding.primary"))->click();
    settle();
    ASSERT_EQ(delegate->timerManager().timers().size(), 1);
    EXPECT_EQ(delegate->timerManager().timers()[0].title, QStringLiteral("Focus"));
    EXPECT_EQ(delegate->timerManager().timers()[0].state, TimerState::running);
    EXPECT_EQ(visibleWindow(QStringLiteral("quorvane.onboarding")), nullptr);
}

TEST_F(AppDelegateTest, AQuickTimerRequestWaitsInThePanelUntilConfirmed) {
    launch();
    EXPECT_FALSE(delegate->hasQuickAddController());
    delegate->showQuickAddPreparation(25);
    QuickAddPanel* panel = delegate->quickAddController().panel();
    ASSERT_NE(panel, nullptr);
    ASSERT_TRUE(panel->pendingRequest().has_value());
    EXPECT_EQ(panel->pendingRequest()->title(), QString());
    EXPECT_EQ(panel->pendingRequest()->kind(), TimerStartRequest::Kind(TimerStartRequest::duration{1500}));
    EXPECT_TRUE(delegate->timerManager().timers().isEmpty()) << "nothing starts before confirmation";
    ASSERT_NE(panel->view().card(), nullptr);
    panel->view().card()->findChild<QAbstractButton*>(QStringLiteral("quorvane.preparation.start"))->click();
    ASSERT_EQ(delegate->timerManager().timers().size(), 1);
    EXPECT_EQ(delegate->timerManager().timers()[0].totalDuration, 1500);
    EXPECT_EQ(delegate->timerManager().timers()[0].state, TimerState::running);
}

TEST_F(AppDelegateTest, AClockJumpStartsAScheduledTimerThatFellDueMeanwhile) {
    ScheduledTimer entry;
    entry.id = QUuid::createUuid();
    entry.scheduledTime = now.addSecs(30 * 60);
    entry.durationInSeconds = 600;
    entry.taskMemo = QStringLiteral("stretch");
    persistence.scheduledTimers = {entry};
    launch();
    // The machine slept through the entry's time: the scheduler's own wake-up has not come yet.
    now = now.addSecs(45 * 60);
    EXPECT_TRUE(delegate->timerManager().timers().isEmpty());
    delegate->systemTimeChanged();
    ASSERT_EQ(delegate->timerManager().timers().size(), 1);
    EXPECT_EQ(delegate->timerManager().timers()[0].title, QStringLiteral("stretch"));
    EXPECT_TRUE(delegate->timerManager().schedule().scheduledTimers().isEmpty());
}

TEST_F(AppDelegateTest, OnWakingACountdownThatRanOutAsleepCompletesAtOnceAndIsToldOnce) {
    launch();
    const auto tea = delegate->timerManager().addTimer(QStringLiteral("tea"), 600, true);
    ASSERT_TRUE(tea.has_value());
    now = now.addSecs(700); // asleep; the one-second tick has not fired yet
    delegate->systemTimeChanged();
    EXPECT_EQ(delegate->timerManager().timer(tea->id)->state, TimerState::finished);
    delegate->systemTimeChanged(); // the wall clock's own notice of the same wake-up
    EXPECT_EQ(notification.timerCompletions.size(), 1);
}

TEST_F(AppDelegateTest, WithoutATrayThePopoverOpensAsAWindowAtLaunch) {
    if (!hasBus()) {
        GTEST_SKIP() << "about the tray: needs the test's own bus";
    }
    const struct {
        const char* behaviour;
        bool tray;
        bool windowAtLaunch;
    } rows[] = {
        {"no tray: a window at launch", false, true},
        {"a tray: nothing at launch", true, false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.behaviour);
        setTray(row.tray);
        launch();
        ASSERT_TRUE(waitForTrayAnswer());
        settle();
        EXPECT_EQ(delegate->panelItem()->isTrayAvailable(), row.tray);
        EXPECT_EQ(visibleWindow(QStringLiteral("quorvane.popover")) != nullptr, row.windowAtLaunch);
        if (row.windowAtLaunch) {
            EXPECT_EQ(delegate->popover()->presentation(), MenuBarPopoverView::Presentation::window);
            EXPECT_TRUE(delegate->hasChainCoordinator())
                << "the timers tab, shown first, follows the coordinator for its chain banner";
            // Closed by the user, it comes back when another launch asks.
            delegate->popover()->close();
            EXPECT_EQ(visibleWindow(QStringLiteral("quorvane.popover")), nullptr);
        }
        delegate->handleInstanceMessage(AppDelegate::showMessage);
        ASSERT_NE(visibleWindow(QStringLiteral("quorvane.popover")), nullptr);
        EXPECT_EQ(delegate->popover()->presentation(), row.windowAtLaunch
                                                           ? MenuBarPopoverView::Presentation::window
                                                           : MenuBarPopoverView::Presentation::popover);
        delegate.reset();
        settle();
    }
}

TEST_F(AppDelegateTest, APanelThatGoesAwayLaterOpensNoWindow) {
    if (!hasBus()) {
        GTEST_SKIP() << "about the tray: needs the test's own bus";
    }
    launch();
    ASSERT_TRUE(waitForTrayAnswer());
    ASSERT_TRUE(delegate->panelItem()->isTrayAvailable());
    setTray(false);
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return delegate->panelItem()->presence() == PanelItem::Presence::none; }, 5000));
    settle();
    EXPECT_EQ(visibleWindow(QStringLiteral("quorvane.popover")), nullptr);
}

TEST_F(AppDelegateTest, ThePanelItemsClickAndMenuReachTheDelegate) {
    if (!hasBus()) {
        GTEST_SKIP() << "about the tray: needs the test's own bus";
    }
    settings.setAppLanguageRaw(QStringLiteral("en"));
    launch();
    ASSERT_TRUE(waitForTrayAnswer());
    ASSERT_EQ(watcher->registrations().size(), 1);
    TestPanelHost host(bus->connect(QStringLiteral("host")), watcher->registrations().constFirst().service);
    const QString itemPath = QStringLiteral("/StatusNotifierItem");
    const QString itemInterface = QStringLiteral("org.kde.StatusNotifierItem");

    // A click opens the popover at the click; the next closes it.
    ASSERT_EQ(host.call(itemPath, itemInterface, QStringLiteral("Activate"), {300, 20}).type(),
              QDBusMessage::ReplyMessage);
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return visibleWindow(QStringLiteral("quorvane.popover")) != nullptr; }));
    EXPECT_EQ(delegate->popover()->presentation(), MenuBarPopoverView::Presentation::popover);
    EXPECT_EQ(delegate->popover()->size(), QSize(440, 720));
    host.call(itemPath, itemInterface, QStringLiteral("Activate"), {300, 20});
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return visibleWindow(QStringLiteral("quorvane.popover")) == nullptr; }));

    // The menu's entries act through the delegate.
    const auto click = [&](int id) {
        return host.call(QStringLiteral("/MenuBar"), QStringLiteral("com.canonical.dbusmenu"),
                         QStringLiteral("Event"),
                         {id, QStringLiteral("clicked"), QVariant::fromValue(QDBusVariant(0)), 0u});
    };
    ASSERT_EQ(click(RightClickMenu::quick25Id).type(), QDBusMessage::ReplyMessage);
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return visibleWindow(QStringLiteral("quorvane.quickAddPanel")) != nullptr; }));
    ASSERT_TRUE(delegate->quickAddController().panel()->pendingRequest().has_value());
    EXPECT_EQ(delegate->quickAddController().panel()->pendingRequest()->kind(),
              TimerStartRequest::Kind(TimerStartRequest::duration{1500}));
    EXPECT_TRUE(delegate->timerManager().timers().isEmpty()) << "nothing starts before confirmation";
    ASSERT_EQ(click(RightClickMenu::floatingId).type(), QDBusMessage::ReplyMessage);
    EXPECT_TRUE(QTest::qWaitFor([&] { return delegate->floatingPanel() != nullptr; }));
}

TEST_F(AppDelegateTest, ThePanelLabelKeepsTheDesktopsTextColour) {
    const QPalette before = QApplication::palette();
    const struct {
        const char* behaviour;
        QColor desktopText;
    } rows[] = {
        {"a dark desktop's light text", QColor(0xf0, 0xf0, 0xf0)},
        {"a light desktop's dark text", QColor(0x20, 0x20, 0x20)},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.behaviour);
        QPalette desktop = before;
        desktop.setColor(QPalette::WindowText, row.desktopText);
        QApplication::setPalette(desktop);
        launch();
        EXPECT_EQ(delegate->panelItem()->ink(), row.desktopText);
        EXPECT_NE(QApplication::palette().color(QPalette::WindowText), row.desktopText)
            << "the program itself draws with its own palette";
        delegate.reset();
    }
    QApplication::setPalette(before);
}

TEST_F(AppDelegateTest, StartUpTakesReduceMotionFromTheDesktop) {
    FakeSettingsPortal portal(bus->connect(QStringLiteral("portal")));
    ASSERT_TRUE(portal.isRegistered());
    portal.setValue(QStringLiteral("org.freedesktop.appearance"), QStringLiteral("reduced-motion"), 1u);
    ReduceMotion::setEnabled(false);
    launch();
    EXPECT_TRUE(QTest::qWaitFor([] { return ReduceMotion::enabled(); }, 5000));
    ReduceMotion::setEnabled(false);
}

TEST_F(AppDelegateTest, ALaterLaunchsURLIsHandledLikeAnyOther) {
    launch();
    LogCapture log;
    delegate->handleInstanceMessage(AppDelegate::urlMessagePrefix +
                                    QByteArrayLiteral("quorvane://start?minutes=2&title=Tea"));
    delegate->handleInstanceMessage(QByteArrayLiteral("nonsense"));
    settle();
    ASSERT_EQ(delegate->timerManager().timers().size(), 1);
    EXPECT_EQ(delegate->timerManager().timers()[0].title, QStringLiteral("Tea"));
    EXPECT_EQ(delegate->timerManager().timers()[0].totalDuration, 120);
}

TEST(AppDelegatePlatformTest, AWaylandSessionRunsThroughXWaylandUnlessThePlatformWasChosen) {
    const struct {
        const char* name;
        std::vector<std::pair<const char*, const char*>> environment;
        const char* expected;
    } rows[] = {
        {"X11 session: Qt chooses", {{"DISPLAY", ":0"}, {"XDG_SESSION_TYPE", "x11"}}, ""},
        {"Wayland session with XWayland", {{"DISPLAY", ":0"}, {"XDG_SESSION_TYPE", "wayland"}}, "xcb"},
        {"a Wayland display with XWayland", {{"DISPLAY", ":0"}, {"WAYLAND_DISPLAY", "wayland-0"}}, "xcb"},
        {"the user chose Wayland",
         {{"DISPLAY", ":0"}, {"WAYLAND_DISPLAY", "wayland-0"}, {"QT_QPA_PLATFORM", "wayland"}},
         ""},
        {"no XWayland: Qt chooses", {{"WAYLAND_DISPLAY", "wayland-0"}, {"XDG_SESSION_TYPE", "wayland"}}, ""},
    };
    for (const auto& row : rows) {
        QProcessEnvironment environment;
        for (const auto& [name, value] : row.environment) {
            environment.insert(QString::fromLatin1(name), QString::fromLatin1(value));
        }
        EXPECT_EQ(AppDelegate::displayPlatformFor(environment), QString::fromLatin1(row.expected))
            << row.name;
    }
}
