// The quick-add bar as a user drives it: typing, Return, the arrow, symbol keys, the preset name, and the
// line under the bar in its colours.
#include "ui/quickentry/QuickAddBar.h"

#include "QuickEntryFixture.h"
#include "support/PixelProbe.h"
#include "theme/QvColor.h"
#include "ui/kit/TokenLabel.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFontInfo>
#include <QFontMetrics>
#include <QFontMetricsF>
#include <QLineEdit>
#include <QTest>
#include <QTranslator>

namespace {

class QuickAddBarTest : public QuickEntryFixture {
public:
    std::unique_ptr<QWidget> window;
    QuickAddBar* bar = nullptr;
    QList<QWidget*> focusLosses;
    int lossCount = 0;

    void makeBar(qsizetype presets = 3, bool symbols = true) {
        makeWithPresets(presets);
        window = std::make_unique<QWidget>();
        window->resize(440, 140);
        bar = new QuickAddBar(
            new QuickAddBarModel(*manager, recorder(), clock), symbols,
            [this](QWidget* to) {
                focusLosses << to;
                ++lossCount;
            },
            window.get());
        bar->move(18, 16);
        window->show();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }
    void TearDown() override {
        window.reset();
        QuickEntryFixture::TearDown();
    }
    QLineEdit* input() const { return bar->inputField(); }
    template <class W> W* find(const QString& name) const {
        W* w = bar->findChild<W*>(name);
        EXPECT_NE(w, nullptr) << name.toStdString();
        return w;
    }
    QAbstractButton* button(const char* name) const {
        return find<QAbstractButton>(QString::fromLatin1(name));
    }
    void type(const char* text) const {
        input()->setFocus();
        QTest::keyClicks(input(), QString::fromUtf8(text));
    }
    // The ink of the message line as drawn.
    QColor messageInk() const {
        const QImage picture = bar->grab().toImage();
        const QRect line = bar->messageLabel()->geometry();
        return PixelProbe::inkIn(picture, line, QvColor::qvSurfaceRaised().resolve(ColorScheme::light));
    }
};

} // namespace

TEST_F(QuickAddBarTest, EachMessageShowsInItsColourAndTheFieldOutlineFollows) {
    const QColor danger = QvColor::qvDanger().resolve(ColorScheme::light);
    const QColor secondary = QvColor::qvTextSecondary().resolve(ColorScheme::light);
    const struct {
        const char* name;
        const char* typed;
        const char* presetName; // saves instead of submitting when set
        const char* message;
        QColor ink;
        QColor outline;
        double outlineWidth;
    } rows[] = {
        {"nothing typed", "", nullptr, "Enter a time", danger, danger, 2},
        {"unreadable", "abc", nullptr, "Couldn't read that. Try: 10m · 1d18h · 12:30", danger, danger, 2},
        {"zero", "0m", nullptr, "Must be at least 1 second", danger, danger, 2},
        {"too large", "1000000h", nullptr, "That time isn't allowed", danger, danger, 2},
        {"past", "8:00", nullptr, "That time has already passed", danger, danger, 2},
        {"no preset name", "25m", " ", "Enter a preset name", danger, danger, 2},
        {"saved", "25m", "Tea", "Preset saved", secondary, QvColor::qvStroke().resolve(ColorScheme::light),
         1},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        makeBar();
        type(r.typed);
        if (r.presetName) {
            QLineEdit* name = bar->presetNameField();
            ASSERT_TRUE(name->isVisible()) << "a duration offers the save controls";
            name->setFocus();
            QTest::keyClicks(name, QString::fromUtf8(r.presetName));
            QTest::mouseClick(button("quorvane.quickAdd.savePreset"), Qt::LeftButton);
        } else {
            QTest::keyClick(input(), Qt::Key_Return);
        }
        EXPECT_EQ(bar->messageLabel()->text(), QString::fromUtf8(r.message));
        EXPECT_LT(PixelProbe::distance(messageInk(), r.ink), 40) << messageInk().name().toStdString();
        EXPECT_EQ(bar->inputStrokeColor(), r.outline);
        EXPECT_EQ(bar->inputStrokeWidth(), r.outlineWidth);
        EXPECT_TRUE(prepared.isEmpty());

        // One more character takes the message away; the outline shows the focus again.
        input()->setFocus();
        QTest::keyClick(input(), Qt::Key_1);
        EXPECT_TRUE(bar->messageLabel()->text().isEmpty());
        EXPECT_EQ(bar->inputStrokeColor(), QvColor::qvInkAction().resolve(ColorScheme::light));
        TearDown();
    }
}

TEST_F(QuickAddBarTest, ReturnAndTheArrowSendTheTimeAndEmptyTheBar) {
    makeBar();
    type("45m");
    QTest::keyClick(input(), Qt::Key_Return);
    ASSERT_EQ(prepared.size(), 1);
    EXPECT_EQ(prepared.at(0).kind(), TimerStartRequest::Kind(TimerStartRequest::duration{2700}));
    EXPECT_TRUE(input()->text().isEmpty());
    EXPECT_FALSE(bar->presetNameField()->isVisible());

    type("1h");
    QTest::mouseClick(button("quorvane.quickAdd.submit"), Qt::LeftButton);
    ASSERT_EQ(prepared.size(), 2);
    EXPECT_EQ(prepared.at(1).kind(), TimerStartRequest::Kind(TimerStartRequest::duration{3600}));
    EXPECT_EQ(button("quorvane.quickAdd.submit")->accessibleName(), QStringLiteral("Review timer"));
}

TEST_F(QuickAddBarTest, SymbolKeysAppendAtTheEndAndFocusTheEntry) {
    makeBar();
    type("1");
    input()->setCursorPosition(0);
    window->setFocus();
    QAbstractButton* h = button("quorvane.quickAdd.symbol.h");
    EXPECT_EQ(h->accessibleName(), QStringLiteral("Insert h"));
    QTest::mouseClick(h, Qt::LeftButton);
    EXPECT_EQ(input()->text(), QStringLiteral("1h"));
    EXPECT_TRUE(input()->hasFocus());
    QTest::mouseClick(button("quorvane.quickAdd.symbol.:"), Qt::LeftButton);
    EXPECT_EQ(input()->text(), QStringLiteral("1h:"));
}

TEST_F(QuickAddBarTest, ReturnInTheNameFieldSavesAndTheSaveControlsFollowTheEntry) {
    makeBar();
    QLineEdit* name = bar->presetNameField();
    EXPECT_FALSE(name->isVisible());
    type("90s");
    ASSERT_TRUE(name->isVisible());
    name->setFocus();
    QTest::keyClicks(name, QStringLiteral("Tea"));
    QTest::keyClick(name, Qt::Key_Return);
    ASSERT_EQ(manager->presets().size(), 4);
    EXPECT_EQ(manager->presets().constLast().durationInSeconds, 120);
    EXPECT_TRUE(name->text().isEmpty());
    EXPECT_TRUE(name->isVisible()) << "the entry is kept, so the controls stay";
    EXPECT_TRUE(name->hasFocus());

    QTest::keyClicks(name, QStringLiteral("Kept"));
    input()->setFocus();
    input()->selectAll();
    QTest::keyClicks(input(), QStringLiteral("12:30"));
    EXPECT_FALSE(name->isVisible()) << "a clock time is no preset";
    input()->selectAll();
    QTest::keyClicks(input(), QStringLiteral("5m"));
    EXPECT_EQ(name->text(), QStringLiteral("Kept"));
}

TEST_F(QuickAddBarTest, EscapeLetsTheKeyboardGoAndSaysWhereItWent) {
    makeBar();
    type("5");
    QTest::keyClick(input(), Qt::Key_Escape);
    EXPECT_FALSE(input()->hasFocus());
    ASSERT_EQ(lossCount, 1);
    EXPECT_EQ(focusLosses.at(0), nullptr);

    type("m");
    bar->presetNameField()->setFocus();
    ASSERT_EQ(lossCount, 2);
    EXPECT_EQ(focusLosses.at(1), bar->presetNameField());
    EXPECT_TRUE(QuickAddBar::isTextField(focusLosses.at(1)));
    EXPECT_FALSE(QuickAddBar::isTextField(button("quorvane.quickAdd.submit")));
}

TEST_F(QuickAddBarTest, WithoutSymbolKeysTheSaveControlsStayAtTheTrailingEdge) {
    makeBar(3, false);
    for (const char* key : {"quorvane.quickAdd.symbol.:", "quorvane.quickAdd.symbol.d",
                            "quorvane.quickAdd.symbol.h", "quorvane.quickAdd.symbol.m"}) {
        EXPECT_FALSE(button(key)->isVisible()) << key;
    }
    type("25");
    QAbstractButton* save = button("quorvane.quickAdd.savePreset");
    EXPECT_TRUE(save->isVisible());
    EXPECT_LE(save->geometry().right(), QuickAddBar::barWidth - QuickAddBar::padding + 3);
    EXPECT_GT(save->geometry().right(), QuickAddBar::barWidth - 20);
    bar->setShowSymbolRow(true);
    EXPECT_TRUE(button("quorvane.quickAdd.symbol.m")->isVisible());
}

namespace {

// Gives "Enter a time" a wording far too long for the bar's line, as a translation might.
class LongWording : public QTranslator {
public:
    static constexpr const char* text =
        "Enter a time for the timer here: a number of minutes, hours and minutes such as 1h30m, or a "
        "clock time such as 12:30 or 9pm";
    bool isEmpty() const override { return false; }
    QString translate(const char*, const char* source, const char*, int) const override {
        return QLatin1String(source) == QLatin1String("Enter a time") ? QString::fromLatin1(text) : QString();
    }
};

} // namespace

TEST_F(QuickAddBarTest, TheMessageLineShrinksNoFurtherThanItsFloorAndKeepsItsDescenders) {
    LongWording wording;
    const struct {
        const char* behaviour;
        bool longWording;
        const char* typed;
        bool shrinks;
    } rows[] = {
        {"a message that fits keeps 11 px", false, "abc", false},
        {"a long one shrinks, never below 80 % of 11 px", true, "", true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.behaviour);
        if (row.longWording) {
            QCoreApplication::installTranslator(&wording);
        }
        makeBar();
        type(row.typed);
        QTest::keyClick(input(), Qt::Key_Return);
        TokenLabel* line = bar->messageLabel();
        ASSERT_FALSE(line->text().isEmpty());
        const int size = QFontInfo(line->font()).pixelSize();
        if (row.shrinks) {
            // What still does not fit ends in an ellipsis; the whole text is there to be read out.
            EXPECT_TRUE(line->text().endsWith(QChar(0x2026))) << line->text().toStdString();
            EXPECT_TRUE(QString::fromLatin1(LongWording::text).startsWith(line->text().chopped(1)));
            EXPECT_LE(QFontMetricsF(line->font()).horizontalAdvance(line->text()), line->width());
            EXPECT_EQ(line->accessibleName(), QString::fromLatin1(LongWording::text));
            EXPECT_LT(size, 11);
            EXPECT_GE(size, 11 * QuickAddBar::messageMinimumScale);
        } else {
            EXPECT_EQ(size, 11);
        }
        // The label holds the whole height of its text, centred on the line's 12 px, inside the bar.
        const QRect shown = line->geometry();
        EXPECT_GE(shown.height(), QFontMetrics(line->font()).height());
        const double slotCentre =
            QuickAddBar::barHeight - QuickAddBar::padding - QuickAddBar::messageHeight / 2.0;
        EXPECT_NEAR(shown.top() + shown.height() / 2.0, slotCentre, 0.5);
        EXPECT_TRUE(bar->rect().contains(shown));
        QCoreApplication::removeTranslator(&wording);
        TearDown();
    }
}
