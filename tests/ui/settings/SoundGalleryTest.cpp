// The sound gallery as a person uses it: choosing and hearing sounds, importing files through the file
// dialog (a test chooser stands in for it) or by dropping them, the import errors, renaming and deleting.
#include "SettingsTestSupport.h"

#include "core/SettingsKeys.h"
#include "platform/Preferences.h"
#include "services/SoundCatalog.h"
#include "services/UserSoundStore.h"
#include "support/AccessibleReading.h"
#include "theme/AccentTheme.h"
#include "ui/kit/AlertOverlay.h"
#include "ui/kit/LabelButton.h"
#include "ui/settings/SoundCard.h"
#include "ui/settings/SoundGallerySheet.h"
#include "support/ManualAnimationClock.h"
#include "support/PixelProbe.h"

#include <QAction>
#include <QComboBox>
#include <QFileDialog>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QMimeData>
#include <QPointer>
#include <QScrollArea>
#include <QScrollBar>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class SoundGalleryTest : public ::testing::Test {
protected:
    QTemporaryDir library;
    QTemporaryDir files;
    Preferences prefs;
    PreviewRecorder sound;
    std::unique_ptr<UserSoundStore> store;
    QList<QUrl> nextChoice; // what the stand-in file dialog answers
    int dialogsOpened = 0;
    std::unique_ptr<QWidget> window;
    SoundGallerySheet* gallery = nullptr;
    const PreferenceSetting<QString>& setting = SettingsKeys::timerCompleteSound;

    void SetUp() override {
        store = std::make_unique<UserSoundStore>(library.path());
        window = std::make_unique<QWidget>();
        window->resize(440, 650);
        gallery = new SoundGallerySheet(
            "Choose the timer-complete sound", prefs, setting, *store, sound,
            [this](QWidget*, std::function<void(const QList<QUrl>&)> chosen) {
                ++dialogsOpened;
                chosen(nextChoice);
            },
            window.get());
        gallery->setGeometry(window->rect());
        window->show();
        QApplication::setActiveWindow(window.get());
        (void)QTest::qWaitForWindowActive(window.get());
    }

    QUrl file(const QString& name, bool wav = true) {
        const QString path = files.filePath(name);
        if (wav) {
            EXPECT_TRUE(writeToneWav(path));
        } else {
            QFile f(path);
            EXPECT_TRUE(f.open(QIODevice::WriteOnly));
            f.write("fLaC-not-audio-we-accept");
        }
        return QUrl::fromLocalFile(path);
    }

    // Chooses files through the add card, as the user would through the dialog.
    void importThroughDialog(const QList<QUrl>& urls) {
        nextChoice = urls;
        gallery->addCard()->setFocus(Qt::OtherFocusReason);
        QTest::keyClick(gallery->addCard(), Qt::Key_Space);
    }

    QStringList userNames() const {
        QStringList names;
        for (const TimerSound& s : store->sounds()) {
            names << s.displayName;
        }
        return names;
    }

    AlertOverlay* errorAlert() const {
        return window->findChild<AlertOverlay*>(QStringLiteral("quorvane.settings.gallery.error"));
    }
};

} // namespace

TEST_F(SoundGalleryTest, ShowsTheBuiltInGroupsThenMySoundsAndMarksTheStoredSound) {
    QStringList expected;
    for (const SoundCatalog::Group& group : SoundCatalog::grouped(*store)) {
        if (group.category != SoundCategory::custom) {
            expected << label(group.category);
        }
    }
    expected << QStringLiteral("My Sounds");
    EXPECT_EQ(gallery->groupHeadings(), expected);
    EXPECT_EQ(gallery->cards().size(), SoundCatalog::builtIn().size());
    ASSERT_NE(gallery->addCard(), nullptr) << "an empty library still offers the add card";

    QStringList selected;
    for (const SoundCard* card : gallery->cards()) {
        if (card->isSelected()) {
            selected << card->sound().id;
        }
    }
    EXPECT_EQ(selected, QStringList{setting.defaultValue});
    EXPECT_FALSE(gallery->card(QStringLiteral("b.chime"))->offersMenu()) << "built-in sounds have no menu";

    setting.write(prefs, QStringLiteral("u.nothing"));
    for (const SoundCard* card : gallery->cards()) {
        EXPECT_FALSE(card->isSelected()) << "an id that names no sound marks no card";
    }
}

TEST_F(SoundGalleryTest, ATapWritesTheSettingAndPlaysEvenTheSelectedSoundAgain) {
    SettingsKeys::soundEnabled.write(prefs, false); // previews ignore the switch
    const QString id = SoundCatalog::bundled().at(2).id;
    QTest::mouseClick(gallery->card(id), Qt::LeftButton);
    EXPECT_EQ(setting.read(prefs), id);
    EXPECT_TRUE(gallery->card(id)->isSelected());
    gallery->card(id)->setFocus(Qt::OtherFocusReason);
    QTest::keyClick(gallery->card(id), Qt::Key_Space);
    EXPECT_EQ(sound.previewed, (QStringList{id, id}));
}

TEST_F(SoundGalleryTest, ImportingAGeneratedWavAddsSelectsAndPlaysIt) {
    importThroughDialog({file(QStringLiteral("Morning Bell.wav"))});
    EXPECT_EQ(dialogsOpened, 1);
    ASSERT_EQ(store->sounds().size(), 1);
    const TimerSound added = store->sounds().first();
    EXPECT_EQ(added.displayName, QStringLiteral("Morning Bell"));
    EXPECT_TRUE(QFileInfo(QDir(store->dir()).filePath(added.resource)).size() > 44) << "the file was copied";
    EXPECT_EQ(setting.read(prefs), added.id);
    EXPECT_EQ(sound.previewed, QStringList{added.id});
    SoundCard* card = gallery->card(added.id);
    ASSERT_NE(card, nullptr);
    EXPECT_TRUE(card->isSelected());
    EXPECT_FALSE(card->offersMenu()) << "the selected user sound shows the check mark, not the menu";
    EXPECT_EQ(errorAlert(), nullptr);
}

TEST_F(SoundGalleryTest, AnUnsupportedFileShowsTheFormatErrorAndAddsNothing) {
    setting.write(prefs, QStringLiteral("b.koshi"));
    importThroughDialog({file(QStringLiteral("song.flac"), false)});
    EXPECT_TRUE(store->sounds().isEmpty());
    EXPECT_EQ(setting.read(prefs), QStringLiteral("b.koshi")) << "the selection is left as it was";
    EXPECT_TRUE(sound.previewed.isEmpty());
    AlertOverlay* alert = errorAlert();
    ASSERT_NE(alert, nullptr);
    EXPECT_EQ(alert->alert().message, QStringLiteral("Couldn't Add Sound"));
    EXPECT_EQ(
        alert->alert().detail,
        QStringLiteral("This format (.flac) can't be added. Please choose mp3 / wav / m4a / aiff, etc."));
    // Return answers the alert's only button.
    QTest::keyClick(alert->buttons().first(), Qt::Key_Return);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(errorAlert(), nullptr);
}

TEST_F(SoundGalleryTest, AMixedChoiceAddsTheGoodFilesSelectsTheLastAndReportsTheBadOne) {
    importThroughDialog({file(QStringLiteral("one.wav")), file(QStringLiteral("two.ogg"), false),
                         file(QStringLiteral("three.wav"))});
    EXPECT_EQ(userNames(), (QStringList{QStringLiteral("one"), QStringLiteral("three")}));
    EXPECT_EQ(setting.read(prefs), store->sounds().last().id);
    EXPECT_EQ(sound.previewed, (QStringList{store->sounds().first().id, store->sounds().last().id}));
    ASSERT_NE(errorAlert(), nullptr);
    EXPECT_TRUE(errorAlert()->alert().detail.contains(QStringLiteral("(.ogg)")));
}

TEST_F(SoundGalleryTest, DuplicateNamesAreNumbered) {
    importThroughDialog({file(QStringLiteral("Bell.wav"))});
    importThroughDialog({file(QStringLiteral("Bell.wav"))});
    importThroughDialog({file(QStringLiteral("Bell.wav"))});
    EXPECT_EQ(userNames(),
              (QStringList{QStringLiteral("Bell"), QStringLiteral("Bell 2"), QStringLiteral("Bell 3")}));
    QStringList shown;
    for (const SoundCard* card : gallery->cards()) {
        if (card->sound().kind == TimerSound::Kind::user) {
            shown << card->sound().displayName;
        }
    }
    EXPECT_EQ(shown, userNames()) << "My Sounds follows the library";
}

TEST_F(SoundGalleryTest, RenameThroughTheCardMenu) {
    importThroughDialog({file(QStringLiteral("first.wav")), file(QStringLiteral("second.wav"))});
    const TimerSound first = store->sounds().first(); // not selected: its card offers the menu
    const struct {
        const char* behaviour;
        QString typed;
        bool confirm; // Return, or Escape
        QString nameAfter;
    } rows[] = {
        {"a new name is trimmed and kept", QStringLiteral("  Wake up  "), true, QStringLiteral("Wake up")},
        {"spaces only keep the old name", QStringLiteral("   "), true, QStringLiteral("Wake up")},
        {"Escape cancels", QStringLiteral("Other"), false, QStringLiteral("Wake up")},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.behaviour);
        SoundCard* card = gallery->card(first.id);
        ASSERT_NE(card, nullptr);
        ASSERT_TRUE(card->offersMenu());
        card->renameAction()->trigger();
        QLineEdit* field = gallery->renameField();
        ASSERT_NE(field, nullptr);
        EXPECT_EQ(field->text(), store->sound(first.id)->displayName) << "starts from the current name";
        EXPECT_TRUE(field->hasFocus());
        QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(field, r.typed);
        QTest::keyClick(field, r.confirm ? Qt::Key_Return : Qt::Key_Escape);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_EQ(gallery->renameField(), nullptr) << "the panel closed";
        EXPECT_EQ(store->sound(first.id)->displayName, r.nameAfter);
        EXPECT_EQ(gallery->card(first.id)->sound().displayName, r.nameAfter);
    }
}

TEST_F(SoundGalleryTest, AUserSoundsMenuIsAButtonTheKeyboardReachesAndAScreenReaderNames) {
    importThroughDialog({file(QStringLiteral("Morning Bell.wav")), file(QStringLiteral("chosen.wav"))});
    SoundCard* card = gallery->card(store->sounds().first().id);
    ASSERT_NE(card, nullptr);
    ASSERT_TRUE(card->offersMenu());
    QAbstractButton* menuButton = card->menuButton();
    ASSERT_NE(menuButton, nullptr);
    EXPECT_TRUE(menuButton->isVisible());
    EXPECT_EQ(AccessibleReading::role(menuButton), QAccessible::Button);
    EXPECT_EQ(AccessibleReading::name(menuButton), QStringLiteral("Options for sound Morning Bell"));
    EXPECT_EQ(AccessibleReading::name(card), QStringLiteral("Morning Bell"));
    EXPECT_EQ(AccessibleReading::role(card), QAccessible::ListItem);
    EXPECT_FALSE(AccessibleReading::state(card).selected);
    EXPECT_EQ(AccessibleReading::value(card), QStringLiteral("Plays in full")) << "the painted line is read";
    EXPECT_TRUE(AccessibleReading::value(gallery->card(QStringLiteral("b.chime"))).isNull());

    // Tab goes from the card to its menu, and Space opens it.
    card->setFocus(Qt::OtherFocusReason);
    QTest::keyClick(card, Qt::Key_Tab);
    ASSERT_TRUE(menuButton->hasFocus());
    QTest::keyClick(menuButton, Qt::Key_Space);
    ASSERT_TRUE(QTest::qWaitFor([card] { return card->menu()->isVisible(); }, 2000));
    card->menu()->close();

    // The chosen sound shows its check mark instead: no menu to reach.
    SoundCard* chosen = gallery->card(setting.read(prefs));
    ASSERT_NE(chosen, nullptr);
    ASSERT_NE(chosen->menuButton(), nullptr);
    EXPECT_FALSE(chosen->menuButton()->isVisible());
    EXPECT_TRUE(AccessibleReading::state(chosen).selected) << "read as the chosen one";
}

TEST_F(SoundGalleryTest, DeleteThroughTheCardMenuLeavesTheSelectionAlone) {
    importThroughDialog({file(QStringLiteral("keep.wav")), file(QStringLiteral("chosen.wav"))});
    const TimerSound keep = store->sounds().first();
    const QString chosen = setting.read(prefs);
    gallery->card(keep.id)->deleteAction()->trigger();
    EXPECT_EQ(store->sound(keep.id), std::nullopt);
    EXPECT_FALSE(QFile::exists(QDir(store->dir()).filePath(keep.resource)));
    EXPECT_EQ(gallery->card(keep.id), nullptr);
    EXPECT_EQ(setting.read(prefs), chosen);
    EXPECT_EQ(userNames(), QStringList{QStringLiteral("chosen")});
}

TEST_F(SoundGalleryTest, DropsImportLocalFilesAndRefuseEverythingElse) {
    const auto drop = [this](QMimeData& data) {
        QDragEnterEvent enter(QPoint(100, 100), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(gallery, &enter);
        if (!enter.isAccepted()) {
            return false;
        }
        QDropEvent dropped(QPointF(100, 100), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(gallery, &dropped);
        return dropped.isAccepted();
    };
    QMimeData text;
    text.setText(QStringLiteral("/tmp/a.wav"));
    EXPECT_FALSE(drop(text)) << "no file address: refused";
    QMimeData remote;
    remote.setUrls({QUrl(QStringLiteral("https://example.org/a.wav"))});
    EXPECT_FALSE(drop(remote)) << "remote addresses are not files here";
    EXPECT_TRUE(store->sounds().isEmpty());

    QMimeData local;
    local.setUrls({file(QStringLiteral("dropped.wav")), file(QStringLiteral("notes.txt"), false)});
    EXPECT_TRUE(drop(local));
    EXPECT_EQ(userNames(), QStringList{QStringLiteral("dropped")});
    ASSERT_NE(errorAlert(), nullptr)
        << "a file of another type is offered and refused with the format message";
    EXPECT_TRUE(errorAlert()->alert().detail.contains(QStringLiteral("(.txt)")));
}

TEST_F(SoundGalleryTest, QtsOwnFileDialogOffersTheSoundTypesAndImportsWhatIsTypedInIt) {
    // Qt's own dialog, as on a desktop that offers none of its own; the one the program really opens.
    QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs, true);
    auto* real = new SoundGallerySheet("Choose the timer-complete sound", prefs, setting, *store, sound, {},
                                       window.get());
    real->setGeometry(window->rect());
    real->show();
    real->raise();
    QStringList patterns;
    for (const QString& extension : UserSoundStore::allowedExtensions()) {
        patterns << QStringLiteral("*.") + extension;
    }
    const struct {
        const char* behaviour;
        QString name;
        bool wav;
        int soundsAfter;
        bool alert;
    } rows[] = {
        {"a file of another type ends in the format alert", QStringLiteral("song.flac"), false, 0, true},
        {"a sound file is added, selected and played", QStringLiteral("Harbour Bell.wav"), true, 1, false},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.behaviour);
        const QString path = file(r.name, r.wav).toLocalFile();
        real->addCard()->setFocus(Qt::OtherFocusReason);
        QTest::keyClick(real->addCard(), Qt::Key_Space);
        QPointer<QFileDialog> dialog;
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (auto* d = qobject_cast<QFileDialog*>(w); d && d->isVisible()) {
                dialog = d;
            }
        }
        ASSERT_FALSE(dialog.isNull()) << "the add card opens the file dialog";
        auto* types = dialog->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
        auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        ASSERT_NE(types, nullptr);
        ASSERT_NE(name, nullptr);
        QStringList offered;
        for (int i = 0; i < types->count(); ++i) {
            offered << types->itemText(i);
        }
        EXPECT_EQ(offered, (QStringList{QStringLiteral("Sounds (%1)").arg(patterns.join(u' ')),
                                        QStringLiteral("All files (*)")}));
        // Typed into its name field as a person would, with the dialog in front.
        QApplication::setActiveWindow(dialog);
        ASSERT_TRUE(QTest::qWaitForWindowActive(dialog));
        ASSERT_EQ(QApplication::focusWidget(), name);
        QTest::keyClicks(name, path);
        QTest::keyClick(name, Qt::Key_Return);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_TRUE(dialog.isNull() || !dialog->isVisible()) << "Open closed the dialog";
        // The desktop hands the keyboard back to the window under the dialog.
        QApplication::setActiveWindow(window.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
        ASSERT_EQ(store->sounds().size(), r.soundsAfter);
        AlertOverlay* alert =
            window->findChild<AlertOverlay*>(QStringLiteral("quorvane.settings.gallery.error"));
        ASSERT_EQ(alert != nullptr, r.alert);
        if (alert) {
            EXPECT_TRUE(alert->alert().detail.contains(QStringLiteral("(.flac)")));
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            EXPECT_EQ(QApplication::focusWidget(), real->addCard())
                << "answering the alert gives the keyboard back to the add card";
        }
    }
    const TimerSound added = store->sounds().first();
    EXPECT_EQ(added.displayName, QStringLiteral("Harbour Bell"));
    ASSERT_NE(real->card(added.id), nullptr) << "My Sounds shows it";
    EXPECT_EQ(setting.read(prefs), added.id);
    EXPECT_EQ(sound.previewed, QStringList{added.id});
    EXPECT_EQ(UserSoundStore(library.path()).sounds().size(), 1) << "the library's index holds it on disk";
    QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs, false);
}

TEST_F(SoundGalleryTest, TheRenamePanelHoldsTheKeyboardAndGivesItBackToTheSoundsCard) {
    importThroughDialog({file(QStringLiteral("first.wav")), file(QStringLiteral("second.wav"))});
    const QString id = store->sounds().first().id; // not selected: its card offers the menu
    const auto renamePanel = [this] {
        return gallery->findChild<QWidget*>(QStringLiteral("quorvane.settings.gallery.rename"));
    };
    const struct {
        const char* behaviour;
        Qt::Key close;
        QString nameAfter;
    } rows[] = {
        {"Escape cancels", Qt::Key_Escape, QStringLiteral("first")},
        {"Return renames, which rebuilds the cards", Qt::Key_Return, QStringLiteral("Dawn")},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.behaviour);
        SoundCard* card = gallery->card(id);
        ASSERT_NE(card, nullptr);
        card->setFocus(Qt::OtherFocusReason);
        QTest::keyClick(card, Qt::Key_Menu);
        ASSERT_TRUE(card->menu()->isVisible());
        QTest::keyClick(card->menu(), Qt::Key_Down);
        QTest::keyClick(card->menu(), Qt::Key_Return);
        QWidget* panel = renamePanel();
        ASSERT_NE(panel, nullptr) << "Rename opened the panel";
        for (Qt::KeyboardModifiers modifiers :
             {Qt::KeyboardModifiers(), Qt::KeyboardModifiers(Qt::ShiftModifier)}) {
            for (int press = 0; press < 5; ++press) {
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, modifiers);
                ASSERT_TRUE(panel->isAncestorOf(QApplication::focusWidget()))
                    << "Tab reached " << QApplication::focusWidget()->objectName().toStdString();
            }
        }
        QLineEdit* field = gallery->renameField();
        field->setFocus(Qt::TabFocusReason);
        QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(field, QStringLiteral("Dawn"));
        QTest::keyClick(field, r.close);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_EQ(renamePanel(), nullptr);
        EXPECT_EQ(store->sound(id)->displayName, r.nameAfter);
        EXPECT_EQ(QApplication::focusWidget(), gallery->card(id))
            << "the keyboard is back on the sound's card";
    }
}

TEST_F(SoundGalleryTest, TheDropBorderFadesInOverTheCards) {
    ManualAnimationClock clock;
    const QColor accent = color(AccentTheme::orange);
    // A card across the bottom edge, where the border runs over it.
    auto* scroll = gallery->findChild<QScrollArea*>();
    ASSERT_NE(scroll, nullptr);
    QApplication::processEvents();
    SoundCard* under = gallery->cards().at(20);
    scroll->verticalScrollBar()->setValue(under->mapTo(scroll->widget(), QPoint()).y() -
                                          scroll->viewport()->height() + under->height() / 2);
    QApplication::processEvents();
    ASSERT_GT(under->mapTo(gallery, QPoint(0, under->height())).y(), gallery->height());
    const auto borderInk = [this] {
        // Points along the four edges, clear of the rounded corners.
        const QImage picture = gallery->grab().toImage();
        QList<QColor> inks;
        for (int x = 30; x < picture.width() - 30; x += 9) {
            inks << picture.pixelColor(x, 1) << picture.pixelColor(x, picture.height() - 2);
        }
        for (int y = 30; y < picture.height() - 30; y += 9) {
            inks << picture.pixelColor(1, y) << picture.pixelColor(picture.width() - 2, y);
        }
        return inks;
    };
    const auto farthest = [&accent](const QList<QColor>& inks) {
        int worst = 0;
        for (const QColor& ink : inks) {
            worst = std::max(worst, PixelProbe::distance(ink, accent));
        }
        return worst;
    };
    const int before = farthest(borderInk());
    QMimeData local;
    local.setUrls({file(QStringLiteral("dragged.wav"))});
    QDragEnterEvent enter(QPoint(100, 100), Qt::CopyAction, &local, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(gallery, &enter);
    ASSERT_TRUE(enter.isAccepted());
    clock.advanceBy(75);
    const int halfway = farthest(borderInk());
    EXPECT_LT(halfway, before) << "fading in";
    EXPECT_GT(halfway, 8) << "not yet all there";
    clock.advanceBy(100);
    EXPECT_LE(farthest(borderInk()), 8) << "the whole border in the accent, over the divider and the cards";
    QDragLeaveEvent leave;
    QApplication::sendEvent(gallery, &leave);
    clock.advanceBy(200);
    EXPECT_EQ(farthest(borderInk()), before) << "gone again after the drag left";
}
