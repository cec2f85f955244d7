#pragma once
// The popover root with the timers tab installed (and the quick-entry sections), on a real engine whose
// timers a test lays out by state.

#include "ui/popover/PopoverFixture.h"

#include "platform/InProcessNotifications.h"
#include "services/QStringPrinting.h"
#include "ui/home/TimersTab.h"
#include "ui/home/TimersTabModel.h"
#include "ui/quickentry/QuickAddBar.h"
#include "ui/quickentry/QuickEntrySections.h"
#include "ui/quickentry/QuickLaunchPane.h"

#include <QTest>

class HomeFixture : public PopoverFixture {
public:
    // The program's one centre; the receiver ends this test's subscription with the test.
    InProcessNotifications& board = InProcessNotifications::defaultCenter();
    QObject boardReceiver;
    QStringList posted;

    HomeFixture() {
        QObject::connect(&board, &InProcessNotifications::posted, &boardReceiver,
                         [this](const QString& name) { posted << name; });
    }

    // Timers in list order with the given states, each `seconds` long with that much left.
    static TimerItem timer(TimerState state, const char* title = "", qint64 seconds = 1500) {
        TimerItem item = TimerItem::make(QUuid::createUuid(), QString::fromUtf8(title), seconds, state, false,
                                         std::nullopt, std::nullopt,
                                         QDateTime(QDate(2024, 5, 14), QTime(9, 0, 0), Qt::LocalTime));
        return item;
    }

    void makeTab(const QList<TimerItem>& list = {}) {
        makeEngine(list);
        makeRoot();
        TimersTabSections sections;
        sections.quickAddBar = [this](TarvolinTimerMainView& r, QWidget* parent) -> QWidget* {
            return QuickEntrySections::makeQuickAddBarWithClock(r, parent, clock);
        };
        sections.quickLaunchPane = &QuickEntrySections::makeQuickLaunchPane;
        sections.notifications = &board;
        sections.clock = clock;
        installTimersTab(*root, sections);
    }
    void showTab() {
        root->show();
        root->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(root.get()));
    }

    TimersTab* tab() const { return qobject_cast<TimersTab*>(root->currentTabContent()); }
    QuickAddBar* bar() const { return find<QuickAddBar>("quorvane.quickAdd"); }
    QuickLaunchPane* pane() const { return find<QuickLaunchPane>("quorvane.quickLaunch"); }
    static QStringList strings(std::initializer_list<const char*> texts) {
        QStringList list;
        for (const char* text : texts) {
            list << QString::fromUtf8(text);
        }
        return list;
    }
    TimerItem at(qsizetype i) const { return timers->timers().at(i); }
    void tick(int count = 1) {
        for (int i = 0; i < count; ++i) {
            now = now.addSecs(1);
            timers->tick();
        }
    }
};
