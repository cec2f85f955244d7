// Writes pictures of the popover into the build tree for people to look at, in English and in Japanese: with
// a countdown's card open (the keyboard on Start), with a refused alarm's card, and with a tab that has no
// content yet. The assertions check what a look would catch first: nothing is cut off, every text fits.
#include "PopoverFixture.h"

#include "support/GalleryLanguages.h"
#include "ui/kit/LabelButton.h"
#include "ui/kit/TimerPreparationModel.h"
#include "ui/popover/PopoverFocusCoordinator.h"

#include <QDir>
#include <QFontMetricsF>
#include <QLabel>
#include <QTest>

namespace {

// Every visible one-line label of `widget` is wide enough for its text, and every button for its face.
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

} // namespace

TEST_F(PopoverFixture, WritesThePopoverInBothLanguages) {
    forEachGalleryLanguage(preferences, "popover-gallery", [&](const GalleryLanguage& language) {
        const auto save = [&](const char* what) {
            const QImage picture = root->grab().toImage();
            EXPECT_TRUE(picture.save(QStringLiteral("popover-gallery/%1-%2.png")
                                         .arg(QLatin1String(what), QLatin1String(language.name))));
        };

        makeRoot();
        root->show();
        root->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(root.get()));
        root->prepare(countdown(1500, "Write the report"));
        ASSERT_NE(card(), nullptr);
        EXPECT_TRUE(root->rect().contains(card()->geometry()));
        EXPECT_TRUE(card()->findChild<QWidget*>(QStringLiteral("quorvane.preparation.start"))->hasFocus());
        expectTextsFit(*card());
        save("preparation");

        // An alarm left open past its time, then confirmed: the error line under the details.
        root->prepare(
            TimerStartRequest(QUuid::createUuid(), QString(), TimerStartRequest::alarm{now.addSecs(5)}));
        now = now.addSecs(6);
        card()->model().refreshClock();
        QTest::keyClick(card()->focusWidget(), Qt::Key_Return);
        flushDeletes();
        ASSERT_NE(card(), nullptr);
        EXPECT_TRUE(root->rect().contains(card()->geometry()));
        expectTextsFit(*card());
        save("refused-alarm");
        now = now.addSecs(-6);

        root->cancelPreparation();
        root->focusCoordinator().focusTab(TarvolinTimerTab::presets);
        expectTextsFit(*root);
        save("empty-tab");
        root.reset();
        flushDeletes();
    });
    TranslationCatalog::install(QStringLiteral("en"));
}
