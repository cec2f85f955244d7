// The real program against a private preferences folder: timers survive a quit by signal and come back
// paused; no way of stopping it, and no damaged or odd file, loses the stored list.
#include "core/TimerItem.h"
#include "platform/Preferences.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <csignal>

#include <sys/stat.h>

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

    QByteArray output; // what the last started program wrote to standard error

    void launch(QProcess& process, const QString& program = QStringLiteral(TT_PROGRAM_PATH),
                const QStringList& arguments = {}) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), configHome.path());
        process.setProcessEnvironment(env);
        process.setReadChannel(QProcess::StandardError);
        output.clear();
        process.start(program, arguments);
    }

    // Starts the program and returns its start-up report once it is running (empty when it never came up).
    QString start(QProcess& process) {
        launch(process);
        if (!process.waitForStarted(10'000)) {
            return {};
        }
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

    // `count` timers in every state, a third of them running.
    static QList<TimerItem> manyTimers(int count) {
        QList<TimerItem> timers;
        const TimerState states[] = {TimerState::running, TimerState::paused, TimerState::idle};
        for (int i = 0; i < count; ++i) {
            TimerItem item = TimerItem::make(QUuid::createUuid(), QStringLiteral("timer %1").arg(i), 600 + i,
                                             states[i % 3], false, std::nullopt, std::nullopt,
                                             QDateTime::currentDateTimeUtc());
            item.remaining = 300 + i;
            timers << item;
        }
        return timers;
    }

    static QList<QUuid> ids(const QList<TimerItem>& timers) {
        QList<QUuid> out;
        for (const TimerItem& t : timers) {
            out << t.id;
        }
        return out;
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

TEST_F(EngineProcessTest, AKillAtAnyMomentOfStartUpLeavesTheWholeListOnDisk) {
    ASSERT_TRUE(configHome.isValid());
    const QList<TimerItem> timers = manyTimers(1000);
    writePreferences({{kActiveTimers, *TimerItem::encodeList(timers)}});
    for (const int msecs : {100, 250, 500, 1000, 1500, 2000, 2300, 3000, 5000}) {
        SCOPED_TRACE(msecs);
        QProcess process;
        launch(process);
        ASSERT_TRUE(process.waitForStarted(10'000));
        QThread::msleep(msecs);
        ASSERT_EQ(::kill(pid_t(process.processId()), SIGKILL), 0);
        ASSERT_TRUE(process.waitForFinished(10'000));
        const auto onDisk = savedTimers();
        ASSERT_TRUE(onDisk.has_value());
        EXPECT_EQ(ids(*onDisk), ids(timers));
    }
    // By now the restored form has replaced the stored one: nothing on disk still runs.
    const auto onDisk = savedTimers();
    ASSERT_TRUE(onDisk.has_value());
    EXPECT_TRUE(std::none_of(onDisk->begin(), onDisk->end(),
                             [](const TimerItem& t) { return t.state == TimerState::running; }));
}

TEST_F(EngineProcessTest, AListWithOneBadRecordIsKeptAsideAndNamedInTheLog) {
    ASSERT_TRUE(configHome.isValid());
    QByteArray list = *TimerItem::encodeList(manyTimers(1000));
    const qsizetype at = list.indexOf("\"remaining\":");
    ASSERT_GE(at, 0);
    list.insert(at + qsizetype(qstrlen("\"remaining\":")), "\"text\",\"was\":");
    ASSERT_FALSE(TimerItem::decodeList(list).has_value());
    writePreferences({{kActiveTimers, list}});

    QProcess process;
    // The other 999 come back.
    EXPECT_EQ(start(process), QStringLiteral("[Main] Running with 999 timers"));
    stop(process, SIGTERM);
    output += process.readAllStandardError();
    const QRegularExpressionMatch kept =
        QRegularExpression(QStringLiteral("Restored 999 activeTimers and set aside 1 that could not be read; "
                                          "kept the stored value as (\\S+)"))
            .match(QString::fromUtf8(output));
    ASSERT_TRUE(kept.hasMatch()) << output.constData();
    QFile copy(kept.captured(1));
    ASSERT_TRUE(copy.open(QIODevice::ReadOnly));
    EXPECT_EQ(copy.readAll(), "{\"$data\": \"" + list.toBase64() + "\"}"); // exactly as the file held it
}

TEST_F(EngineProcessTest, AFifoAtThePreferencesPathNeitherHangsStartUpNorQuitting) {
    ASSERT_TRUE(configHome.isValid());
    ASSERT_TRUE(QDir().mkpath(configHome.path() + QStringLiteral("/TarvolinTimer")));
    ASSERT_EQ(::mkfifo(QFile::encodeName(preferencesPath()).constData(), 0600), 0);

    QProcess process;
    EXPECT_EQ(start(process), QStringLiteral("[Main] Running with 0 timers"));
    EXPECT_TRUE(output.contains("not a regular file")) << output.constData();
    ASSERT_EQ(::kill(pid_t(process.processId()), SIGTERM), 0);
    EXPECT_TRUE(process.waitForFinished(1000));
    EXPECT_EQ(process.exitCode(), 0);
}

// On a full disk (a small file system of its own, mounted in a private namespace), the file stays as it
// was and one line says why.
TEST_F(EngineProcessTest, OnAFullDiskTheFileIsLeftAsItWasAndOneLineSaysWhy) {
    ASSERT_TRUE(configHome.isValid());
    writePreferences({{kActiveTimers, *TimerItem::encodeList(manyTimers(1000))}});
    const QString source = configHome.path() + QStringLiteral("/source.json");
    ASSERT_TRUE(QFile::rename(preferencesPath(), source));
    const QString mounted = configHome.path() + QStringLiteral("/small");
    ASSERT_TRUE(QDir().mkpath(mounted));
    const QString result = configHome.path() + QStringLiteral("/after.json");
    const QString pidFile = configHome.path() + QStringLiteral("/pid");
    // The program's own folder is the small file system; the shell copies the file out when it is done.
    const QString script =
        QStringLiteral("set -e; mount -t tmpfs -o size=1m tmpfs \"$1\"; mkdir \"$1/TarvolinTimer\";"
                       "cp \"$2\" \"$1/TarvolinTimer/preferences.json\";"
                       "cat /dev/zero > \"$1/filler\" 2>/dev/null || true;"
                       "export XDG_CONFIG_HOME=\"$1\"; set +e; \"$3\" & echo $! > \"$5\"; wait $!; status=$?;"
                       "cp \"$1/TarvolinTimer/preferences.json\" \"$4\"; exit $status");
    QProcess process;
    launch(process, QStringLiteral("unshare"),
           {QStringLiteral("--mount"), QStringLiteral("--map-root-user"), QStringLiteral("sh"),
            QStringLiteral("-c"), script, QStringLiteral("sh"), mounted, source,
            QStringLiteral(TT_PROGRAM_PATH), result, pidFile});
    ASSERT_TRUE(process.waitForStarted(10'000));
    QElapsedTimer waited;
    waited.start();
    while (!output.contains("[Main] Running with") && process.state() == QProcess::Running &&
           waited.elapsed() < 10'000) {
        process.waitForReadyRead(200);
        output += process.readAllStandardError();
    }
    if (!output.contains("[Main] Running with")) {
        process.waitForFinished(10'000);
        output += process.readAllStandardError();
        GTEST_SKIP() << "cannot mount a small file system here: " << output.constData();
    }
    QThread::msleep(2500); // past the first saves after start-up
    QFile pid(pidFile);
    ASSERT_TRUE(pid.open(QIODevice::ReadOnly));
    ASSERT_EQ(::kill(pid_t(pid.readAll().trimmed().toInt()), SIGTERM), 0);
    ASSERT_TRUE(process.waitForFinished(10'000));
    output += process.readAllStandardError();

    EXPECT_EQ(process.exitCode(), 1) << "a failed last save is not success";
    QFile source_(source), after(result);
    ASSERT_TRUE(source_.open(QIODevice::ReadOnly));
    ASSERT_TRUE(after.open(QIODevice::ReadOnly));
    EXPECT_TRUE(after.readAll() == source_.readAll()) << "the file changed";
    const QStringList failures =
        QString::fromUtf8(output).split(QLatin1Char('\n')).filter(QStringLiteral("Could not write"));
    ASSERT_EQ(failures.size(), 1) << output.constData();
    EXPECT_TRUE(failures.first().contains(QStringLiteral("No space left on device")))
        << qPrintable(failures.first());
}

} // namespace
