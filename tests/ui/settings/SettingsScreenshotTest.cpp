// Writes a picture of each settings category and of the sound gallery into the build tree
// (settings-gallery/) for people to look at; the checks make sure each picture shows what it is named after.
#include "SettingsTestSupport.h"

#include "hotkeys/HotkeyTestFixture.h"
#include "platform/TranslationCatalog.h"
#include "services/UserSoundStore.h"
#include "theme/ModuleVisibilityStore.h"
#include "theme/QvColor.h"
#include "theme/ThemeStore.h"
#include "ui/settings/SettingsScreen.h"
#include "ui/settings/SoundCard.h"
#include "ui/settings/SoundPurposeCard.h"

#include <QDir>
#include <QDragEnterEvent>
#include <QMimeData>
#include <QPainter>
#include <QScrollArea>
#include <QScrollBar>
#include <QTemporaryDir>

namespace {

class SettingsScreenshotTest : public HotkeyTestFixture {
protected:
    QTemporaryDir soundsDir;
    QTemporaryDir filesDir;
    PreviewRecorder sound;

    void TearDown() override {
        TranslationCatalog::install(QStringLiteral("en"));
        HotkeyTestFixture::TearDown();
    }
};

} // namespace

TEST_F(SettingsScreenshotTest, WritesEachCategoryAndTheGallery) {
    ThemeStore theme(preferences);
    ModuleVisibilityStore modules(preferences);
    UserSoundStore userSounds(soundsDir.path());
    // One sound of the user's own, so "My Sounds" shows a card beside the add card.
    const QString wav = filesDir.filePath(QStringLiteral("Rain on the window.wav"));
    ASSERT_TRUE(writeToneWav(wav));
    ASSERT_TRUE(std::holds_alternative<TimerSound>(userSounds.add(QUrl::fromLocalFile(wav))));
    QDir().mkpath(QStringLiteral("settings-gallery"));

    for (const char* language : {"en", "ja"}) {
        SCOPED_TRACE(language);
        ASSERT_TRUE(TranslationCatalog::install(QLatin1String(language)));
        preferences.setString(QStringLiteral("bl.appLanguage"), QLatin1String(language));
        QWidget window;
        window.resize(440, 650);
        auto* screen = new SettingsScreen(
            {preferences,
             theme,
             modules,
             userSounds,
             sound,
             [] { return std::make_unique<FakeLoginControl>(std::make_shared<FakeLoginState>()); },
             {},
             {},
             {},
             [](const QUrl&) {},
             {},
             QDateTime(QDate(2024, 5, 14), QTime(19, 19))},
            &window);
        screen->setGeometry(window.rect());
        window.show();
        QApplication::processEvents();

        EXPECT_LE(screen->scrollArea()->widget()->minimumSizeHint().width(), 440)
            << "the column fits the popover's width";
        QScrollBar* bar = screen->scrollArea()->verticalScrollBar();
        for (const char* category : {"general", "focus", "appearance", "system"}) {
            SCOPED_TRACE(category);
            QWidget* group = screen->findChild<QWidget*>(QStringLiteral("quorvane.settings.category.") +
                                                         QLatin1String(category));
            ASSERT_NE(group, nullptr);
            bar->setValue(std::min(bar->maximum(), group->y() - 12));
            QApplication::processEvents();
            const QPoint top = group->mapTo(screen->scrollArea()->viewport(), QPoint(0, 0));
            EXPECT_LT(top.y(), 650 / 2) << "the group's heading is in the picture";
            const QString path = QStringLiteral("settings-gallery/settings-%1-%2.png")
                                     .arg(QLatin1String(category), QLatin1String(language));
            EXPECT_TRUE(window.grab().save(path)) << path.toStdString();
        }

        // The custom accent chip's picker, with the screen around it.
        {
            QWidget* chip = screen->findChild<QWidget*>(QStringLiteral("quorvane.settings.accent.custom"));
            ASSERT_NE(chip, nullptr);
            bar->setValue(
                std::min(bar->maximum(), chip->mapTo(screen->scrollArea()->widget(), QPoint()).y() - 120));
            QApplication::processEvents();
            QTest::mouseClick(chip, Qt::LeftButton);
            QApplication::processEvents();
            QWidget* picker = nullptr;
            for (QWidget* w : QApplication::topLevelWidgets()) {
                if (w->isVisible() && w->objectName() == QStringLiteral("quorvane.settings.accentPicker")) {
                    picker = w;
                }
            }
            ASSERT_NE(picker, nullptr);
            const QRect windowRect(window.mapToGlobal(QPoint()), window.size());
            const QRect pickerRect(picker->mapToGlobal(QPoint()), picker->size());
            const QRect both = windowRect.united(pickerRect);
            QImage picture(both.size(), QImage::Format_ARGB32_Premultiplied);
            picture.fill(Qt::darkGray);
            QPainter painter(&picture);
            painter.drawPixmap(windowRect.topLeft() - both.topLeft(), window.grab());
            painter.drawPixmap(pickerRect.topLeft() - both.topLeft(), picker->grab());
            painter.end();
            EXPECT_TRUE(picture.save(
                QStringLiteral("settings-gallery/accent-picker-%1.png").arg(QLatin1String(language))));
            picker->close();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }

        screen->openGallery(SoundPurpose::alarm);
        QApplication::processEvents();
        ASSERT_NE(screen->gallery(), nullptr);
        // Pictured once it has faded in.
        QTRY_VERIFY(screen->gallery()->graphicsEffect() == nullptr);
        EXPECT_TRUE(screen->gallery()->isVisible());
        EXPECT_EQ(screen->gallery()->geometry(), screen->rect()) << "the gallery covers the tab";
        const QString path =
            QStringLiteral("settings-gallery/sound-gallery-%1.png").arg(QLatin1String(language));
        EXPECT_TRUE(window.grab().save(path));
        // And scrolled to the user's own sounds.
        auto* scroll = screen->gallery()->findChild<QScrollArea*>();
        ASSERT_NE(scroll, nullptr);
        scroll->verticalScrollBar()->setValue(scroll->verticalScrollBar()->maximum());
        QApplication::processEvents();
        EXPECT_TRUE(window.grab().save(
            QStringLiteral("settings-gallery/sound-gallery-mine-%1.png").arg(QLatin1String(language))));
        // And with the keyboard on a user sound's "…".
        for (SoundCard* card : screen->gallery()->findChildren<SoundCard*>()) {
            if (card->offersMenu()) {
                card->menuButton()->setFocus(Qt::TabFocusReason);
            }
        }
        QApplication::processEvents();
        EXPECT_TRUE(window.grab().save(
            QStringLiteral("settings-gallery/sound-gallery-menu-focus-%1.png").arg(QLatin1String(language))));
        // And with a file dragged over it, once the border has faded in over the cards.
        QMimeData dragged;
        dragged.setUrls({QUrl::fromLocalFile(wav)});
        QDragEnterEvent enter(QPoint(200, 300), Qt::CopyAction, &dragged, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(screen->gallery(), &enter);
        const QColor accent = theme.activeAccentColor();
        QTRY_VERIFY(window.grab().toImage().pixelColor(1, 300) == accent);
        EXPECT_TRUE(window.grab().save(
            QStringLiteral("settings-gallery/sound-gallery-drop-%1.png").arg(QLatin1String(language))));
        QDragLeaveEvent leave;
        QApplication::sendEvent(screen->gallery(), &leave);
    }
}
