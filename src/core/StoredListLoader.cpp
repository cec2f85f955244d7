#include "core/StoredListLoader.h"

#include "core/TarvolinTimerError.h"
#include "platform/TarvolinTimerLogger.h"

void StoredListLoader::setAsideUnreadable(const QString& key, const QString& name) {
    TT_LOG_WARNING(m_context,
                   TarvolinTimerError(TarvolinTimerError::persistenceDecodeFailed{name}).errorDescription());
    // Moved aside, so the next save cannot overwrite the user's only copy.
    const QString where = m_preferences.keepAside(key);
    if (where.isEmpty()) {
        TT_LOG_WARNING(
            m_context,
            QStringLiteral("Could not copy the undecodable %1 aside; it stays stored as it is").arg(name));
        return;
    }
    TT_LOG_WARNING(m_context, QStringLiteral("Kept the undecodable %1 as %2").arg(name, where));
    m_preferences.remove(key);
}

bool StoredListLoader::settle(const QString& key, const QString& name, const Found& found) {
    // The copy's place once one is made; no copy is made for values only brought within range.
    QString where;
    bool copyFailed = false;
    const auto copyOnce = [&] {
        if (where.isEmpty() && !copyFailed) {
            where = m_preferences.keepAside(key);
            copyFailed = where.isEmpty();
        }
    };
    const auto copyNote = [&] {
        return copyFailed ? QStringLiteral("; could not copy the stored value aside")
                          : QStringLiteral("; kept the stored value as %1").arg(where);
    };
    if (!found.isClean()) {
        copyOnce();
        TT_LOG_WARNING(m_context, QStringLiteral("Restored %1 %2 and set aside %3 that could not be read")
                                          .arg(found.restored)
                                          .arg(name)
                                          .arg(found.reading.unreadable) +
                                      copyNote());
    }
    if (found.held > 0) {
        TT_LOG_WARNING(m_context,
                       QStringLiteral("Brought %1 of the stored %2 within range").arg(found.held).arg(name));
    }
    if (found.renewed > 0) {
        const bool alreadyCopied = !where.isEmpty() || copyFailed;
        copyOnce();
        TT_LOG_WARNING(m_context,
                       QStringLiteral("Gave %1 of the stored %2 a new id, as an earlier one had the same")
                               .arg(found.renewed)
                               .arg(name) +
                           (alreadyCopied ? QString() : copyNote()));
    }
    // Without its copy the stored value must stay as it is.
    return !copyFailed && (!found.isClean() || found.held > 0 || found.renewed > 0);
}
