// The guide as a user drives it: the pages in order through its buttons and keys, the language switch
// showing at once, the first timer, the header's dots and the slide between pages. Pictures of every page
// in both languages are written into the build tree for people to look at.
#include "OnboardingFixture.h"

#include "support/AccessibleReading.h"
#include "theme/QvColor.h"
#include "theme/QvFont.h"
#include "ui/kit/LabelButton.h"
#include "ui/kit/TokenLabel.h"
#include "ui/onboarding/OnboardingBackButton.h"
#include "ui/onboarding/OnboardingDial.h"
#include "ui/onboarding/OnboardingLanguageButton.h"
#include "ui/onboarding/OnboardingNavigationHeader.h"
#include "ui/onboarding/OnboardingPageStack.h"
#include "ui/onboarding/OnboardingQuickChip.h"
#include "ui/onboarding/OnboardingReadyDial.h"
#include "ui/onboarding/OnboardingStepIndicator.h"
#include "ui/onboarding/OnboardingViewModel.h"
#include "support/ManualAnimationClock.h"
#include "support/PixelProbe.h"

#include <QDir>
#include <QFontMetricsF>
#include <QImage>
#include <QEnterEvent>
#include <QTest>

#include <cmath>
#include <functional>

namespace {

class OnboardingViewTest : public OnboardingFixture {
public:
    LabelButton* primary() const { return find<LabelButton>("quorvane.onboarding.primary"); }
    LabelButton* skip() const { return find<LabelButton>("quorvane.onboarding.skip"); }
    OnboardingBackButton* back() const { return find<OnboardingBackButton>("quorvane.onboarding.back"); }
    OnboardingLanguageButton* languageButton(const char* raw) const {
        return find<OnboardingLanguageButton>(QStringLiteral("quorvane.onboarding.language.") +
                                              QLatin1String(raw));
    }
    OnboardingQuickChip* chip(int minutes) const {
        return find<OnboardingQuickChip>(QStringLiteral("quorvane.onboarding.quickDuration.%1").arg(minutes));
    }
    QString pageText(const char* page, const char* part) const {
        const auto* label = find<TokenLabel>(
            QStringLiteral("quorvane.onboarding.page.%1.%2").arg(QLatin1String(page), QLatin1String(part)));
        return label ? label->text() : QStringLiteral("<none>");
    }
    // What is on screen below the pages: the buttons a user can see.
    QStringList visibleActions() const {
        QStringList shown;
        for (LabelButton* button : {primary(), skip()}) {
            if (button->isVisibleTo(view.get())) {
                shown << button->text();
            }
        }
        return shown;
    }
    void key(Qt::Key k) {
        QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : view.get();
        QTest::keyClick(target, k);
        settle();
    }
};

} // namespace

TEST_F(OnboardingViewTest, ButtonsAndTheBackControlWalkThePagesInOrder) {
    settings.setAppLanguageRaw(QStringLiteral("en"));
    makeView();
    show();
    const struct {
        const char* behaviour;
        std::function<void(OnboardingViewTest&)> act;
        const char* page;
        QStringList actions;
        bool header;
    } rows[] = {
        {"a new guide opens on the language page with no header and no buttons",
         [](OnboardingViewTest&) {},
         "language",
         {},
         false},
        {"a language tile moves on to the quick start",
         [](OnboardingViewTest& t) { QTest::mouseClick(t.languageButton("en"), Qt::LeftButton); },
         "quickStart",
         {QStringLiteral("Next"), QStringLiteral("Skip")},
         true},
        {"Next leads to the input page",
         [](OnboardingViewTest& t) { QTest::mouseClick(t.primary(), Qt::LeftButton); },
         "input",
         {QStringLiteral("Next"), QStringLiteral("Skip")},
         true},
        {"Next leads to the last page, which has no Skip",
         [](OnboardingViewTest& t) { QTest::mouseClick(t.primary(), Qt::LeftButton); },
         "done",
         {QStringLiteral("Start selected timer")},
         true},
        {"Back returns to the input page",
         [](OnboardingViewTest& t) { QTest::mouseClick(t.back(), Qt::LeftButton); },
         "input",
         {QStringLiteral("Next"), QStringLiteral("Skip")},
         true},
        {"Back twice returns to the language page",
         [](OnboardingViewTest& t) {
             QTest::mouseClick(t.back(), Qt::LeftButton);
             t.settle();
             QTest::mouseClick(t.back(), Qt::LeftButton);
         },
         "language",
         {},
         false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.behaviour);
        row.act(*this);
        settle();
        EXPECT_EQ(visiblePage(), QLatin1String(row.page));
        EXPECT_EQ(visibleActions(), row.actions);
        EXPECT_EQ(view->header()->isVisibleTo(view.get()), row.header);
    }
    EXPECT_EQ(dismissals, 0);
    EXPECT_EQ(written, QStringList{SettingsKeys::appLanguage.key});
}

TEST_F(OnboardingViewTest, TheKeyboardAloneReachesEveryControlAndLeftStepsBack) {
    settings.setAppLanguageRaw(QStringLiteral("en"));
    makeView();
    show();
    view->activateWindow();
    settle();
    EXPECT_EQ(view->focusWidget(), view.get()) << "no control shows a ring until the user tabs to it";

    key(Qt::Key_Left);
    EXPECT_EQ(visiblePage(), QStringLiteral("language")) << "Left on the first page passes on";
    key(Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), languageButton("ja"));
    key(Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), languageButton("en"));
    key(Qt::Key_Space);
    EXPECT_EQ(visiblePage(), QStringLiteral("quickStart"));
    EXPECT_EQ(settings.appLanguageRaw(), QStringLiteral("en"));

    // The tab order of the quick-start page, from the view that took the focus back from the hidden tile.
    const QList<QWidget*> order{back(), chip(5), chip(25), chip(60), primary(), skip()};
    for (QWidget* expected : order) {
        key(Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), expected) << expected->objectName().toStdString();
    }
    key(Qt::Key_Backtab);
    key(Qt::Key_Backtab);
    ASSERT_EQ(QApplication::focusWidget(), chip(60));
    // Only the focused chip rings: a point on its ring, just outside the chip, against the same point of a
    // neighbour.
    const QColor canvas = QvColor::qvCanvas().resolve(ColorScheme::light);
    const auto ringInk = [&](OnboardingQuickChip* c) {
        return PixelProbe::distance(view->grab(QRect(c->mapTo(view.get(), QPoint(22 + 19, 20)), QSize(3, 4)))
                                        .toImage()
                                        .pixelColor(1, 2),
                                    canvas);
    };
    EXPECT_GT(ringInk(chip(60)), 40);
    EXPECT_LT(ringInk(chip(25)), 10);
    key(Qt::Key_Space);
    EXPECT_TRUE(chip(60)->isSelected());
    EXPECT_EQ(visiblePage(), QStringLiteral("quickStart")) << "a chip does not turn the page";
    key(Qt::Key_Left);
    EXPECT_EQ(visiblePage(), QStringLiteral("language")) << "Left steps back even from a focused chip";
    view->model().advance();
    settle();
    view->model().advance();
    settle();
    EXPECT_EQ(visiblePage(), QStringLiteral("input"));
    key(Qt::Key_Left);
    EXPECT_EQ(visiblePage(), QStringLiteral("quickStart"));
    key(Qt::Key_Left);
    EXPECT_EQ(visiblePage(), QStringLiteral("language"));
    key(Qt::Key_Left);
    EXPECT_EQ(visiblePage(), QStringLiteral("language"));
}

TEST_F(OnboardingViewTest, PickingALanguageRetranslatesEveryVisibleTextAtOnce) {
    settings.setAppLanguageRaw(QStringLiteral("ja"));
    TranslationCatalog::install(QStringLiteral("ja"));
    makeView();
    show();
    EXPECT_EQ(pageText("language", "title"), QStringLiteral("言語を選んでください"));
    EXPECT_TRUE(languageButton("ja")->isSelected());
    EXPECT_EQ(view->locale().language(), QLocale::Japanese);

    QTest::mouseClick(languageButton("en"), Qt::LeftButton);
    settle();
    EXPECT_TRUE(languageButton("en")->isSelected());
    EXPECT_FALSE(languageButton("ja")->isSelected());
    EXPECT_EQ(AccessibleReading::role(languageButton("en")), QAccessible::ListItem);
    EXPECT_TRUE(AccessibleReading::state(languageButton("en")).selected);
    EXPECT_FALSE(AccessibleReading::state(languageButton("ja")).selected);
    EXPECT_FALSE(AccessibleReading::isRead(
        view->pages()->page(OnboardingStep::language)->findChild<OnboardingDial*>()))
        << "the language page's dial is a picture only";
    EXPECT_EQ(view->locale().language(), QLocale::English);
    EXPECT_EQ(pageText("quickStart", "title"), QStringLiteral("Your one-key timer"));
    EXPECT_EQ(pageText("quickStart", "body"),
              QStringLiteral("Pick a length, then press ⌘⌥1 anytime to start it instantly — from any app."));
    EXPECT_EQ(visibleActions(), (QStringList{QStringLiteral("Next"), QStringLiteral("Skip")}));
    EXPECT_EQ(back()->accessibleName(), QStringLiteral("Back"));
    EXPECT_EQ(skip()->accessibleName(), QStringLiteral("Skip onboarding"));
    EXPECT_EQ(chip(5)->accessibleName(), QStringLiteral("Review a 5-minute timer"));
    EXPECT_EQ(view->header()->stepIndicator()->accessibleName(), QStringLiteral("Step 1 of 3"));

    // And back to Japanese from the same page.
    QTest::mouseClick(back(), Qt::LeftButton);
    settle();
    QTest::mouseClick(languageButton("ja"), Qt::LeftButton);
    settle();
    EXPECT_EQ(pageText("quickStart", "title"), QStringLiteral("ワンキータイマー"));
    EXPECT_EQ(visibleActions(), (QStringList{QStringLiteral("次へ"), QStringLiteral("スキップ")}));
    EXPECT_EQ(view->header()->stepIndicator()->accessibleName(), QStringLiteral("ステップ 1 / 3"));
    EXPECT_EQ(pageText("done", "title"), QStringLiteral("準備ができました"));
}

TEST_F(OnboardingViewTest, TheLastPageStartsTheLengthPickedOnTheChips) {
    settings.setAppLanguageRaw(QStringLiteral("en"));
    settings.setQuickPresetMinutes(40);
    makeView();
    show();
    QTest::mouseClick(languageButton("en"), Qt::LeftButton);
    settle();
    auto* quickDial = view->pages()->page(OnboardingStep::quickStart)->findChild<OnboardingDial*>();
    auto* readyDial = find<OnboardingReadyDial>("quorvane.onboarding.readyDial");
    ASSERT_NE(quickDial, nullptr);
    ASSERT_NE(readyDial, nullptr);
    EXPECT_TRUE(chip(25)->isSelected()) << "25 first, whatever is stored";
    EXPECT_EQ(quickDial->text(), QStringLiteral("25:00"));
    const struct {
        int minutes;
        const char* face;
    } picks[] = {{5, "05:00"}, {60, "1:00:00"}};
    for (const auto& pick : picks) {
        SCOPED_TRACE(pick.minutes);
        QTest::mouseClick(chip(pick.minutes), Qt::LeftButton);
        settle();
        EXPECT_EQ(quickDial->text(), QLatin1String(pick.face));
        EXPECT_EQ(readyDial->text(), QLatin1String(pick.face));
        EXPECT_EQ(settings.quickPresetMinutes(), pick.minutes);
        for (int other : {5, 25, 60}) {
            EXPECT_EQ(chip(other)->isSelected(), other == pick.minutes) << other;
            EXPECT_FALSE(AccessibleReading::state(chip(other)).selected) << "no trait marks the chosen chip";
        }
        // The chosen length is read from the quick dial; the done page's dial is a picture only.
        EXPECT_EQ(AccessibleReading::name(quickDial), QLatin1String(pick.face));
        EXPECT_TRUE(AccessibleReading::isRead(quickDial));
        EXPECT_EQ(AccessibleReading::childCount(quickDial), 0);
        EXPECT_FALSE(AccessibleReading::isRead(readyDial));
    }
    QTest::mouseClick(primary(), Qt::LeftButton);
    settle();
    QTest::mouseClick(primary(), Qt::LeftButton);
    settle();
    EXPECT_EQ(readyDial->caption(), QStringLiteral("Ready"));
    EXPECT_TRUE(timers->timers().isEmpty()) << "nothing starts before the button";
    EXPECT_FALSE(settings.hasSeenOnboarding());
    QTest::mouseClick(primary(), Qt::LeftButton);
    settle();
    ASSERT_EQ(timers->timers().size(), 1);
    EXPECT_EQ(timers->timers()[0].title, QStringLiteral("Focus"));
    EXPECT_EQ(timers->timers()[0].totalDuration, 3600);
    EXPECT_EQ(timers->timers()[0].state, TimerState::running);
    EXPECT_TRUE(settings.hasSeenOnboarding());
    EXPECT_EQ(dismissals, 1);
}

TEST_F(OnboardingViewTest, LengthsKeepTheirDigitsInPlaceWhateverTheFace) {
    // A face whose digits are not all as wide as each other in Japanese text, as many desktop faces' digits
    // are everywhere.
    struct Face {
        QFont before = QApplication::font();
        Face() { QApplication::setFont(QFont(QStringLiteral("Noto Serif CJK JP"))); }
        ~Face() { QApplication::setFont(before); }
    } face;
    settings.setAppLanguageRaw(QStringLiteral("ja"));
    makeView();
    show();
    // Where the last dark ink of `area` ends, drawn four times larger so a fraction of a pixel shows.
    const auto inkEnd = [](QWidget& widget, const QRect& area) {
        constexpr int scale = 4;
        QImage image(widget.size() * scale, QImage::Format_ARGB32_Premultiplied);
        image.setDevicePixelRatio(scale);
        image.fill(Qt::white);
        widget.render(&image);
        const QRect scaled(area.topLeft() * scale, area.size() * scale);
        for (int x = scaled.right(); x >= scaled.left(); --x) {
            for (int y = scaled.top(); y <= scaled.bottom(); ++y) {
                if (qGray(image.pixel(x, y)) < 100) {
                    return x;
                }
            }
        }
        return -1;
    };
    auto* readyDial = find<OnboardingReadyDial>("quorvane.onboarding.readyDial");
    ASSERT_NE(readyDial, nullptr);
    // Its length's line: well inside the ticks, above the caption.
    const QPoint middle = readyDial->rect().center();
    const QRect lengthLine(middle.x() - 64, middle.y() - 30, 128, 36);
    // A chip of any length, with its label inside the circle and none of the outline.
    OnboardingQuickChip ten(10);
    OnboardingQuickChip twenty(20);
    const QRect chipLabel(OnboardingQuickChip::frameSide / 2 - 12, OnboardingQuickChip::frameSide / 2 - 8, 24,
                          16);
    const struct {
        const char* name;
        std::function<int()> first;
        std::function<int()> second;
        QString firstText;
        QString secondText;
        QFont font;
    } rows[] = {
        {"the ready dial's length",
         [&] {
             readyDial->setMinutes(20);
             return inkEnd(*readyDial, lengthLine);
         },
         [&] {
             readyDial->setMinutes(11);
             return inkEnd(*readyDial, lengthLine);
         },
         QStringLiteral("20:00"), QStringLiteral("11:00"), QvFont::qvText(38, QFont::Medium)},
        {"a quick chip's minutes", [&] { return inkEnd(ten, chipLabel); },
         [&] { return inkEnd(twenty, chipLabel); }, QStringLiteral("10"), QStringLiteral("20"), ten.font()},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const QFontMetricsF metrics(row.font);
        // In this face, the two take different widths when digits keep their own.
        ASSERT_GT(
            std::abs(metrics.horizontalAdvance(row.firstText) - metrics.horizontalAdvance(row.secondText)),
            1.0);
        const int first = row.first();
        const int second = row.second();
        EXPECT_GE(first, 0);
        EXPECT_EQ(first, second) << "the last digit stands where it stood";
    }
}

TEST_F(OnboardingViewTest, TheHeaderCountsTheStepOnScreen) {
    settings.setAppLanguageRaw(QStringLiteral("en"));
    makeView();
    show();
    view->model().advance();
    settle();
    QColor ink = QvColor::qvInkAction().resolve(ColorScheme::light);
    ink.setAlphaF(float(OnboardingStepIndicator::inkOpacity));
    const QColor stroke = QvColor::qvStroke().resolve(ColorScheme::light);
    const struct {
        OnboardingStep step;
        const char* label;
        QList<double> widths;
        QList<QColor> colors;
    } rows[] = {
        {OnboardingStep::quickStart, "Step 1 of 3", {18, 6, 6}, {ink, stroke, stroke}},
        {OnboardingStep::input, "Step 2 of 3", {6, 18, 6}, {ink, ink, stroke}},
        {OnboardingStep::done, "Step 3 of 3", {6, 6, 18}, {ink, ink, ink}},
    };
    const OnboardingStepIndicator* dots = view->header()->stepIndicator();
    for (const auto& row : rows) {
        SCOPED_TRACE(row.label);
        while (view->model().currentStep() != row.step) {
            view->model().advance();
        }
        settle();
        EXPECT_EQ(dots->accessibleName(), QLatin1String(row.label));
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(dots->shownWidth(i), row.widths[i]) << i;
            EXPECT_EQ(dots->shownColor(i).rgba(), row.colors[i].rgba()) << i;
        }
    }
    // The pointer over Back fills its circle with the muted surface, and leaving clears it.
    const auto backFill = [&] {
        return view->grab(QRect(back()->mapTo(view.get(), QPoint(22, 6)), QSize(1, 1)))
            .toImage()
            .pixelColor(0, 0);
    };
    const QColor canvas = QvColor::qvCanvas().resolve(ColorScheme::light);
    EXPECT_LT(PixelProbe::distance(backFill(), canvas), 3);
    QEnterEvent enter(QPointF(22, 22), QPointF(22, 22), QPointF(22, 22));
    QCoreApplication::sendEvent(back(), &enter);
    EXPECT_TRUE(back()->isHovered());
    EXPECT_LT(PixelProbe::distance(backFill(), QvColor::qvSurfaceMuted().resolve(ColorScheme::light)), 3);
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(back(), &leave);
    EXPECT_LT(PixelProbe::distance(backFill(), canvas), 3);

    // A step outside the tour: first dot in ink, none wide.
    OnboardingStepIndicator outside(onboardingTourSteps());
    outside.setCurrentStep(OnboardingStep::language);
    EXPECT_EQ(outside.currentPosition(), 0);
    EXPECT_EQ(outside.accessibleName(), QStringLiteral("Step 1 of 3"));
    EXPECT_EQ(outside.shownColor(0).rgba(), ink.rgba());
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(outside.shownWidth(i), OnboardingStepIndicator::dotWidth);
    }
}

TEST_F(OnboardingViewTest, PagesSlideTheWayTheGuideMovesUnlessMotionIsReduced) {
    ManualAnimationClock animations;
    makeView();
    show();
    const int width = view->pages()->width();
    const struct {
        const char* behaviour;
        bool reduceMotion;
        bool forward;
    } rows[] = {
        {"forward: the new page comes from the right, the old leaves left", false, true},
        {"back: the new page comes from the left, the old leaves right", false, false},
        {"reduced motion: the new page replaces the old at once", true, true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.behaviour);
        ReduceMotion::setEnabled(row.reduceMotion);
        const OnboardingStep from = view->model().currentStep();
        row.forward ? view->model().advance() : view->model().goBack();
        QWidget* incoming = view->pages()->page(view->model().currentStep());
        QWidget* outgoing = view->pages()->page(from);
        if (row.reduceMotion) {
            EXPECT_FALSE(view->pages()->isAnimating());
            EXPECT_EQ(incoming->pos(), QPoint(0, 0));
            EXPECT_FALSE(outgoing->isVisible());
            continue;
        }
        animations.advanceBy(OnboardingPageStack::changeDurationMs / 2);
        EXPECT_TRUE(outgoing->isVisible());
        const int sign = row.forward ? 1 : -1;
        EXPECT_GT(sign * incoming->x(), 0);
        EXPECT_LT(sign * incoming->x(), width);
        EXPECT_LT(sign * outgoing->x(), 0);
        animations.advanceBy(OnboardingPageStack::changeDurationMs);
        EXPECT_FALSE(view->pages()->isAnimating());
        EXPECT_EQ(incoming->pos(), QPoint(0, 0));
        EXPECT_FALSE(outgoing->isVisible());
    }
}

TEST_F(OnboardingViewTest, AControlLeavingWithItsSlidingPageGivesTheKeyboardToTheView) {
    ManualAnimationClock animations;
    ReduceMotion::setEnabled(false);
    settings.setAppLanguageRaw(QStringLiteral("en"));
    makeView();
    show();
    view->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(view.get()));
    const struct {
        const char* behaviour;
        std::function<void(OnboardingViewTest&)> act;
        const char* page;
    } rows[] = {
        {"a language tile chosen with Space",
         [](OnboardingViewTest& t) {
             t.key(Qt::Key_Tab);
             t.key(Qt::Key_Tab);
             ASSERT_EQ(QApplication::focusWidget(), t.languageButton("en"));
             t.key(Qt::Key_Space);
         },
         "quickStart"},
        {"Left from a focused chip",
         [](OnboardingViewTest& t) {
             t.chip(25)->setFocus(Qt::TabFocusReason);
             t.key(Qt::Key_Left);
         },
         "language"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.behaviour);
        row.act(*this);
        EXPECT_TRUE(view->pages()->isAnimating()) << "the pages slide";
        animations.advanceBy(OnboardingPageStack::changeDurationMs * 2);
        settle();
        ASSERT_FALSE(view->pages()->isAnimating());
        EXPECT_EQ(visiblePage(), QLatin1String(row.page));
        EXPECT_EQ(QApplication::focusWidget(), view.get()) << "no control of the new page takes it";
    }
}

TEST_F(OnboardingViewTest, WritesAPictureOfEveryPageInBothLanguages) {
    QDir().mkpath(QStringLiteral("onboarding-gallery"));
    for (const char* language : {"en", "ja"}) {
        settings.setAppLanguageRaw(QLatin1String(language));
        makeView();
        show();
        for (const OnboardingStep step : onboardingJourney()) {
            SCOPED_TRACE(stepName(step).toStdString());
            while (view->model().currentStep() != step) {
                view->model().advance();
            }
            settle();
            const QImage picture = view->grab().toImage();
            EXPECT_EQ(picture.size(), QSize(440, 560));
            EXPECT_TRUE(picture.save(
                QStringLiteral("onboarding-gallery/%1-%2.png").arg(QLatin1String(language), stepName(step))));
        }
        view.reset();
    }
}
