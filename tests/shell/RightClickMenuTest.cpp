// The right-click menu: its entries for each state of the main timer and each in-app language, what each
// entry does, and that it announces a change only when the menu would look different.
#include "shell/RightClickMenu.h"

#include "core/TimerManagerFixture.h"
#include "services/QStringPrinting.h"

#include <QAction>
#include <QMenu>
#include <QSignalSpy>

#include <functional>

namespace {

// The menu as text: "-" for a separator, a submenu's entries indented under it.
QStringList outline(const QList<PanelMenuEntry>& entries, const QString& indent = {}) {
    QStringList lines;
    for (const PanelMenuEntry& e : entries) {
        lines << indent + (e.kind == PanelMenuEntry::Kind::separator ? QStringLiteral("-") : e.title);
        lines << outline(e.children, indent + QStringLiteral("  "));
    }
    return lines;
}

QStringList outline(const QMenu& menu, const QString& indent = {}) {
    QStringList lines;
    for (const QAction* action : menu.actions()) {
        lines << indent + (action->isSeparator() ? QStringLiteral("-") : action->text());
        if (const QMenu* sub = action->menu()) {
            lines << outline(*sub, indent + QStringLiteral("  "));
        }
    }
    return lines;
}

QStringList lines(std::initializer_list<const char*> texts) {
    QStringList list;
    for (const char* t : texts) {
        list << QString::fromUtf8(t);
    }
    return list;
}

class RightClickMenuTest : public TimerManagerFixture {
protected:
    QList<int> prepared;
    int floatingToggles = 0;
    int quits = 0;
    PanelCallbacks callbacks() {
        return {{},
                [this](int minutes) { prepared << minutes; },
                [this] { ++floatingToggles; },
                [this] { ++quits; }};
    }
};

TEST_F(RightClickMenuTest, EntriesFollowTheMainTimerAndTheInAppLanguage) {
    const QStringList englishTail =
        lines({"Quick Timer", "  Review 5-minute timer", "  Review 25-minute timer",
               "  Review 50-minute timer", "-", "Floating Window", "-", "Quit TarvolinTimer"});
    const QStringList japaneseTail =
        lines({"クイックタイマー", "  5分タイマーを確認", "  25分タイマーを確認", "  50分タイマーを確認", "-",
               "フローティングウィンドウ", "-", "TarvolinTimerを終了"});
    const struct {
        const char* name;
        std::function<void()> setUp;
        const char* language; // nullptr: not stored
        QStringList expected;
    } rows[] = {
        {"no timer: quick timers, floating window and quit", [] {}, "en", englishTail},
        {"an idle timer is no main timer", [&] { add("idle", 60, false); }, "en", englishTail},
        {"a running main timer offers pause and stop", [&] { add("tea", 245); }, "en",
         lines({"Pause", "Stop", "-"}) + englishTail},
        {"only a paused timer: resume", [&] { manager->pause(add("tea", 245).id); }, "en",
         lines({"Resume", "Stop", "-"}) + englishTail},
        {"running beats paused",
         [&] {
             manager->pause(add("first", 60).id);
             add("second", 60);
         },
         "en", lines({"Pause", "Stop", "-"}) + englishTail},
        {"Japanese", [&] { add("tea", 245); }, "ja", lines({"一時停止", "停止", "-"}) + japaneseTail},
        {"Japanese, paused", [&] { manager->pause(add("tea", 245).id); }, "ja",
         lines({"再開", "停止", "-"}) + japaneseTail},
        {"no language stored reads as Japanese", [] {}, nullptr, japaneseTail},
        {"an unknown language reads as Japanese", [] {}, "fr", japaneseTail},
    };
    for (const auto& row : rows) {
        make();
        preferences.remove(QStringLiteral("bl.appLanguage"));
        if (row.language) {
            settings.setAppLanguageRaw(QString::fromUtf8(row.language));
        }
        row.setUp();
        RightClickMenu menu(*manager, settings, callbacks());
        EXPECT_EQ(outline(menu.build()), row.expected) << row.name;
        // The menu a right click shows holds the same entries.
        QMenu shown;
        menu.fill(shown);
        EXPECT_EQ(outline(shown), row.expected) << row.name;
        // A second fill replaces the first rather than adding to it.
        menu.fill(shown);
        EXPECT_EQ(outline(shown), row.expected) << row.name << " (filled twice)";
    }
}

TEST_F(RightClickMenuTest, EachEntryDoesWhatItNames) {
    using Id = RightClickMenu::Id;
    QUuid running, paused;
    const struct {
        const char* name;
        int id;
        bool accepted;
        std::function<void()> check;
    } rows[] = {
        {"stop removes the running timer, not the paused one", Id::stopId, true,
         [&] {
             EXPECT_FALSE(manager->timer(running).has_value());
             EXPECT_TRUE(manager->timer(paused).has_value());
         }},
        {"pause pauses the main timer", Id::pauseResumeId, true,
         [&] { EXPECT_EQ(current(running).state, TimerState::paused); }},
        {"a quick item prepares its minutes and starts nothing", Id::quick25Id, true,
         [&] {
             EXPECT_EQ(prepared, QList<int>{25});
             EXPECT_EQ(manager->timers().size(), 2);
             EXPECT_EQ(current(running).state, TimerState::running);
         }},
        {"the floating window item toggles it", Id::floatingId, true, [&] { EXPECT_EQ(floatingToggles, 1); }},
        {"quit quits", Id::quitId, true, [&] { EXPECT_EQ(quits, 1); }},
        {"the quick submenu itself does nothing", Id::quickTimerId, false,
         [&] { EXPECT_TRUE(prepared.isEmpty()); }},
        {"a separator does nothing", Id::quickSeparatorId, false,
         [&] { EXPECT_EQ(manager->timers().size(), 2); }},
    };
    for (const auto& row : rows) {
        make();
        prepared.clear();
        floatingToggles = quits = 0;
        paused = add("paused", 300).id;
        manager->pause(paused);
        running = add("running", 300).id;
        RightClickMenu menu(*manager, settings, callbacks());
        EXPECT_EQ(menu.trigger(row.id), row.accepted) << row.name;
        row.check();
    }
}

TEST_F(RightClickMenuTest, EntriesOfAGoneTimerDoNothing) {
    using Id = RightClickMenu::Id;
    const struct {
        const char* name;
        int id;
    } rows[] = {{"resume after the timer was removed", Id::pauseResumeId},
                {"stop after the timer was removed", Id::stopId}};
    for (const auto& row : rows) {
        make();
        RightClickMenu menu(*manager, settings, callbacks());
        QMenu shown;
        manager->pause(add("tea", 60).id);
        menu.fill(shown); // shown while the timer existed
        const QList<QAction*> actions = shown.actions();
        manager->removeTimer(manager->timers().constFirst().id);
        // Chosen by id after the timer is gone: no such entry any more.
        EXPECT_FALSE(menu.trigger(row.id)) << row.name;
        // Chosen in the menu that was already open: the entry does nothing rather than start a timer.
        actions.at(row.id == Id::stopId ? 1 : 0)->trigger();
        EXPECT_TRUE(manager->timers().isEmpty()) << row.name;
    }
}

TEST_F(RightClickMenuTest, AnnouncesAChangeOnlyWhenTheMenuWouldDiffer) {
    make();
    settings.setAppLanguageRaw(QStringLiteral("ja"));
    RightClickMenu menu(*manager, settings, callbacks());
    QSignalSpy changed(&menu, &RightClickMenu::changed);
    QUuid tea;
    const struct {
        const char* name;
        std::function<void()> step;
        int count;
    } steps[] = {
        {"a main timer appears", [&] { tea = add("tea", 245).id; }, 1},
        {"its seconds count down", [&] { ticks(3); }, 0},
        {"a second timer behind it", [&] { add("other", 60, false); }, 0},
        {"the main timer is paused", [&] { manager->pause(tea); }, 1},
        {"a setting the menu does not read", [&] { settings.setSoundEnabled(false); }, 0},
        {"English", [&] { settings.setAppLanguageRaw(QStringLiteral("en")); }, 1},
        {"another unknown language after English reads as Japanese",
         [&] { settings.setAppLanguageRaw(QStringLiteral("de")); }, 1},
        {"yet another unknown language is still Japanese",
         [&] { settings.setAppLanguageRaw(QStringLiteral("fr")); }, 0},
        {"the main timer goes", [&] { manager->removeTimer(tea); }, 1},
    };
    for (const auto& step : steps) {
        changed.clear();
        step.step();
        EXPECT_EQ(changed.count(), step.count) << step.name;
    }
}

} // namespace
