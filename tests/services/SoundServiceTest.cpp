// What the sound service plays, for which setting, and what it logs, through a player that plays nothing.
#include "services/SoundService.h"

#include "core/AppSettings.h"
#include "platform/Preferences.h"
#include "services/SoundCatalog.h"
#include "services/UserSoundStore.h"
#include "support/LogCapture.h"

#include "QStringPrinting.h"

#include <QDir>
#include <QFile>
#include <QPointer>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include <gtest/gtest.h>

#include <functional>

namespace {

using namespace Qt::StringLiterals;

// Writes what happens to every player into one shared list: "open <path>", "play <path>", "stop <path>".
class FakePlayer : public SoundPlayer {
public:
    FakePlayer(QString path, QStringList& journal) : m_path(std::move(path)), m_journal(journal) {}
    void play() override { m_journal << u"play "_s + m_path; }
    void stop() override { m_journal << u"stop "_s + m_path; }
    void fail() { emit failed(); }
    void finish() { emit finished(); }

private:
    QString m_path;
    QStringList& m_journal;
};

class SoundServiceTest : public ::testing::Test {
public: // the table rows below prepare their case through the fixture
    void SetUp() override {
        ASSERT_TRUE(m_root.isValid());
        for (const auto& folder : {u"res/Sounds"_s, u"data/sounds/freedesktop/stereo"_s}) {
            QDir(m_root.path()).mkpath(folder);
        }
        file(u"res/Sounds/chime.wav"_s);
        file(u"res/Sounds/digital_alarm.wav"_s);
        file(u"res/bell.wav"_s); // only at the root of the resources
        file(u"data/sounds/freedesktop/stereo/bell.oga"_s);
    }

    QString path(const QString& relative) const { return m_root.filePath(relative); }
    void file(const QString& relative) {
        QFile f(path(relative));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    TimerSound import(const QString& name) {
        file(name);
        return std::get<TimerSound>(m_userSounds.add(QUrl::fromLocalFile(path(name))));
    }

    SoundService& service() {
        if (!m_service) {
            auto factory = [this](const QString& filePath) -> std::unique_ptr<SoundPlayer> {
                const QString shown = QDir(m_root.path()).relativeFilePath(filePath);
                if (m_unopenable.contains(shown)) {
                    return nullptr;
                }
                m_journal << u"open "_s + shown;
                auto player = std::make_unique<FakePlayer>(shown, m_journal);
                m_players << player.get();
                return player;
            };
            m_service = std::make_unique<SoundService>(m_settings, m_userSounds, factory, path(u"res"_s),
                                                       SystemSoundTheme({path(u"data"_s)}));
        }
        return *m_service;
    }

    QTemporaryDir m_root;
    Preferences m_preferences; // in memory
    AppSettings m_settings{m_preferences};
    UserSoundStore m_userSounds{m_root.filePath(u"UserSounds"_s)};
    QStringList m_journal;
    QStringList m_unopenable;
    QList<QPointer<FakePlayer>> m_players;
    std::unique_ptr<SoundService> m_service;
};

TEST_F(SoundServiceTest, PlaySoundResolvesTheIdAndLogsEachKindOfMiss) {
    struct Row {
        const char* behaviour;
        std::function<QString(SoundServiceTest&)> id; // may prepare the folders first
        bool soundEnabled;
        QStringList journal;
        QStringList lines;
    };
    const QList<Row> rows = {
        {"a built-in file in Sounds",
         [](auto&) { return u"b.chime"_s; },
         true,
         {u"open res/Sounds/chime.wav"_s, u"play res/Sounds/chime.wav"_s},
         {}},
        {"a built-in file at the root of the resources",
         [](auto&) { return u"b.bell"_s; },
         true,
         {u"open res/bell.wav"_s, u"play res/bell.wav"_s},
         {}},
        {"sounds switched off: nothing, silently", [](auto&) { return u"b.chime"_s; }, false, {}, {}},
        {"an unknown id", [](auto&) { return u"nope"_s; }, true, {}, {u"Unknown sound id: nope"_s}},
        {"a built-in file that was not installed",
         [](auto&) { return u"b.gong"_s; },
         true,
         {},
         {u"Bundled sound not found: gong"_s}},
        {"a system sound from the theme",
         [](auto&) { return u"Glass"_s; },
         true,
         {u"open data/sounds/freedesktop/stereo/bell.oga"_s,
          u"play data/sounds/freedesktop/stereo/bell.oga"_s},
         {}},
        {"a system sound the theme lacks",
         [](auto&) { return u"Hero"_s; },
         true,
         {},
         {u"System sound not found: Hero"_s}},
        {"an imported sound",
         [](SoundServiceTest& t) {
             const TimerSound s = t.import(u"Mine.wav"_s);
             t.m_journal.clear();
             return s.id;
         },
         true,
         {u"open UserSounds/%1"_s, u"play UserSounds/%1"_s},
         {}},
        {"an imported sound whose file was deleted by hand",
         [](SoundServiceTest& t) {
             const TimerSound s = t.import(u"Mine.wav"_s);
             QFile::remove(QDir(t.m_userSounds.dir()).filePath(s.resource));
             return s.id;
         },
         true,
         {},
         {u"User sound file missing: %1"_s}},
        {"an imported sound replaced by a folder",
         [](SoundServiceTest& t) {
             const TimerSound s = t.import(u"Mine.wav"_s);
             const QDir dir(t.m_userSounds.dir());
             QFile::remove(dir.filePath(s.resource));
             dir.mkpath(s.resource);
             return s.id;
         },
         true,
         {},
         {u"User sound file missing: %1"_s}},
        {"a removed import is unknown, not missing",
         [](SoundServiceTest& t) {
             const TimerSound s = t.import(u"Mine.wav"_s);
             t.m_userSounds.remove(s);
             return s.id;
         },
         true,
         {},
         {u"Unknown sound id: u.%2"_s}},
        {"a file that cannot be opened",
         [](SoundServiceTest& t) {
             t.m_unopenable << u"res/Sounds/chime.wav"_s;
             return u"b.chime"_s;
         },
         true,
         {},
         {u"Sound failed to play: chime"_s}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.behaviour);
        m_service.reset(); // no player left over from the row before
        m_journal.clear();
        m_unopenable.clear();
        m_settings.setSoundEnabled(row.soundEnabled);
        const QString id = row.id(*this);
        const auto imported = m_userSounds.sound(id);
        const QString resource = imported ? imported->resource : QString();
        const auto fill = [&](QStringList lines, const QString& prefix) {
            for (auto& line : lines) {
                line = prefix + line.replace(u"%1"_s, resource).replace(u"%2"_s, id.mid(2));
            }
            return lines;
        };
        LogCapture log;
        service().playSound(id);
        EXPECT_EQ(m_journal, fill(row.journal, QString()));
        EXPECT_EQ(log.lines(), fill(row.lines, u"[SoundService] "_s));
        for (const auto& entry : log.entries()) {
            EXPECT_EQ(entry.level, TarvolinTimerLogger::Level::error); // warnings share the error level
        }
    }
}

TEST_F(SoundServiceTest, EachEventPlaysTheSoundStoredUnderItsKey) {
    struct Row {
        SoundEvent event;
        QString stored; // none: the key's default
        QString opened;
    };
    const QList<Row> rows = {
        {SoundEvent::timerComplete, QString(), u"res/Sounds/chime.wav"_s},
        {SoundEvent::alarmComplete, QString(), u"res/Sounds/digital_alarm.wav"_s},
        {SoundEvent::timerComplete, u"b.bell"_s, u"res/bell.wav"_s},
        {SoundEvent::alarmComplete, u"b.chime"_s, u"res/Sounds/chime.wav"_s},
        {SoundEvent::pomWorkStart, u"b.chime"_s, u"res/Sounds/chime.wav"_s},
        {SoundEvent::pomBreakStart, u"Glass"_s, u"data/sounds/freedesktop/stereo/bell.oga"_s},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(settingsKey(row.event).toStdString());
        m_preferences.setValue(settingsKey(row.event),
                               row.stored.isNull() ? QVariant() : QVariant(row.stored));
        m_journal.clear();
        service().play(row.event);
        EXPECT_EQ(m_journal.filter(u"open "_s), QStringList{u"open "_s + row.opened});
    }
}

TEST_F(SoundServiceTest, PreviewPlaysEvenWithSoundsSwitchedOff) {
    m_settings.setSoundEnabled(false);
    service().preview(*SoundCatalog::byID(u"b.chime"_s, m_userSounds));
    service().preview(*SoundCatalog::byID(u"Glass"_s, m_userSounds));
    EXPECT_EQ(m_journal, (QStringList{u"open res/Sounds/chime.wav"_s, u"play res/Sounds/chime.wav"_s,
                                      u"open data/sounds/freedesktop/stereo/bell.oga"_s,
                                      u"play data/sounds/freedesktop/stereo/bell.oga"_s}));
}

TEST_F(SoundServiceTest, OneFileSoundAtATimeWhileSystemSoundsPlayBeside) {
    service().playSound(u"b.chime"_s);
    service().playSound(u"Glass"_s); // does not stop the chime
    service().playSound(u"b.bell"_s);
    EXPECT_EQ(m_journal,
              (QStringList{u"open res/Sounds/chime.wav"_s, u"play res/Sounds/chime.wav"_s,
                           u"open data/sounds/freedesktop/stereo/bell.oga"_s,
                           u"play data/sounds/freedesktop/stereo/bell.oga"_s, u"stop res/Sounds/chime.wav"_s,
                           u"open res/bell.wav"_s, u"play res/bell.wav"_s}));

    // The replaced file player and a finished system player are let go; the current one is kept.
    m_players[1]->finish();
    QTest::qWait(0);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(m_players[0].isNull());
    EXPECT_TRUE(m_players[1].isNull());
    ASSERT_FALSE(m_players[2].isNull());

    m_journal.clear();
    service().stop();
    EXPECT_EQ(m_journal, QStringList{u"stop res/bell.wav"_s});
}

TEST_F(SoundServiceTest, AFileFoundUndecodableAfterStartingIsLogged) {
    struct Row {
        const char* behaviour;
        QString id;
        QString line;
    };
    const QList<Row> rows = {
        {"a file sound", u"b.chime"_s, u"[SoundService] Sound failed to play: chime"_s},
        {"a system sound", u"Glass"_s, u"[SoundService] Sound failed to play: Glass"_s},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.behaviour);
        m_players.clear();
        service().playSound(row.id);
        LogCapture log;
        ASSERT_FALSE(m_players.isEmpty());
        m_players.last()->fail();
        EXPECT_EQ(log.lines(), QStringList{row.line});
    }
}

TEST_F(SoundServiceTest, AReplacedFileSoundThatFailsLateLogsNothing) {
    const struct {
        const char* behaviour;
        bool nextOpens; // whether the file that replaces it can be opened at all
    } rows[] = {
        {"replaced by a sound that plays", true},
        {"replaced by a sound that cannot be opened", false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.behaviour);
        m_players.clear();
        m_unopenable = row.nextOpens ? QStringList{} : QStringList{u"res/bell.wav"_s};
        service().playSound(u"b.chime"_s);
        ASSERT_EQ(m_players.size(), 1);
        QPointer<FakePlayer> replaced = m_players.first();
        service().playSound(u"b.bell"_s);
        LogCapture log;
        ASSERT_FALSE(replaced.isNull());
        replaced->fail(); // the decoder of the stopped chime reports only now
        EXPECT_FALSE(log.lines().join(u'\n').contains(u"chime"_s)) << log.lines().join(u'\n').toStdString();
        if (row.nextOpens) {
            ASSERT_EQ(m_players.size(), 2);
            m_players.last()->fail();
            EXPECT_EQ(log.lines(), QStringList{u"[SoundService] Sound failed to play: bell"_s})
                << "the sound playing now still reports its own failure";
        }
    }
}

} // namespace
