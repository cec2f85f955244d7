// Writes pictures of the quick-add bar over a full row of preset chips into the build tree
// (quickentry-gallery/), in English and in Japanese, for people to look at: the longest real message, a
// message far too long for its line, and the row scrolled to its end with a chip holding the keyboard.
// The assertions check what a look would catch first: both sections inside the window, the line inside
// the bar.
#include "ui/quickentry/QuickAddBar.h"
#include "ui/quickentry/QuickLaunchPane.h"

#include "QuickEntryFixture.h"
#include "support/GalleryLanguages.h"
#include "ui/kit/TokenLabel.h"

#include <QAbstractButton>
#include <QDir>
#include <QLineEdit>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>
#include <QTranslator>

namespace {

// A wording for "Enter a time" far longer than the line, as a translation might have.
class OverlongWording : public QTranslator {
public:
    bool isEmpty() const override { return false; }
    QString translate(const char*, const char* source, const char*, int) const override {
        if (QLatin1String(source) != QLatin1String("Enter a time")) {
            return QString();
        }
        return QStringLiteral("Enter a time for the timer here: minutes, hours and minutes such as 1h30m, "
                              "a number of days, or a clock time such as 12:30 or 9pm");
    }
};

class QuickEntryGalleryTest : public QuickEntryFixture {};

} // namespace

TEST_F(QuickEntryGalleryTest, WritesTheBarAndAFullRowOfChipsInBothLanguages) {
    forEachGalleryLanguage(preferences, "quickentry-gallery", [&](const GalleryLanguage& language) {
        // Ten presets, the most the engine keeps, some with long labels.
        persistence.presets.clear();
        for (const qint64 minutes : {5, 15, 25, 45, 60, 61, 90, 150, 600, 10000}) {
            persistence.presets << TimerPreset{QUuid::createUuid(), QStringLiteral("P%1").arg(minutes),
                                               minutes * 60};
        }
        make();
        QWidget window;
        window.resize(440, 200);
        auto* bar = new QuickAddBar(new QuickAddBarModel(*manager, recorder(), clock), true, {}, &window);
        bar->move(18, 16);
        auto* pane =
            new QuickLaunchPane(new QuickLaunchPaneModel(*manager, preferences, recorder()), {}, &window);
        pane->move(18, 16 + QuickAddBar::barHeight + 10);
        window.show();
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
        EXPECT_TRUE(window.rect().contains(bar->geometry()));
        EXPECT_TRUE(window.rect().contains(pane->geometry()));
        const auto save = [&](const char* what) {
            EXPECT_TRUE(bar->rect().contains(bar->messageLabel()->geometry()));
            EXPECT_TRUE(
                window.grab().toImage().save(QStringLiteral("quickentry-gallery/%1-%2.png")
                                                 .arg(QLatin1String(what), QLatin1String(language.name))));
        };

        bar->inputField()->setFocus();
        QTest::keyClicks(bar->inputField(), QStringLiteral("abc"));
        QTest::keyClick(bar->inputField(), Qt::Key_Return);
        save("unreadable");

        OverlongWording overlong;
        QCoreApplication::installTranslator(&overlong);
        bar->inputField()->selectAll();
        QTest::keyClick(bar->inputField(), Qt::Key_Backspace);
        QTest::keyClick(bar->inputField(), Qt::Key_Return);
        save("overlong-message");
        QCoreApplication::removeTranslator(&overlong);

        // The row at its far end, the last chip but one holding the keyboard.
        QList<QAbstractButton*> chips = pane->chipsInOrder();
        ASSERT_EQ(chips.size(), 10);
        QScrollBar* across = pane->findChild<QScrollArea*>()->horizontalScrollBar();
        across->setValue(across->maximum());
        chips.at(8)->setFocus(Qt::TabFocusReason);
        save("chips-at-the-end");
        across->setValue(0);
        chips.at(0)->setFocus(Qt::TabFocusReason);
        save("chips-at-the-start");
        manager.reset();
    });
    TranslationCatalog::install(QStringLiteral("en"));
}
