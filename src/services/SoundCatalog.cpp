#include "services/SoundCatalog.h"

#include "services/UserSoundStore.h"

#include <QHash>

const QList<TimerSound>& SoundCatalog::bundled() {
    using C = SoundCategory;
    static const QList<TimerSound> sounds = {
        TimerSound::bundled(QStringLiteral("digital_alarm"), QStringLiteral("デジタルアラーム"), C::alarm),
        TimerSound::bundled(QStringLiteral("e_beep"), QStringLiteral("電子ビープ"), C::alarm),
        TimerSound::bundled(QStringLiteral("happy_beep"), QStringLiteral("ハッピービープ"), C::alarm),
        TimerSound::bundled(QStringLiteral("beep1"), QStringLiteral("ピッ（1回）"), C::beep),
        TimerSound::bundled(QStringLiteral("beep2"), QStringLiteral("ピピッ（2回）"), C::beep),
        TimerSound::bundled(QStringLiteral("beep3"), QStringLiteral("ピピピッ（3回）"), C::beep),
        TimerSound::bundled(QStringLiteral("piron"), QStringLiteral("ピロン"), C::beep),
        TimerSound::bundled(QStringLiteral("bell"), QStringLiteral("ベル"), C::bell),
        TimerSound::bundled(QStringLiteral("ding"), QStringLiteral("チリン"), C::bell),
        TimerSound::bundled(QStringLiteral("gong"), QStringLiteral("ゴング（短め）"), C::bell),
        TimerSound::bundled(QStringLiteral("gong_big"), QStringLiteral("ゴング（余韻）"), C::bell),
        TimerSound::bundled(QStringLiteral("chime"), QStringLiteral("チャイム"), C::chime),
        TimerSound::bundled(QStringLiteral("handbells"), QStringLiteral("ハンドベル"), C::chime),
        TimerSound::bundled(QStringLiteral("koshi"), QStringLiteral("コシの鈴"), C::chime),
        TimerSound::bundled(QStringLiteral("windchime"), QStringLiteral("風の鈴"), C::chime),
        TimerSound::bundled(QStringLiteral("xylophone"), QStringLiteral("シロフォン"), C::melody),
        TimerSound::bundled(QStringLiteral("water"), QStringLiteral("せせらぎ"), C::nature),
    };
    return sounds;
}

const QList<TimerSound>& SoundCatalog::system() {
    static const QList<TimerSound> sounds = {
        TimerSound::system(QStringLiteral("Basso"), QStringLiteral("ブブー（低音）")),
        TimerSound::system(QStringLiteral("Blow"), QStringLiteral("ヒュー（吹き）")),
        TimerSound::system(QStringLiteral("Bottle"), QStringLiteral("ポコッ（瓶）")),
        TimerSound::system(QStringLiteral("Frog"), QStringLiteral("カエル")),
        TimerSound::system(QStringLiteral("Funk"), QStringLiteral("ファンク")),
        TimerSound::system(QStringLiteral("Glass"), QStringLiteral("ガラス")),
        TimerSound::system(QStringLiteral("Hero"), QStringLiteral("ヒーロー")),
        TimerSound::system(QStringLiteral("Morse"), QStringLiteral("モールス")),
        TimerSound::system(QStringLiteral("Ping"), QStringLiteral("ピーン")),
        TimerSound::system(QStringLiteral("Pop"), QStringLiteral("ポン")),
        TimerSound::system(QStringLiteral("Purr"), QStringLiteral("ゴロゴロ")),
        TimerSound::system(QStringLiteral("Sosumi"), QStringLiteral("ソスミ")),
        TimerSound::system(QStringLiteral("Submarine"), QStringLiteral("ソナー（潜水艦）")),
        TimerSound::system(QStringLiteral("Tink"), QStringLiteral("チンッ")),
    };
    return sounds;
}

const QList<TimerSound>& SoundCatalog::builtIn() {
    static const QList<TimerSound> sounds = bundled() + system();
    return sounds;
}

namespace {
const QHash<QString, TimerSound>& builtInByID() {
    static const QHash<QString, TimerSound> table = [] {
        QHash<QString, TimerSound> byId;
        for (const auto& sound : SoundCatalog::builtIn()) {
            byId.insert(sound.id, sound);
        }
        return byId;
    }();
    return table;
}
} // namespace

QList<TimerSound> SoundCatalog::all(const UserSoundStore& userSounds) {
    return builtIn() + userSounds.sounds();
}

std::optional<TimerSound> SoundCatalog::byID(const QString& id, const UserSoundStore& userSounds) {
    const auto& table = builtInByID();
    if (const auto it = table.constFind(id); it != table.cend()) {
        return *it;
    }
    return userSounds.sound(id);
}

QList<SoundCatalog::Group> SoundCatalog::grouped(const UserSoundStore& userSounds) {
    const QList<TimerSound> sounds = all(userSounds);
    QList<Group> groups;
    for (auto category : allSoundCategories()) {
        Group group{category, {}};
        for (const auto& sound : sounds) {
            if (sound.category == category) {
                group.sounds.push_back(sound);
            }
        }
        if (!group.sounds.isEmpty()) {
            groups.push_back(group);
        }
    }
    return groups;
}
