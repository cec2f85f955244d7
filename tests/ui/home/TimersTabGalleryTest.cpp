// Writes pictures of the timers tab into the build tree for people to look at, in English and in Japanese:
// with timers running and queued (and the overflow menu's queue open), and empty. The assertions check
// what a look would catch first: every section inside the canvas, every text fitting its place.
#include "HomeFixture.h"

#include "support/GalleryLanguages.h"
#include "support/ManualAnimationClock.h"
#include "support/PixelProbe.h"
#include "ui/home/HeroSection.h"
#include "ui/home/QueueMenu.h"
#include "ui/home/RunningHeroView.h"
#include "ui/home/ToolRow.h"
#include "ui/kit/LabelButton.h"

#include <QDir>
#include <QFontMetricsF>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>

namespace {

void expectTextsFit(const QWidget& widget) {
    for (const QLabel* label : widget.findChildren<QLabel*>()) {
        if (label->isVisible() && !label->wordWrap() && !label->text().isEmpty()) {
            EXPECT_LE(QFontMetricsF(label->font()).horizontalAdvance(label->text()), label->width() + 1)
                << label->text().toStdString();
        }
    }
    for (const LabelButton* button : widget.findChildren<LabelButton*>()) {
        if (button->isVisible()) {
            EXPECT_GE(button->width(), button->sizeHint().width() - 4) << button->text().toStdString();
        }
    }
}

void expectInsideCanvas(const TimersTab& tab) {
    for (const QWidget* section :
         {static_cast<const QWidget*>(tab.quickAddBar()), static_cast<const QWidget*>(tab.quickLaunchPane()),
          static_cast<const QWidget*>(tab.toolRow())}) {
        EXPECT_TRUE(tab.rect().contains(section->geometry())) << section->objectName().toStdString();
    }
    const QRect card = tab.heroSection()->card()->cardRect().translated(tab.heroSection()->pos());
    EXPECT_TRUE(tab.rect().contains(card));
}

using S = TimerState;

class TimersTabGalleryTest : public HomeFixture {};

} // namespace

TEST_F(TimersTabGalleryTest, WritesTheTimersTabInBothLanguages) {
    // The dial's ticks light over a quarter second: pictures are taken once they have.
    ManualAnimationClock animations;
    forEachGalleryLanguage(preferences, "timers-gallery", [&](const GalleryLanguage& language) {
        const auto save = [&](const QImage& picture, const char* what) {
            EXPECT_TRUE(picture.save(QStringLiteral("timers-gallery/%1-%2.png")
                                         .arg(QLatin1String(what), QLatin1String(language.name))));
        };

        // Empty: the placeholder hero, the bar with its hint, the default chips.
        makeTab();
        showTab();
        ASSERT_TRUE(tab()->heroSection()->showsEmptyHero());
        expectInsideCanvas(*tab());
        expectTextsFit(*tab());
        const QImage empty = root->grab().toImage();
        save(empty, "empty");
        // The canvas colour around the sections, and the action colour of the round button.
        EXPECT_LT(
            PixelProbe::distance(empty.pixelColor(10, 200), QvColor::qvCanvas().resolve(ColorScheme::light)),
            3);
        const QPoint primary =
            tab()->heroSection()->card()->control(RunningHeroView::Control::primary)->geometry().center() +
            tab()->heroSection()->pos() + QPoint(-10, 0);
        EXPECT_LT(PixelProbe::distance(empty.pixelColor(primary),
                                       QvColor::qvInkAction().resolve(ColorScheme::light)),
                  8);
        root.reset();
        flushDeletes();
        timers.reset();
        pomodoro.reset();

        // Busy: a titled timer running with the queue behind it, a typed time with its save controls.
        makeTab({timer(S::running, "Write the report", 1500), timer(S::idle, "Review", 900),
                 timer(S::paused, "", 3600), timer(S::running, "", 600)});
        showTab();
        for (int i = 0; i < 95; ++i) {
            now = now.addSecs(1);
            timers->tick();
        }
        animations.advanceBy(400);
        bar()->inputField()->setFocus();
        QTest::keyClicks(bar()->inputField(), QStringLiteral("45m"));
        QTest::keyClicks(bar()->presetNameField(), QStringLiteral("Deep work"));
        expectInsideCanvas(*tab());
        expectTextsFit(*tab());
        save(root->grab().toImage(), "running");

        tab()->toolRow()->openMenu();
        QMenu* menu = tab()->toolRow()->menu();
        QueueMenu* queue = tab()->toolRow()->queueMenu();
        menu->setActiveAction(queue->menuAction());
        queue->popup(menu->mapToGlobal(menu->actionGeometry(queue->menuAction()).topRight()));
        save(menu->grab().toImage(), "overflow-menu");
        save(queue->grab().toImage(), "queue-menu");
        queue->hide();
        menu->hide();

        // An error under the bar.
        bar()->inputField()->setFocus();
        bar()->inputField()->selectAll();
        QTest::keyClicks(bar()->inputField(), QStringLiteral("abc"));
        QTest::keyClick(bar()->inputField(), Qt::Key_Return);
        expectTextsFit(*tab());
        save(root->grab().toImage(), "error");
        root.reset();
        flushDeletes();
        timers.reset();
        pomodoro.reset();
    });
    TranslationCatalog::install(QStringLiteral("en"));
}
