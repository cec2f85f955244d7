// The desktop's reduced-motion wish, read from a settings portal of the test's own on a private bus: the
// first read, both portal versions, the GNOME fallback, changes announced later, and no portal at all.
#include "platform/ReduceMotionWatcher.h"
#include "support/Requirement.h"

#include "platform/ReduceMotion.h"
#include "support/FakeSettingsPortal.h"
#include "support/PrivateSessionBus.h"

#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>

namespace {

constexpr int kWaitMs = 5000;
const QString kAppearance = QString::fromLatin1(ReduceMotionWatcher::kAppearanceNamespace);
const QString kReducedMotion = QString::fromLatin1(ReduceMotionWatcher::kReducedMotionKey);
const QString kGnome = QString::fromLatin1(ReduceMotionWatcher::kGnomeNamespace);
const QString kAnimations = QString::fromLatin1(ReduceMotionWatcher::kAnimationsKey);

class ReduceMotionWatcherTest : public ::testing::Test {
protected:
    void SetUp() override {
        ReduceMotion::setEnabled(false);
        if (!bus.isRunning()) {
            TT_SKIP_OR_FAIL("no private bus: " << bus.errorString().toStdString());
        }
    }
    void TearDown() override { ReduceMotion::setEnabled(false); }

    QDBusConnection connection(const char* role) {
        return bus.connect(QString::fromLatin1(role) + QString::number(++m_connections));
    }
    // A watcher started on its own connection, once its first reads are answered.
    std::unique_ptr<ReduceMotionWatcher> startedWatcher() {
        auto watcher = std::make_unique<ReduceMotionWatcher>(connection("app"));
        QSignalSpy settled(watcher.get(), &ReduceMotionWatcher::settled);
        watcher->start();
        EXPECT_TRUE(watcher->hasSettled() || settled.wait(kWaitMs));
        return watcher;
    }

    PrivateSessionBus bus;

private:
    int m_connections = 0;
};

TEST_F(ReduceMotionWatcherTest, TheFirstReadSetsReduceMotion) {
    using Values = QList<std::tuple<QString, QString, QVariant>>;
    const struct {
        const char* behaviour;
        std::optional<uint> portalVersion; // none: no portal on the bus
        Values values;
        bool reduce;
    } rows[] = {
        {"the neutral setting asks for reduced motion", 2, {{kAppearance, kReducedMotion, 1u}}, true},
        {"the neutral setting's no preference wins over GNOME",
         2,
         {{kAppearance, kReducedMotion, 0u}, {kGnome, kAnimations, false}},
         false},
        {"an unknown number means no preference", 2, {{kAppearance, kReducedMotion, 7u}}, false},
        {"GNOME with animations off, where the neutral setting is missing",
         2,
         {{kGnome, kAnimations, false}},
         true},
        {"GNOME with animations on", 2, {{kGnome, kAnimations, true}}, false},
        {"a value of the wrong type counts as missing",
         2,
         {{kAppearance, kReducedMotion, QStringLiteral("reduce")}, {kGnome, kAnimations, false}},
         true},
        {"an older portal answers through Read", 1, {{kAppearance, kReducedMotion, 1u}}, true},
        {"an older portal with GNOME's switch only", 1, {{kGnome, kAnimations, false}}, true},
        {"a portal that knows neither setting", 2, {}, false},
        {"no portal at all", std::nullopt, {}, false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.behaviour);
        ReduceMotion::setEnabled(!row.reduce); // so that the row's value has to be set
        std::unique_ptr<FakeSettingsPortal> portal;
        if (row.portalVersion) {
            portal = std::make_unique<FakeSettingsPortal>(connection("portal"), *row.portalVersion);
            ASSERT_TRUE(portal->isRegistered());
            for (const auto& [space, key, value] : row.values) {
                portal->setValue(space, key, value);
            }
        }
        const auto watcher = startedWatcher();
        EXPECT_TRUE(watcher->hasSettled());
        EXPECT_EQ(watcher->reduceMotion(), row.reduce);
        EXPECT_EQ(ReduceMotion::enabled(), row.reduce);
    }
}

TEST_F(ReduceMotionWatcherTest, FollowsTheDesktopsChanges) {
    FakeSettingsPortal portal(connection("portal"));
    ASSERT_TRUE(portal.isRegistered());
    portal.setValue(kGnome, kAnimations, true);
    const auto watcher = startedWatcher();
    ASSERT_FALSE(ReduceMotion::enabled());
    QSignalSpy announced(&ReduceMotion::instance(), &ReduceMotion::changed);

    // The portal's signals arrive in order, so once a row that changes the value is announced, the rows
    // before it that must change nothing have been handled: the count of announcements tells.
    const struct {
        const char* behaviour;
        QString space, key;
        QVariant value;
        bool reduce;
    } rows[] = {
        {"GNOME's animations switched off", kGnome, kAnimations, false, true},
        {"the neutral setting appears with no preference and wins", kAppearance, kReducedMotion, 0u, false},
        {"GNOME's switch no longer counts", kGnome, kAnimations, false, false},
        {"another setting changes nothing", kAppearance, QStringLiteral("color-scheme"), 1u, false},
        {"the neutral setting asks for reduced motion", kAppearance, kReducedMotion, 1u, true},
        {"GNOME's animations on again count for nothing", kGnome, kAnimations, true, true},
        {"the neutral setting back to no preference", kAppearance, kReducedMotion, 0u, false},
    };
    int transitions = 0;
    bool current = false;
    for (const auto& row : rows) {
        SCOPED_TRACE(row.behaviour);
        portal.change(row.space, row.key, row.value);
        if (row.reduce != current) {
            current = row.reduce;
            ++transitions;
            EXPECT_TRUE(QTest::qWaitFor([&] { return announced.count() >= transitions; }, kWaitMs));
            EXPECT_EQ(announced.count(), transitions);
            EXPECT_EQ(ReduceMotion::enabled(), row.reduce);
        }
    }
    EXPECT_EQ(announced.count(), transitions);
}

TEST_F(ReduceMotionWatcherTest, FollowsAChangeAnnouncedByAnotherProgram) {
    if (QStandardPaths::findExecutable(QStringLiteral("gdbus")).isEmpty()) {
        TT_SKIP_OR_FAIL("gdbus is not installed (scripts/deps.sh --tests installs it)");
    }
    FakeSettingsPortal portal(connection("portal"));
    ASSERT_TRUE(portal.isRegistered());
    const auto watcher = startedWatcher();
    ASSERT_FALSE(ReduceMotion::enabled());
    QSignalSpy announced(&ReduceMotion::instance(), &ReduceMotion::changed);

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), bus.address());
    QProcess gdbus;
    gdbus.setProcessEnvironment(env);
    gdbus.start(QStringLiteral("gdbus"),
                {QStringLiteral("emit"), QStringLiteral("--session"), QStringLiteral("--object-path"),
                 QString::fromLatin1(ReduceMotionWatcher::kPath), QStringLiteral("--signal"),
                 QString::fromLatin1(ReduceMotionWatcher::kInterface) + QStringLiteral(".SettingChanged"),
                 kGnome, kAnimations, QStringLiteral("<false>")});
    ASSERT_TRUE(gdbus.waitForFinished(kWaitMs));
    ASSERT_EQ(gdbus.exitCode(), 0) << gdbus.readAllStandardError().toStdString();
    EXPECT_TRUE(announced.wait(kWaitMs));
    EXPECT_TRUE(ReduceMotion::enabled());
}

TEST_F(ReduceMotionWatcherTest, AStalledPortalHoldsNothingUp) {
    FakeSettingsPortal portal(connection("portal"));
    ASSERT_TRUE(portal.isRegistered());
    portal.setValue(kAppearance, kReducedMotion, 1u);
    ReduceMotionWatcher watcher(connection("app"));
    QSignalSpy settled(&watcher, &ReduceMotionWatcher::settled);

    bus.pause();
    watcher.start(); // returns at once: nothing waits for the answers
    EXPECT_FALSE(watcher.hasSettled());
    EXPECT_FALSE(ReduceMotion::enabled()) << "motion stays allowed until the desktop says otherwise";
    bus.resume();
    EXPECT_TRUE(settled.wait(kWaitMs));
    EXPECT_TRUE(ReduceMotion::enabled());
}

} // namespace
