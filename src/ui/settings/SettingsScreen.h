#pragma once
// The settings tab: one scrolling column of four groups (general, focus, appearance, system) of titled
// sections, every control bound to its declared setting or store, and the sound gallery drawn over it
// while a sound card has it open. It holds no copy of any setting: its own state is the login item's
// and which sound occasion the gallery edits.

#include "services/LoginItemControlling.h"
#include "ui/settings/SoundGallerySheet.h"
#include "ui/settings/SoundPurpose.h"

#include <QDateTime>
#include <QPointer>
#include <QUrl>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>

class CustomAccentChip;
class AccentChip;
class LoginItemManager;
class ModuleVisibilityStore;
class QScrollArea;
class QVBoxLayout;
class SettingsPreviewStage;
class SoundServiceProtocol;
class ThemeStore;
class UserSoundStore;

class SettingsScreen : public QWidget {
    Q_OBJECT
public:
    // What the screen is built with; every object must outlive it.
    struct Services {
        Preferences& preferences;
        ThemeStore& theme;
        ModuleVisibilityStore& moduleVisibility;
        UserSoundStore& userSounds;
        SoundServiceProtocol& sound;
        // The registration the "Launch at Login" switch reads and changes; made once per screen.
        std::function<std::unique_ptr<LoginItemControlling>()> makeLoginControl;
        std::function<void()> onCheckForUpdates;
        std::function<void()> onShowOnboarding;
        // None: the application's normal quit.
        std::function<void()> onQuit = {};
        // None: the desktop's default browser.
        std::function<void(const QUrl&)> openURL = {};
        // None: the file dialog.
        SoundGallerySheet::FileChooser chooseFiles = {};
        // The live preview's "now"; invalid: the current time.
        QDateTime now = {};
    };

    explicit SettingsScreen(Services services, QWidget* parent = nullptr);
    ~SettingsScreen() override;

    // The feedback page and the community chat invitation.
    static QUrl feedbackURL();
    static QUrl chatURL();

    // How long the gallery takes to fade in or out.
    static constexpr int galleryFadeMs = 150;

    std::optional<SoundPurpose> galleryPurpose() const { return m_galleryPurpose; }
    // The open gallery; none once it is closing.
    SoundGallerySheet* gallery() const { return m_gallery; }
    void openGallery(SoundPurpose purpose);
    void closeGallery();

    LoginItemManager& loginItem() const { return *m_loginItem; }
    QScrollArea* scrollArea() const { return m_scroll; }

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    QWidget* categoryGroup(const QString& name, const char* heading, QList<QWidget*> sections);
    QWidget* generalSection();
    QWidget* shortcutsSection();
    QWidget* pomodoroSection();
    QWidget* soundSection();
    QWidget* appearanceSection();
    QWidget* moduleVisibilitySection();
    QWidget* floatingSection();
    QWidget* updatesSection();
    QWidget* aboutSection();
    QWidget* feedbackSection();
    QWidget* quitSection();
    QWidget* onboardingReplaySection();
    void followTheme();
    void retranslate();
    void fadeGallery(SoundGallerySheet* gallery, bool in);

    Services m_services;
    std::unique_ptr<LoginItemManager> m_loginItem;
    std::optional<SoundPurpose> m_galleryPurpose;
    QPointer<SoundGallerySheet> m_gallery;
    QScrollArea* m_scroll;
    QWidget* m_content;
    QList<AccentChip*> m_accentChips;
    CustomAccentChip* m_customChip = nullptr;
    SettingsPreviewStage* m_preview = nullptr;
    // Texts that follow the language: the widget and its key.
    QList<std::pair<QWidget*, const char*>> m_texts;
};
