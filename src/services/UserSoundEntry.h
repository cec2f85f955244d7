#pragma once
// One line of the user sound library's index: the sound's uid, display name and file in the folder.

#include <QString>

struct UserSoundEntry {
    QString uid;      // upper-case UUID text; the sound's id is "u." followed by it
    QString name;     // display name
    QString filename; // "<uid>.<lower-case extension>", a plain name inside the library folder

    bool operator==(const UserSoundEntry&) const = default;
};
