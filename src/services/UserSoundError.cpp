#include "services/UserSoundError.h"

#include <QCoreApplication>

QString UserSoundError::errorDescription() const {
    if (const auto* format = std::get_if<unsupportedFormat>(&m_case)) {
        return QCoreApplication::translate(
                   "UserSoundError",
                   "This format (.%1) can't be added. Please choose mp3 / wav / m4a / aiff, etc.")
            .arg(format->ext);
    }
    return QCoreApplication::translate("UserSoundError", "Couldn't import the sound. Please try again.");
}
