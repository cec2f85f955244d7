#include "platform/ReduceMotion.h"
#include "support/ManualAnimationClock.h"
#include "ui/kit/PressableButton.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

namespace {

const QColor kFace(200, 40, 40);
const QColor kBehind(255, 255, 255);

// Fills its whole face, so the face's edges show where the press transform puts them.
class SolidButton : public PressableButton {
public:
    explicit SolidButton(double scale) : PressableButton(scale) { resize(100, 40); }

protected:
    void paintFace(QPainter& painter) override { painter.fillRect(rect(), kFace); }
};

QImage drawn(SolidButton& button) {
    QImage image(button.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(kBehind);
    button.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    return image;
}

QColor faded(double opacity) {
    return QColor::fromRgbF(float(opacity * kFace.redF() + (1 - opacity) * kBehind.redF()),
                            float(opacity * kFace.greenF() + (1 - opacity) * kBehind.greenF()),
                            float(opacity * kFace.blueF() + (1 - opacity) * kBehind.blueF()));
}

int distance(const QColor& a, const QColor& b) {
    return std::max(
        {std::abs(a.red() - b.red()), std::abs(a.green() - b.green()), std::abs(a.blue() - b.blue())});
}

class ReduceMotionFor {
public:
    explicit ReduceMotionFor(bool on) { ReduceMotion::setEnabled(on); }
    ~ReduceMotionFor() { ReduceMotion::setEnabled(false); }
};

} // namespace

TEST(PressableButtonTest, HeldFaceShrinksAndDimsEasedOutAndComesBackOnRelease) {
    const struct {
        const char* name;
        bool reduceMotion;
        int duration;
        double heldScale;
    } rows[] = {
        {"with motion the face shrinks to the button's scale over 80 ms", false, 80, 0.9},
        {"under Reduce Motion the face keeps its size and dims over 100 ms", true, 100, 1.0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        ReduceMotionFor motion(row.reduceMotion);
        ManualAnimationClock clock;
        SolidButton button(0.9);
        drawn(button);

        button.setDown(true);
        drawn(button); // the press is picked up when the button is drawn
        clock.advanceBy(row.duration / 2);
        // Ease-out: more than half of the way after half of the time, but not there yet.
        EXPECT_GT(button.pressProgress(), 0.55);
        EXPECT_LT(button.pressProgress(), 1.0);
        clock.advanceBy(row.duration / 2 - 5);
        EXPECT_LT(button.pressProgress(), 1.0) << "finished early";
        clock.advanceBy(5);
        EXPECT_DOUBLE_EQ(button.pressProgress(), 1.0);
        EXPECT_DOUBLE_EQ(button.faceScale(), row.heldScale);
        EXPECT_DOUBLE_EQ(button.faceOpacity(), PressableButton::pressedOpacity);

        // Drawn held: the centre is the face at 86 %; the corner is uncovered only when the face shrank.
        const QImage held = drawn(button);
        EXPECT_LE(distance(held.pixelColor(50, 20), faded(0.86)), 2);
        const QColor corner = row.heldScale < 1 ? kBehind : faded(0.86);
        EXPECT_LE(distance(held.pixelColor(1, 1), corner), 2) << held.pixelColor(1, 1).name().toStdString();

        button.setDown(false);
        drawn(button);
        clock.advanceBy(row.duration);
        EXPECT_DOUBLE_EQ(button.pressProgress(), 0.0);
        EXPECT_EQ(drawn(button).pixelColor(1, 1), kFace);
    }
}

TEST(PressableButtonTest, ReleaseMidwayTurnsBackFromWhereTheFaceIs) {
    ManualAnimationClock clock;
    SolidButton button(0.96);
    button.setDown(true);
    drawn(button);
    clock.advanceBy(20);
    const double partWay = button.pressProgress();
    ASSERT_GT(partWay, 0.0);
    button.setDown(false);
    drawn(button);
    clock.advanceBy(1);
    // No jump to fully held or to rest: it leaves from where it was, towards rest.
    EXPECT_LT(button.pressProgress(), partWay);
    EXPECT_GT(button.pressProgress(), 0.0);
    clock.advanceBy(PressableButton::durationMs);
    EXPECT_DOUBLE_EQ(button.pressProgress(), 0.0);
}
