#include "core/SchemaMigrator.h"

#include "core/HistoryManager.h"
#include "core/PersistenceService.h"
#include "platform/Preferences.h"
#include "platform/TarvolinTimerLogger.h"

#include <QList>

#include <memory>

namespace {

const QString kContext = QStringLiteral("SchemaMigrator");

struct Move {
    const char* from;
    QString to;
};

// The current names are the stores' own constants, so each key is spelled once.
const QList<Move>& v2Moves() {
    static const QList<Move> moves = {
        {"brindlet.presets", QString::fromLatin1(PersistenceService::kPresetsKey)},
        {"brindlet.lastDuration", QString::fromLatin1(PersistenceService::kLastDurationKey)},
        {"brindlet.scheduledTimers", QString::fromLatin1(PersistenceService::kScheduledTimersKey)},
        {"brindlet.activeTimers", QString::fromLatin1(PersistenceService::kActiveTimersKey)},
        {"brindlet.schemaVersion", QString::fromLatin1(PersistenceService::kSchemaVersionKey)},
        {"brindlet.history", HistoryManager::historyKey},
    };
    return moves;
}

// Deleted by the move; the queue holds the user's own entries, so a copy of it is kept first. Nothing is
// wrong with it, so the copy is named for where it comes from, not as damage.
const struct {
    const char* name;
    bool keptAside;
} kV2Deleted[] = {{"brindlet.relay.active", false}, {"brindlet.relay.queue", true}};
const QString kPreviousVersionSuffix = QStringLiteral(".previous-version");

QString key(const char* name) {
    return QString::fromLatin1(name);
}

bool isDone(const Preferences& defaults, const char* flag) {
    return defaults.boolValue(key(flag)).value_or(false);
}

} // namespace

void SchemaMigrator::migrateLegacyBundleIfNeeded(Preferences& defaults) {
    if (isDone(defaults, kBundleRenameCompletedKey)) {
        return;
    }
    // Read only: an unreadable legacy file is not ours to set aside, and counts as a domain that cannot be
    // opened.
    const std::unique_ptr<Preferences> legacy = Preferences::readSuite(key(kLegacySuiteName));
    migrateLegacyBundleIfNeeded(defaults, legacy.get());
}

void SchemaMigrator::migrateLegacyBundleIfNeeded(Preferences& defaults, Preferences* legacyDomain) {
    if (isDone(defaults, kBundleRenameCompletedKey)) {
        return;
    }
    if (!legacyDomain) {
        defaults.setBool(key(kBundleRenameCompletedKey), true);
        return;
    }
    int migrated = 0;
    const QVariantMap legacy = legacyDomain->dictionary();
    for (auto it = legacy.begin(); it != legacy.end(); ++it) {
        const QString& name = it.key();
        // The platform's own keys, not the application's.
        if (name.startsWith(QLatin1String("NS"), Qt::CaseSensitive) ||
            name.startsWith(QLatin1String("Apple"), Qt::CaseSensitive)) {
            continue;
        }
        if (defaults.contains(name)) {
            continue; // what the current release already stored wins
        }
        defaults.setValue(name, it.value());
        ++migrated;
    }
    defaults.setBool(key(kBundleRenameCompletedKey), true);
    TT_LOG_INFO(kContext, QStringLiteral("Legacy bundle (%1) migration completed (migrated %2 keys)")
                              .arg(QLatin1String(kLegacySuiteName))
                              .arg(migrated));
}

void SchemaMigrator::migrateIfNeeded(Preferences& defaults, const QDateTime& now) {
    Q_UNUSED(now);
    migrateV1ToV2(defaults);
    migrateV10ToV11(defaults);
}

void SchemaMigrator::migrateV1ToV2(Preferences& defaults) {
    if (isDone(defaults, kV2CompletedKey)) {
        return;
    }
    int migrated = 0;
    for (const Move& move : v2Moves()) {
        const QString from = key(move.from);
        if (!defaults.contains(from)) {
            continue;
        }
        // What the current release stored is the newer data and stays; the older value is kept aside. The
        // schema version is the store's own mark, not the user's, and is raised again at the next start.
        if (defaults.contains(move.to) && move.to != QLatin1String(PersistenceService::kSchemaVersionKey)) {
            const QString where = defaults.keepAside(from, kPreviousVersionSuffix);
            if (where.isEmpty()) {
                TT_LOG_WARNING(kContext, QStringLiteral("Left %1 in place: %2 already holds a value and %1 "
                                                        "could not be copied aside")
                                             .arg(from, move.to));
                continue;
            }
            TT_LOG_WARNING(
                kContext,
                QStringLiteral("Kept %1 from the previous version as %2: %3 already holds a value")
                    .arg(from, where, move.to));
            defaults.remove(from);
            continue;
        }
        defaults.setValue(move.to, defaults.value(from));
        defaults.remove(from);
        ++migrated;
    }
    for (const auto& [name, keptAside] : kV2Deleted) {
        const QString deleted = key(name);
        if (!defaults.contains(deleted)) {
            continue;
        }
        if (keptAside) {
            const QString where = defaults.keepAside(deleted, kPreviousVersionSuffix);
            if (where.isEmpty()) {
                TT_LOG_WARNING(kContext,
                               QStringLiteral("Left %1 in place: it could not be copied aside").arg(deleted));
                continue;
            }
            TT_LOG_INFO(kContext,
                        QStringLiteral("Kept %1 from the previous version as %2 before the migration "
                                       "removed it")
                            .arg(deleted, where));
        }
        defaults.remove(deleted);
    }
    defaults.setBool(key(kV2CompletedKey), true);
    TT_LOG_INFO(kContext, QStringLiteral("Schema v2 migration completed (migrated %1 keys)").arg(migrated));
}

void SchemaMigrator::migrateV10ToV11(Preferences& defaults) {
    if (isDone(defaults, kV11CompletedKey)) {
        return;
    }
    defaults.setBool(key(kShortcutsAppliedDefaultsKey), true);
    defaults.setBool(key(kV11CompletedKey), true);
    TT_LOG_INFO(kContext, QStringLiteral("Migration v1.0 to v1.1 completed (shortcut defaults skipped)"));
}
