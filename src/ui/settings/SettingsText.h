#pragma once
// The settings tab's texts that are handed to its controls as keys: each is marked where it is written with
// QT_TRANSLATE_NOOP("SettingsScreen", …) and looked up here, in the interface language of the moment.

#include <QCoreApplication>
#include <QString>

inline QString settingsText(const char* key) {
    return key ? QCoreApplication::translate("SettingsScreen", key) : QString();
}
