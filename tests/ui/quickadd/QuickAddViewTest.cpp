// The quick-add view driven as a person drives it: the field takes the keyboard, a typed time or a chip
// leads to the start card (the view grows to fit it), Escape goes back and then closes, and Start or Queue
// make one timer and close. Pictures of both steps in both languages go to quickadd-gallery/.
#include "QuickAddFixture.h"

#include "support/GalleryLanguages.h"
#include "theme/QvColor.h"
#include "theme/ThemeStore.h"
#include "ui/kit/LabelButton.h"
#include "ui/kit/TimerPreparationModel.h"
#include "ui/kit/TimerPreparationView.h"
#include "ui/quickadd/QuickAddView.h"
#include "ui/quickadd/QuickAddViewModel.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFontMetricsF>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

namespace {

class QuickAddViewTest : public QuickAddFixture {
public:
    int closes = 0;
    std::unique_ptr<QuickAddView> view;

    void open(const std::optional<TimerStartRequest>& request = std::nullopt) {
        view = std::make_unique<QuickAddView>(
            *timers, preferences, request, [this] { ++closes; }, clock);
        view->show();
        view->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(view.get()));
    }

    void TearDown() override {
        view.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    template <class W> W* find(const QString& name) const { return view->findChild<W*>(name); }
    QLabel* message() const { return find<QLabel>(QStringLiteral("quorvane.quickAddPanel.message")); }
    QWidget* focused() const { return QApplication::focusWidget(); }
};

// Every visible one-line label is wide enough for its text, and every button for its face.
void expectTextsFit(const QWidget& widget) {
    for (const QLabel* label : widget.findChildren<QLabel*>()) {
        if (label->isVisible() && !label->wordWrap() && !label->text().isEmpty()) {
            EXPECT_LE(QFontMetricsF(label->font()).horizontalAdvance(label->text()), label->width() + 1)
                << label->text().toStdString();
        }
    }
    for (const QAbstractButton* button : widget.findChildren<QAbstractButton*>()) {
        if (button->isVisible()) {
            EXPECT_GE(button->width(), button->sizeHint().width() - 4) << button->text().toStdString();
            EXPECT_TRUE(widget.rect().contains(QRect(button->mapTo(&widget, QPoint()), button->size())))
                << button->text().toStdString();
        }
    }
}

} // namespace

TEST_F(QuickAddViewTest, TypingATimeLeadsToTheCardAndEscapeGoesBackThenCloses) {
    const QColor accent = ThemeStore::resolveAccentColor(preferences);
    open();
    EXPECT_EQ(view->size(), QSize(380, 400));
    QLineEdit* field = view->field();
    ASSERT_TRUE(QTest::qWaitFor([&] { return field->hasFocus(); }, 1000)) << "the field takes the keyboard";
    EXPECT_EQ(view->fieldOutlineColor(), accent);
    EXPECT_EQ(view->fieldOutlineWidth(), 2);
    EXPECT_EQ(view->returnGlyphColor(), QvColor::qvInkMuted().resolve(ColorScheme::light));

    // An unreadable text: the one error line, in the destructive colour around the field.
    QTest::keyClicks(field, QStringLiteral("abc"));
    EXPECT_EQ(view->returnGlyphColor(), accent);
    QTest::keyClick(field, Qt::Key_Return);
    EXPECT_EQ(message()->text(), QStringLiteral("Couldn't read that. Try: 10m · 1d18h · 12:30"));
    EXPECT_EQ(view->fieldOutlineColor(), QvColor::qvDestructive().resolve(ColorScheme::light));
    EXPECT_EQ(view->card(), nullptr);
    QTest::keyClick(field, Qt::Key_D);
    EXPECT_NE(message()->text(), QStringLiteral("Couldn't read that. Try: 10m · 1d18h · 12:30"));
    EXPECT_EQ(view->fieldOutlineColor(), accent);

    // A readable one: the card, Start holding the keyboard, the view grown to fit it.
    field->selectAll();
    QTest::keyClicks(field, QStringLiteral("25"));
    QTest::keyClick(field, Qt::Key_Return);
    TimerPreparationView* card = view->card();
    ASSERT_NE(card, nullptr);
    EXPECT_EQ(card->model().request().kind(), TimerStartRequest::Kind(TimerStartRequest::duration{1500}));
    EXPECT_TRUE(card->isVisible());
    EXPECT_FALSE(field->isVisible());
    EXPECT_EQ(focused(), card->findChild<QWidget*>(QStringLiteral("quorvane.preparation.start")));
    EXPECT_EQ(view->width(), 380);
    EXPECT_EQ(view->height(), std::max(400, card->cardRect().height() + 2 * QuickAddView::cardMargin));
    const QRect shape = card->cardRect().translated(card->pos());
    EXPECT_TRUE(view->rect().contains(shape)) << "the whole card shows";
    EXPECT_EQ(shape.center().x(), view->rect().center().x());
    EXPECT_TRUE(timers->timers().isEmpty());

    // Escape from the card: the entry step as it was, 380 × 400 again.
    QTest::keyClick(focused(), Qt::Key_Escape);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(view->card(), nullptr);
    EXPECT_EQ(view->size(), QSize(380, 400));
    EXPECT_EQ(field->text(), QStringLiteral("25"));
    EXPECT_TRUE(field->hasFocus());
    EXPECT_EQ(closes, 0);
    // Escape on the entry step closes.
    QTest::keyClick(field, Qt::Key_Escape);
    EXPECT_EQ(closes, 1);
    EXPECT_TRUE(timers->timers().isEmpty());
}

TEST_F(QuickAddViewTest, TheEntryRowsSitInTheMiddleOfTheStep) {
    const struct {
        const char* behaviour;
        const char* typed; // and Return, before measuring
    } rows[] = {
        {"with the help line", ""},
        {"with the error line", "soon"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.behaviour);
        open();
        if (*row.typed) {
            QTest::keyClicks(view->field(), QString::fromLatin1(row.typed));
            QTest::keyClick(view->field(), Qt::Key_Return);
            ASSERT_TRUE(view->model().hasError());
        }
        // From the top of the header to the bottom of the chips, whatever draws there.
        QRect drawn;
        for (const QWidget* widget : view->findChildren<QWidget*>()) {
            if (widget->isVisible() && widget->size() != view->size()) {
                drawn |= QRect(widget->mapTo(view.get(), QPoint()), widget->size());
            }
        }
        ASSERT_TRUE(drawn.isValid());
        EXPECT_EQ(view->size(), QSize(380, 400));
        EXPECT_NEAR(drawn.top(), view->height() - 1 - drawn.bottom(), 1)
            << "rows from " << drawn.top() << " to " << drawn.bottom();
        view.reset();
    }
}

TEST_F(QuickAddViewTest, AChipOrAGivenRequestIsConfirmedByStartOrQueue) {
    const struct {
        const char* behaviour;
        std::optional<TimerStartRequest> given;
        const char* chip; // pressed on the entry step, when nothing was given
        const char* button;
        qint64 seconds;
        TimerState state;
    } rows[] = {
        {"a chip, then Return on the card", std::nullopt, "quorvane.quickAddPanel.chip.15", nullptr, 900,
         TimerState::running},
        {"a chip, then Queue", std::nullopt, "quorvane.quickAddPanel.chip.50", "quorvane.preparation.queue",
         3000, TimerState::idle},
        {"a given request, then Start", countdown(1500), nullptr, "quorvane.preparation.start", 1500,
         TimerState::running},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.behaviour);
        makeEngine();
        closes = 0;
        open(row.given);
        if (row.chip) {
            QTest::mouseClick(find<QAbstractButton>(QString::fromLatin1(row.chip)), Qt::LeftButton);
        }
        ASSERT_NE(view->card(), nullptr);
        EXPECT_TRUE(timers->timers().isEmpty()) << "nothing before confirmation";
        if (row.button) {
            QTest::mouseClick(view->card()->findChild<QAbstractButton*>(QString::fromLatin1(row.button)),
                              Qt::LeftButton);
        } else {
            QTest::keyClick(focused(), Qt::Key_Return);
        }
        ASSERT_EQ(timers->timers().size(), 1);
        EXPECT_EQ(timers->timers()[0].totalDuration, row.seconds);
        EXPECT_EQ(timers->timers()[0].state, row.state);
        EXPECT_EQ(closes, 1);
        view.reset();
    }
}

TEST_F(QuickAddViewTest, AHeldReturnActsOnceAndTheCardWaitsForANewPress) {
    const auto holdReturn = [this](int repeats) {
        for (int i = 0; i < repeats; ++i) {
            QKeyEvent held(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"), true);
            QApplication::sendEvent(focused(), &held);
        }
    };
    const struct {
        const char* behaviour;
        const char* chip; // the keyboard on this chip; else typed text in the field
        bool opensCard;   // the first press, before it repeats
    } rows[] = {
        {"a typed time held on Return", nullptr, true},
        {"a chip held on Return", "quorvane.quickAddPanel.chip.15", true},
        {"a chip that only sees the repeats", "quorvane.quickAddPanel.chip.15", false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.behaviour);
        makeEngine();
        closes = 0;
        open();
        QLineEdit* field = view->field();
        ASSERT_TRUE(QTest::qWaitFor([&] { return field->hasFocus(); }, 1000));
        if (row.chip) {
            find<QWidget>(QString::fromLatin1(row.chip))->setFocus(Qt::TabFocusReason);
        } else {
            QTest::keyClicks(field, QStringLiteral("25"));
        }
        if (row.opensCard) {
            QTest::keyPress(focused(), Qt::Key_Return);
            ASSERT_NE(view->card(), nullptr);
            EXPECT_EQ(focused(),
                      view->card()->findChild<QWidget*>(QStringLiteral("quorvane.preparation.start")));
        }
        holdReturn(5);
        EXPECT_TRUE(timers->timers().isEmpty()) << "no timer without a real confirmation";
        EXPECT_EQ(closes, 0);
        EXPECT_EQ(view->card() != nullptr, row.opensCard);
        if (row.opensCard) {
            QTest::keyRelease(focused(), Qt::Key_Return);
            QTest::keyClick(focused(), Qt::Key_Return);
            EXPECT_EQ(timers->timers().size(), 1);
            EXPECT_EQ(closes, 1);
        }
        view.reset();
    }
}

TEST_F(QuickAddViewTest, WritesBothStepsInBothLanguages) {
    forEachGalleryLanguage(preferences, "quickadd-gallery", [&](const GalleryLanguage& language) {
        const auto save = [&](const char* step) {
            expectTextsFit(*view);
            EXPECT_TRUE(
                view->grab().toImage().save(QStringLiteral("quickadd-gallery/%1-%2.png")
                                                .arg(QLatin1String(step), QLatin1String(language.name))));
        };
        open();
        ASSERT_TRUE(QTest::qWaitFor([&] { return view->field()->hasFocus(); }, 1000));
        save("entry");
        QTest::keyClicks(view->field(), QStringLiteral("soon"));
        QTest::keyClick(view->field(), Qt::Key_Return);
        save("entry-error");
        QTest::mouseClick(find<QAbstractButton>(QStringLiteral("quorvane.quickAddPanel.chip.25")),
                          Qt::LeftButton);
        ASSERT_NE(view->card(), nullptr);
        save("confirmation");
        view.reset();
    });
    TranslationCatalog::install(QStringLiteral("en"));
}
