// The hero card: what it shows for each kind of timer, which controls it offers, what a screen reader
// reads of it, that a new value redraws the same card in place, and that it repaints only the parts that
// change.
#include "ui/home/RunningHeroView.h"

#include "HomeFixture.h"
#include "core/QuickLaunchParser.h"
#include "core/TimerStartRequest.h"
#include "platform/TranslationCatalog.h"
#include "support/AccessibleReading.h"
#include "support/ManualAnimationClock.h"
#include "support/PaintRecorder.h"
#include "ui/kit/MinuteDialView.h"

#include <QAbstractButton>
#include <QPalette>
#include <QSignalSpy>

#include <functional>

namespace {

using S = TimerState;
using Control = RunningHeroView::Control;

TimerItem item(S state, qint64 total, qint64 remaining, const char* title = "") {
    TimerItem t = HomeFixture::timer(state, title, total);
    t.remaining = remaining;
    return t;
}

const QDateTime kNow(QDate(2024, 5, 14), QTime(14, 0, 0), Qt::LocalTime);

} // namespace

TEST(RunningHeroContentTest, ShowsEachStateAsTheCardDoes) {
    const struct {
        const char* name;
        TimerItem timer;
        bool isLive;
        const char* time;
        const char* caption;
        std::optional<QDateTime> endsAt;
        const char* icon;
        const char* primaryLabel;
        int ticks;
        double opacity;
    } rows[] = {
        {"the empty hero's placeholder", item(S::idle, 1500, 1500), false, "25:00", "READY", std::nullopt,
         "play.fill", "Start", 0, 1.0},
        {"running", item(S::running, 1500, 1200), true, "20:00", "FOCUS", kNow.addSecs(1200), "pause.fill",
         "Pause", 12, 1.0},
        {"running with nothing left", item(S::running, 60, 0), true, "00:00", "FOCUS", std::nullopt,
         "pause.fill", "Pause", 60, 1.0},
        {"paused", item(S::paused, 3600, 1800), true, "30:00", "PAUSED", std::nullopt, "play.fill", "Resume",
         30, 0.5},
        {"finished", item(S::finished, 300, 0), false, "00:00", "DONE", std::nullopt, "play.fill", "Start",
         60, 1.0},
        {"hours", item(S::idle, 7200, 5400), false, "1:30:00", "READY", std::nullopt, "play.fill", "Start",
         15, 1.0},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        const auto c = RunningHeroContent::make(r.timer, r.isLive, true, kNow);
        EXPECT_EQ(c.displayTime, QString::fromUtf8(r.time));
        EXPECT_EQ(c.stateLabel, QString::fromUtf8(r.caption));
        EXPECT_EQ(c.endsAt, r.endsAt);
        EXPECT_EQ(c.primaryIcon, QString::fromUtf8(r.icon));
        EXPECT_EQ(c.primaryAccessibleLabel(), QString::fromUtf8(r.primaryLabel));
        EXPECT_EQ(c.tickCount, r.ticks);
        EXPECT_EQ(c.litOpacity, r.opacity);
        EXPECT_GE(c.progress, 0.0);
        EXPECT_LE(c.progress, 1.0);
    }
}

TEST(RunningHeroContentTest, AnnouncesTheTitleOrTheTimeAndWordsTheEndInTheGivenLocale) {
    const auto untitled = RunningHeroContent::make(item(S::running, 1500, 1500), true, true, kNow);
    EXPECT_EQ(untitled.accessibleLabel(), QStringLiteral("25:00"));
    EXPECT_EQ(untitled.accessibleValue(), QStringLiteral("25:00, FOCUS"));
    const auto titled = RunningHeroContent::make(item(S::running, 1500, 300, "Tea"), true, true, kNow);
    EXPECT_EQ(titled.accessibleLabel(), QStringLiteral("Tea"));
    EXPECT_EQ(titled.endsAtText(QLocale(QStringLiteral("ja"))), QStringLiteral("Ends at 14:05"));
    const QString english = titled.endsAtText(QLocale(QStringLiteral("en")));
    EXPECT_TRUE(english.startsWith(QStringLiteral("Ends at 2:05"))) << english.toStdString();
    EXPECT_TRUE(english.endsWith(QStringLiteral("PM"))) << english.toStdString();
}

TEST(RunningHeroViewTest, OffersStopWhileLiveAndSkipWhenAskedKeepingThePrimaryInTheMiddle) {
    RunningHeroView card([] { return kNow; });
    card.show();
    const QPoint middle = card.control(Control::primary)->geometry().center();
    const struct {
        const char* name;
        TimerItem timer;
        bool isLive;
        bool showsSkip;
        bool stop;
        bool skip;
    } rows[] = {
        {"empty hero", item(S::idle, 1500, 1500), false, false, false, false},
        {"idle hero", item(S::idle, 1500, 1500), false, true, false, true},
        {"running hero", item(S::running, 1500, 1400), true, true, true, true},
        {"paused hero", item(S::paused, 1500, 1400), true, true, true, true},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        card.setTimer(r.timer, r.isLive, r.showsSkip);
        EXPECT_EQ(card.control(Control::stop)->isVisible(), r.stop);
        EXPECT_EQ(card.control(Control::skip)->isVisible(), r.skip);
        EXPECT_EQ(card.control(Control::primary)->geometry().center(), middle);
        EXPECT_EQ(QRectF(card.control(Control::primary)->geometry()).center().x() - card.cardRect().left(),
                  114)
            << "the centre of a 188 px row starting 20 px in";
    }
}

TEST(RunningHeroViewTest, EachControlAsksThroughItsSignalAndTheKeyboardWorksToo) {
    RunningHeroView card([] { return kNow; });
    card.setTimer(item(S::running, 1500, 1400), true, true);
    card.show();
    card.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&card));
    QSignalSpy toggles(&card, &RunningHeroView::toggleRequested);
    QSignalSpy cancels(&card, &RunningHeroView::cancelRequested);
    QSignalSpy skips(&card, &RunningHeroView::skipRequested);
    QTest::mouseClick(card.control(Control::stop), Qt::LeftButton);
    QTest::mouseClick(card.control(Control::skip), Qt::LeftButton);
    QAbstractButton* primary = card.control(Control::primary);
    QTest::mouseClick(primary, Qt::LeftButton, {}, QPoint(2, 2));
    EXPECT_EQ(toggles.count(), 0) << "outside the circle is no click";
    EXPECT_FALSE(primary->hasFocus()) << "a click leaves the keyboard where it was";
    primary->setFocus();
    EXPECT_EQ(card.focusedControl(), Control::primary);
    QTest::keyClick(primary, Qt::Key_Space);
    EXPECT_EQ(cancels.count(), 1);
    EXPECT_EQ(skips.count(), 1);
    EXPECT_EQ(toggles.count(), 1);
}

TEST(RunningHeroViewTest, ANewValueRedrawsTheSameCardWithItsEndLine) {
    QDateTime now = kNow;
    RunningHeroView card([&now] { return now; });
    card.setLocale(QLocale(QStringLiteral("ja")));
    card.setTimer(item(S::running, 1500, 1500), true, true);
    card.show();
    auto* endLine = card.findChild<QWidget*>(QStringLiteral("quorvane.runningHero.endsAt"));
    auto* block = card.findChild<QWidget*>(QStringLiteral("quorvane.runningHero"));
    ASSERT_NE(endLine, nullptr);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(card.endsAtText(), QStringLiteral("Ends at 14:25"));
    EXPECT_EQ(AccessibleReading::value(block), QStringLiteral("25:00, FOCUS"));

    now = now.addSecs(61);
    card.setTimer(item(S::running, 1500, 1439), true, true);
    EXPECT_EQ(card.content().displayTime, QStringLiteral("23:59"));
    EXPECT_EQ(card.dial()->activeTickCount(), 2);
    EXPECT_EQ(card.endsAtText(), QStringLiteral("Ends at 14:25"));
    card.setTimer(item(S::paused, 1500, 1439), true, true);
    EXPECT_TRUE(card.endsAtText().isEmpty());
    EXPECT_EQ(card.dial()->activeOpacity(), 0.5);
    EXPECT_EQ(card.control(Control::primary)->accessibleName(), QStringLiteral("Resume"));
}

namespace {

class RunningHeroEndLineTest : public HomeFixture {};

} // namespace

// Typed, started on the engine, then ticked with ticks and redraws falling anywhere in a second: the line
// names the alarm's own minute from the start, and a countdown's line never steps to a neighbouring minute.
TEST_F(RunningHeroEndLineTest, NamesTheAlarmsOwnTimeAndStaysOnOneMinuteWhileItRuns) {
    const auto at = [](int h, int m, int s, int ms) {
        return QDateTime(QDate(2024, 5, 14), QTime(h, m, s, ms), Qt::LocalTime);
    };
    const struct {
        const char* behaviour;
        QDateTime typedAt;
        const char* typed;
        const char* endLine;
    } rows[] = {
        {"an alarm at a clock time", at(12, 29, 15, 300), "12:30", "Ends at 12:30"},
        {"an alarm at an hour with pm", at(20, 58, 59, 999), "9pm", "Ends at 21:00"},
        {"an alarm just after midnight", at(0, 0, 10, 500), "0:01", "Ends at 0:01"},
        {"a countdown ending just after a minute turns", at(9, 0, 0, 4), "5m", "Ends at 9:05"},
        {"a countdown ending just before a minute turns", at(9, 0, 59, 700), "4m", "Ends at 9:04"},
    };
    // How late (or early) each tick fires, as a real one-second timer does.
    const qint64 lateness[] = {7, -9, 0, 12, -3};
    makeEngine();
    for (const auto& row : rows) {
        SCOPED_TRACE(row.behaviour);
        now = row.typedAt;
        const auto parsed = QuickLaunchParser::parse(QString::fromUtf8(row.typed), now);
        ASSERT_TRUE(std::holds_alternative<ParsedQuickLaunch>(parsed));
        const auto started = TimerStartRequest(std::get<ParsedQuickLaunch>(parsed), QString()).start(*timers);
        ASSERT_TRUE(started.has_value());
        RunningHeroView card(clock);
        card.setLocale(QLocale(QStringLiteral("ja"))); // "H:mm", with no AM or PM to read past
        QStringList lines; // each line shown, once
        const auto redraw = [&] {
            card.setTimer(timers->timers().at(timers->indexOf(started->id)), true, true);
            if (!lines.contains(card.endsAtText())) {
                lines << card.endsAtText();
            }
        };
        redraw(); // as it starts
        for (int second = 1; second <= 30; ++second) {
            now = row.typedAt.addMSecs(second * 1000 + lateness[second % 5]);
            timers->tick();
            redraw();
            now = now.addMSecs(500); // a redraw between ticks: a hover, another timer's change
            redraw();
        }
        EXPECT_EQ(lines, QStringList{QString::fromUtf8(row.endLine)});
        timers->removeTimer(started->id);
    }
}

TEST(RunningHeroViewTest, AReaderHearsTheDialAsOneElementAndTheEndLineBesideItInEitherLanguage) {
    const struct {
        const char* name;
        const char* language;
        TimerItem timer;
        bool isLive;
        const char* label;
        const char* value;
        const char* endLine; // the end line's start; none: not read
    } rows[] = {
        {"a titled running timer", "en", item(S::running, 1500, 1200, "Tea"), true, "Tea", "20:00, FOCUS",
         "Ends at 2:20"},
        {"an untitled running timer", "ja", item(S::running, 1500, 1500), true, "25:00", "25:00、FOCUS",
         "終了予定 14:25"},
        {"a paused timer", "ja", item(S::paused, 1500, 600, "Tea"), true, "Tea", "10:00、PAUSED", nullptr},
        {"the empty hero", "en", item(S::idle, 1500, 1500), false, "25:00", "25:00, READY", nullptr},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        ASSERT_TRUE(TranslationCatalog::install(QLatin1String(r.language)));
        QWidget window;
        auto* card = new RunningHeroView([] { return kNow; }, &window);
        card->setLocale(QLocale(QLatin1String(r.language)));
        // Each row follows a running timer, so a line that was there has to go.
        card->setTimer(item(S::running, 1500, 900), true, true);
        window.show();
        card->setTimer(r.timer, r.isLive, true);

        auto* block = card->findChild<QWidget*>(QStringLiteral("quorvane.runningHero"));
        auto* endLine = card->findChild<QWidget*>(QStringLiteral("quorvane.runningHero.endsAt"));
        ASSERT_NE(block, nullptr);
        ASSERT_NE(endLine, nullptr);
        EXPECT_EQ(AccessibleReading::role(block), QAccessible::StaticText);
        EXPECT_EQ(AccessibleReading::name(block), QString::fromUtf8(r.label));
        EXPECT_EQ(AccessibleReading::value(block), QString::fromUtf8(r.value));
        EXPECT_TRUE(AccessibleReading::description(block).isEmpty()) << "the value is not a description";
        EXPECT_EQ(AccessibleReading::childCount(block), 0) << "the time and caption are not read apart";
        EXPECT_TRUE(AccessibleReading::isRead(block));
        EXPECT_FALSE(AccessibleReading::isRead(card->dial())) << "the dial is a picture";

        EXPECT_EQ(AccessibleReading::isRead(endLine), r.endLine != nullptr);
        if (r.endLine) {
            EXPECT_EQ(AccessibleReading::role(endLine), QAccessible::StaticText);
            const QString heard = AccessibleReading::name(endLine);
            EXPECT_EQ(heard, card->endsAtText()) << "read as it is drawn";
            EXPECT_TRUE(heard.startsWith(QString::fromUtf8(r.endLine))) << heard.toStdString();
        }
    }
    TranslationCatalog::install(QStringLiteral("en"));
}

TEST(RunningHeroViewTest, RepaintsOnlyWhatChanges) {
    ManualAnimationClock clock;
    QDateTime now = kNow;
    QWidget window;
    window.setAutoFillBackground(true);
    QPalette palette = window.palette();
    palette.setColor(QPalette::Window, Qt::white);
    window.setPalette(palette);
    auto* card = new RunningHeroView([&now] { return now; }, &window);
    window.resize(card->size());
    // A one-minute timer: each second lights a tick and moves the dot some ten pixels.
    qint64 remaining = 50;
    card->setTimer(item(S::running, 60, remaining), true, true);
    window.show();
    PaintRecorder::flush();
    PaintRecorder recorder(*card);
    const auto* block = card->findChild<QWidget*>(QStringLiteral("quorvane.runningHero"));
    ASSERT_NE(block, nullptr);
    // Well inside the remaining time's line, in the middle of the dial.
    const QRect timeLine = QRect(60, 78, 108, 24).translated(block->pos());
    const double cardArea = double(card->width()) * card->height();
    const auto nextSecond = [&] {
        now = now.addSecs(1);
        card->setTimer(item(S::running, 60, --remaining), true, true);
    };
    const auto buttonPaints = [&] {
        return recorder.paintsOf(card->control(Control::stop)) +
               recorder.paintsOf(card->control(Control::skip)) +
               recorder.paintsOf(card->control(Control::primary));
    };

    const struct {
        const char* name;
        std::function<void()> change;
        bool timeRedrawn;
        double largestShare; // of the card's area
    } rows[] = {
        {"a new second redraws the time, the arc and where the dot and a tick start", nextSecond, true, 0.25},
        {"a frame of the dot's move and the tick's fade leaves the time alone", [&] { clock.advanceBy(16); },
         false, 1.0 / 50},
        {"a later frame too", [&] { clock.advanceBy(100); }, false, 1.0 / 50},
        {"the same second given again redraws nothing",
         [&] { card->setTimer(item(S::running, 60, remaining), true, true); }, false, 0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        recorder.clear();
        row.change();
        PaintRecorder::flush();
        EXPECT_EQ(recorder.region().intersects(timeLine), row.timeRedrawn);
        EXPECT_LE(double(PaintRecorder::area(recorder.region())), cardArea * row.largestShare);
        EXPECT_EQ(buttonPaints(), 0) << "the controls below the dial stay as they are";
    }

    // After a few seconds of it, what is on screen is what a full repaint draws.
    for (int second = 0; second < 3; ++second) {
        nextSecond();
        for (int frame = 0; frame < 20; ++frame) {
            clock.advanceBy(16);
            PaintRecorder::flush();
        }
    }
    const QImage shown = PaintRecorder::onScreen(window);
    window.repaint();
    EXPECT_LE(PaintRecorder::largestDifference(shown, PaintRecorder::onScreen(window)), 2);
}
