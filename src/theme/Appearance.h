#pragma once
// The appearance choice kept by the theme store; the raw value is the stored form.

#include <QList>
#include <QString>

#include <optional>

enum class Appearance { light, automatic, dark };

QString toRaw(Appearance appearance);
std::optional<Appearance> appearanceFromRaw(const QString& raw);
QList<Appearance> allAppearances();
// The choice's name, in the interface language.
QString label(Appearance appearance);
