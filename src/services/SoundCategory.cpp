#include "services/SoundCategory.h"

QList<SoundCategory> allSoundCategories() {
    return {SoundCategory::alarm,  SoundCategory::beep,   SoundCategory::bell,   SoundCategory::chime,
            SoundCategory::melody, SoundCategory::nature, SoundCategory::custom, SoundCategory::system};
}

QString toRaw(SoundCategory category) {
    switch (category) {
    case SoundCategory::alarm:
        return QStringLiteral("alarm");
    case SoundCategory::beep:
        return QStringLiteral("beep");
    case SoundCategory::bell:
        return QStringLiteral("bell");
    case SoundCategory::chime:
        return QStringLiteral("chime");
    case SoundCategory::melody:
        return QStringLiteral("melody");
    case SoundCategory::nature:
        return QStringLiteral("nature");
    case SoundCategory::custom:
        return QStringLiteral("custom");
    case SoundCategory::system:
        return QStringLiteral("system");
    }
    return {};
}

std::optional<SoundCategory> soundCategoryFromRaw(const QString& raw) {
    for (auto category : allSoundCategories()) {
        if (toRaw(category) == raw) {
            return category;
        }
    }
    return std::nullopt;
}

QString label(SoundCategory category) {
    switch (category) {
    case SoundCategory::alarm:
        return QStringLiteral("目覚まし・アラーム");
    case SoundCategory::beep:
        return QStringLiteral("短い音・ビープ");
    case SoundCategory::bell:
        return QStringLiteral("ベル・鐘");
    case SoundCategory::chime:
        return QStringLiteral("チャイム・鈴");
    case SoundCategory::melody:
        return QStringLiteral("メロディ・楽器");
    case SoundCategory::nature:
        return QStringLiteral("自然音");
    case SoundCategory::custom:
        return QStringLiteral("自分の音");
    case SoundCategory::system:
        // The desktop's own event sounds, whichever desktop this is.
        return QStringLiteral("システム内蔵");
    }
    return {};
}
