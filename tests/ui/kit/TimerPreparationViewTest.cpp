// The confirmation card as a user drives it: buttons, Return, the title field, and texts kept current in
// place.
#include "ui/kit/TimerPreparationView.h"

#include "platform/Preferences.h"
#include "platform/TranslationCatalog.h"
#include "support/AccessibleReading.h"
#include "support/PixelProbe.h"
#include "theme/QvColor.h"
#include "ui/kit/LabelButton.h"
#include "ui/kit/TimerPreparationModel.h"
#include "ui/kit/TokenLabel.h"

#include <QApplication>
#include <QFontMetricsF>
#include <QImage>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

#include <variant>

namespace {

using Request = TimerStartRequest;

class TimerPreparationViewTest : public ::testing::Test {
protected:
    QDateTime now = QDateTime(QDate(2024, 5, 14), QTime(9, 0, 0), Qt::LocalTime);
    Preferences preferences;
    QList<Request> started;
    QList<Request> queued;
    int cancels = 0;
    bool engineAccepts = true;
    std::unique_ptr<TimerPreparationView> view;

    void make(const Request& request, bool adjustable = true) {
        TimerPreparationModel::Actions a;
        a.onStart = [this](const Request& r) {
            started << r;
            return engineAccepts;
        };
        a.onQueue = [this](const Request& r) {
            queued << r;
            return engineAccepts;
        };
        a.onCancel = [this] { ++cancels; };
        auto* model =
            new TimerPreparationModel(request, adjustable, std::move(a), preferences, [this] { return now; });
        view = std::make_unique<TimerPreparationView>(model);
        view->setLocale(QLocale(QStringLiteral("ja")));
        view->show();
    }
    template <class W> W* find(const char* name) const {
        W* w = view->findChild<W*>(QString::fromLatin1(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    void click(const char* name) const { QTest::mouseClick(find<QAbstractButton>(name), Qt::LeftButton); }
    static Request countdown(qint64 seconds, const char* title = "") {
        return Request(QUuid::createUuid(), QString::fromUtf8(title), Request::duration{seconds});
    }
};

} // namespace

TEST_F(TimerPreparationViewTest, ButtonsCallTheirActionsWithTheEditedRequest) {
    const struct {
        const char* name;
        const char* button;
        int starts;
        int queues;
        int backs;
    } rows[] = {
        {"Start starts", "quorvane.preparation.start", 1, 0, 0},
        {"Queue queues", "quorvane.preparation.queue", 0, 1, 0},
        {"Back goes back", "quorvane.preparation.back", 0, 0, 1},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        started.clear();
        queued.clear();
        cancels = 0;
        make(countdown(600));
        QTest::keyClicks(find<QLineEdit>("quorvane.preparation.title"), QStringLiteral("Essay"));
        click(row.button);
        EXPECT_EQ(started.size(), row.starts);
        EXPECT_EQ(queued.size(), row.queues);
        EXPECT_EQ(cancels, row.backs);
        for (const Request& r : started + queued) {
            EXPECT_EQ(r.title(), QStringLiteral("Essay"));
        }
    }
}

TEST_F(TimerPreparationViewTest, ReturnStartsFromAnywhereInTheCard) {
    const struct {
        const char* name;
        const char* target; // null: the card itself
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        int starts;
    } rows[] = {
        {"Return in the title field", "quorvane.preparation.title", Qt::Key_Return, Qt::NoModifier, 1},
        {"Return on the Start button", "quorvane.preparation.start", Qt::Key_Return, Qt::NoModifier, 1},
        {"keypad Enter on the card", nullptr, Qt::Key_Enter, Qt::KeypadModifier, 1},
        {"Return with Shift is not the shortcut", "quorvane.preparation.title", Qt::Key_Return,
         Qt::ShiftModifier, 0},
        {"other keys typed in the field start nothing", "quorvane.preparation.title", Qt::Key_A,
         Qt::NoModifier, 0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        started.clear();
        make(countdown(60));
        QWidget* target = row.target ? find<QWidget>(row.target) : view.get();
        QTest::keyClick(target, row.key, row.modifiers);
        EXPECT_EQ(started.size(), row.starts);
    }
}

TEST_F(TimerPreparationViewTest, AHeldReturnConfirmsNothingUntilItIsPressedAgain) {
    // The press that opened the card went elsewhere; its repeats land wherever the keyboard is in the card.
    const struct {
        const char* name;
        const char* target; // null: the card itself
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
    } rows[] = {
        {"Return repeating on the Start button", "quorvane.preparation.start", Qt::Key_Return,
         Qt::NoModifier},
        {"Return repeating in the title field", "quorvane.preparation.title", Qt::Key_Return, Qt::NoModifier},
        {"Return repeating on Back", "quorvane.preparation.back", Qt::Key_Return, Qt::NoModifier},
        {"keypad Enter repeating on the card", nullptr, Qt::Key_Enter, Qt::KeypadModifier},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        started.clear();
        cancels = 0;
        make(countdown(60));
        QWidget* target = row.target ? find<QWidget>(row.target) : view.get();
        for (int repeat = 0; repeat < 3; ++repeat) {
            QKeyEvent held(QEvent::KeyPress, row.key, row.modifiers, QStringLiteral("\r"), true);
            QApplication::sendEvent(target, &held);
        }
        EXPECT_TRUE(started.isEmpty());
        EXPECT_TRUE(queued.isEmpty());
        EXPECT_EQ(cancels, 0);
        EXPECT_TRUE(view->isVisible()) << "the card still asks";
        // Let go and press again: that is a confirmation.
        QTest::keyClick(target, row.key, row.modifiers);
        EXPECT_EQ(started.size(), 1);
    }
}

TEST_F(TimerPreparationViewTest, StartHoldsTheFocusWhenTheCardShows) {
    make(countdown(60));
    EXPECT_EQ(view->focusWidget(), find<QWidget>("quorvane.preparation.start"));
    // Only the keyboard reaches the buttons: a click leaves the focus where it is.
    for (const char* name : {"quorvane.preparation.back", "quorvane.preparation.queue",
                             "quorvane.preparation.minus5", "quorvane.preparation.start"}) {
        EXPECT_EQ(find<QWidget>(name)->focusPolicy(), Qt::TabFocus) << name;
    }
}

TEST_F(TimerPreparationViewTest, TheFocusedStartShowsItsRingAroundItsDarkFill) {
    make(countdown(60));
    view->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(view.get()));
    auto* start = find<LabelButton>("quorvane.preparation.start");
    ASSERT_TRUE(start->hasFocus());
    const QImage picture = start->grab().toImage();
    const QRect shape = start->shapeRect().toRect();
    // Just outside the fill, half way down its left edge: the ring, not the card behind.
    const QColor ring = picture.pixelColor(shape.left() - 2, shape.center().y());
    const QColor fill = picture.pixelColor(shape.center().x(), shape.top() + 4);
    EXPECT_GT(ring.alpha(), 60) << "no ring drawn outside the shape";
    EXPECT_EQ(fill, QvColor::qvInkAction().resolve(ColorScheme::light));

    // Without the focus, nothing is drawn there.
    find<QWidget>("quorvane.preparation.back")->setFocus();
    EXPECT_EQ(start->grab().toImage().pixelColor(shape.left() - 2, shape.center().y()).alpha(), 0);
}

TEST_F(TimerPreparationViewTest, ARefusalShowsOneErrorLineAndKeepsTheCard) {
    engineAccepts = false;
    make(countdown(60));
    auto* error = find<TokenLabel>("quorvane.preparation.error");
    EXPECT_FALSE(error->isVisible());
    click("quorvane.preparation.start");
    click("quorvane.preparation.start");
    EXPECT_TRUE(error->isVisible());
    EXPECT_EQ(error->text(), QStringLiteral("タイマーの上限に達しました（設定で変更できます）"));
    EXPECT_EQ(started.size(), 2);
}

TEST_F(TimerPreparationViewTest, AnAlarmShowsNeitherAdjustmentNorQueue) {
    make(Request(QUuid::createUuid(), QString(), Request::alarm{now.addSecs(3600)}));
    EXPECT_FALSE(find<QWidget>("quorvane.preparation.minus5")->isVisible());
    EXPECT_FALSE(find<QWidget>("quorvane.preparation.plus5")->isVisible());
    EXPECT_FALSE(find<QWidget>("quorvane.preparation.queue")->isVisible());
    EXPECT_TRUE(find<QWidget>("quorvane.preparation.start")->isVisible());
    EXPECT_EQ(view->shownLength(), QStringLiteral("1:00:00"));
}

TEST_F(TimerPreparationViewTest, ClockTextsChangeInPlaceWithoutDisturbingTheUser) {
    make(countdown(1500));
    auto* field = find<QLineEdit>("quorvane.preparation.title");
    auto* endLine = find<TokenLabel>("quorvane.preparation.endTime");
    field->setFocus();
    QTest::keyClicks(field, QStringLiteral("Dra"));
    EXPECT_TRUE(endLine->text().endsWith(QStringLiteral("9:25")));
    now = now.addSecs(60);
    view->model().refreshClock();
    EXPECT_TRUE(endLine->text().endsWith(QStringLiteral("9:26"))) << endLine->text().toStdString();
    // The same widgets, the typing and the caret untouched.
    EXPECT_EQ(find<TokenLabel>("quorvane.preparation.endTime"), endLine);
    EXPECT_EQ(field->text(), QStringLiteral("Dra"));
    EXPECT_EQ(field->cursorPosition(), 3);
    EXPECT_EQ(view->focusWidget(), field);
}

TEST_F(TimerPreparationViewTest, AdjustmentButtonsAreNamedInTheInterfaceLanguage) {
    preferences.setString(QStringLiteral("bl.appLanguage"), QStringLiteral("en"));
    make(countdown(60));
    EXPECT_EQ(find<QWidget>("quorvane.preparation.minus5")->accessibleName(),
              QStringLiteral("Subtract 5 minutes"));
    preferences.setString(QStringLiteral("bl.appLanguage"), QStringLiteral("ja"));
    EXPECT_EQ(find<QWidget>("quorvane.preparation.plus5")->accessibleName(), QStringLiteral("5分追加"));
    EXPECT_EQ(find<QWidget>("quorvane.preparation.dial")->accessibleName(),
              QStringLiteral("タイマーのプレビュー"));
}

TEST_F(TimerPreparationViewTest, TheDialReadsAsOneElementWithTheLengthAsItsValue) {
    preferences.setString(QStringLiteral("bl.appLanguage"), QStringLiteral("en"));
    make(countdown(1500));
    QWidget* dial = find<QWidget>("quorvane.preparation.dial");
    EXPECT_EQ(AccessibleReading::name(dial), QStringLiteral("Timer preview"));
    EXPECT_EQ(AccessibleReading::value(dial), QStringLiteral("25:00"));
    EXPECT_TRUE(AccessibleReading::description(dial).isEmpty());
    EXPECT_EQ(AccessibleReading::childCount(dial), 0) << "the dial and its texts are not read apart";
    QTest::mouseClick(find<QWidget>("quorvane.preparation.plus5"), Qt::LeftButton);
    EXPECT_EQ(AccessibleReading::value(dial), QStringLiteral("30:00"));
}

TEST_F(TimerPreparationViewTest, TheEndLineHoldsItsPlaceWhateverItsDigits) {
    const QFont before = QApplication::font();
    // A face whose digits are not all as wide as each other in Japanese text, as many desktop faces'
    // digits are everywhere.
    QApplication::setFont(QFont(QStringLiteral("Noto Serif CJK JP")));
    ASSERT_TRUE(TranslationCatalog::install(QStringLiteral("ja")));
    const struct {
        QTime now;
        const char* ends;
    } rows[] = {
        {QTime(11, 10), "11:11"},
        {QTime(19, 59), "20:00"},
    };
    QList<int> starts;
    for (const auto& row : rows) {
        SCOPED_TRACE(row.ends);
        now = QDateTime(now.date(), row.now, Qt::LocalTime);
        make(countdown(60));
        auto* endLine = find<TokenLabel>("quorvane.preparation.endTime");
        EXPECT_TRUE(endLine->text().endsWith(QLatin1String(row.ends))) << endLine->text().toStdString();
        const QFontMetricsF metrics(endLine->font());
        ASSERT_NE(metrics.horizontalAdvance(endLine->text().chopped(5) + QStringLiteral("11:11")),
                  metrics.horizontalAdvance(endLine->text().chopped(5) + QStringLiteral("20:00")));
        // The centred line's left end: where its first ink is.
        const QImage picture = endLine->grab().toImage();
        const QColor ground = picture.pixelColor(0, 0);
        int start = -1;
        for (int x = 0; x < picture.width() && start < 0; ++x) {
            for (int y = 0; y < picture.height(); ++y) {
                if (PixelProbe::distance(picture.pixelColor(x, y), ground) > 60) {
                    start = x;
                    break;
                }
            }
        }
        starts << start;
        view.reset();
    }
    TranslationCatalog::install(QStringLiteral("en"));
    QApplication::setFont(before);
    ASSERT_EQ(starts.size(), 2);
    EXPECT_GE(starts.at(0), 0);
    EXPECT_EQ(starts.at(0), starts.at(1));
}
