// Names and their stored shortcuts: defaults written once, removal, reset, enable and disable, and the
// change announcements.
#include "HotkeyTestFixture.h"

#include <QSignalSpy>

using namespace GlobalHotkeys;

namespace {

class ShortcutStoreTest : public HotkeyTestFixture {
protected:
    QSignalSpy changes{&notifier(), &HotkeyNotifier::shortcutByNameDidChange};
    const Shortcut spaceOptionCommand = optionCommand(Key::space);
};

TEST_F(ShortcutStoreTest, ADefaultIsWrittenRegisteredAndAnnouncedOnce) {
    const Name first(QStringLiteral("launch"), spaceOptionCommand);
    EXPECT_EQ(stored(first), QStringLiteral(R"({"carbonKeyCode":49,"carbonModifiers":2304})"));
    EXPECT_TRUE(backend.isHeld(spaceOptionCommand));
    EXPECT_EQ(changes.count(), 1);

    const Name again(QStringLiteral("launch"), spaceOptionCommand);
    EXPECT_EQ(changes.count(), 1) << "an existing entry is left alone";
    EXPECT_EQ(backend.grabs.count(), 1);

    const Name plain(QStringLiteral("plain"));
    EXPECT_FALSE(preferences.contains(userDefaultsKey(plain)));
    EXPECT_FALSE(getShortcut(plain));
    EXPECT_EQ(userDefaultsKey(plain), QStringLiteral("GlobalHotkeys_plain"));
}

TEST_F(ShortcutStoreTest, ClearingStoresFalseOnlyWhereADefaultWouldComeBack) {
    const struct {
        const char* name;
        std::optional<Shortcut> defaultShortcut;
        QVariant storedAfterClear;
    } rows[] = {
        {"with default", spaceOptionCommand, QVariant(false)},
        {"without default", std::nullopt, QVariant()},
    };
    for (const auto& row : rows) {
        SetUp();
        changes.clear();
        const Name name(QString::fromLatin1(row.name), row.defaultShortcut);
        setShortcut(optionCommand(Key::k), name);
        changes.clear();

        setShortcut(std::nullopt, name);
        EXPECT_EQ(preferences.value(userDefaultsKey(name)), row.storedAfterClear) << row.name;
        EXPECT_EQ(changes.count(), 1) << row.name;
        EXPECT_FALSE(backend.isHeld(optionCommand(Key::k))) << row.name;

        setShortcut(std::nullopt, name);
        EXPECT_EQ(changes.count(), 1) << row.name << ": clearing nothing announces nothing";

        const Name rebuilt(QString::fromLatin1(row.name), row.defaultShortcut);
        EXPECT_FALSE(getShortcut(rebuilt)) << row.name << ": a removed default stays removed";

        reset({rebuilt});
        EXPECT_EQ(getShortcut(rebuilt), row.defaultShortcut) << row.name;
        TearDown();
    }
}

TEST_F(ShortcutStoreTest, UnreadableEntriesReadAsNoneAndAreLeftInPlace) {
    const Name name(QStringLiteral("odd"));
    const struct {
        const char* name;
        QVariant value;
    } rows[] = {
        {"not JSON", QVariant(QStringLiteral("space"))},
        {"member missing", QVariant(QStringLiteral(R"({"carbonKeyCode":49})"))},
        {"removed default", QVariant(false)},
        {"a number", QVariant(qint64(49))},
        {"data instead of text", QVariant(QByteArray(R"({"carbonKeyCode":49,"carbonModifiers":256})"))},
    };
    for (const auto& row : rows) {
        preferences.setValue(userDefaultsKey(name), row.value);
        changes.clear();
        EXPECT_FALSE(getShortcut(name)) << row.name;
        setShortcut(std::nullopt, name);
        disable({name});
        EXPECT_EQ(preferences.value(userDefaultsKey(name)), row.value) << row.name;
        EXPECT_EQ(changes.count(), 0) << row.name;
    }
}

TEST_F(ShortcutStoreTest, StoringTheSameShortcutRegistersItAfresh) {
    const Name name(QStringLiteral("same"));
    setShortcut(spaceOptionCommand, name);
    changes.clear();
    setShortcut(spaceOptionCommand, name);
    EXPECT_EQ(backend.ungrabs, QList<Shortcut>{spaceOptionCommand});
    EXPECT_EQ(backend.grabs, (QList<Shortcut>{spaceOptionCommand, spaceOptionCommand}));
    EXPECT_EQ(changes.count(), 1);
}

TEST_F(ShortcutStoreTest, DisableAndEnableTouchOnlyTheRegistration) {
    const Name name(QStringLiteral("practised"), spaceOptionCommand);
    const QString before = stored(name);
    changes.clear();
    disable({name});
    EXPECT_FALSE(backend.isHeld(spaceOptionCommand));
    EXPECT_FALSE(isRegistered(spaceOptionCommand));
    enable({name});
    EXPECT_TRUE(backend.isHeld(spaceOptionCommand));
    EXPECT_EQ(stored(name), before);
    EXPECT_EQ(changes.count(), 0);
}

TEST_F(ShortcutStoreTest, TheAnnouncementComesAfterTheWriteAndTheRegistration) {
    const Name name(QStringLiteral("watched"));
    std::optional<Shortcut> seen;
    bool registeredWhenSeen = false;
    QObject::connect(&notifier(), &HotkeyNotifier::shortcutByNameDidChange, &backend,
                     [&](const Name& changed) {
                         EXPECT_EQ(changed.rawValue(), QStringLiteral("watched"));
                         seen = getShortcut(changed);
                         registeredWhenSeen = backend.isHeld(spaceOptionCommand);
                     });
    setShortcut(spaceOptionCommand, name);
    EXPECT_EQ(seen, spaceOptionCommand);
    EXPECT_TRUE(registeredWhenSeen);
}

TEST_F(ShortcutStoreTest, NamesAreEqualByTextAlone) {
    EXPECT_EQ(Name(QStringLiteral("x"), spaceOptionCommand), Name(QStringLiteral("x")));
    EXPECT_FALSE(Name(QStringLiteral("x")) == Name(QStringLiteral("y")));
    EXPECT_EQ(qHash(Name(QStringLiteral("x"), spaceOptionCommand)), qHash(Name(QStringLiteral("x"))));
}

TEST_F(ShortcutStoreTest, AFreshInstallationHasThreeDefaults) {
    const struct {
        Name name;
        std::optional<Shortcut> shortcut;
    } rows[] = {
        {Name::quickLaunch(), optionCommand(Key::space)},
        {Name::toggleFloating(), optionCommand(Key::f)},
        {Name::quickPreset(), optionCommand(Key::one)},
        {Name::pauseResume(), std::nullopt},
        {Name::reset(), std::nullopt},
        {Name::newTimer(), std::nullopt},
        {Name::startTimer(), std::nullopt},
        {Name::stopTimer(), std::nullopt},
        {Name::nextInQueue(), std::nullopt},
        {Name::pauseQueue(), std::nullopt},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(getShortcut(row.name), row.shortcut) << row.name.rawValue().toStdString();
    }
    EXPECT_EQ(stored(Name::quickPreset()), QStringLiteral(R"({"carbonKeyCode":18,"carbonModifiers":2304})"));
}

} // namespace
