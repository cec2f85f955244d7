#pragma once
// The tile of one sound occasion: its icon and title over the name of the sound chosen for it. A click
// anywhere on it asks for the sound gallery; the card itself changes no setting.

#include "ui/settings/SoundPurpose.h"
#include "ui/kit/PressableButton.h"

class UserSoundStore;

class SoundPurposeCard : public PressableButton {
    Q_OBJECT
public:
    SoundPurposeCard(SoundPurpose purpose, Preferences& preferences, const UserSoundStore& userSounds,
                     QWidget* parent = nullptr);

    SoundPurpose purpose() const { return m_purpose; }
    // The chosen sound's name, or "Choose a sound" when the stored id names none.
    QString currentName() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    void openRequested(SoundPurpose purpose);

protected:
    void paintFace(QPainter& painter) override;
    void changeEvent(QEvent* event) override;

private:
    SoundPurpose m_purpose;
    Preferences& m_preferences;
    const UserSoundStore& m_userSounds;
};
