// The real program against a private preferences folder: timers survive a quit by signal and come back
// paused.
#include "core/TimerItem.h"
#include "platform/Preferences.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>

namespace {

const QString kActiveTimers = QStringLiteral("quorvane.activeTimers");

class EngineProcessTest : public ::testing::Test {
protected:
    QTemporaryDir configHome;

    QString preferencesPath() const {
        return configHome.path() + QStringLiteral("/TarvolinTimer/preferences.json");
    }

    void writePreferences(const QVariantMap& values) {
        ASSERT_TRUE(QDir().mkpath(configHome.path() + QStringLiteral("/TarvolinTimer")));
        QFile file(preferencesPath());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(Preferences::serialize(values));
    }

    std::optional<QList<TimerItem>> savedTimers() const {
        QFile file(preferencesPath());
        if (!file.open(QIODevice::ReadOnly)) {
            return std::nullopt;
        }
        const auto values = Preferences::deserialize(file.readAll());
        if (!values || values->value(kActiveTimers).typeId() != QMetaType::QByteArray) {
            return std::nullopt;
        }
        return TimerItem::decodeList(values->value(kActiveTimers).toByteArray());
    }

    // Starts the program and returns its start-up report once it is running (empty when it never came up).
    QString start(QProcess& process) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), configHome.path());
        process.setProcessEnvironment(env);
        process.setReadChannel(QProcess::StandardError);
        process.start(QStringLiteral(TT_PROGRAM_PATH), {});
        if (!process.waitForStarted(10'000)) {
            return {};
        }
        QByteArray output;
        while (process.waitForReadyRead(10'000)) {
            output += process.readAllStandardError();
            const qsizetype at = output.indexOf("[Main] Running with");
            if (at >= 0) {
                const qsizetype end = output.indexOf('\n', at);
                if (end >= 0) {
                    return QString::fromUtf8(output.mid(at, end - at));
                }
            }
        }
        return {};
    }

    void stop(QProcess& process, int signalNumber) {
        ASSERT_EQ(::kill(pid_t(process.processId()), signalNumber), 0);
        ASSERT_TRUE(process.waitForFinished(10'000));
        EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(process.exitCode(), 0);
    }

    TimerItem runningTimer() const {
        TimerItem item = TimerItem::make(QUuid::createUuid(), QStringLiteral("tea"), 300, TimerState::running,
                                         false, std::nullopt, std::nullopt, QDateTime::currentDateTimeUtc());
        item.remaining = 100;
        return item;
    }
};

TEST_F(EngineProcessTest, ARunningTimerIsSavedPausedAtTermAndRestoredAtTheNextStart) {
    ASSERT_TRUE(configHome.isValid());
    const TimerItem saved = runningTimer();
    writePreferences({{kActiveTimers, *TimerItem::encodeList({saved})}});

    QProcess first;
    EXPECT_EQ(start(first), QStringLiteral("[Main] Running with 1 timers"));
    stop(first, SIGTERM);
    const auto afterFirst = savedTimers();
    ASSERT_TRUE(afterFirst.has_value());
    ASSERT_EQ(afterFirst->size(), 1);
    EXPECT_EQ(afterFirst->first().id, saved.id);
    EXPECT_EQ(afterFirst->first().state, TimerState::paused);
    EXPECT_EQ(afterFirst->first().remaining, 100); // paused timers do not count down

    QProcess second;
    EXPECT_EQ(start(second), QStringLiteral("[Main] Running with 1 timers"));
    stop(second, SIGTERM);
    const auto afterSecond = savedTimers();
    ASSERT_TRUE(afterSecond.has_value());
    ASSERT_EQ(afterSecond->size(), 1);
    EXPECT_EQ(afterSecond->first(), afterFirst->first());
}

TEST_F(EngineProcessTest, InterruptAndHangUpAlsoQuitThroughTheSave) {
    ASSERT_TRUE(configHome.isValid());
    for (const int signalNumber : {SIGINT, SIGHUP}) {
        SCOPED_TRACE(signalNumber);
        const TimerItem saved = runningTimer();
        writePreferences({{kActiveTimers, *TimerItem::encodeList({saved})}});
        QProcess process;
        EXPECT_EQ(start(process), QStringLiteral("[Main] Running with 1 timers"));
        stop(process, signalNumber);
        const auto after = savedTimers();
        ASSERT_TRUE(after.has_value());
        ASSERT_EQ(after->size(), 1);
        EXPECT_EQ(after->first().id, saved.id);
        EXPECT_EQ(after->first().state, TimerState::paused);
    }
}

TEST_F(EngineProcessTest, ACorruptPreferencesFileIsKeptAsideAndTheProgramStartsOnDefaults) {
    ASSERT_TRUE(configHome.isValid());
    ASSERT_TRUE(QDir().mkpath(configHome.path() + QStringLiteral("/TarvolinTimer")));
    const QByteArray garbage("{\"quorvane.presets\": [not json");
    {
        QFile file(preferencesPath());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(garbage);
    }

    QProcess process;
    EXPECT_EQ(start(process), QStringLiteral("[Main] Running with 0 timers"));
    stop(process, SIGTERM);

    QFile aside(preferencesPath() + QStringLiteral(".corrupt"));
    ASSERT_TRUE(aside.open(QIODevice::ReadOnly));
    EXPECT_EQ(aside.readAll(), garbage); // the user's file is kept as it was
    const auto fresh = savedTimers();    // and a readable new one took its place
    ASSERT_TRUE(fresh.has_value());
    EXPECT_TRUE(fresh->isEmpty());
}

} // namespace
