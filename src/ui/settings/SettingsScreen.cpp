#include "ui/settings/SettingsScreen.h"

#include "core/SettingsKeys.h"
#include "hotkeys/Name.h"
#include "platform/Preferences.h"
#include "services/BuildInfo.h"
#include "services/LoginItemManager.h"
#include "services/UserSoundStore.h"
#include "theme/ModuleVisibilityStore.h"
#include "theme/QvColor.h"
#include "theme/QvFont.h"
#include "theme/ThemeStore.h"
#include "ui/kit/AccessibleTraits.h"
#include "ui/kit/GlobalHotkeysRecorder.h"
#include "ui/kit/LabelButton.h"
#include "ui/kit/SettingBinding.h"
#include "ui/kit/TokenLabel.h"
#include "ui/kit/ViewEnvironment.h"
#include "ui/settings/AccentChip.h"
#include "ui/settings/MenuBarAppearancePicker.h"
#include "ui/settings/NumberFieldRow.h"
#include "ui/settings/SettingPicker.h"
#include "ui/settings/SettingsAccent.h"
#include "ui/settings/SettingsPreviewStage.h"
#include "ui/settings/SettingsSecondaryButton.h"
#include "ui/settings/SettingsSection.h"
#include "ui/settings/SettingsText.h"
#include "ui/settings/SoundPurposeCard.h"
#include "ui/settings/StepperRow.h"
#include "ui/settings/ToggleCard.h"

#include <QApplication>
#include <QDesktopServices>
#include <QEvent>
#include <QGraphicsOpacityEffect>
#include <QGridLayout>
#include <QPainter>
#include <QPropertyAnimation>
#include <QScrollArea>
#include <QVBoxLayout>

namespace {

// A thin line across a section, between groups of controls.
class Divider : public QWidget {
public:
    explicit Divider(QWidget* parent) : QWidget(parent) {
        setFixedHeight(1);
        setObjectName(QStringLiteral("quorvane.settings.divider"));
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter(this).fillRect(rect(), QvColor::qvDivider().resolve(ViewEnvironment::colorScheme(this)));
    }
};

QWidget* column(QWidget* parent, int spacing, QVBoxLayout** layout) {
    auto* box = new QWidget(parent);
    *layout = new QVBoxLayout(box);
    (*layout)->setContentsMargins(0, 0, 0, 0);
    (*layout)->setSpacing(spacing);
    return box;
}

QGridLayout* twoColumns() {
    auto* grid = new QGridLayout;
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(8);
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(1, 1);
    return grid;
}

// The colour at `opacity` over the light card, as one opaque colour (the button look takes no opacity).
QColor overWhite(const QColor& color, double opacity) {
    const auto mix = [opacity](int channel) { return qRound(255 - opacity * (255 - channel)); };
    return QColor(mix(color.red()), mix(color.green()), mix(color.blue()));
}

LabelButton::Look secondaryLook() {
    // The accent tint and outline are drawn from the accent in use (see SettingsScreen::followTheme).
    LabelButton::Look look(QvColor::qvBgSurface(), QvColor::qvInkPrimary(),
                           QvFont::qvText(13, QFont::Medium));
    look.cornerRadius = 8;
    look.horizontalPadding = 16;
    return look;
}

} // namespace

SettingsScreen::SettingsScreen(Services services, QWidget* parent)
    : QWidget(parent), m_services(std::move(services)) {
    setObjectName(QStringLiteral("quorvane.settings"));
    if (!m_services.now.isValid()) {
        m_services.now = QDateTime::currentDateTime();
    }
    m_loginItem = m_services.makeLoginControl
                      ? std::make_unique<LoginItemManager>(m_services.makeLoginControl())
                      : std::make_unique<LoginItemManager>();

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    m_scroll = new QScrollArea(this);
    m_scroll->setObjectName(QStringLiteral("quorvane.settings.scroll"));
    m_scroll->setFrameShape(QFrame::NoFrame);
    m_scroll->setWidgetResizable(true);
    m_scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_scroll->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_scroll->viewport()->setAutoFillBackground(false);
    outer->addWidget(m_scroll);

    m_content = new QWidget;
    m_content->setAutoFillBackground(false);
    m_scroll->setWidget(m_content);
    m_content->setAutoFillBackground(false); // setWidget turned it on; the owner paints the background
    const DisplayDensity density = ViewEnvironment::displayDensity(parent);
    ViewEnvironment::setDisplayDensity(this, density);
    auto* rows = new QVBoxLayout(m_content);
    const int padX = int(scaled(density, 36));
    const int padY = int(scaled(density, 24));
    rows->setContentsMargins(padX, padY, padX, padY);
    rows->setSpacing(int(scaled(density, 32)));

    auto* title = new TokenLabel(QvColor::qvInkPrimary(), m_content);
    title->setObjectName(QStringLiteral("quorvane.settings.title"));
    title->setFont(QvFont::qvText(22, QFont::Bold));
    m_texts << std::make_pair(title, QT_TRANSLATE_NOOP("SettingsScreen", "Settings"));
    rows->addWidget(title);

    auto* preview = new SettingsPreviewStage(m_services.preferences, m_services.now, m_content);
    m_preview = preview;
    rows->addWidget(categoryGroup(QStringLiteral("general"), QT_TRANSLATE_NOOP("SettingsScreen", "General"),
                                  {generalSection(), shortcutsSection()}));
    rows->addWidget(categoryGroup(QStringLiteral("focus"), QT_TRANSLATE_NOOP("SettingsScreen", "Pomodoro"),
                                  {pomodoroSection(), soundSection()}));
    rows->addWidget(
        categoryGroup(QStringLiteral("appearance"), QT_TRANSLATE_NOOP("SettingsScreen", "Appearance"),
                      {preview, appearanceSection(), moduleVisibilitySection(), floatingSection()}));
    rows->addWidget(categoryGroup(
        QStringLiteral("system"), QT_TRANSLATE_NOOP("SettingsScreen", "System"),
        {updatesSection(), aboutSection(), feedbackSection(), quitSection(), onboardingReplaySection()}));
    rows->addStretch(1);

    connect(&m_services.theme, &ThemeStore::changed, this, &SettingsScreen::followTheme);
    followTheme();
    retranslate();
}

SettingsScreen::~SettingsScreen() = default;

QUrl SettingsScreen::feedbackURL() {
    return QUrl(QStringLiteral("https://tarvolintimer.dellowar.com/voice?app=TarvolinTimer"));
}

QUrl SettingsScreen::chatURL() {
    return QUrl(QStringLiteral("https://discord.gg/tarvolintimer"));
}

QWidget* SettingsScreen::categoryGroup(const QString& name, const char* heading, QList<QWidget*> sections) {
    const DisplayDensity density = ViewEnvironment::displayDensity(this);
    QVBoxLayout* layout = nullptr;
    QWidget* group = column(m_content, int(scaled(density, 16)), &layout);
    group->setObjectName(QStringLiteral("quorvane.settings.category.") + name);
    auto* title = new TokenLabel(QvColor::qvInkPrimary(), group);
    title->setObjectName(QStringLiteral("quorvane.settings.heading.") + name);
    title->setFont(QvFont::qvText(18, QFont::Bold));
    AccessibleTraits::setRole(title, QAccessible::Heading);
    m_texts << std::make_pair(title, heading);
    layout->addWidget(title);
    auto* stack = new QVBoxLayout;
    stack->setSpacing(int(scaled(density, 24)));
    for (QWidget* section : sections) {
        section->setParent(group);
        stack->addWidget(section);
    }
    layout->addLayout(stack);
    return group;
}

QWidget* SettingsScreen::generalSection() {
    auto* section = new SettingsSection(QT_TRANSLATE_NOOP("SettingsScreen", "General"), nullptr, m_content);
    auto* card =
        new ToggleCard(QStringLiteral("power"), QT_TRANSLATE_NOOP("SettingsScreen", "Launch at Login"),
                       nullptr, section->card());
    card->setObjectName(QStringLiteral("quorvane.settings.launchAtLogin"));
    // The switch shows the registration as last read; a refused change springs back.
    card->setOn(m_loginItem->isEnabled());
    connect(m_loginItem.get(), &LoginItemManager::isEnabledChanged, card, &ToggleCard::setOn);
    connect(card, &ToggleCard::toggleRequested, this, [this](bool on) { m_loginItem->setEnabled(on); });
    section->content()->addWidget(card);
    return section;
}

QWidget* SettingsScreen::shortcutsSection() {
    auto* section = new SettingsSection(QT_TRANSLATE_NOOP("SettingsScreen", "Shortcuts"), nullptr, m_content);
    QWidget* card = section->card();
    QVBoxLayout* rows = section->content();
    rows->setSpacing(8);
    rows->addWidget(new StepperRow(
        QT_TRANSLATE_NOOP("SettingsScreen", "One-key timer length"),
        QT_TRANSLATE_NOOP("SettingsScreen", "Pressing the shortcut below starts a timer for this long."),
        QStringLiteral("min"), m_services.preferences, SettingsKeys::quickPresetMinutes, card));
    rows->addWidget(new Divider(card));
    auto* behaviourLabel = new TokenLabel(QvColor::qvInkSecondary(), card);
    behaviourLabel->setFont(QvFont::qvText(13, QFont::DemiBold));
    m_texts << std::make_pair(behaviourLabel, QT_TRANSLATE_NOOP("SettingsScreen", "What the key does"));
    rows->addWidget(behaviourLabel);
    rows->addWidget(SettingPicker::quickPresetBehavior(m_services.preferences, card));
    rows->addWidget(new Divider(card));

    auto* recorderRow = new QHBoxLayout;
    recorderRow->setSpacing(16);
    auto* texts = new QVBoxLayout;
    texts->setSpacing(2);
    auto* shortcutLabel = new TokenLabel(QvColor::qvInkSecondary(), card);
    shortcutLabel->setFont(QvFont::qvText(13, QFont::DemiBold));
    m_texts << std::make_pair(shortcutLabel, QT_TRANSLATE_NOOP("SettingsScreen", "Keyboard Shortcut"));
    auto* shortcutHint = new TokenLabel(QvColor::qvInkMuted(), card);
    shortcutHint->setFont(QvFont::qvText(12, QFont::Normal));
    shortcutHint->setWordWrap(true);
    m_texts << std::make_pair(
        shortcutHint,
        QT_TRANSLATE_NOOP("SettingsScreen", "Default is ⌘⌥1. Click to record a different key."));
    texts->addWidget(shortcutLabel);
    texts->addWidget(shortcutHint);
    recorderRow->addLayout(texts, 1);
    auto* recorder = new GlobalHotkeys::Recorder(GlobalHotkeys::Name::quickPreset(), {}, card);
    recorder->setObjectName(QStringLiteral("quorvane.settings.quickPresetShortcut"));
    recorderRow->addWidget(recorder, 0, Qt::AlignVCenter);
    rows->addLayout(recorderRow);
    rows->addWidget(new Divider(card));
    auto* note = new TokenLabel(QvColor::qvInkMuted(), card);
    note->setFont(QvFont::qvText(12, QFont::Normal));
    note->setWordWrap(true);
    m_texts << std::make_pair(
        note,
        QT_TRANSLATE_NOOP("SettingsScreen",
                          "Want more keys? Each row in the Presets tab has a keyboard icon for its own "
                          "shortcut. Quick Add (⌘⌥Space) is a separate on-the-spot entry field, not a key "
                          "assignment."));
    rows->addWidget(note);
    return section;
}

QWidget* SettingsScreen::pomodoroSection() {
    auto* section =
        new SettingsSection(QT_TRANSLATE_NOOP("SettingsScreen", "Cycle Lengths"), nullptr, m_content);
    QWidget* card = section->card();
    Preferences& prefs = m_services.preferences;
    QVBoxLayout* rows = section->content();
    rows->setSpacing(16);
    const QString minutes = QStringLiteral("min");
    rows->addWidget(new NumberFieldRow(QT_TRANSLATE_NOOP("SettingsScreen", "Focus Duration"), minutes, prefs,
                                       SettingsKeys::pomWorkMinutes, nullptr, card));
    rows->addWidget(new Divider(card));
    rows->addWidget(new NumberFieldRow(QT_TRANSLATE_NOOP("SettingsScreen", "Short Break"), minutes, prefs,
                                       SettingsKeys::pomShortBreakMinutes, nullptr, card));
    rows->addWidget(new Divider(card));
    rows->addWidget(ToggleCard::bound(QStringLiteral("figure.walk"),
                                      QT_TRANSLATE_NOOP("SettingsScreen", "Long Break"), prefs,
                                      SettingsKeys::pomLongBreakEnabled, card));
    // Shown only while long breaks are on; the stored values stay as they are meanwhile.
    QVBoxLayout* longRows = nullptr;
    QWidget* longBreak = column(card, 16, &longRows);
    longBreak->setObjectName(QStringLiteral("quorvane.settings.longBreakRows"));
    longRows->addWidget(new NumberFieldRow(QT_TRANSLATE_NOOP("SettingsScreen", "Long Break Length"), minutes,
                                           prefs, SettingsKeys::pomLongBreakMinutes, nullptr, longBreak));
    longRows->addWidget(new Divider(longBreak));
    longRows->addWidget(new NumberFieldRow(
        QT_TRANSLATE_NOOP("SettingsScreen", "Rounds"), QString(), prefs, SettingsKeys::pomCycles,
        QT_TRANSLATE_NOOP("SettingsScreen", "Focus rounds before the long break."), longBreak));
    rows->addWidget(longBreak);
    SettingBinding::observe(*longBreak, prefs, SettingsKeys::pomLongBreakEnabled,
                            [longBreak](bool on) { longBreak->setVisible(on); });
    rows->addWidget(new Divider(card));
    auto* grid = twoColumns();
    grid->addWidget(ToggleCard::bound(QStringLiteral("cup.and.saucer"),
                                      QT_TRANSLATE_NOOP("SettingsScreen", "Auto-start Breaks"), prefs,
                                      SettingsKeys::pomAutoBreak, card),
                    0, 0);
    grid->addWidget(ToggleCard::bound(QStringLiteral("brain"),
                                      QT_TRANSLATE_NOOP("SettingsScreen", "Auto Start Next Timer"), prefs,
                                      SettingsKeys::pomAutoWork, card),
                    0, 1);
    rows->addLayout(grid);
    return section;
}

QWidget* SettingsScreen::soundSection() {
    auto* section = new SettingsSection(QT_TRANSLATE_NOOP("SettingsScreen", "Sounds"), nullptr, m_content);
    QWidget* card = section->card();
    Preferences& prefs = m_services.preferences;
    QVBoxLayout* rows = section->content();
    rows->setSpacing(16);
    rows->addWidget(ToggleCard::bound(QStringLiteral("speaker.wave.2.fill"),
                                      QT_TRANSLATE_NOOP("SettingsScreen", "Play Sounds"), prefs,
                                      SettingsKeys::soundEnabled, card));
    QVBoxLayout* soundRows = nullptr;
    QWidget* sounds = column(card, 16, &soundRows);
    sounds->setObjectName(QStringLiteral("quorvane.settings.soundCards"));
    soundRows->addWidget(new Divider(sounds));
    auto* grid = twoColumns();
    int index = 0;
    for (SoundPurpose purpose : allSoundPurposes()) {
        auto* purposeCard = new SoundPurposeCard(purpose, prefs, m_services.userSounds, sounds);
        connect(purposeCard, &SoundPurposeCard::openRequested, this, &SettingsScreen::openGallery);
        grid->addWidget(purposeCard, index / 2, index % 2);
        ++index;
    }
    soundRows->addLayout(grid);
    rows->addWidget(sounds);
    SettingBinding::observe(*sounds, prefs, SettingsKeys::soundEnabled,
                            [sounds](bool on) { sounds->setVisible(on); });
    return section;
}

QWidget* SettingsScreen::appearanceSection() {
    auto* section =
        new SettingsSection(QT_TRANSLATE_NOOP("SettingsScreen", "Theme & Wording"), nullptr, m_content);
    QWidget* card = section->card();
    Preferences& prefs = m_services.preferences;
    QVBoxLayout* rows = section->content();
    rows->setSpacing(16);
    const auto groupLabel = [this, card](const char* key) {
        auto* label = new TokenLabel(QvColor::qvInkSecondary(), card);
        label->setFont(QvFont::qvText(13, QFont::DemiBold));
        m_texts << std::make_pair(label, key);
        return label;
    };
    const auto group = [card](QWidget* label, QList<QWidget*> contents) {
        QVBoxLayout* layout = nullptr;
        QWidget* box = column(card, 8, &layout);
        label->setParent(box);
        layout->addWidget(label);
        for (QWidget* content : contents) {
            content->setParent(box);
            layout->addWidget(content);
        }
        return box;
    };

    rows->addWidget(group(groupLabel(QT_TRANSLATE_NOOP("SettingsScreen", "Language")),
                          {SettingPicker::appLanguage(prefs, card)}));
    rows->addWidget(new Divider(card));

    auto* chips = new QWidget(card);
    chips->setObjectName(QStringLiteral("quorvane.settings.accentChips"));
    AccessibleTraits::setRole(chips, QAccessible::List);
    auto* chipRow = new QHBoxLayout(chips);
    chipRow->setContentsMargins(0, 0, 0, 0);
    // Narrower than the 16 px the design names: five 56 px chips must fit the card in 440 px.
    chipRow->setSpacing(6);
    for (AccentTheme theme : allAccentThemes()) {
        auto* chip = new AccentChip(theme, chips);
        // The preset first, then the custom colour dropped, so readers never see the custom colour on its
        // own.
        connect(chip, &QAbstractButton::clicked, this, [this, theme] {
            m_services.theme.setAccent(theme);
            m_services.theme.setCustomAccentHex(std::nullopt);
        });
        chipRow->addWidget(chip);
        m_accentChips << chip;
    }
    m_customChip = new CustomAccentChip(chips);
    connect(m_customChip, &CustomAccentChip::picked, this,
            [this](const QColor& color) { m_services.theme.setCustomAccentHex(QvColor::toHex(color)); });
    chipRow->addWidget(m_customChip);
    chipRow->addStretch(1);
    rows->addWidget(group(groupLabel(QT_TRANSLATE_NOOP("SettingsScreen", "Accent Color")), {chips}));
    rows->addWidget(new Divider(card));

    rows->addWidget(group(groupLabel(QT_TRANSLATE_NOOP("SettingsScreen", "Time Wording")),
                          {SettingPicker::displayStyle(prefs, card)}));
    rows->addWidget(new Divider(card));
    rows->addWidget(new MenuBarAppearancePicker(prefs, card));
    rows->addWidget(new Divider(card));

    auto* detailLabel = new TokenLabel(QvColor::qvInkMuted(), card);
    detailLabel->setFont(QvFont::qvText(12, QFont::DemiBold));
    detailLabel->setContentsMargins(0, 4, 0, 0);
    m_texts << std::make_pair(detailLabel, QT_TRANSLATE_NOOP("SettingsScreen", "Remaining time detail"));
    rows->addWidget(group(
        groupLabel(QT_TRANSLATE_NOOP("SettingsScreen", "Menu Bar Alarm Display")),
        {SettingPicker::alarmFormat(prefs, card), detailLabel, SettingPicker::remainingDetail(prefs, card)}));
    return section;
}

QWidget* SettingsScreen::moduleVisibilitySection() {
    auto* section =
        new SettingsSection(QT_TRANSLATE_NOOP("SettingsScreen", "Modules on Screen"), nullptr, m_content);
    const struct {
        ModuleID module;
        const char* icon;
        const char* title;
    } modules[] = {
        {ModuleID::chainEntry, "arrow.turn.down.right",
         QT_TRANSLATE_NOOP("SettingsScreen", "Chained Timers Entry")},
        {ModuleID::pomodoroStartCard, "circle.dashed",
         QT_TRANSLATE_NOOP("SettingsScreen", "Pomodoro Start Card")},
        {ModuleID::symbolRow, "textformat.123", QT_TRANSLATE_NOOP("SettingsScreen", "Symbol Key Row")},
    };
    auto* grid = twoColumns();
    int index = 0;
    ModuleVisibilityStore& store = m_services.moduleVisibility;
    for (const auto& entry : modules) {
        auto* card = new ToggleCard(QLatin1String(entry.icon), entry.title, nullptr, section->card());
        card->setObjectName(QStringLiteral("quorvane.settings.module.") + toRaw(entry.module));
        const ModuleID module = entry.module;
        card->setOn(store.isVisible(module));
        connect(&store, &ModuleVisibilityStore::hiddenModulesChanged, card,
                [card, &store, module] { card->setOn(store.isVisible(module)); });
        connect(card, &ToggleCard::toggleRequested, card,
                [&store, module](bool on) { store.setVisible(on, module); });
        grid->addWidget(card, index / 2, index % 2);
        ++index;
    }
    section->content()->addLayout(grid);
    return section;
}

QWidget* SettingsScreen::floatingSection() {
    auto* section =
        new SettingsSection(QT_TRANSLATE_NOOP("SettingsScreen", "Floating Window"), nullptr, m_content);
    auto* grid = twoColumns();
    grid->addWidget(
        ToggleCard::bound(QStringLiteral("pip.fill"), QT_TRANSLATE_NOOP("SettingsScreen", "Show on Launch"),
                          m_services.preferences, SettingsKeys::showFloatingOnStart, section->card()),
        0, 0);
    grid->addWidget(
        ToggleCard::bound(QStringLiteral("textformat"), QT_TRANSLATE_NOOP("SettingsScreen", "Show Task Name"),
                          m_services.preferences, SettingsKeys::floatingShowTaskName, section->card()),
        0, 1);
    section->content()->addLayout(grid);
    return section;
}

namespace {

LabelButton* secondaryButton(const QString& objectName, QWidget* parent) {
    auto* button = new SettingsSecondaryButton(secondaryLook(), parent);
    button->setObjectName(objectName);
    button->setFocusPolicy(Qt::StrongFocus);
    button->setProperty("tt.settingsSecondary", true);
    return button;
}

QHBoxLayout* buttonRow(QList<QWidget*> buttons) {
    auto* row = new QHBoxLayout;
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(8);
    for (QWidget* button : buttons) {
        row->addWidget(button, 0, Qt::AlignVCenter);
    }
    row->addStretch(1);
    return row;
}

} // namespace

QWidget* SettingsScreen::updatesSection() {
    auto* section = new SettingsSection(QT_TRANSLATE_NOOP("SettingsScreen", "Updates"), nullptr, m_content);
    auto* check = secondaryButton(QStringLiteral("settings.about.checkUpdates"), section->card());
    m_texts << std::make_pair(check, QT_TRANSLATE_NOOP("SettingsScreen", "Check for Updates"));
    connect(check, &QAbstractButton::clicked, this, [this] {
        if (m_services.onCheckForUpdates) {
            m_services.onCheckForUpdates();
        }
    });
    section->content()->addLayout(buttonRow({check}));
    return section;
}

QWidget* SettingsScreen::aboutSection() {
    auto* section =
        new SettingsSection(QT_TRANSLATE_NOOP("SettingsScreen", "About TarvolinTimer"), nullptr, m_content);
    QVBoxLayout* rows = section->content();
    rows->setSpacing(4);
    auto* version = new TokenLabel(QvColor::qvInkPrimary(), section->card());
    version->setObjectName(QStringLiteral("quorvane.settings.version"));
    version->setFont(QvFont::qvText(14, QFont::Medium));
    const QString number = BuildInfo::applicationVersion();
    version->setText(QStringLiteral("TarvolinTimer v") + (number.isEmpty() ? QStringLiteral("1.1") : number));
    auto* tagline = new TokenLabel(QvColor::qvInkSecondary(), section->card());
    tagline->setFont(QvFont::qvText(13, QFont::Normal));
    tagline->setWordWrap(true);
    m_texts << std::make_pair(
        tagline, QT_TRANSLATE_NOOP("SettingsScreen", "The easiest timer to live in your menu bar."));
    auto* notice = new TokenLabel(QvColor::qvInkMuted(), section->card());
    notice->setFont(QvFont::qvText(12, QFont::Normal));
    notice->setText(QStringLiteral("© 2026 Dellowar. All rights reserved."));
    rows->addWidget(version);
    rows->addWidget(tagline);
    rows->addWidget(notice);
    return section;
}

QWidget* SettingsScreen::feedbackSection() {
    auto* section = new SettingsSection(
        QT_TRANSLATE_NOOP("SettingsScreen", "Feedback"),
        QT_TRANSLATE_NOOP("SettingsScreen",
                          "Bug reports and requests are welcome too. Or come talk on Discord."),
        m_content);
    auto* feedback = secondaryButton(QStringLiteral("settings.about.feedback"), section->card());
    m_texts << std::make_pair(feedback,
                              QT_TRANSLATE_NOOP("SettingsScreen", "Send Feedback to the Developer"));
    auto* chat = secondaryButton(QStringLiteral("settings.about.discord"), section->card());
    m_texts << std::make_pair(chat, QT_TRANSLATE_NOOP("SettingsScreen", "Talk with Everyone"));
    const auto open = [this](const QUrl& url) {
        if (m_services.openURL) {
            m_services.openURL(url);
        } else {
            QDesktopServices::openUrl(url);
        }
    };
    connect(feedback, &QAbstractButton::clicked, this, [open] { open(feedbackURL()); });
    connect(chat, &QAbstractButton::clicked, this, [open] { open(chatURL()); });
    // Side by side; where the two labels are wider than the card, the long one wraps and the short one
    // keeps its line.
    QSizePolicy keepsItsLine = chat->sizePolicy();
    keepsItsLine.setHorizontalPolicy(QSizePolicy::Minimum);
    chat->setSizePolicy(keepsItsLine);
    section->content()->addLayout(buttonRow({feedback, chat}));
    return section;
}

QWidget* SettingsScreen::quitSection() {
    auto* section = new SettingsSection(QT_TRANSLATE_NOOP("SettingsScreen", "Quit"), nullptr, m_content);
    auto* quit = secondaryButton(QString(), section->card());
    m_texts << std::make_pair(quit, QT_TRANSLATE_NOOP("SettingsScreen", "Quit TarvolinTimer"));
    // The normal quit path, so the timer list is saved as at any other quit.
    connect(quit, &QAbstractButton::clicked, this, [this] {
        if (m_services.onQuit) {
            m_services.onQuit();
        } else {
            QCoreApplication::quit();
        }
    });
    section->content()->addLayout(buttonRow({quit}));
    return section;
}

QWidget* SettingsScreen::onboardingReplaySection() {
    auto* section =
        new SettingsSection(QT_TRANSLATE_NOOP("SettingsScreen", "Getting Started"), nullptr, m_content);
    LabelButton::Look look(QvColor::fixed(QvColor::toHex(color(AccentTheme::orange))), QvColor::qvOnAccent(),
                           QvFont::qvText(14, QFont::DemiBold));
    look.cornerRadius = 8;
    auto* replay = new LabelButton(0.96, look, section->card());
    replay->setObjectName(QStringLiteral("quorvane.settings.replayOnboarding"));
    replay->setFocusPolicy(Qt::StrongFocus);
    replay->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    replay->setProperty("tt.settingsFilled", true);
    m_texts << std::make_pair(replay, QT_TRANSLATE_NOOP("SettingsScreen", "Watch onboarding again"));
    connect(replay, &QAbstractButton::clicked, this, [this] {
        if (m_services.onShowOnboarding) {
            m_services.onShowOnboarding();
        }
    });
    section->content()->addWidget(replay);
    return section;
}

void SettingsScreen::followTheme() {
    const ThemeStore& theme = m_services.theme;
    const QColor accent = theme.activeAccentColor();
    SettingsAccent::set(this, accent);
    if (m_preview) {
        m_preview->setAccent(accent);
    }
    const bool custom = theme.customAccentHex().has_value();
    for (AccentChip* chip : m_accentChips) {
        chip->setSelected(!custom && theme.accent() == chip->theme());
    }
    if (m_customChip) {
        m_customChip->setSelected(custom);
        m_customChip->setCurrentColor(accent);
    }
    // The buttons that wear the accent (tint and outline are the accent at 10 % and 35 % over white): the
    // system group's outlined ones and the filled replay button.
    const QString hex = QvColor::toHex(accent);
    for (LabelButton* button : findChildren<LabelButton*>()) {
        if (button->property("tt.settingsSecondary").toBool()) {
            LabelButton::Look look = button->look();
            look.fill = QvColor::fixed(QvColor::toHex(overWhite(accent, 0.1)));
            look.outline = QvColor::fixed(QvColor::toHex(overWhite(accent, 0.35)));
            look.ink = QvColor::fixed(hex);
            button->setLook(look);
        } else if (button->property("tt.settingsFilled").toBool()) {
            LabelButton::Look look = button->look();
            look.fill = QvColor::fixed(hex);
            button->setLook(look);
        }
    }
    update();
}

void SettingsScreen::retranslate() {
    for (const auto& [widget, key] : m_texts) {
        if (auto* label = qobject_cast<QLabel*>(widget)) {
            label->setText(settingsText(key));
        } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
            button->setText(settingsText(key));
            button->updateGeometry();
        }
    }
}

void SettingsScreen::openGallery(SoundPurpose purpose) {
    closeGallery();
    m_galleryPurpose = purpose;
    m_gallery = new SoundGallerySheet(galleryTitleKey(purpose), m_services.preferences, soundSetting(purpose),
                                      m_services.userSounds, m_services.sound, m_services.chooseFiles, this);
    m_gallery->setGeometry(rect());
    connect(m_gallery, &SoundGallerySheet::closeRequested, this, &SettingsScreen::closeGallery);
    // The column underneath takes no keys or clicks while the gallery covers it.
    m_scroll->setEnabled(false);
    fadeGallery(m_gallery, true);
    m_gallery->show();
    m_gallery->raise();
    m_gallery->setFocus(Qt::OtherFocusReason);
}

void SettingsScreen::closeGallery() {
    if (!m_gallery) {
        return;
    }
    const std::optional<SoundPurpose> purpose = m_galleryPurpose;
    m_galleryPurpose.reset();
    // Leaving, it takes nothing more and fades out over the column, which answers again at once.
    SoundGallerySheet* leaving = m_gallery;
    m_gallery = nullptr;
    leaving->setAttribute(Qt::WA_TransparentForMouseEvents);
    leaving->setFocusPolicy(Qt::NoFocus);
    m_scroll->setEnabled(true);
    // The keyboard goes back to the card that opened the gallery.
    for (SoundPurposeCard* card : findChildren<SoundPurposeCard*>()) {
        if (purpose && card->purpose() == *purpose && card->isVisible()) {
            card->setFocus(Qt::OtherFocusReason);
        }
    }
    if (leaving->isAncestorOf(QApplication::focusWidget())) {
        setFocus(Qt::OtherFocusReason);
    }
    fadeGallery(leaving, false);
}

void SettingsScreen::fadeGallery(SoundGallerySheet* gallery, bool in) {
    // The gallery's opacity eases over 0.15 s; a fade stays under Reduce Motion.
    auto* effect = qobject_cast<QGraphicsOpacityEffect*>(gallery->graphicsEffect());
    if (!effect) {
        effect = new QGraphicsOpacityEffect(gallery);
        effect->setOpacity(in ? 0.0 : 1.0);
        gallery->setGraphicsEffect(effect);
    }
    auto* fade = new QPropertyAnimation(effect, "opacity", gallery);
    fade->setDuration(galleryFadeMs);
    fade->setEasingCurve(QEasingCurve::InOutQuad);
    fade->setStartValue(effect->opacity());
    fade->setEndValue(in ? 1.0 : 0.0);
    connect(fade, &QAbstractAnimation::finished, gallery, [gallery, in] {
        if (in) {
            gallery->setGraphicsEffect(nullptr); // drawn directly again once fully shown
        } else {
            gallery->hide();
            gallery->deleteLater();
        }
    });
    fade->start(QAbstractAnimation::DeleteWhenStopped);
}

void SettingsScreen::showEvent(QShowEvent* event) {
    // The registration may have changed outside the program since the tab was last shown.
    m_loginItem->refresh();
    QWidget::showEvent(event);
}

void SettingsScreen::resizeEvent(QResizeEvent* event) {
    if (m_gallery) {
        m_gallery->setGeometry(rect());
    }
    QWidget::resizeEvent(event);
}

void SettingsScreen::paintEvent(QPaintEvent*) {
    QPainter(this).fillRect(rect(), QvColor::qvBgPrimary().resolve(ViewEnvironment::colorScheme(this)));
}

void SettingsScreen::changeEvent(QEvent* event) {
    if (event->type() == QEvent::LanguageChange) {
        retranslate();
    }
    QWidget::changeEvent(event);
}
