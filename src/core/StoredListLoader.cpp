#include "core/StoredListLoader.h"

#include "core/TarvolinTimerError.h"
#include "platform/TarvolinTimerLogger.h"

StoredListLoader::Outcome StoredListLoader::settle(const QString& key, const QString& name,
                                                   const RecordListReading& reading, qsizetype restored,
                                                   qsizetype held) {
    if (!reading.isClean() && restored == 0) {
        TT_LOG_WARNING(
            m_context,
            TarvolinTimerError(TarvolinTimerError::persistenceDecodeFailed{name}).errorDescription());
        // Moved aside, so the next save cannot overwrite the user's only copy.
        const QString where = m_preferences.keepAside(key);
        if (!where.isEmpty()) {
            TT_LOG_WARNING(m_context, QStringLiteral("Kept the undecodable %1 as %2").arg(name, where));
            m_preferences.remove(key);
        }
        return Outcome::useDefault;
    }
    Outcome outcome = held > 0 ? Outcome::writeBack : Outcome::keep;
    if (!reading.isClean()) {
        const QString where = m_preferences.keepAside(key);
        const QString counts = QStringLiteral("Restored %1 %2 and set aside %3 that could not be read")
                                   .arg(restored)
                                   .arg(name)
                                   .arg(reading.unreadable);
        if (where.isEmpty()) {
            // No copy: the stored value must stay as it is.
            TT_LOG_WARNING(m_context, counts + QStringLiteral("; could not copy the stored value aside"));
            outcome = Outcome::keep;
        } else {
            TT_LOG_WARNING(m_context, counts + QStringLiteral("; kept the stored value as %1").arg(where));
            outcome = Outcome::writeBack;
        }
    }
    if (held > 0) {
        TT_LOG_WARNING(m_context,
                       QStringLiteral("Brought %1 of the stored %2 within range").arg(held).arg(name));
    }
    return outcome;
}
