// The settings tab in the real program, at several scales: in English and Japanese "Quit TarvolinTimer",
// alone in its row, keeps its label on one line; with no compositor (the test display has none) the custom
// accent colour's pop-up draws nothing round its rounded shape. Pictures go to the test artifacts.
#include "ProgramFixture.h"

#include "support/PixelProbe.h"
#include "theme/AccentTheme.h"

#include <QImage>

#include <algorithm>

namespace {

class SettingsDesktopTest : public ProgramFixture {
protected:
    double scale = 1;

    SettingsDesktopTest() : ProgramFixture({QStringLiteral("xdotool")}) {}
    QString screen() const override {
        return QStringLiteral("2000x1600x24");
    } // the popover at twice its size
    QProcessEnvironment environment() const override {
        QProcessEnvironment env = ProgramFixture::environment();
        env.insert(QStringLiteral("QT_SCALE_FACTOR"), QString::number(scale));
        return env;
    }
    // Gives the bare screen a colour of its own (it is black), so a black edge cannot pass for it.
    void paintRoot(QRgb rgb) const {
        xcb_connection_t* c = xcb_connect(display->name().toLatin1().constData(), nullptr);
        ASSERT_FALSE(xcb_connection_has_error(c));
        const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
        const uint32_t pixel = rgb & 0xFFFFFF; // a 24-bit true-colour screen
        xcb_change_window_attributes(c, root, XCB_CW_BACK_PIXEL, &pixel);
        xcb_clear_area(c, 0, root, 0, 0, 0, 0);
        std::free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
        xcb_disconnect(c);
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
