// The floating card as a person meets it: what it draws in each state, the progress bar's fill, a tap that
// toggles the timer, a drag that moves the window and taps nothing, and its close button. Pictures of the
// card in each state go to floating-gallery/ in the build tree.
#include "FloatingFixture.h"

#include "support/AccessibleReading.h"
#include "support/ManualAnimationClock.h"
#include "support/PaintRecorder.h"
#include "platform/TranslationCatalog.h"
#include "support/PixelProbe.h"
#include "theme/QvColor.h"
#include "theme/ThemeSettingsKeys.h"
#include "theme/ThemeStore.h"
#include "core/SettingsKeys.h"
#include "ui/kit/FloatingTimerSurface.h"
#include "ui/floating/FloatingWindowModel.h"
#include "ui/floating/FloatingWindowView.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QMouseEvent>
#include <QPalette>
#include <QSignalSpy>
#include <QTest>

#include <functional>
#include <iostream>

namespace {

using FloatingWindowViewTest = FloatingFixture;

// Sends one mouse event of the left button at a point of the screen, as the pointer stands there; the
// widget may have moved meanwhile.
void sendMouse(QWidget& widget, QEvent::Type type, const QPoint& global, Qt::MouseButtons buttons) {
    QMouseEvent event(type, QPointF(widget.mapFromGlobal(global)), QPointF(global), Qt::LeftButton, buttons,
                      Qt::NoModifier);
    QApplication::sendEvent(&widget, &event);
}

} // namespace

TEST_F(FloatingWindowViewTest, TheCardDrawsEachStateAndSavesItsPicture) {
    const QColor accent = ThemeStore::resolveAccentColor(preferences);
    const QColor success = QvColor::qvSuccess().resolve(ColorScheme::light);
    const QColor ink = QvColor::qvInkPrimary().resolve(ColorScheme::light);
    const struct {
        const char* name;
        std::function<void(FloatingWindowViewTest&)> arrange;
        QColor timeInk;
        bool strip;  // the accent strip along the left edge
        double fill; // of the bar's track
    } rows[] = {
        {"idle", [](FloatingWindowViewTest&) {}, ink, false, 0},
        {"running",
         [](FloatingWindowViewTest& t) {
             t.makeEngine({t.timer("Write the report", 1500, 1200, TimerState::paused)});
             t.timers->toggle(t.timers->timers()[0].id);
         },
         accent, true, 0.2},
        // The engine shows a finished timer only as a phase timer that ended; its values are given directly.
        {"finished", [](FloatingWindowViewTest&) {}, success, false, 1.0},
        {"pomodoro", [](FloatingWindowViewTest& t) { t.pomodoro->startSession(); }, accent, true, 0},
        {"overrun",
         [](FloatingWindowViewTest& t) { t.makeEngine({t.timer("over", 100, 150, TimerState::paused)}); },
         ink, false, 0},
    };
    QDir().mkpath(QStringLiteral("floating-gallery"));
    QColor idleTrack;
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        makeEngine();
        row.arrange(*this);
        FloatingWindowView view(*timers, *pomodoro, preferences, {});
        view.resize(200, 54);
        FloatingTimerSurface& surface = view.surface();
        if (QLatin1String(row.name) == QLatin1String("finished")) {
            FloatingTimerSurface::Values values = surface.values();
            values.timeText = QStringLiteral("00:00");
            values.isFinished = true;
            values.progress = 1.0;
            surface.setValues(values);
        }
        view.show();
        const QImage picture = view.grab().toImage();
        EXPECT_TRUE(picture.save(QStringLiteral("floating-gallery/%1.png").arg(QLatin1String(row.name))));

        // The time's ink, found in the middle of the card where the digits are.
        const QColor background = picture.pixelColor(100, 4);
        const QColor timeInk = PixelProbe::inkIn(picture, QRect(60, 8, 80, 24), background);
        EXPECT_LE(PixelProbe::distance(timeInk, row.timeInk), 40)
            << timeInk.name().toStdString() << " for " << row.timeInk.name().toStdString();
        // The strip: the accent itself in the leftmost column.
        EXPECT_EQ(PixelProbe::distance(picture.pixelColor(1, 27), accent) <= 12, row.strip);
        // The bar's fill ends where the progress says.
        const QRectF track = surface.barTrackRect();
        const int barY = int(track.top() + 0.75);
        if (!idleTrack.isValid()) {
            idleTrack = picture.pixelColor(int(track.right()) - 2, barY); // the first row fills nothing
        }
        // The empty track's colour: at its end, unless the fill reaches there.
        const QColor trackColour =
            row.fill < 0.95 ? picture.pixelColor(int(track.right()) - 2, barY) : idleTrack;
        const double filledTo = track.left() + track.width() * row.fill;
        if (row.fill > 0.05) {
            EXPECT_GT(PixelProbe::distance(picture.pixelColor(int(filledTo) - 3, barY), trackColour), 30);
        }
        if (row.fill < 0.95) {
            EXPECT_LE(PixelProbe::distance(picture.pixelColor(int(filledTo) + 3, barY), trackColour), 4);
        }
        view.hide();
    }
}

TEST_F(FloatingWindowViewTest, ATapTogglesTheTimerADragMovesTheWindowAndClosingIsItsOwnButton) {
    makeEngine({timer("Tea", 600, 300, TimerState::paused)});
    int closes = 0;
    QWidget window;
    window.resize(200, 54);
    auto* view = new FloatingWindowView(
        *timers, *pomodoro, preferences, [&] { ++closes; }, {}, &window);
    view->resize(200, 54);
    window.move(300, 200);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    FloatingTimerSurface& surface = view->surface();
    QSignalSpy taps(&surface, &FloatingTimerSurface::tapped);

    // A tap anywhere on the card (the padding included) runs the paused timer, a second pauses it. The
    // ground eases into the running colour over a quarter of a second.
    ManualAnimationClock animations;
    const QColor idleGround = surface.backgroundColor();
    QTest::mouseClick(&surface, Qt::LeftButton, {}, QPoint(3, 50));
    EXPECT_EQ(timers->timers()[0].state, TimerState::running);
    EXPECT_EQ(surface.values().isRunning, true) << "the card follows at once";
    animations.advanceBy(100);
    EXPECT_NE(surface.backgroundColor(), idleGround);
    EXPECT_NE(surface.backgroundColor().alphaF(), 0.1f) << "half way";
    animations.advanceBy(200);
    QColor runningGround = ThemeStore::resolveAccentColor(preferences);
    runningGround.setAlphaF(0.1f);
    EXPECT_EQ(surface.backgroundColor(), runningGround);
    QTest::mouseClick(&surface, Qt::LeftButton, {}, QPoint(100, 27));
    EXPECT_EQ(timers->timers()[0].state, TimerState::paused);
    EXPECT_EQ(taps.size(), 2);
    EXPECT_EQ(AccessibleReading::value(&surface), QStringLiteral("05:00 Tea")) << "read out as one element";
    EXPECT_TRUE(AccessibleReading::description(&surface).isEmpty()) << "the value is no description";

    // A press that travels drags the window along and taps nothing.
    const QPoint before = window.pos();
    const QPoint start = surface.mapToGlobal(QPoint(80, 27));
    const QPoint end = start + QPoint(40, 12);
    sendMouse(surface, QEvent::MouseButtonPress, start, Qt::LeftButton);
    sendMouse(surface, QEvent::MouseMove, start + QPoint(10, 3), Qt::LeftButton);
    sendMouse(surface, QEvent::MouseMove, end, Qt::LeftButton);
    sendMouse(surface, QEvent::MouseButtonRelease, end, Qt::NoButton);
    EXPECT_EQ(taps.size(), 2) << "a drag is no tap";
    EXPECT_EQ(timers->timers()[0].state, TimerState::paused);
    EXPECT_EQ(window.pos(), before + QPoint(40, 12));

    // A wobble smaller than a drag is still a tap.
    sendMouse(surface, QEvent::MouseButtonPress, start, Qt::LeftButton);
    sendMouse(surface, QEvent::MouseMove, start + QPoint(1, 1), Qt::LeftButton);
    sendMouse(surface, QEvent::MouseButtonRelease, start + QPoint(1, 1), Qt::NoButton);
    EXPECT_EQ(taps.size(), 3);
    EXPECT_EQ(timers->timers()[0].state, TimerState::running);

    // The close button closes and taps nothing; it never takes the keyboard.
    QAbstractButton* close =
        surface.findChild<QAbstractButton*>(QStringLiteral("quorvane.floatingWindow.close"));
    ASSERT_NE(close, nullptr);
    EXPECT_EQ(close->focusPolicy(), Qt::NoFocus);
    EXPECT_EQ(close->geometry(), QRect(200 - 2 - 44, 2, 44, 44)) << "in the top right corner";
    QTest::mouseClick(close, Qt::LeftButton);
    EXPECT_EQ(closes, 1);
    EXPECT_EQ(taps.size(), 3);
}

TEST_F(FloatingWindowViewTest, TheCardsAccessibleTextsReadAsWrittenInEveryLanguage) {
    // One view made before the language changes, one after, as the window may be either.
    FloatingWindowView before(*timers, *pomodoro, preferences, {});
    for (const char* language : {"ja", "en"}) {
        SCOPED_TRACE(language);
        ASSERT_TRUE(TranslationCatalog::install(QLatin1String(language)));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LanguageChange);
        FloatingWindowView after(*timers, *pomodoro, preferences, {});
        for (FloatingWindowView* view : {&before, &after}) {
            const FloatingTimerSurface& surface = view->surface();
            EXPECT_EQ(surface.accessibleName(), QStringLiteral("TarvolinTimer timer"));
            EXPECT_EQ(surface.closeButton()->accessibleName(), QStringLiteral("Close"));
            EXPECT_TRUE(surface.closeButton()->toolTip().isEmpty()) << "nothing on the card answers a hover";
        }
    }
}

TEST_F(FloatingWindowViewTest, ASecondRedrawsOnlyTheTimeAndTheBarsNewEnd) {
    makeEngine({timer("Write the report", 1500, 1200, TimerState::paused)});
    ManualAnimationClock animations;
    QWidget window;
    window.setAutoFillBackground(true);
    QPalette palette = window.palette();
    palette.setColor(QPalette::Window, Qt::white);
    window.setPalette(palette);
    new FloatingWindowView(*timers, *pomodoro, preferences, {}, {}, &window);
    auto* view = window.findChild<FloatingWindowView*>(QStringLiteral("quorvane.floatingWindow"));
    ASSERT_NE(view, nullptr);
    view->resize(200, 54);
    window.resize(200, 54);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    timers->toggle(timers->timers()[0].id);
    animations.advanceBy(FloatingTimerSurface::groundFadeMs + 50);
    PaintRecorder::flush();
    FloatingTimerSurface& surface = view->surface();
    ASSERT_TRUE(surface.values().isRunning);
    PaintRecorder recorder(surface);
    const double cardArea = double(surface.width()) * surface.height();
    // What a full repaint of the card shows now, against what the repaints so far left on screen.
    const auto staleness = [&] {
        const QImage shown = PaintRecorder::onScreen(surface);
        window.repaint();
        return PaintRecorder::largestDifference(shown, PaintRecorder::onScreen(surface));
    };
    const auto settle = [&] {
        animations.advanceBy(FloatingTimerSurface::groundFadeMs + 50);
        PaintRecorder::flush();
    };
    QDir().mkpath(QStringLiteral("floating-gallery"));

    // Each second: the time's digits and the few pixels the fill grows by; the label, the strip and the
    // close button stay as they are.
    QStringList areas;
    for (int second = 1; second <= 5; ++second) {
        SCOPED_TRACE(second);
        const QString timeBefore = surface.values().timeText;
        const QRectF inkBefore = surface.timeInkRect();
        const double fillBefore = surface.barFillRect().right();
        recorder.clear();
        now = now.addSecs(1);
        timers->tick();
        PaintRecorder::flush();
        ASSERT_NE(surface.values().timeText, timeBefore);
        const qint64 area = PaintRecorder::area(recorder.region());
        areas << QString::number(area);
        EXPECT_LT(double(area), cardArea / 5);
        const QRectF track = surface.barTrackRect();
        const QRegion moved = QRegion((inkBefore | surface.timeInkRect()).toAlignedRect()) |
                              QRectF(fillBefore - 1, track.top() - 1,
                                     surface.barFillRect().right() - fillBefore + 2, track.height() + 2)
                                  .toAlignedRect();
        EXPECT_TRUE(recorder.region().subtracted(moved).isEmpty())
            << "repainted " << PaintRecorder::area(recorder.region().subtracted(moved))
            << " px beyond what moved";
        EXPECT_EQ(recorder.paintsOf(surface.closeButton()), 0);
        EXPECT_LE(staleness(), 2) << "what is left on screen is what the card now shows";
        EXPECT_EQ(AccessibleReading::value(&surface),
                  surface.values().timeText + QStringLiteral(" Write the report"));
        EXPECT_TRUE(
            surface.grab().toImage().save(QStringLiteral("floating-gallery/second-%1.png").arg(second)));
    }
    std::cout << "[ figures  ] pixels repainted each second: "
              << areas.join(QStringLiteral(", ")).toStdString() << " of the card's " << qint64(cardArea)
              << "\n";

    // Times of other lengths and shapes move more of the line; the screen still ends up as the card is.
    for (const char* text : {"1:00:00", "59:59", "+0:05", "00:00", "0:00:01"}) {
        SCOPED_TRACE(text);
        FloatingTimerSurface::Values values = surface.values();
        values.timeText = QLatin1String(text);
        recorder.clear();
        surface.setValues(values);
        PaintRecorder::flush();
        EXPECT_LT(double(PaintRecorder::area(recorder.region())), cardArea / 2);
        EXPECT_LE(staleness(), 2);
    }

    // Whatever changes the card's colours or lines repaints all of it.
    const struct {
        const char* name;
        std::function<void()> change;
    } rows[] = {
        {"pausing", [&] { timers->toggle(timers->timers()[0].id); }},
        {"running again", [&] { timers->toggle(timers->timers()[0].id); }},
        {"another accent", [&] { ThemeSettingsKeys::accent.write(preferences, QStringLiteral("black")); }},
        {"no task name", [&] { SettingsKeys::floatingShowTaskName.write(preferences, false); }},
        {"finished",
         [&] {
             FloatingTimerSurface::Values values = surface.values();
             values.isFinished = true;
             surface.setValues(values);
         }},
        {"no close button",
         [&] {
             FloatingTimerSurface::Values values = surface.values();
             values.showsClose = false;
             surface.setValues(values);
         }},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        recorder.clear();
        row.change();
        settle();
        EXPECT_TRUE(QRegion(surface.rect()).subtracted(recorder.region()).isEmpty());
        EXPECT_LE(staleness(), 2);
    }
}
