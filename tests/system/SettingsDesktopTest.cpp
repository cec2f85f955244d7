// The settings tab in the real program, at several scales: in English and Japanese "Quit TarvolinTimer",
// alone in its row, keeps its label on one line; with no compositor (the test display has none) the custom
// accent colour's pop-up draws nothing round its rounded shape. Beside it the floating window, which has
// the pop-up's rounded corners and a shadow of its own, under XFCE's window manager with its compositor
// switched on and off.
// Pictures go to the test artifacts.
#include "ProgramFixture.h"

#include "support/PixelProbe.h"
#include "support/XfceSettingsDaemon.h"
#include "theme/AccentTheme.h"

#include <QImage>

#include <algorithm>

namespace {

class SettingsDesktopTest : public ProgramFixture {
protected:
    double scale = 1;

    SettingsDesktopTest() : ProgramFixture({QStringLiteral("xdotool")}) {}
    ~SettingsDesktopTest() override {
        for (QProcess* process : {&windowManager, &settingsDaemon}) {
            process->terminate();
            process->waitForFinished(3000);
        }
    }
    QString screen() const override {
        return QStringLiteral("2000x1600x24");
    } // the popover at twice its size
    QProcessEnvironment environment() const override {
        QProcessEnvironment env = ProgramFixture::environment();
        env.insert(QStringLiteral("QT_SCALE_FACTOR"), QString::number(scale));
        return env;
    }
    // Gives the bare screen a colour of its own (it is black), so a black edge cannot pass for it. A tile
    // named on the root as a desktop names its wallpaper, which a compositor draws the screen's ground from.
    void paintRoot(QRgb rgb) const {
        xcb_connection_t* c = xcb_connect(display->name().toLatin1().constData(), nullptr);
        ASSERT_FALSE(xcb_connection_has_error(c));
        const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
        const uint32_t pixel = rgb & 0xFFFFFF; // a 24-bit true-colour screen
        const xcb_pixmap_t tile = xcb_generate_id(c);
        xcb_create_pixmap(c, screen->root_depth, tile, screen->root, 1, 1);
        const xcb_gcontext_t gc = xcb_generate_id(c);
        xcb_create_gc(c, gc, tile, XCB_GC_FOREGROUND, &pixel);
        const xcb_rectangle_t whole{0, 0, 1, 1};
        xcb_poly_fill_rectangle(c, tile, gc, 1, &whole);
        xcb_change_window_attributes(c, screen->root, XCB_CW_BACK_PIXMAP, &tile);
        xcb_clear_area(c, 0, screen->root, 0, 0, 0, 0);
        for (const char* name : {"_XROOTPMAP_ID", "_XSETROOT_ID"}) {
            xcb_change_property(c, XCB_PROP_MODE_REPLACE, screen->root, atom(c, name), XCB_ATOM_PIXMAP, 32, 1,
                                &tile);
        }
        xcb_set_close_down_mode(c, XCB_CLOSE_DOWN_RETAIN_PERMANENT); // the tile outlives the connection
        std::free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
        xcb_disconnect(c);
    }
    static xcb_atom_t atom(xcb_connection_t* c, const char* name) {
        xcb_intern_atom_reply_t* reply =
            xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, uint16_t(std::strlen(name)), name), nullptr);
        const xcb_atom_t value = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
        std::free(reply);
        return value;
    }

    // XFCE's window manager on the test display with its compositor on, and the settings daemon it is
    // switched through (started here, as nothing on the test's bus starts it).
    QProcess settingsDaemon;
    QProcess windowManager;
    void startWindowManager() {
        QProcessEnvironment env = environment();
        env.insert(QStringLiteral("HOME"), home.path());
        for (QProcess* process : {&settingsDaemon, &windowManager}) {
            process->setProcessEnvironment(env);
            process->setStandardOutputFile(QProcess::nullDevice());
            process->setStandardErrorFile(QProcess::nullDevice());
        }
        QString error;
        ASSERT_TRUE(XfceSettingsDaemon::start(settingsDaemon, kWaitMs, &error)) << error.toStdString();
        windowManager.start(QStringLiteral("xfwm4"), {QStringLiteral("--compositor=on")});
        ASSERT_NO_FATAL_FAILURE(useCompositor(true));
    }
    // Puts a window of the test's own under every other, over `area` of the screen, clicks at `at` and
    // gives where on the screen that window heard the press; nothing when it heard none.
    void pressBehind(const QRect& area, const QPoint& at, std::optional<QPoint>& heard) const {
        xcb_connection_t* c = xcb_connect(display->name().toLatin1().constData(), nullptr);
        ASSERT_FALSE(xcb_connection_has_error(c));
        const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
        const xcb_window_t behind = xcb_generate_id(c);
        // Unmanaged, so no window manager moves or raises it; lowered once mapped.
        const uint32_t values[] = {screen->white_pixel, 1, XCB_EVENT_MASK_BUTTON_PRESS};
        xcb_create_window(c, XCB_COPY_FROM_PARENT, behind, screen->root, int16_t(area.x()), int16_t(area.y()),
                          uint16_t(area.width()), uint16_t(area.height()), 0, XCB_WINDOW_CLASS_INPUT_OUTPUT,
                          screen->root_visual,
                          XCB_CW_BACK_PIXEL | XCB_CW_OVERRIDE_REDIRECT | XCB_CW_EVENT_MASK, values);
        xcb_map_window(c, behind);
        const uint32_t lowest = XCB_STACK_MODE_BELOW;
        xcb_configure_window(c, behind, XCB_CONFIG_WINDOW_STACK_MODE, &lowest);
        std::free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr)); // in place before the click
        EXPECT_TRUE(clickAt(at));
        EXPECT_TRUE(QTest::qWaitFor(
            [&] {
                while (xcb_generic_event_t* event = xcb_poll_for_event(c)) {
                    if ((event->response_type & 0x7F) == XCB_BUTTON_PRESS) {
                        const auto* press = reinterpret_cast<const xcb_button_press_event_t*>(event);
                        heard = QPoint(press->root_x, press->root_y);
                    }
                    std::free(event);
                }
                return heard.has_value();
            },
            kWaitMs));
        xcb_destroy_window(c, behind);
        xcb_disconnect(c);
    }
    // Switches the compositor and waits until it holds the screen's compositing selection, or gave it up.
    void useCompositor(bool on) {
        x11(QStringLiteral("xfconf-query"),
            {QStringLiteral("-c"), QStringLiteral("xfwm4"), QStringLiteral("-p"),
             QStringLiteral("/general/use_compositing"), QStringLiteral("-n"), QStringLiteral("-t"),
             QStringLiteral("bool"), QStringLiteral("-s"),
             on ? QStringLiteral("true") : QStringLiteral("false")});
        const auto owned = [&] {
            xcb_connection_t* c = xcb_connect(display->name().toLatin1().constData(), nullptr);
            xcb_get_selection_owner_reply_t* reply = xcb_get_selection_owner_reply(
                c, xcb_get_selection_owner(c, atom(c, "_NET_WM_CM_S0")), nullptr);
            const bool held = reply && reply->owner != XCB_WINDOW_NONE;
            std::free(reply);
            xcb_disconnect(c);
            return held;
        };
        ASSERT_TRUE(QTest::qWaitFor([&] { return owned() == on; }, kWaitMs)) << "the compositor came or went";
    }
};

} // namespace

TEST_F(SettingsDesktopTest, TheQuitButtonKeepsItsLabelOnOneLineAtEveryScale) {
    // The outlined buttons' face: the default accent at 10 % over white.
    const QColor accent = color(AccentTheme::orange);
    const auto tint = [&](int channel) { return qRound(255 - 0.1 * (255 - channel)); };
    const QRgb face = qRgb(tint(accent.red()), tint(accent.green()), tint(accent.blue()));
    for (const char* language : {"en", "ja"}) {
        for (const double s : {1.0, 1.5, 2.0}) {
            const QString name = QStringLiteral("settings-system-%1-x%2").arg(QLatin1String(language)).arg(s);
            SCOPED_TRACE(name.toStdString());
            scale = s;
            writePreferences({{QStringLiteral("bl.hasSeenOnboarding"), true},
                              {QStringLiteral("bl.appLanguage"), QLatin1String(language)}});
            Program program; // no panel: the popover opens as a window
            program.start(environment());
            const QString window = waitForWindow(QStringLiteral("%1x%2").arg(440 * s).arg(720 * s));
            ASSERT_FALSE(window.isEmpty()) << program.log().toStdString();
            QTest::qWait(700);
            const QPoint origin = windowOrigin(window);
            ASSERT_TRUE(clickAt(origin + QPoint(354, 677) * s)); // the settings tab
            QTest::qWait(700);
            const QPoint column = origin + QPoint(220, 300) * s; // wheeled down to the column's end
            ASSERT_TRUE(xdotool({QStringLiteral("mousemove"), QString::number(column.x()),
                                 QString::number(column.y()), QStringLiteral("click"),
                                 QStringLiteral("--repeat"), QStringLiteral("150"), QStringLiteral("--delay"),
                                 QStringLiteral("5"), QStringLiteral("5")}));
            QTest::qWait(700);
            screenshot(window, name);
            const QImage picture = QImage(artifactPath(name)).convertToFormat(QImage::Format_RGB32);
            // The lowest band of lines crossing a face is the quit button's: one line of text is 42 high
            // inside its outline, two are 50.
            const auto crossesFace = [&](int y) {
                const auto* line = reinterpret_cast<const QRgb*>(picture.constScanLine(y));
                return std::search_n(line, line + picture.width(), int(10 * s), face, [](QRgb a, QRgb b) {
                           return std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) +
                                      std::abs(qBlue(a) - qBlue(b)) <=
                                  6;
                       }) != line + picture.width();
            };
            int height = 0; // bands thinner than a face are other shapes' edges
            for (int y = picture.height() - 1; y >= 0; --y) {
                if (crossesFace(y)) {
                    ++height;
                } else if (height >= 20 * s) {
                    break;
                } else {
                    height = 0;
                }
            }
            ASSERT_GE(height, 20 * s) << "the quit button is in the picture";
            EXPECT_LE(height, qRound(44 * s)) << "one line";
            stop(program);
        }
    }
}

TEST_F(SettingsDesktopTest, TheCustomColourPopupLeavesWhatLiesBehindItsCornersWithoutACompositor) {
    // The "simple" chip's swatch finds the chips; the custom chip is the next one, a chip and a gap along.
    const QColor simple = color(AccentTheme::simple);
    constexpr int chipPitch = 56 + 6;
    constexpr int popupWidth = 220 + 2 * 16;
    constexpr int arrowHeight = 8;
    for (const double s : {1.0, 2.0}) {
        const QString name = QStringLiteral("settings-accent-popup-x%1").arg(s);
        SCOPED_TRACE(name.toStdString());
        scale = s;
        writePreferences({{QStringLiteral("bl.hasSeenOnboarding"), true},
                          {QStringLiteral("bl.appLanguage"), QStringLiteral("en")}});
        Program program; // no panel: the popover opens as a window
        program.start(environment());
        const QString window = waitForWindow(QStringLiteral("%1x%2").arg(440 * s).arg(720 * s));
        ASSERT_FALSE(window.isEmpty()) << program.log().toStdString();
        paintRoot(qRgb(0x3a, 0x6e, 0xa5));
        QTest::qWait(700);
        const QPoint origin = windowOrigin(window);
        ASSERT_TRUE(clickAt(origin + QPoint(354, 677) * s)); // the settings tab
        QTest::qWait(700);

        // Wheeled down until the swatch is whole on screen, in the popover's upper half.
        const auto isSimple = [&](const QImage& picture, QPoint at) {
            return picture.valid(at) && PixelProbe::distance(picture.pixelColor(at), simple) <= 3;
        };
        const auto reach = [&](const QImage& picture, QPoint at, QPoint step) {
            while (isSimple(picture, at + step)) {
                at += step;
            }
            return at;
        };
        const auto findSwatch = [&](const QImage& picture) -> std::optional<QPoint> {
            const int whole = qRound(28 * s);
            for (int y = origin.y(); y < origin.y() + 360 * s; y += 4) {
                for (int x = origin.x(); x < origin.x() + 440 * s; x += 4) {
                    if (!isSimple(picture, QPoint(x, y))) {
                        continue;
                    }
                    const int top = reach(picture, QPoint(x, y), QPoint(0, -1)).y();
                    const int bottom = reach(picture, QPoint(x, y), QPoint(0, 1)).y();
                    const int middle = (top + bottom) / 2;
                    const int left = reach(picture, QPoint(x, middle), QPoint(-1, 0)).x();
                    const int right = reach(picture, QPoint(x, middle), QPoint(1, 0)).x();
                    if (bottom - top >= whole && right - left >= whole) {
                        return QPoint((left + right) / 2, middle);
                    }
                }
            }
            return std::nullopt;
        };
        const auto pictureOfScreen = [&](const QString& shot) {
            screenshot(QStringLiteral("0"), shot);
            return QImage(artifactPath(shot)).convertToFormat(QImage::Format_RGB32);
        };
        std::optional<QPoint> swatch;
        for (int turn = 0; turn < 40 && !swatch; ++turn) {
            swatch = findSwatch(pictureOfScreen(name + QStringLiteral("-chips")));
            if (!swatch) {
                const QPoint column = origin + QPoint(220, 300) * s;
                ASSERT_TRUE(xdotool({QStringLiteral("mousemove"), QString::number(column.x()),
                                     QString::number(column.y()), QStringLiteral("click"),
                                     QStringLiteral("--repeat"), QStringLiteral("2"), QStringLiteral("5")}));
                QTest::qWait(300);
            }
        }
        ASSERT_TRUE(swatch) << "the accent chips came into view";
        // The pointer rests on the custom chip before the picture of what the pop-up will cover.
        const QPoint custom = *swatch + QPoint(qRound(chipPitch * s), 0);
        ASSERT_TRUE(
            xdotool({QStringLiteral("mousemove"), QString::number(custom.x()), QString::number(custom.y())}));
        QTest::qWait(500);
        const QImage before = pictureOfScreen(name + QStringLiteral("-before"));
        ASSERT_TRUE(clickAt(custom));
        const ProgramWindow popup = waitForWindow(
            [&](const ProgramWindow& w) { return w.id != window && w.geometry.width() == popupWidth * s; });
        ASSERT_FALSE(popup.id.isEmpty()) << "the pop-up opened";
        QTest::qWait(700);
        const QImage after = pictureOfScreen(name);

        // Its corners, and the band beside its arrow, show what was there before it opened.
        const QRect r = popup.geometry;
        const bool pointsUp = r.top() > custom.y();
        const int band = qRound(arrowHeight * s);
        const int bodyTop = pointsUp ? r.top() + band : r.top();
        const int bodyBottom = pointsUp ? r.bottom() : r.bottom() - band;
        const int bandY = pointsUp ? r.top() + 2 : r.bottom() - 2;
        int black = 0; // probes over something black already, where a black edge would not show
        for (const QPoint at :
             {QPoint(r.left(), bodyTop), QPoint(r.right(), bodyTop), QPoint(r.left(), bodyBottom),
              QPoint(r.right(), bodyBottom), QPoint(r.left() + 2, bandY), QPoint(r.right() - 2, bandY)}) {
            SCOPED_TRACE(QStringLiteral("at %1,%2").arg(at.x()).arg(at.y()).toStdString());
            black += PixelProbe::distance(before.pixelColor(at), Qt::black) < 64 ? 1 : 0;
            EXPECT_LE(PixelProbe::distance(after.pixelColor(at), before.pixelColor(at)), 8)
                << "now " << after.pixelColor(at).name().toStdString() << ", before "
                << before.pixelColor(at).name().toStdString();
        }
        EXPECT_LE(black, 2);
        stop(program);
    }
}

TEST_F(SettingsDesktopTest, TheFloatingWindowBlendsItsRoundedEdgeWhereACompositorRunsAndIsCutCleanWhereNone) {
    if (const QString missing = missingTools({QStringLiteral("xfwm4"), QStringLiteral("xfconf-query"),
                                              QStringLiteral("xprop"), XfceSettingsDaemon::program()});
        !missing.isEmpty()) {
        TT_SKIP_OR_FAIL("not installed (scripts/deps.sh --tests installs it): " << missing.toStdString());
    }
    const QRgb ground = qRgb(0x20, 0x30, 0x40);
    ASSERT_NO_FATAL_FAILURE(startWindowManager());
    ASSERT_NO_FATAL_FAILURE(paintRoot(ground)); // once the compositor draws the screen's ground from it
    const struct {
        const char* behaviour;
        bool compositor;
        bool switched; // switched while the window shows, else the program starts under it
    } rows[] = {
        {"started where a compositor runs: a smoothed edge and a shadow", true, false},
        {"the compositor stops while it shows: cut clean", false, true},
        {"the compositor starts again while it shows: a smoothed edge and a shadow", true, true},
    };
    for (const double s : {1.0, 2.0}) {
        scale = s;
        writePreferences({{QStringLiteral("bl.hasSeenOnboarding"), true},
                          {QStringLiteral("bl.floating.showOnStart"), true},
                          {QStringLiteral("bl.appLanguage"), QStringLiteral("en")}});
        Program program;
        for (const auto& row : rows) {
            const QString name =
                QStringLiteral("floating-%1-x%2")
                    .arg(row.compositor ? QStringLiteral("composited") : QStringLiteral("cut"))
                    .arg(s);
            SCOPED_TRACE(QStringLiteral("%1 at %2x").arg(QLatin1String(row.behaviour)).arg(s).toStdString());
            if (row.switched) {
                const QString news = row.compositor ? QStringLiteral("A compositor blends the windows now")
                                                    : QStringLiteral("No compositor blends the windows now");
                const int heard = program.count(news);
                ASSERT_NO_FATAL_FAILURE(useCompositor(row.compositor));
                ASSERT_TRUE(QTest::qWaitFor([&] { return program.count(news) > heard; }, kWaitMs))
                    << program.log().toStdString();
            } else {
                ASSERT_NO_FATAL_FAILURE(useCompositor(row.compositor));
                program.start(environment());
            }
            const ProgramWindow window = waitForCard(QSize(200, 54) * s);
            ASSERT_FALSE(window.id.isEmpty()) << program.log().toStdString();
            QTest::qWait(700); // drawn again, and put on the screen by the compositor
            screenshot(QStringLiteral("0"), name);
            const QImage screen = QImage(artifactPath(name)).convertToFormat(QImage::Format_RGB32);
            // The card stays where it was put, 20 px in from the screen's top right corner, whatever the
            // compositor does.
            const QRect r = cardOf(window);
            EXPECT_EQ(r, QRect(QPoint(2000 - qRound(220 * s), qRound(20 * s)), QSize(200, 54) * s));

            // Each corner's square, as far in as the rounding reaches: the corner shows the desktop (under
            // a faint shadow where one is drawn), nothing is black, and a smoothed edge has pixels between
            // the desktop and the card, a cut one none.
            const int reach = qRound(5 * s);
            for (const QPoint corner : {r.topLeft(), r.topRight(), r.bottomLeft(), r.bottomRight()}) {
                SCOPED_TRACE(QStringLiteral("corner %1,%2").arg(corner.x()).arg(corner.y()).toStdString());
                const QPoint inward(corner.x() == r.left() ? 1 : -1, corner.y() == r.top() ? 1 : -1);
                EXPECT_LE(PixelProbe::distance(screen.pixelColor(corner), ground), row.compositor ? 24 : 8)
                    << screen.pixelColor(corner).name().toStdString();
                int between = 0;
                int black = 0;
                for (int dy = 0; dy < reach; ++dy) {
                    for (int dx = 0; dx < reach; ++dx) {
                        const QColor c = screen.pixelColor(corner + QPoint(dx * inward.x(), dy * inward.y()));
                        const bool light = std::min({c.red(), c.green(), c.blue()}) >= 0xb0;
                        between += !light && PixelProbe::distance(c, ground) > 12 ? 1 : 0;
                        black += PixelProbe::distance(c, Qt::black) < 24 ? 1 : 0;
                    }
                }
                EXPECT_EQ(black, 0);
                if (row.compositor) {
                    EXPECT_GE(between, 2) << "a smoothed edge";
                } else {
                    EXPECT_EQ(between, 0) << "cut to whole pixels of the card";
                }
            }

            // Just below the card, across its middle half: the desktop darkened by the shadow where a
            // compositor runs, the bare desktop where none does.
            int darker = 0;
            int changed = 0;
            int probed = 0;
            for (int y = r.bottom() + 1; y <= r.bottom() + qRound(3 * s); ++y) {
                for (int x = r.left() + r.width() / 4; x < r.right() - r.width() / 4; ++x, ++probed) {
                    const QColor c = screen.pixelColor(x, y);
                    changed += PixelProbe::distance(c, ground) > 2 ? 1 : 0;
                    darker += c.red() <= qRed(ground) && c.green() <= qGreen(ground) &&
                                      c.blue() <= qBlue(ground) && PixelProbe::distance(c, ground) >= 4
                                  ? 1
                                  : 0;
                }
            }
            if (row.compositor) {
                EXPECT_EQ(darker, probed) << "a shadow under the card";
            } else {
                EXPECT_EQ(changed, 0) << "nothing round the card";
            }

            // A press just outside the card's lower left corner, on its shadow, reaches a window behind it
            // and leaves the floating window where it is.
            const QPoint outside = r.bottomLeft() + QPoint(-2, 2) * s;
            std::optional<QPoint> pressed;
            ASSERT_NO_FATAL_FAILURE(
                pressBehind(QRect(outside - QPoint(20, 20), QSize(40, 40)), outside, pressed));
            EXPECT_EQ(pressed, std::optional<QPoint>(outside)) << "the window behind heard the press";
            EXPECT_EQ(cardOf(window), r) << "the floating window did not move";
        }
        stop(program);
    }
}
