// Writes pictures of the chain builder, the chain banner and each face of the Pomodoro card into the build
// tree (focus-gallery/), in English and in Japanese, for people to look at. The assertions check what a
// look would catch first: every piece lies inside the canvas and nothing overlaps the builder's footer.
#include "FocusTabFixture.h"

#include "support/GalleryLanguages.h"
#include "ui/focus/ChainBuilderView.h"
#include "ui/focus/ChainStepRow.h"
#include "ui/focus/MinuteStepper.h"
#include "ui/focus/ChainBuilderButton.h"

#include <QDir>
#include <QLineEdit>

TEST_F(FocusCanvasFixture, WritesTheFocusPiecesInBothLanguages) {
    settings.setPomAutoBreak(false);
    forEachGalleryLanguage(preferences, "focus-gallery", [&](const GalleryLanguage& language) {
        makeCanvasRoot();
        const auto save = [&](const char* what) {
            QCoreApplication::processEvents();
            EXPECT_TRUE(
                root->grab().toImage().save(QStringLiteral("focus-gallery/%1-%2.png")
                                                .arg(QLatin1String(what), QLatin1String(language.name))));
        };
        const QRect inside = canvas->rect();

        EXPECT_TRUE(inside.contains(canvas->pomodoroArea()->geometry()));
        save("pomodoro-simple-entry");

        FocusWidgets::openChainBuilder(*root);
        ASSERT_NE(builder(), nullptr);
        EXPECT_TRUE(inside.contains(builder()->mapTo(canvas, QPoint(0, 0))));
        QTest::keyClicks(builder()->chainNameField(),
                         QStringLiteral("Morning routine with a very long name"));
        QTest::keyClicks(builder()->rows().at(0)->nameField(), QStringLiteral("Inbox"));
        builder()->rows().at(1)->stepper()->stepBy(15);
        save("chain-builder");

        pomodoro->startSession();
        flushDeletes();
        QTest::mouseClick(builder()->startButton(), Qt::LeftButton);
        flushDeletes();
        ASSERT_TRUE(canvas->chainBanner()->isVisible());
        EXPECT_TRUE(inside.contains(canvas->chainBanner()->geometry()));
        save("chain-banner-and-running-pomodoro");

        runOut(*pomodoro->activeTimerID());
        save("pomodoro-waiting-break");

        root->chainCoordinator().cancel();
        EXPECT_FALSE(
            root->chainCoordinator().start(QStringLiteral("Other"), {{QStringLiteral("x"), 5}}).has_value());
        FocusWidgets::openChainBuilder(*root);
        QTest::mouseClick(builder()->startButton(), Qt::LeftButton);
        ASSERT_NE(builder(), nullptr);
        save("chain-builder-refused");
        for (int i = 0; i < 6; ++i) {
            QTest::mouseClick(builder()->addStepButton(), Qt::LeftButton);
        }
        save("chain-builder-many-steps");
        QTest::mouseClick(builder()->closeButton(), Qt::LeftButton);
        root->chainCoordinator().cancel();
        pomodoro->stopSession();
        TearDown();
    });
}
