// Writes pictures of the presets tab and of each of its overlays into the build tree for people to look at,
// in English and in Japanese. The assertions check what a look would catch first: the overlays lie inside
// the popover and every text fits.
#include "PresetsFixture.h"

#include "support/GalleryLanguages.h"
#include "ui/kit/LabelButton.h"
#include "ui/presets/ElidedLabel.h"
#include "ui/presets/PresetEditorSheet.h"
#include "ui/presets/SequenceEditorSheet.h"

#include <QDir>
#include <QFontMetricsF>
#include <QLabel>
#include <QLineEdit>
#include <QScrollArea>

namespace {

// Every visible one-line label of `widget` is wide enough for its text (elided labels shorten on purpose),
// and every button for its face.
void expectTextsFit(const QWidget& widget) {
    for (const QLabel* label : widget.findChildren<QLabel*>()) {
        if (label->isVisible() && !label->wordWrap() && !label->text().isEmpty() &&
            !qobject_cast<const ElidedLabel*>(label)) {
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

class PresetsGalleryTest : public PresetsFixture {};

} // namespace

TEST_F(PresetsGalleryTest, WritesTheTabAndItsOverlaysInBothLanguages) {
    forEachGalleryLanguage(preferences, "presets-gallery", [&](const GalleryLanguage& language) {
        const auto save = [&](const char* what) {
            expectTextsFit(*root);
            const QImage picture = root->grab().toImage();
            EXPECT_TRUE(picture.save(QStringLiteral("presets-gallery/%1-%2.png")
                                         .arg(QLatin1String(what), QLatin1String(language.name))));
        };
        const auto inside = [&](const QWidget* overlayCard) {
            ASSERT_NE(overlayCard, nullptr);
            EXPECT_TRUE(root->rect().contains(
                QRect(overlayCard->mapTo(root.get(), QPoint(0, 0)), overlayCard->size())))
                << overlayCard->objectName().toStdString();
        };

        makeEngine();
        open();
        key(Qt::Key_Down); // the first sequence selected, as the keyboard leaves it
        save("tab");

        click(QStringLiteral("presetsScreen.newSequenceButton"));
        inside(screen()->sequenceEditor());
        save("sequence-editor");
        QTest::keyClick(screen()->sequenceEditor()->nameField(), Qt::Key_Escape);
        flushDeletes();

        chooseFromMenu(QStringLiteral("presetsScreen.row.menu.") + uuid(timers->presets().first().id),
                       "edit");
        inside(screen()->presetEditor());
        save("preset-editor");
        QTest::keyClick(screen()->presetEditor()->nameField(), Qt::Key_Escape);
        flushDeletes();

        chooseFromMenu(QStringLiteral("presetsScreen.sequenceRow.menu.") +
                           uuid(timers->sequences().first().id),
                       "delete");
        inside(alert("presetsScreen.deleteConfirmation"));
        save("delete-confirmation");
        click(QStringLiteral("presetsScreen.deleteConfirmation.cancel"));
        flushDeletes();

        for (int i = 0; i < 3; ++i) {
            key(Qt::Key_Down); // on to the first preset: the column scrolls to it
        }
        save("presets-section");

        click(named(QStringLiteral("presetsScreen.row.shortcut.") + uuid(timers->presets().at(1).id)));
        inside(screen()->shortcutBubble());
        const QWidget* badge =
            named(QStringLiteral("presetsScreen.row.shortcut.") + uuid(timers->presets().at(1).id));
        EXPECT_TRUE(screen()->scrollArea()->viewport()->rect().contains(
            QRect(badge->mapTo(screen()->scrollArea()->viewport(), QPoint(0, 0)), badge->size())))
            << "the badge the bubble points at is in view";
        save("key-bubble");
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        flushDeletes();

        key(Qt::Key_Down);
        key(Qt::Key_Down); // the last preset, whose purpose takes two lines
        save("presets-last-row");

        TearDown();
        SetUp();
    });
    TranslationCatalog::install(QStringLiteral("en"));
}
