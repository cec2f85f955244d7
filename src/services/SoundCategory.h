#pragma once
// The groups of the sound gallery; the raw strings are their stored form and the order is the gallery's.

#include <QList>
#include <QString>

#include <optional>

enum class SoundCategory { alarm, beep, bell, chime, melody, nature, custom, system };

QList<SoundCategory> allSoundCategories();
QString toRaw(SoundCategory category);
// Exact match, case included; any other text names no category.
std::optional<SoundCategory> soundCategoryFromRaw(const QString& raw);
// The group heading, a fixed Japanese text shown as written in every language.
QString label(SoundCategory category);
