#include "theme/MenuBarDisplayContent.h"
#include "theme/QvFont.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

namespace {

using Kind = MenuBarDisplayContent::Item::Kind;

enum class TimerState { none, running, paused };

const char* name(TimerState s) {
    return s == TimerState::none ? "none" : s == TimerState::running ? "running" : "paused";
}

MenuBarDisplayContent make(MenuBarDisplayMode mode, MenuBarIconStyle style, TimerState state) {
    return {mode, style, state != TimerState::none, state == TimerState::paused, QStringLiteral("04:05")};
}

// Count of non-background pixels: what a content drew.
int inkPixels(const QImage& image) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            n += qAlpha(image.pixel(x, y)) > 0 ? 1 : 0;
        }
    }
    return n;
}

QImage render(const MenuBarDisplayContent& content) {
    QImage image(120, 24, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    content.paint(p, QRectF(0, 0, 120, 24), QvFont::qvText(13, QFont::Medium), Qt::black);
    return image;
}

} // namespace

TEST(MenuBarDisplayContentTest, RowForEveryModeStyleAndTimerState) {
    // The label's table: rows per mode and state; the icon is always the style's symbol.
    struct Row {
        MenuBarDisplayMode mode;
        TimerState state;
        QList<Kind> kinds;
    };
    const QList<Row> table = {
        {MenuBarDisplayMode::iconOnly, TimerState::none, {Kind::icon}},
        {MenuBarDisplayMode::iconOnly, TimerState::running, {Kind::icon}},
        {MenuBarDisplayMode::iconOnly, TimerState::paused, {Kind::icon}},
        {MenuBarDisplayMode::timeOnly, TimerState::none, {Kind::icon}},
        {MenuBarDisplayMode::timeOnly, TimerState::running, {Kind::time}},
        {MenuBarDisplayMode::timeOnly, TimerState::paused, {Kind::pauseMark, Kind::time}},
        {MenuBarDisplayMode::iconAndTime, TimerState::none, {Kind::icon}},
        {MenuBarDisplayMode::iconAndTime, TimerState::running, {Kind::icon, Kind::time}},
        {MenuBarDisplayMode::iconAndTime, TimerState::paused, {Kind::icon, Kind::pauseMark, Kind::time}},
    };
    const QList<std::pair<MenuBarIconStyle, QString>> styles = {
        {MenuBarIconStyle::windup, QStringLiteral("timer")},
        {MenuBarIconStyle::clock, QStringLiteral("clock")},
        {MenuBarIconStyle::minimal, QStringLiteral("circle.dashed")},
    };
    for (const Row& row : table) {
        for (const auto& [style, symbol] : styles) {
            SCOPED_TRACE(toRaw(row.mode).toStdString() + " " + toRaw(style).toStdString() + " " +
                         name(row.state));
            const QList<MenuBarDisplayContent::Item> items = make(row.mode, style, row.state).items();
            ASSERT_EQ(items.size(), row.kinds.size());
            for (qsizetype i = 0; i < items.size(); ++i) {
                EXPECT_EQ(items[i].kind, row.kinds[i]);
                if (items[i].kind == Kind::icon) {
                    EXPECT_EQ(items[i].symbolName, symbol);
                } else if (items[i].kind == Kind::pauseMark) {
                    EXPECT_EQ(items[i].symbolName, QStringLiteral("pause.fill"));
                } else {
                    EXPECT_EQ(items[i].text, QStringLiteral("04:05"));
                }
            }
        }
    }
}

TEST(MenuBarDisplayContentTest, PausedWithoutAMainTimerShowsNoPauseMark) {
    // A stale paused flag with no timer must not leave a lone pause mark in the bar.
    const MenuBarDisplayContent content{MenuBarDisplayMode::timeOnly, MenuBarIconStyle::clock, false, true,
                                        QStringLiteral("00:10")};
    ASSERT_EQ(content.items().size(), 1);
    EXPECT_EQ(content.items()[0].kind, Kind::icon);
}

TEST(MenuBarDisplayContentTest, TimeTextIsShownVerbatim) {
    const QString text = QStringLiteral("19:44まで あと4:05");
    const MenuBarDisplayContent content{MenuBarDisplayMode::timeOnly, MenuBarIconStyle::windup, true, false,
                                        text};
    EXPECT_EQ(content.items().constLast().text, text);
}

TEST(MenuBarDisplayContentTest, NeverDrawsAnEmptyLabel) {
    for (MenuBarDisplayMode mode : allMenuBarDisplayModes()) {
        for (bool active : {false, true}) {
            const MenuBarDisplayContent content{mode, MenuBarIconStyle::minimal, active, false,
                                                QStringLiteral("0:01")};
            EXPECT_GT(inkPixels(render(content)), 0) << toRaw(mode).toStdString() << active;
        }
    }
}

TEST(MenuBarDisplayContentTest, PauseMarkAndIconWidenTheRowByTheirSpacing) {
    const QFont font = QvFont::qvText(13, QFont::Medium);
    const auto running = make(MenuBarDisplayMode::timeOnly, MenuBarIconStyle::windup, TimerState::running);
    const auto paused = make(MenuBarDisplayMode::timeOnly, MenuBarIconStyle::windup, TimerState::paused);
    const auto withIcon =
        make(MenuBarDisplayMode::iconAndTime, MenuBarIconStyle::windup, TimerState::running);
    EXPECT_GT(paused.size(font).width(), running.size(font).width() + MenuBarDisplayContent::spacing);
    EXPECT_DOUBLE_EQ(withIcon.size(font).width(), running.size(font).width() +
                                                      MenuBarDisplayContent::symbolSide(font) +
                                                      MenuBarDisplayContent::spacing);
}

TEST(MenuBarDisplayContentTest, TimeKeepsItsWidthAsDigitsChange) {
    const QFont font = QvFont::qvText(13, QFont::Medium);
    const MenuBarDisplayContent ones{MenuBarDisplayMode::timeOnly, MenuBarIconStyle::windup, true, false,
                                     QStringLiteral("11:11")};
    const MenuBarDisplayContent eights{MenuBarDisplayMode::timeOnly, MenuBarIconStyle::windup, true, false,
                                       QStringLiteral("88:88")};
    EXPECT_DOUBLE_EQ(ones.size(font).width(), eights.size(font).width());
}

TEST(MenuBarDisplayContentTest, DrawsInTheContainersColour) {
    for (MenuBarDisplayMode mode : allMenuBarDisplayModes()) {
        const MenuBarDisplayContent content{mode, MenuBarIconStyle::windup, true, true,
                                            QStringLiteral("12:34")};
        QImage image(120, 24, QImage::Format_ARGB32);
        image.fill(Qt::transparent);
        {
            QPainter p(&image);
            content.paint(p, QRectF(0, 0, 120, 24), QvFont::qvText(16, QFont::Medium), QColor(0, 200, 0));
        }
        int strong = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                const QColor c = image.pixelColor(x, y);
                if (c.alpha() >= 200) {
                    EXPECT_LE(c.red(), 3);
                    EXPECT_GE(c.green(), 150); // text edges are blended, so only the hue is pinned
                    EXPECT_LE(c.blue(), 3);
                    ++strong;
                }
            }
        }
        EXPECT_GT(strong, 10) << toRaw(mode).toStdString();
    }
}
