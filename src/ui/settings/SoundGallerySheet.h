#pragma once
// The panel over the settings tab in which the sound of one occasion is chosen and heard, and the user's
// own sounds are imported (file dialog or drop of local files), renamed and deleted. A tap writes the
// setting at once; "Close" (or Escape) only closes.

#include "platform/PreferenceSetting.h"
#include "services/TimerSound.h"

#include <QList>
#include <QPointer>
#include <QUrl>
#include <QWidget>

#include <functional>

class AddSoundCard;
class AlertOverlay;
class LabelButton;
class QGridLayout;
class QLineEdit;
class QScrollArea;
class QVBoxLayout;
class SoundCard;
class SoundServiceProtocol;
class TokenLabel;
class UserSoundStore;

class SoundGallerySheet : public QWidget {
    Q_OBJECT
public:
    // Asks the user for files and calls `chosen` with them later (never with a cancel). The program's
    // chooser is a file dialog marked as the window's own; tests give their own.
    using FileChooser = std::function<void(QWidget* owner, std::function<void(const QList<QUrl>&)> chosen)>;
    static FileChooser dialogFileChooser();

    // `titleKey` is the heading, translated with settingsText in the language of the moment. `selection` is
    // the sound-id setting being edited.
    SoundGallerySheet(const char* titleKey, Preferences& preferences,
                      const PreferenceSetting<QString>& selection, UserSoundStore& userSounds,
                      SoundServiceProtocol& sound, FileChooser chooseFiles = {}, QWidget* parent = nullptr);

    // The heading as shown.
    QString title() const;
    SoundCard* card(const QString& soundID) const;
    QList<SoundCard*> cards() const;
    AddSoundCard* addCard() const { return m_addCard; }
    // The group headings in order, as shown.
    QStringList groupHeadings() const;
    // The rename panel's field while it is open.
    QLineEdit* renameField() const;
    // The import error alert while it is open.
    AlertOverlay* errorAlert() const;

    // What the file dialog's choice or a drop leads to: each file imported in turn; every success
    // selected and played, the last failure's message shown.
    void importFiles(const QList<QUrl>& urls);
    void choose(const TimerSound& sound);
    void startRename(const TimerSound& sound);

signals:
    void closeRequested();

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool focusNextPrevChild(bool next) override;

private:
    void buildBuiltInGroups();
    void rebuildUserGroup();
    void showSelection(const QString& id);
    void showError(const QString& message);
    SoundCard* addSoundCard(const TimerSound& sound, QGridLayout* grid, int index);
    void retranslate();

    const char* m_titleKey;
    Preferences& m_preferences;
    PreferenceSetting<QString> m_selection;
    UserSoundStore& m_userSounds;
    SoundServiceProtocol& m_sound;
    FileChooser m_chooseFiles;
    TokenLabel* m_titleLabel;
    LabelButton* m_close;
    QScrollArea* m_scroll;
    QVBoxLayout* m_groups;
    QWidget* m_userGroup = nullptr;
    QGridLayout* m_userGrid = nullptr;
    TokenLabel* m_dropHint = nullptr;
    AddSoundCard* m_addCard = nullptr;
    QList<SoundCard*> m_builtInCards;
    QList<SoundCard*> m_userCards;
    QPointer<QWidget> m_renamePanel;
    QPointer<AlertOverlay> m_errorAlert;
    QWidget* m_dropBorder = nullptr;
};
