#pragma once
// One preference declared once: its key, its value type, its default and, for integers, the allowed range.

#include "platform/Preferences.h"

#include <QMetaType>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <functional>
#include <limits>
#include <optional>
#include <type_traits>

// How one value type is read from and written to the store. A read gives none for an absent key and for a
// value of another type, exactly as the store's own typed reads do.
template <class T> struct PreferenceValueType;

template <> struct PreferenceValueType<bool> {
    static std::optional<bool> read(const Preferences& p, const QString& key) { return p.boolValue(key); }
    static void write(Preferences& p, const QString& key, bool value) { p.setBool(key, value); }
    static QVariant toVariant(bool value) { return QVariant(value); }
    static QMetaType storedType() { return QMetaType::fromType<bool>(); }
};

template <> struct PreferenceValueType<qint64> {
    static std::optional<qint64> read(const Preferences& p, const QString& key) { return p.intValue(key); }
    static void write(Preferences& p, const QString& key, qint64 value) { p.setInt(key, value); }
    static QVariant toVariant(qint64 value) { return QVariant(value); }
    static QMetaType storedType() { return QMetaType::fromType<qint64>(); }
};

template <> struct PreferenceValueType<double> {
    static std::optional<double> read(const Preferences& p, const QString& key) { return p.doubleValue(key); }
    static void write(Preferences& p, const QString& key, double value) { p.setDouble(key, value); }
    static QVariant toVariant(double value) { return QVariant(value); }
    static QMetaType storedType() { return QMetaType::fromType<double>(); }
};

template <> struct PreferenceValueType<QString> {
    static std::optional<QString> read(const Preferences& p, const QString& key) {
        return p.stringValue(key);
    }
    static void write(Preferences& p, const QString& key, const QString& value) { p.setString(key, value); }
    static QVariant toVariant(const QString& value) { return QVariant(value); }
    static QMetaType storedType() { return QMetaType::fromType<QString>(); }
};

template <> struct PreferenceValueType<QStringList> {
    static std::optional<QStringList> read(const Preferences& p, const QString& key) {
        return p.stringListValue(key);
    }
    static void write(Preferences& p, const QString& key, const QStringList& value) {
        p.setStringList(key, value);
    }
    static QVariant toVariant(const QStringList& value) { return QVariant(value); }
    static QMetaType storedType() { return QMetaType::fromType<QStringList>(); }
};

// A value that may be "nothing": nothing is an absent key, so writing it removes the key.
template <class U> struct PreferenceValueType<std::optional<U>> {
    static std::optional<std::optional<U>> read(const Preferences& p, const QString& key) {
        if (auto value = PreferenceValueType<U>::read(p, key)) {
            return std::optional<U>(std::move(*value));
        }
        return std::nullopt;
    }
    static void write(Preferences& p, const QString& key, const std::optional<U>& value) {
        if (value) {
            PreferenceValueType<U>::write(p, key, *value);
        } else {
            p.remove(key);
        }
    }
    static QVariant toVariant(const std::optional<U>& value) {
        return value ? PreferenceValueType<U>::toVariant(*value) : QVariant();
    }
    static QMetaType storedType() { return PreferenceValueType<U>::storedType(); }
};

// The values an integer setting's controls offer. Reads are not clamped to it: the store keeps what was
// written, and each reader applies its own rule.
struct IntegerRange {
    qint64 minimum = std::numeric_limits<qint64>::min();
    qint64 maximum = std::numeric_limits<qint64>::max();
    qint64 step = 1;
};

struct NoRange {};

// A declared setting seen without its type, for tables over every setting.
struct PreferenceDeclaration {
    QString key;
    QMetaType storedType;
    QVariant defaultValue; // invalid when the default is "nothing"
    std::function<QVariant(const Preferences&)> read;
};

template <class T> struct PreferenceSetting {
    using Value = T;
    using Range = std::conditional_t<std::is_same_v<T, qint64>, IntegerRange, NoRange>;

    PreferenceSetting(QString settingKey, T fallback, Range allowed = {})
        : key(std::move(settingKey)), defaultValue(std::move(fallback)), range(allowed) {}

    QString key;
    T defaultValue;
    [[no_unique_address]] Range range;

    // The stored value, or the default when the key is absent or holds another type. Never writes.
    T read(const Preferences& preferences) const {
        return PreferenceValueType<T>::read(preferences, key).value_or(defaultValue);
    }
    void write(Preferences& preferences, const T& value) const {
        PreferenceValueType<T>::write(preferences, key, value);
    }
    // Whether the key holds anything at all, of any type.
    bool isStored(const Preferences& preferences) const { return preferences.contains(key); }

    PreferenceDeclaration declaration() const {
        const PreferenceSetting copy = *this;
        return {key, PreferenceValueType<T>::storedType(), PreferenceValueType<T>::toVariant(defaultValue),
                [copy](const Preferences& preferences) {
                    return PreferenceValueType<T>::toVariant(copy.read(preferences));
                }};
    }
};
