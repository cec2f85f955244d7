#pragma once
// Brings preferences written by earlier releases into the current layout, each step at most once per user.

#include <QDateTime>
#include <QString>

class Preferences;

class SchemaMigrator {
public:
    static constexpr const char* kLegacySuiteName = "com.dellowar.quorvane2";
    static constexpr const char* kBundleRenameCompletedKey = "quorvane.migration.bundleRename.completed";
    static constexpr const char* kV2CompletedKey = "quorvane.migration.v2.completed";
    static constexpr const char* kV11CompletedKey = "quorvane.migration.v1_1.completed";
    static constexpr const char* kShortcutsAppliedDefaultsKey = "quorvane.shortcuts.hasAppliedDefaults";

    // Copies the previous release's domain into `defaults`: keys starting with "NS" or "Apple" are skipped
    // and values already present are never overwritten. `legacyDomain` is nullptr when it cannot be
    // opened; the step is then marked done without a log line.
    static void migrateLegacyBundleIfNeeded(Preferences& defaults, Preferences* legacyDomain);
    // The same, opening the previous release's domain by its suite name (only when the step is still due).
    static void migrateLegacyBundleIfNeeded(Preferences& defaults);
    // The "brindlet." move, then the version 1.1 step. The launch time is not used by these steps.
    static void migrateIfNeeded(Preferences& defaults, const QDateTime& now);
    // Moves six "brindlet." keys to their "quorvane." names and deletes the two relay keys, the queue once a
    // copy of it is kept as "<…>.previous-version". A current key that already holds a value keeps it (but
    // for the schema version); the legacy value is then kept aside. A value that cannot be copied aside is
    // left in place.
    static void migrateV1ToV2(Preferences& defaults);
    // Marks the recommended hotkeys as handled, so they are never written over a user's choice.
    static void migrateV10ToV11(Preferences& defaults);

    SchemaMigrator() = delete;
};
