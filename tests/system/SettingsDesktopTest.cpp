// The settings tab's system category in the real program, at scale 1, 1.5 and 2, in English and Japanese:
// "Quit TarvolinTimer", alone in its row, keeps its label on one line. Pictures go to the test artifacts.
#include "ProgramFixture.h"

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
