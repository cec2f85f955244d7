#include "theme/Appearance.h"

#include <QCoreApplication>

QString toRaw(Appearance appearance) {
    switch (appearance) {
    case Appearance::light:
        return QStringLiteral("light");
    case Appearance::automatic:
        return QStringLiteral("auto");
    case Appearance::dark:
        return QStringLiteral("dark");
    }
    return QStringLiteral("light");
}

std::optional<Appearance> appearanceFromRaw(const QString& raw) {
    for (Appearance appearance : allAppearances()) {
        if (toRaw(appearance) == raw) {
            return appearance;
        }
    }
    return std::nullopt;
}

QList<Appearance> allAppearances() {
    return {Appearance::light, Appearance::automatic, Appearance::dark};
}

QString label(Appearance appearance) {
    switch (appearance) {
    case Appearance::light:
        return QCoreApplication::translate("Appearance", "Light");
    case Appearance::automatic:
        return QCoreApplication::translate("Appearance", "System");
    case Appearance::dark:
        return QCoreApplication::translate("Appearance", "Dark");
    }
    return {};
}
