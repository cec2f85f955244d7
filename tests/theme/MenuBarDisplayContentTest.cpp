#include "theme/MenuBarDisplayContent.h"
#include "theme/QvFont.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <array>
#include <string_view>

namespace {

using namespace Qt::StringLiterals;

using Item = MenuBarDisplayContent::Item;
using Kind = Item::Kind;
using Mode = MenuBarDisplayMode;
using Style = MenuBarIconStyle;
enum class State { none, running, paused };
const QString kTime = QStringLiteral("19:44まで あと4:05"); // shown as given

MenuBarDisplayContent make(Mode mode, State state, Style style = Style::windup, const QString& time = kTime) {
    return {mode, style, state != State::none, state == State::paused, time};
}

} // namespace

TEST(MenuBarDisplayContentTest, RowForEveryModeStyleAndTimerState) {
    // Per mode, the row without a timer, running and paused: i = the style's icon, p = pause mark, t = time.
    const std::pair<Mode, std::array<const char*, 3>> table[] = {{Mode::iconOnly, {"i", "i", "i"}},
                                                                 {Mode::timeOnly, {"i", "t", "pt"}},
                                                                 {Mode::iconAndTime, {"i", "it", "ipt"}}};
    const std::pair<Style, QString> styles[] = {
        {Style::windup, u"timer"_s}, {Style::clock, u"clock"_s}, {Style::minimal, u"circle.dashed"_s}};
    for (const auto& [mode, rows] : table) {
        for (const auto& [style, symbol] : styles) {
            for (State state : {State::none, State::running, State::paused}) {
                SCOPED_TRACE(toRaw(mode).toStdString() + " " + toRaw(style).toStdString() + " " +
                             rows[int(state)]);
                QList<Item> expected;
                for (char c : std::string_view(rows[int(state)])) {
                    expected << (c == 'i'   ? Item{Kind::icon, symbol, {}}
                                 : c == 'p' ? Item{Kind::pauseMark, QStringLiteral("pause.fill"), {}}
                                            : Item{Kind::time, {}, kTime});
                }
                EXPECT_EQ(make(mode, state, style).items(), expected);
            }
            // A stale paused flag without a timer leaves no lone pause mark.
            EXPECT_EQ(MenuBarDisplayContent({mode, style, false, true, kTime}).items(),
                      make(mode, State::none, style).items());
        }
    }
}

TEST(MenuBarDisplayContentTest, NeverDrawsAnEmptyLabelAndDrawsInTheContainersColour) {
    for (Mode mode : allMenuBarDisplayModes()) {
        for (State state : {State::none, State::running, State::paused}) {
            SCOPED_TRACE(toRaw(mode).toStdString() + " " + std::to_string(int(state)));
            QImage image(120, 24, QImage::Format_ARGB32);
            image.fill(Qt::transparent);
            QPainter p(&image);
            make(mode, state, Style::minimal, QStringLiteral("12:34"))
                .paint(p, QRectF(0, 0, 120, 24), QvFont::qvText(16, QFont::Medium), QColor(0, 200, 0));
            p.end();
            int strong = 0;
            for (int y = 0; y < image.height(); ++y) {
                for (int x = 0; x < image.width(); ++x) {
                    const QColor c = image.pixelColor(x, y);
                    if (c.alpha() >= 200) { // edges are blended, so only the hue is pinned
                        ++strong;
                        EXPECT_TRUE(c.red() <= 3 && c.green() >= 150 && c.blue() <= 3)
                            << c.name().toStdString();
                    }
                }
            }
            EXPECT_GT(strong, 10);
        }
    }
}

TEST(MenuBarDisplayContentTest, RowWidensByEachItemAndSpacingButNotByDigits) {
    const QFont font = QvFont::qvText(13, QFont::Medium);
    const double running = make(Mode::timeOnly, State::running).size(font).width();
    EXPECT_GT(make(Mode::timeOnly, State::paused).size(font).width(),
              running + MenuBarDisplayContent::spacing);
    EXPECT_DOUBLE_EQ(make(Mode::iconAndTime, State::running).size(font).width(),
                     running + MenuBarDisplayContent::symbolSide(font) + MenuBarDisplayContent::spacing);
    EXPECT_DOUBLE_EQ(make(Mode::timeOnly, State::running, Style::windup, u"11:11"_s).size(font).width(),
                     make(Mode::timeOnly, State::running, Style::windup, u"88:88"_s).size(font).width());
}
