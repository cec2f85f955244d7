#pragma once
// The four occasions on which the program plays a sound, each with its own sound setting: what the sound
// cards show and what the sound gallery edits.

#include "platform/PreferenceSetting.h"

#include <QList>
#include <QString>

#include <optional>

enum class SoundPurpose { timerComplete, alarm, pomWork, pomBreak };

QString toRaw(SoundPurpose purpose);
std::optional<SoundPurpose> soundPurposeFromRaw(const QString& raw);
QList<SoundPurpose> allSoundPurposes();

// The sound-id setting the purpose edits.
const PreferenceSetting<QString>& soundSetting(SoundPurpose purpose);
// The gallery's heading key (translate with settingsText).
const char* galleryTitleKey(SoundPurpose purpose);
// The card's title key (translate with settingsText) and its symbol.
const char* cardTitleKey(SoundPurpose purpose);
QString cardIcon(SoundPurpose purpose);
