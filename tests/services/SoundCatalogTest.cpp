// Looking sounds up and grouping them for the gallery, built-in and imported alike.
#include "services/SoundCatalog.h"

#include "services/UserSoundStore.h"

#include "QStringPrinting.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QUrl>

#include <gtest/gtest.h>

namespace {

using namespace Qt::StringLiterals;

class SoundCatalogTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_root.isValid()); }
    TimerSound import(const QString& fileName) {
        const QString path = m_root.filePath(fileName);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.close();
        return std::get<TimerSound>(m_store.add(QUrl::fromLocalFile(path)));
    }

    QTemporaryDir m_root;
    UserSoundStore m_store{m_root.filePath(u"UserSounds"_s)};
};

TEST_F(SoundCatalogTest, ByIdFindsBuiltInSoundsThenTheUserLibrary) {
    const TimerSound mine = import(u"Mine.wav"_s);
    const TimerSound gone = import(u"Gone.wav"_s);
    m_store.remove(gone);
    struct Row {
        const char* behaviour;
        QString id;
        std::optional<TimerSound> sound;
    };
    const QList<Row> rows = {
        {"a built-in file", u"b.chime"_s,
         TimerSound{u"b.chime"_s, u"チャイム"_s, TimerSound::Kind::bundled, u"chime"_s,
                    SoundCategory::chime}},
        {"a system sound by its name", u"Glass"_s,
         TimerSound{u"Glass"_s, u"ガラス"_s, TimerSound::Kind::system, u"Glass"_s, SoundCategory::system}},
        {"an imported sound", mine.id, mine},
        {"a removed import", gone.id, std::nullopt},
        {"empty", QString(), std::nullopt},
        {"a built-in name without its prefix", u"chime"_s, std::nullopt},
        {"an unknown built-in file", u"b.trumpet"_s, std::nullopt},
        {"case matters", u"glass"_s, std::nullopt},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.behaviour);
        EXPECT_EQ(SoundCatalog::byID(row.id, m_store), row.sound);
    }
}

TEST_F(SoundCatalogTest, GroupsFollowCategoryOrderAndImportsFormTheirOwnGroup) {
    const auto categories = [&] {
        QList<SoundCategory> out;
        for (const auto& group : SoundCatalog::grouped(m_store)) {
            out << group.category;
        }
        return out;
    };
    using C = SoundCategory;
    EXPECT_EQ(categories(),
              (QList<C>{C::alarm, C::beep, C::bell, C::chime, C::melody, C::nature, C::system}));

    const TimerSound mine = import(u"Mine.wav"_s);
    EXPECT_EQ(categories(),
              (QList<C>{C::alarm, C::beep, C::bell, C::chime, C::melody, C::nature, C::custom, C::system}));
    EXPECT_EQ(SoundCatalog::grouped(m_store).at(6).sounds, QList<TimerSound>{mine});
    EXPECT_EQ(SoundCatalog::grouped(m_store).at(0).sounds.at(0).id, u"b.digital_alarm"_s);
}

TEST_F(SoundCatalogTest, CategoriesReadOnlyTheirExactRawValues) {
    for (auto category : allSoundCategories()) {
        EXPECT_EQ(soundCategoryFromRaw(toRaw(category)), category);
    }
    EXPECT_EQ(soundCategoryFromRaw(u"Alarm"_s), std::nullopt);
    EXPECT_EQ(soundCategoryFromRaw(QString()), std::nullopt);
    EXPECT_EQ(label(SoundCategory::system), u"システム内蔵"_s); // names no other desktop
}

} // namespace
