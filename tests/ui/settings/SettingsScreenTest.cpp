// The settings screen as a person uses it: controls found by their identifiers, driven with the mouse and
// the keyboard, each writing its own key; the accent chips, the module and login switches, the system
// buttons, the live preview and the sound gallery's opening.
#include "SettingsTestSupport.h"

#include "core/SettingsKeys.h"
#include "hotkeys/HotkeyTestFixture.h"
#include "platform/TranslationCatalog.h"
#include "services/LoginItemManager.h"
#include "services/SoundCatalog.h"
#include "services/UserSoundStore.h"
#include "support/AccessibleReading.h"
#include "theme/ModuleVisibilityStore.h"
#include "theme/QvColor.h"
#include "theme/ThemeSettingsKeys.h"
#include "theme/ThemeStore.h"
#include "support/ManualAnimationClock.h"
#include "ui/kit/FloatingTimerSurface.h"
#include "ui/kit/GlobalHotkeysRecorder.h"
#include "ui/kit/LabelButton.h"
#include "ui/kit/OwnDialogMark.h"
#include "ui/kit/ViewEnvironment.h"
#include "ui/kit/ShapedWindow.h"
#include "ui/settings/AccentChip.h"
#include "ui/settings/AccentColorPopup.h"
#include "ui/settings/AccentSwitch.h"
#include "ui/kit/MinuteDialView.h"
#include "ui/settings/SettingPicker.h"
#include "ui/settings/SettingPickerOption.h"
#include "ui/settings/SettingsPreviewStage.h"
#include "ui/settings/SettingsScreen.h"
#include "ui/settings/SettingsSection.h"
#include "ui/settings/SoundCard.h"
#include "ui/settings/SoundPurposeCard.h"
#include "ui/settings/ToggleCard.h"

#include <QGraphicsOpacityEffect>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QLayout>
#include <QLineEdit>
#include <QRegularExpression>
#include <QScrollArea>
#include <QTemporaryDir>
#include <QUrlQuery>

namespace {

class SettingsScreenTest : public HotkeyTestFixture {
protected:
    QTemporaryDir soundsDir;
    ThemeStore theme{preferences};
    ModuleVisibilityStore modules{preferences};
    std::unique_ptr<UserSoundStore> userSounds;
    PreviewRecorder sound;
    std::shared_ptr<FakeLoginState> login = std::make_shared<FakeLoginState>();
    int updateChecks = 0;
    int onboardingReplays = 0;
    int quits = 0;
    QList<QUrl> opened;
    std::unique_ptr<QWidget> window;
    SettingsScreen* screen = nullptr;

    void SetUp() override {
        HotkeyTestFixture::SetUp();
        userSounds = std::make_unique<UserSoundStore>(soundsDir.path());
    }
    void TearDown() override {
        window.reset();
        HotkeyTestFixture::TearDown();
    }

    SettingsScreen& build(DisplayDensity density = DisplayDensity::spacious) {
        window = std::make_unique<QWidget>();
        ViewEnvironment::setDisplayDensity(window.get(), density);
        window->resize(440, 650);
        screen = new SettingsScreen({preferences,
                                     theme,
                                     modules,
                                     *userSounds,
                                     sound,
                                     [state = login] { return std::make_unique<FakeLoginControl>(state); },
                                     [this] { ++updateChecks; },
                                     [this] { ++onboardingReplays; },
                                     [this] { ++quits; },
                                     [this](const QUrl& url) { opened << url; },
                                     {},
                                     QDateTime(QDate(2024, 5, 14), QTime(9, 0))},
                                    window.get());
        screen->setGeometry(window->rect());
        window->show();
        QApplication::setActiveWindow(window.get());
        (void)QTest::qWaitForWindowActive(window.get());
        return *screen;
    }

    template <class T> T* find(const QString& name) const {
        T* widget = screen->findChild<T*>(name);
        EXPECT_NE(widget, nullptr) << name.toStdString();
        return widget;
    }
    QLineEdit* field(const PreferenceSetting<qint64>& setting) const {
        return find<QLineEdit>(QStringLiteral("quorvane.settings.field.") + setting.key);
    }
    AccentSwitch* toggle(const QString& cardName) const {
        auto* card = find<ToggleCard>(cardName);
        return card ? card->toggle() : nullptr;
    }
    // What each accent chip shows as selected, in order, the custom chip last.
    QList<bool> chipSelection() const {
        QList<bool> out;
        for (const char* raw : {"orange", "cream", "black", "simple"}) {
            out << find<AccentChip>(QStringLiteral("quorvane.settings.accent.") + QLatin1String(raw))
                       ->isSelected();
        }
        out << find<CustomAccentChip>(QStringLiteral("quorvane.settings.accent.custom"))->isSelected();
        return out;
    }
};

} // namespace

TEST_F(SettingsScreenTest, EveryNumberIsWrittenToItsOwnKeyWithinItsRange) {
    build();
    const struct {
        const PreferenceSetting<qint64>* setting;
        qint64 lowest;
        qint64 highest;
    } rows[] = {
        {&SettingsKeys::pomWorkMinutes, 1, 120},
        {&SettingsKeys::pomShortBreakMinutes, 1, 60},
        {&SettingsKeys::pomLongBreakMinutes, 1, 60},
        {&SettingsKeys::pomCycles, 1, 12},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.setting->key.toStdString());
        QLineEdit* f = field(*r.setting);
        ASSERT_NE(f, nullptr);
        EXPECT_EQ(f->text(), QString::number(r.setting->defaultValue)) << "a fresh store shows the default";
        const QStringList before = preferences.keys();
        typeAndReturn(f, QStringLiteral("0"));
        EXPECT_EQ(r.setting->read(preferences), r.lowest);
        typeAndReturn(f, QStringLiteral("100000"));
        EXPECT_EQ(r.setting->read(preferences), r.highest);
        QStringList written = preferences.keys();
        for (const QString& key : before) {
            written.removeAll(key);
        }
        EXPECT_TRUE(written.isEmpty() || written == QStringList{r.setting->key}) << "no other key is written";
    }
    // The one-key timer's length moves in steps of one through its buttons.
    auto* plus =
        find<LabelButton>(QStringLiteral("quorvane.settings.plus.") + SettingsKeys::quickPresetMinutes.key);
    QTest::mouseClick(plus, Qt::LeftButton);
    EXPECT_EQ(SettingsKeys::quickPresetMinutes.read(preferences), 26);
}

TEST_F(SettingsScreenTest, StoredValuesOfTheWrongTypeShowTheDefaults) {
    preferences.setString(SettingsKeys::pomWorkMinutes.key, QStringLiteral("25 minutes"));
    preferences.setInt(SettingsKeys::soundEnabled.key, 0);
    preferences.setInt(SettingsKeys::displayStyle.key, 2);
    preferences.setBool(SettingsKeys::quickPresetMinutes.key, true);
    preferences.setString(SettingsKeys::pomLongBreakEnabled.key, QStringLiteral("false"));
    build();
    EXPECT_EQ(field(SettingsKeys::pomWorkMinutes)->text(), QStringLiteral("25"));
    EXPECT_TRUE(toggle(QStringLiteral("quorvane.settings.toggle.bl.soundEnabled"))->isOn());
    EXPECT_TRUE(find<QWidget>(QStringLiteral("quorvane.settings.soundCards"))->isVisible());
    EXPECT_TRUE(find<QWidget>(QStringLiteral("quorvane.settings.longBreakRows"))->isVisible());
    EXPECT_EQ(find<SettingPicker>(QStringLiteral("quorvane.settings.picker.bl.displayStyle"))->chosenRaw(),
              QStringLiteral("japanese"));
    EXPECT_EQ(find<QLabel>(QStringLiteral("quorvane.settings.value.bl.quickPreset.minutes"))->text(),
              QStringLiteral("25 min"));
}

TEST_F(SettingsScreenTest, SwitchesWriteTheirKeysAndHideTheRowsTheyGovern) {
    build();
    const struct {
        const PreferenceSetting<bool>* setting;
        const char* governs; // the rows shown only while on; none
    } rows[] = {
        {&SettingsKeys::pomLongBreakEnabled, "quorvane.settings.longBreakRows"},
        {&SettingsKeys::soundEnabled, "quorvane.settings.soundCards"},
        {&SettingsKeys::pomAutoBreak, nullptr},
        {&SettingsKeys::pomAutoWork, nullptr},
        {&SettingsKeys::showFloatingOnStart, nullptr},
        {&SettingsKeys::floatingShowTaskName, nullptr},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.setting->key.toStdString());
        AccentSwitch* s = toggle(QStringLiteral("quorvane.settings.toggle.") + r.setting->key);
        ASSERT_NE(s, nullptr);
        EXPECT_EQ(s->isOn(), r.setting->defaultValue);
        s->setFocus(Qt::OtherFocusReason);
        QTest::keyClick(s, Qt::Key_Space);
        EXPECT_EQ(preferences.boolValue(r.setting->key), std::optional<bool>(!r.setting->defaultValue));
        if (r.governs) {
            EXPECT_FALSE(find<QWidget>(QLatin1String(r.governs))->isVisible());
            QTest::keyClick(s, Qt::Key_Space);
            EXPECT_TRUE(find<QWidget>(QLatin1String(r.governs))->isVisible());
        }
    }
    // The hidden long-break values come back unchanged.
    typeAndReturn(field(SettingsKeys::pomCycles), QStringLiteral("6"));
    SettingsKeys::pomLongBreakEnabled.write(preferences, false);
    SettingsKeys::pomLongBreakEnabled.write(preferences, true);
    EXPECT_EQ(field(SettingsKeys::pomCycles)->text(), QStringLiteral("6"));
}

TEST_F(SettingsScreenTest, AccentChipsChooseAPresetOrACustomColour) {
    theme.setAccent(AccentTheme::cream);
    build();
    EXPECT_EQ(chipSelection(), (QList<bool>{false, true, false, false, false}));

    auto* custom = find<CustomAccentChip>(QStringLiteral("quorvane.settings.accent.custom"));
    // The chip scrolled into view, and the window placed to put it at a given height on the screen.
    screen->scrollArea()->ensureWidgetVisible(custom);
    const QRect room = window->screen()->availableGeometry();
    const auto chipAt = [&](int screenY) {
        window->move(window->pos() + QPoint(0, screenY - custom->mapToGlobal(QPoint()).y()));
    };
    // Without room below, it opens above the chip, pointing down at it.
    chipAt(room.bottom() - 80);
    QTest::mouseClick(custom, Qt::LeftButton);
    ASSERT_NE(custom->picker(), nullptr);
    EXPECT_FALSE(custom->picker()->pointsUp());
    EXPECT_EQ(custom->picker()->geometry().bottom() + 1, custom->mapToGlobal(QPoint()).y());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    chipAt(room.top() + 100);
    QTest::mouseClick(custom, Qt::LeftButton);
    AccentColorPopup* picker = custom->picker();
    ASSERT_NE(picker, nullptr);
    EXPECT_FALSE(preferences.contains(ThemeSettingsKeys::customAccentHex.key))
        << "opening the picker writes nothing";
    EXPECT_TRUE(OwnDialogMark::isOpen(window.get())) << "the popover knows its own picker is open";
    // A popup under the chip, its arrow on the chip's bottom edge.
    EXPECT_EQ(picker->windowType(), Qt::Popup);
    EXPECT_TRUE(picker->pointsUp());
    const QPoint chipBottom = custom->mapToGlobal(QPoint(custom->width() / 2, custom->height()));
    EXPECT_EQ(picker->mapToGlobal(QPoint()).y(), chipBottom.y());
    EXPECT_NEAR(picker->mapToGlobal(QPoint(picker->width() / 2, 0)).x(), chipBottom.x(), 1);
    EXPECT_EQ(picker->findChild<QLabel*>(QStringLiteral("quorvane.settings.accentPicker.heading"))->text(),
              QStringLiteral("Pick any color"));

    // Each change the user makes is written at once: arrows in the field, then a click on the hue bar.
    ASSERT_EQ(QApplication::focusWidget(), picker->field()) << "the keyboard is in the picker";
    QStringList written;
    for (Qt::Key key : {Qt::Key_Left, Qt::Key_Down, Qt::Key_Down}) {
        QTest::keyClick(QApplication::focusWidget(), key, Qt::ShiftModifier);
        written << preferences.stringValue(ThemeSettingsKeys::customAccentHex.key).value_or(QString());
        EXPECT_EQ(written.last(), QvColor::toHex(picker->color()));
    }
    EXPECT_EQ(written.size(), QSet<QString>(written.begin(), written.end()).size()) << "one write per change";
    QTest::mouseClick(picker->hueBar(), Qt::LeftButton, {}, QPoint(picker->hueBar()->width() / 2, 12));
    EXPECT_NE(preferences.stringValue(ThemeSettingsKeys::customAccentHex.key).value_or(QString()),
              written.last());
    EXPECT_EQ(preferences.stringValue(ThemeSettingsKeys::customAccentHex.key),
              std::optional<QString>(QvColor::toHex(picker->color())));
    EXPECT_EQ(theme.accent(), AccentTheme::cream) << "the preset is kept for later";
    EXPECT_EQ(chipSelection(), (QList<bool>{false, false, false, false, true}));

    // Escape closes it and the keyboard is back on the chip.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(custom->picker(), nullptr);
    EXPECT_FALSE(OwnDialogMark::isOpen(window.get()));
    EXPECT_EQ(QApplication::focusWidget(), custom);

    // A click outside it closes it too, writing nothing more; it opens again on the colour picked last.
    const std::optional<QString> kept = preferences.stringValue(ThemeSettingsKeys::customAccentHex.key);
    custom->setFocus(Qt::OtherFocusReason);
    QTest::keyClick(custom, Qt::Key_Space);
    picker = custom->picker();
    ASSERT_NE(picker, nullptr);
    EXPECT_EQ(QvColor::toHex(picker->color()), kept.value_or(QString()));
    QTest::mouseClick(window->windowHandle(), Qt::LeftButton, {}, QPoint(20, 20));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(custom->picker(), nullptr);
    EXPECT_EQ(preferences.stringValue(ThemeSettingsKeys::customAccentHex.key), kept);

    auto* orange = find<AccentChip>(QStringLiteral("quorvane.settings.accent.orange"));
    orange->setFocus(Qt::OtherFocusReason);
    QTest::keyClick(orange, Qt::Key_Space);
    EXPECT_EQ(theme.accent(), AccentTheme::orange);
    EXPECT_FALSE(preferences.contains(ThemeSettingsKeys::customAccentHex.key));
    EXPECT_EQ(chipSelection(), (QList<bool>{true, false, false, false, false}));
}

TEST_F(SettingsScreenTest, TheColourPickerIsCutToItsShapeOnlyWhereNoCompositorRuns) {
    const struct {
        const char* name;
        bool compositor;
        bool roomBelow;
    } rows[] = {
        {"no compositor, under the chip", false, true},
        {"no compositor, above the chip", false, false},
        {"a compositor blends its edge", true, true},
    };
    const struct ProbeReset {
        ~ProbeReset() { ShapedWindow::setCompositorProbe(nullptr); }
    } reset;
    build();
    auto* custom = find<CustomAccentChip>(QStringLiteral("quorvane.settings.accent.custom"));
    screen->scrollArea()->ensureWidgetVisible(custom);
    const QRect room = window->screen()->availableGeometry();
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        ShapedWindow::setCompositorProbe([&row] { return row.compositor; });
        const int chipY = row.roomBelow ? room.top() + 100 : room.bottom() - 80;
        window->move(window->pos() + QPoint(0, chipY - custom->mapToGlobal(QPoint()).y()));
        QTest::mouseClick(custom, Qt::LeftButton);
        AccentColorPopup* picker = custom->picker();
        ASSERT_NE(picker, nullptr);
        ASSERT_EQ(picker->pointsUp(), row.roomBelow);
        const QRegion mask = picker->mask();
        if (row.compositor) {
            EXPECT_TRUE(mask.isEmpty()) << "the translucent edge is kept";
        } else {
            const int w = picker->width();
            const int h = picker->height();
            const int a = AccentColorPopup::arrowHeight;
            const int bodyTop = row.roomBelow ? a : 0;
            const int bodyBottom = row.roomBelow ? h - 1 : h - 1 - a;
            const QPoint tip = picker->mapFromGlobal(
                custom->mapToGlobal(QPoint(custom->width() / 2, row.roomBelow ? custom->height() : 0)));
            EXPECT_TRUE(picker->rect().contains(mask.boundingRect()));
            EXPECT_TRUE(mask.contains(QPoint(w / 2, h / 2)));
            EXPECT_TRUE(mask.contains(QPoint(tip.x(), row.roomBelow ? 2 : h - 3))) << "the arrow";
            for (const QPoint corner : {QPoint(0, bodyTop), QPoint(w - 1, bodyTop), QPoint(0, bodyBottom),
                                        QPoint(w - 1, bodyBottom), QPoint(2, row.roomBelow ? 1 : h - 2)}) {
                EXPECT_FALSE(mask.contains(corner)) << corner.x() << "," << corner.y();
            }
        }
        picker->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

TEST_F(SettingsScreenTest, ModuleSwitchesFollowTheHiddenList) {
    ThemeSettingsKeys::hiddenModules.write(preferences, {QStringLiteral("symbolRow")});
    build();
    const auto on = [this](const char* module) {
        return toggle(QStringLiteral("quorvane.settings.module.") + QLatin1String(module))->isOn();
    };
    EXPECT_TRUE(on("chainEntry"));
    EXPECT_TRUE(on("pomodoroStartCard"));
    EXPECT_FALSE(on("symbolRow"));
    QTest::mouseClick(toggle(QStringLiteral("quorvane.settings.module.symbolRow")), Qt::LeftButton);
    EXPECT_FALSE(ThemeSettingsKeys::hiddenModules.read(preferences).contains(QStringLiteral("symbolRow")));
    QTest::mouseClick(toggle(QStringLiteral("quorvane.settings.module.chainEntry")), Qt::LeftButton);
    EXPECT_EQ(ThemeSettingsKeys::hiddenModules.read(preferences), QStringList{QStringLiteral("chainEntry")});
    EXPECT_FALSE(on("chainEntry"));
}

TEST_F(SettingsScreenTest, TheLoginSwitchShowsTheRealRegistration) {
    const struct {
        const char* behaviour;
        bool registeredBefore;
        bool refuse;
        bool onAfterClick;
        int registrations;
    } rows[] = {
        {"registration accepted: on", false, false, true, 1},
        {"registration refused: stays off", false, true, false, 1},
        {"already registered: a click turns it off", true, false, false, 0},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.behaviour);
        *login = FakeLoginState{r.registeredBefore, r.refuse, 0};
        build();
        AccentSwitch* s = toggle(QStringLiteral("quorvane.settings.launchAtLogin"));
        EXPECT_EQ(s->isOn(), r.registeredBefore) << "read when the screen is shown";
        QTest::mouseClick(s, Qt::LeftButton);
        EXPECT_EQ(s->isOn(), r.onAfterClick);
        EXPECT_EQ(login->registrations, r.registrations);
    }
    // Changed outside the program: showing the tab again reads it.
    login->registered = false;
    screen->hide();
    screen->show();
    EXPECT_FALSE(toggle(QStringLiteral("quorvane.settings.launchAtLogin"))->isOn());
}

TEST_F(SettingsScreenTest, TheSystemButtonsRunTheirActions) {
    build();
    QTest::mouseClick(find<LabelButton>(QStringLiteral("settings.about.checkUpdates")), Qt::LeftButton);
    QTest::mouseClick(find<LabelButton>(QStringLiteral("quorvane.settings.replayOnboarding")),
                      Qt::LeftButton);
    QTest::mouseClick(find<LabelButton>(QStringLiteral("settings.about.feedback")), Qt::LeftButton);
    QTest::mouseClick(find<LabelButton>(QStringLiteral("settings.about.discord")), Qt::LeftButton);
    EXPECT_EQ(updateChecks, 1);
    EXPECT_EQ(onboardingReplays, 1);
    ASSERT_EQ(opened.size(), 2);
    EXPECT_EQ(opened[0].scheme(), QStringLiteral("https"));
    EXPECT_EQ(opened[0].path(), QStringLiteral("/voice"));
    EXPECT_EQ(opened[0].query(), QStringLiteral("app=TarvolinTimer"));
    EXPECT_TRUE(opened[1].isValid() && opened[1].scheme() == QStringLiteral("https"));
    LabelButton* quit = nullptr;
    for (LabelButton* b : screen->findChildren<LabelButton*>()) {
        if (b->text() == QStringLiteral("Quit TarvolinTimer")) {
            quit = b;
        }
    }
    ASSERT_NE(quit, nullptr);
    EXPECT_TRUE(quit->objectName().isEmpty()) << "the quit button has no identifier";
    QTest::mouseClick(quit, Qt::LeftButton);
    EXPECT_EQ(quits, 1);
    const QLabel* version = find<QLabel>(QStringLiteral("quorvane.settings.version"));
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^TarvolinTimer v\\d+\\.\\d+(\\.\\d+)?$"))
                    .match(version->text())
                    .hasMatch())
        << version->text().toStdString();
}

TEST_F(SettingsScreenTest, AScreenReaderHearsRolesStatesAndValuesNotDescriptions) {
    SettingsKeys::appLanguage.write(preferences, QStringLiteral("en"));
    build();
    // Headings are headings.
    for (const char* name : {"general", "focus", "appearance", "system"}) {
        QWidget* heading = find<QWidget>(QStringLiteral("quorvane.settings.heading.") + QLatin1String(name));
        EXPECT_EQ(AccessibleReading::role(heading), QAccessible::Heading) << name;
        EXPECT_TRUE(AccessibleReading::description(heading).isEmpty()) << name;
    }

    // A switch card is one check box named by its title; its switch holds the keyboard for it.
    auto* card =
        find<ToggleCard>(QStringLiteral("quorvane.settings.toggle.") + SettingsKeys::soundEnabled.key);
    EXPECT_EQ(AccessibleReading::role(card), QAccessible::CheckBox);
    EXPECT_EQ(AccessibleReading::name(card), QStringLiteral("Play Sounds"));
    EXPECT_EQ(AccessibleReading::childCount(card), 0);
    EXPECT_TRUE(AccessibleReading::state(card).checked);
    EXPECT_TRUE(AccessibleReading::description(card->toggle()).isEmpty()) << "no On/Off words";
    card->toggle()->setFocus(Qt::OtherFocusReason);
    EXPECT_TRUE(AccessibleReading::state(card).focused);
    QTest::keyClick(card->toggle(), Qt::Key_Space);
    EXPECT_FALSE(AccessibleReading::state(card).checked);

    // Options of a set read as its items, the chosen one selected.
    const struct {
        const char* name;
        const char* chosen;
        const char* other;
    } options[] = {
        {"time wording", "quorvane.settings.picker.bl.displayStyle.japanese",
         "quorvane.settings.picker.bl.displayStyle.english"},
        {"language", "quorvane.settings.picker.bl.appLanguage.en",
         "quorvane.settings.picker.bl.appLanguage.ja"},
        {"accent", "quorvane.settings.accent.orange", "quorvane.settings.accent.cream"},
        {"label layout", "quorvane.settings.menuBar.timeOnly", "quorvane.settings.menuBar.iconOnly"},
    };
    for (const auto& o : options) {
        SCOPED_TRACE(o.name);
        QWidget* chosen = find<QWidget>(QLatin1String(o.chosen));
        QWidget* other = find<QWidget>(QLatin1String(o.other));
        EXPECT_EQ(AccessibleReading::role(chosen), QAccessible::ListItem);
        EXPECT_TRUE(AccessibleReading::state(chosen).selected);
        EXPECT_FALSE(AccessibleReading::state(chosen).checked);
        EXPECT_TRUE(AccessibleReading::state(other).selectable);
        EXPECT_FALSE(AccessibleReading::state(other).selected);
    }

    // A sound card says its purpose, then the chosen sound as its value.
    QWidget* soundCard = find<QWidget>(QStringLiteral("quorvane.settings.sound.timerComplete"));
    EXPECT_EQ(AccessibleReading::name(soundCard), QStringLiteral("Timer complete"));
    EXPECT_EQ(AccessibleReading::value(soundCard),
              SoundCatalog::byID(QStringLiteral("b.chime"), *userSounds)->displayName);
    EXPECT_TRUE(AccessibleReading::description(soundCard).isEmpty());

    // The preview: the label's painted time is its text, the dial is a picture, the floating card is one
    // element with the time and task as its value.
    auto* stage = find<SettingsPreviewStage>(QStringLiteral("quorvane.settings.livePreview"));
    QWidget* label = find<QWidget>(QStringLiteral("quorvane.settings.livePreview.menuBar"));
    EXPECT_EQ(AccessibleReading::name(label), stage->menuBarContent().timeText);
    EXPECT_TRUE(AccessibleReading::isRead(label));
    SettingsKeys::menuBarDisplayMode.write(preferences, QStringLiteral("iconOnly"));
    EXPECT_FALSE(AccessibleReading::isRead(label)) << "an icon alone has nothing to read";
    EXPECT_FALSE(AccessibleReading::isRead(stage->findChild<MinuteDialView*>()));
    QWidget* floating = find<QWidget>(QStringLiteral("quorvane.settings.livePreview.floating"));
    EXPECT_EQ(AccessibleReading::name(floating), QStringLiteral("TarvolinTimer timer"));
    EXPECT_EQ(AccessibleReading::value(floating), QStringLiteral("25:00 Deep work"));
}

TEST_F(SettingsScreenTest, TheFourCategoriesAreIdentifiedAndInOrder) {
    build();
    int lastTop = -1;
    for (const char* name : {"general", "focus", "appearance", "system"}) {
        const QWidget* group =
            find<QWidget>(QStringLiteral("quorvane.settings.category.") + QLatin1String(name));
        ASSERT_NE(group, nullptr);
        EXPECT_GT(group->y(), lastTop) << name;
        lastTop = group->y();
    }
}

TEST_F(SettingsScreenTest, ThePreviewFollowsTheSettings) {
    build();
    auto* stage = find<SettingsPreviewStage>(QStringLiteral("quorvane.settings.livePreview"));
    const QString end = stage->previewEnd().toString(QStringLiteral("H:mm"));
    EXPECT_EQ(end, QStringLiteral("9:25")) << "25 minutes after the screen was made, no leading zero";
    EXPECT_EQ(stage->menuBarContent().timeText, end + QStringLiteral(" まで"));
    EXPECT_EQ(stage->floatingLabel(), QStringLiteral("集中タイム"));

    // Through the screen's own controls.
    QTest::mouseClick(find<SettingPicker>(QStringLiteral("quorvane.settings.picker.bl.displayStyle"))
                          ->option(QStringLiteral("english")),
                      Qt::LeftButton);
    EXPECT_EQ(stage->menuBarContent().timeText, QStringLiteral("until ") + end);
    QTest::mouseClick(find<SettingPicker>(QStringLiteral("quorvane.settings.picker.bl.appLanguage"))
                          ->option(QStringLiteral("en")),
                      Qt::LeftButton);
    EXPECT_EQ(stage->floatingLabel(), QStringLiteral("Deep work"));
    QTest::mouseClick(toggle(QStringLiteral("quorvane.settings.toggle.bl.floating.showTaskName")),
                      Qt::LeftButton);
    EXPECT_EQ(stage->floatingLabel(), QString());

    const struct {
        const char* behaviour;
        const char* mode;
        SettingsPreviewStage::PreviewState state;
        QList<MenuBarDisplayContent::Item::Kind> items;
        const char* caption;
        double dialOpacity;
    } rows[] = {
        {"time only, running",
         "timeOnly",
         SettingsPreviewStage::PreviewState::running,
         {MenuBarDisplayContent::Item::Kind::time},
         "FOCUS",
         1.0},
        {"time only, paused: a pause mark first",
         "timeOnly",
         SettingsPreviewStage::PreviewState::paused,
         {MenuBarDisplayContent::Item::Kind::pauseMark, MenuBarDisplayContent::Item::Kind::time},
         "PAUSED",
         0.5},
        {"icon only, paused: no time, no mark",
         "iconOnly",
         SettingsPreviewStage::PreviewState::paused,
         {MenuBarDisplayContent::Item::Kind::icon},
         "PAUSED",
         0.5},
        {"icon and time, running",
         "iconAndTime",
         SettingsPreviewStage::PreviewState::running,
         {MenuBarDisplayContent::Item::Kind::icon, MenuBarDisplayContent::Item::Kind::time},
         "FOCUS",
         1.0},
        {"an unknown mode reads as time only",
         "sideways",
         SettingsPreviewStage::PreviewState::running,
         {MenuBarDisplayContent::Item::Kind::time},
         "FOCUS",
         1.0},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.behaviour);
        SettingsKeys::menuBarDisplayMode.write(preferences, QLatin1String(r.mode));
        QTest::mouseClick(stage->stateButton(r.state), Qt::LeftButton);
        QList<MenuBarDisplayContent::Item::Kind> kinds;
        for (const auto& item : stage->menuBarContent().items()) {
            kinds << item.kind;
        }
        EXPECT_EQ(kinds, r.items);
        EXPECT_EQ(stage->dialCaption(), QLatin1String(r.caption));
        EXPECT_DOUBLE_EQ(stage->dial()->activeOpacity(), r.dialOpacity);
    }
    SettingsKeys::appLanguage.write(preferences, QStringLiteral("fr"));
    SettingsKeys::floatingShowTaskName.write(preferences, true);
    EXPECT_EQ(stage->floatingLabel(), QStringLiteral("集中タイム"))
        << "an unknown language gives the Japanese name";
}

TEST_F(SettingsScreenTest, ASoundCardOpensTheGalleryForItsOwnSettingOnly) {
    build();
    auto* alarmCard = find<SoundPurposeCard>(QStringLiteral("quorvane.settings.sound.alarm"));
    EXPECT_EQ(alarmCard->currentName(),
              SoundCatalog::byID(QStringLiteral("b.digital_alarm"), *userSounds)->displayName);
    alarmCard->setFocus(Qt::OtherFocusReason);
    QTest::keyClick(alarmCard, Qt::Key_Space);
    ASSERT_EQ(screen->galleryPurpose(), std::optional<SoundPurpose>(SoundPurpose::alarm));
    SoundGallerySheet* gallery = screen->gallery();
    ASSERT_NE(gallery, nullptr);
    EXPECT_EQ(gallery->title(), QStringLiteral("Choose the alarm sound"));
    EXPECT_FALSE(screen->scrollArea()->isEnabled()) << "the column underneath takes no input meanwhile";

    const QStringList before = preferences.keys();
    QTest::mouseClick(gallery->card(QStringLiteral("b.chime")), Qt::LeftButton);
    EXPECT_EQ(SettingsKeys::alarmCompleteSound.read(preferences), QStringLiteral("b.chime"));
    for (const auto* other : {&SettingsKeys::timerCompleteSound, &SettingsKeys::pomWorkStartSound,
                              &SettingsKeys::pomBreakStartSound}) {
        EXPECT_FALSE(preferences.contains(other->key)) << other->key.toStdString();
    }
    EXPECT_EQ(sound.previewed, QStringList{QStringLiteral("b.chime")});
    EXPECT_EQ(alarmCard->currentName(),
              SoundCatalog::byID(QStringLiteral("b.chime"), *userSounds)->displayName);

    QTest::mouseClick(gallery->findChild<LabelButton*>(QStringLiteral("quorvane.settings.gallery.close")),
                      Qt::LeftButton);
    EXPECT_EQ(screen->galleryPurpose(), std::nullopt);
    EXPECT_TRUE(screen->scrollArea()->isEnabled());

    SettingsKeys::timerCompleteSound.write(preferences, QStringLiteral("u.gone"));
    EXPECT_EQ(find<SoundPurposeCard>(QStringLiteral("quorvane.settings.sound.timerComplete"))->currentName(),
              QStringLiteral("Choose a sound"));
}

TEST_F(SettingsScreenTest, AnOpenGalleryRetitlesItselfWhenTheLanguageChanges) {
    build();
    auto* alarmCard = find<SoundPurposeCard>(QStringLiteral("quorvane.settings.sound.alarm"));
    alarmCard->setFocus(Qt::OtherFocusReason);
    QTest::keyClick(alarmCard, Qt::Key_Space);
    ASSERT_NE(screen->gallery(), nullptr);
    auto* title = find<QLabel>(QStringLiteral("quorvane.settings.gallery.title"));
    ASSERT_NE(title, nullptr);
    const struct {
        const char* language;
        QString title;
        QString close;
    } rows[] = {
        {"ja", QStringLiteral("アラームのサウンドを選ぶ"), QStringLiteral("閉じる")},
        {"en", QStringLiteral("Choose the alarm sound"), QStringLiteral("Close")},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.language);
        ASSERT_TRUE(TranslationCatalog::install(QLatin1String(r.language)));
        QApplication::processEvents();
        EXPECT_EQ(find<LabelButton>(QStringLiteral("quorvane.settings.gallery.close"))->text(), r.close)
            << "the rest of the gallery follows";
        EXPECT_EQ(title->text(), r.title);
    }
    TranslationCatalog::install(QStringLiteral("en"));
}

TEST_F(SettingsScreenTest, TheShortcutRecorderIsTheOneKeyTimers) {
    build();
    auto* recorder = find<GlobalHotkeys::Recorder>(QStringLiteral("quorvane.settings.quickPresetShortcut"));
    ASSERT_NE(recorder, nullptr);
    EXPECT_EQ(recorder->shortcutName(), GlobalHotkeys::Name::quickPreset());
    EXPECT_FALSE(recorder->text().isEmpty()) << "the default shortcut is shown";
}

TEST_F(SettingsScreenTest, TheDensitySetsTheColumnsPaddingAndGaps) {
    const struct {
        DisplayDensity density;
        QMargins padding;
        int rowGap;
        int headingGap;
        int sectionHeadingGap;
    } rows[] = {
        {DisplayDensity::spacious, QMargins(36, 24, 36, 24), 32, 16, 16},
        {DisplayDensity::compact, QMargins(27, 18, 27, 18), 24, 12, 12},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(toRaw(r.density).toStdString());
        build(r.density);
        const QLayout* column = screen->scrollArea()->widget()->layout();
        EXPECT_EQ(column->contentsMargins(), r.padding);
        EXPECT_EQ(column->spacing(), r.rowGap);
        EXPECT_EQ(find<QWidget>(QStringLiteral("quorvane.settings.category.focus"))->layout()->spacing(),
                  r.headingGap);
        const auto sections = screen->findChildren<SettingsSection*>();
        ASSERT_FALSE(sections.isEmpty());
        EXPECT_EQ(sections.first()->layout()->spacing(), r.sectionHeadingGap);
    }
}

TEST_F(SettingsScreenTest, TabWalksTheColumnInOrderAndScrollsEachControlIntoView) {
    build();
    QWidget* first = toggle(QStringLiteral("quorvane.settings.launchAtLogin"));
    first->setFocus(Qt::TabFocusReason);
    const QStringList landmarks = {
        QStringLiteral("quorvane.settings.plus.bl.quickPreset.minutes"),
        QStringLiteral("quorvane.settings.field.bl.pom.workMinutes"),
        QStringLiteral("quorvane.settings.sound.pomBreak"),
        QStringLiteral("quorvane.settings.accent.custom"),
        QStringLiteral("settings.about.checkUpdates"),
        QStringLiteral("quorvane.settings.replayOnboarding"),
    };
    qsizetype next = 0;
    QWidget* viewport = screen->scrollArea()->viewport();
    for (int presses = 0; presses < 200 && next < landmarks.size(); ++presses) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QWidget* focused = QApplication::focusWidget();
        ASSERT_NE(focused, nullptr);
        ASSERT_TRUE(screen->isAncestorOf(focused)) << "the keyboard stays in the tab";
        if (focused->objectName() == landmarks[next]) {
            const QRect shown(focused->mapTo(viewport, QPoint(0, 0)), focused->size());
            EXPECT_TRUE(viewport->rect().intersects(shown))
                << landmarks[next].toStdString() << " is scrolled into view";
            ++next;
        }
    }
    EXPECT_EQ(next, landmarks.size()) << "reached in order up to " << landmarks.value(next).toStdString();
    // Space on the focused replay button runs it.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    EXPECT_EQ(onboardingReplays, 1);
}

TEST_F(SettingsScreenTest, TheGalleryFadesInAndOutHoldsTheKeyboardAndGivesItBackToItsCard) {
    ManualAnimationClock clock;
    build();
    // Something focusable beside the tab, as the popover's tab bar is.
    auto* outside = new QPushButton(QStringLiteral("outside"), window.get());
    outside->setGeometry(0, 0, 40, 20);
    outside->show();
    const auto opacity = [](QWidget* widget) {
        const auto* effect = qobject_cast<QGraphicsOpacityEffect*>(widget->graphicsEffect());
        return effect ? effect->opacity() : 1.0;
    };
    auto* card = find<SoundPurposeCard>(QStringLiteral("quorvane.settings.sound.pomWork"));
    card->setFocus(Qt::OtherFocusReason);
    QTest::keyClick(card, Qt::Key_Space);
    QPointer<SoundGallerySheet> gallery = screen->gallery();
    ASSERT_FALSE(gallery.isNull());
    EXPECT_DOUBLE_EQ(opacity(gallery), 0.0) << "it starts clear";
    clock.advanceBy(SettingsScreen::galleryFadeMs / 2);
    EXPECT_GT(opacity(gallery), 0.2);
    EXPECT_LT(opacity(gallery), 0.8);
    clock.advanceBy(SettingsScreen::galleryFadeMs);
    EXPECT_DOUBLE_EQ(opacity(gallery), 1.0) << "in after 0.15 s";

    for (Qt::KeyboardModifiers modifiers :
         {Qt::KeyboardModifiers(), Qt::KeyboardModifiers(Qt::ShiftModifier)}) {
        for (int press = 0; press < 60; ++press) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, modifiers);
            ASSERT_TRUE(gallery->isAncestorOf(QApplication::focusWidget()))
                << "Tab left the gallery for " << QApplication::focusWidget()->objectName().toStdString();
        }
    }

    auto* close = gallery->findChild<LabelButton*>(QStringLiteral("quorvane.settings.gallery.close"));
    close->setFocus(Qt::TabFocusReason);
    QTest::keyClick(close, Qt::Key_Space);
    EXPECT_EQ(screen->galleryPurpose(), std::nullopt) << "closed at once";
    EXPECT_EQ(QApplication::focusWidget(), card) << "the keyboard is back on the card that opened it";
    ASSERT_FALSE(gallery.isNull());
    EXPECT_TRUE(gallery->isVisible()) << "still fading out";
    clock.advanceBy(SettingsScreen::galleryFadeMs / 2);
    EXPECT_GT(opacity(gallery), 0.2);
    EXPECT_LT(opacity(gallery), 0.8);
    clock.advanceBy(SettingsScreen::galleryFadeMs);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(gallery.isNull()) << "gone after 0.15 s";
}

TEST_F(SettingsScreenTest, ThePreviewDrawsTheFloatingWindowsOwnCard) {
    build();
    auto* stage = find<SettingsPreviewStage>(QStringLiteral("quorvane.settings.livePreview"));
    const auto cards = stage->findChildren<FloatingTimerSurface*>();
    ASSERT_EQ(cards.size(), 1) << "the floating window's card, not an imitation";
    FloatingTimerSurface* card = cards.first();
    EXPECT_EQ(card->size(), QSize(200, 54));
    EXPECT_FALSE(card->closeButton()->isVisible()) << "no close control";
    const struct {
        const char* behaviour;
        SettingsPreviewStage::PreviewState state;
        const char* language;
        bool taskName;
        AccentTheme accent;
        bool running;
        QString label;
    } rows[] = {
        {"running, Japanese sample", SettingsPreviewStage::PreviewState::running, "ja", true,
         AccentTheme::orange, true, QStringLiteral("集中タイム")},
        {"paused, English sample, another accent", SettingsPreviewStage::PreviewState::paused, "en", true,
         AccentTheme::simple, false, QStringLiteral("Deep work")},
        {"no task name", SettingsPreviewStage::PreviewState::running, "en", false, AccentTheme::black, true,
         QString()},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.behaviour);
        SettingsKeys::appLanguage.write(preferences, QLatin1String(r.language));
        SettingsKeys::floatingShowTaskName.write(preferences, r.taskName);
        QTest::mouseClick(find<AccentChip>(QStringLiteral("quorvane.settings.accent.") + toRaw(r.accent)),
                          Qt::LeftButton);
        QTest::mouseClick(stage->stateButton(r.state), Qt::LeftButton);
        const FloatingTimerSurface::Values& shown = card->values();
        EXPECT_EQ(shown.timeText, QStringLiteral("25:00"));
        EXPECT_EQ(shown.label, r.label);
        EXPECT_EQ(shown.isRunning, r.running);
        EXPECT_FALSE(shown.isFinished);
        EXPECT_DOUBLE_EQ(shown.progress, 0.42);
        EXPECT_EQ(shown.accent, color(r.accent));
        EXPECT_FALSE(shown.showsClose);
    }
    // A picture only: a drag across it moves no window.
    const QPoint windowAt = window->pos();
    const QPoint from = card->mapTo(window.get(), QPoint(100, 27));
    QTest::mousePress(window->windowHandle(), Qt::LeftButton, {}, from);
    QTest::mouseMove(window->windowHandle(), from + QPoint(40, 30));
    QTest::mouseRelease(window->windowHandle(), Qt::LeftButton, {}, from + QPoint(40, 30));
    EXPECT_EQ(window->pos(), windowAt);
}

TEST_F(SettingsScreenTest, TheLoginCardSpansItsSectionAndTheFeedbackButtonsShareARow) {
    for (const char* language : {"en", "ja"}) {
        SCOPED_TRACE(language);
        ASSERT_TRUE(TranslationCatalog::install(QLatin1String(language)));
        build();
        QApplication::processEvents();
        auto* loginTile = find<ToggleCard>(QStringLiteral("quorvane.settings.launchAtLogin"));
        const QWidget* loginCard = loginTile->parentWidget();
        const QRect room = loginCard->contentsRect() - loginCard->layout()->contentsMargins();
        EXPECT_EQ(loginTile->width(), room.width()) << "the whole width of its section";

        auto* feedback = find<LabelButton>(QStringLiteral("settings.about.feedback"));
        auto* chat = find<LabelButton>(QStringLiteral("settings.about.discord"));
        const QRect inFeedbackCard = QRect(chat->mapTo(feedback->parentWidget(), QPoint()), chat->size());
        EXPECT_EQ(feedback->geometry().center().y(), inFeedbackCard.center().y()) << "one row";
        EXPECT_LT(feedback->geometry().right(), inFeedbackCard.left()) << "feedback first";
        EXPECT_LE(inFeedbackCard.right(), feedback->parentWidget()->contentsRect().right());
        for (LabelButton* button : {feedback, chat}) {
            EXPECT_GE(button->height(), button->heightForWidth(button->width()))
                << button->text().toStdString() << ": its wrapped label fits";
        }
    }
    TranslationCatalog::install(QStringLiteral("en"));
}
