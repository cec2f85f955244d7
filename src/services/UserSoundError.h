#pragma once
// Why an import into the user sound library failed; the sound gallery shows errorDescription().

#include <QString>

#include <variant>

class UserSoundError {
public:
    struct unsupportedFormat {
        QString ext; // lower-cased, possibly empty
        bool operator==(const unsupportedFormat&) const = default;
    };
    struct copyFailed {
        bool operator==(const copyFailed&) const = default;
    };

    using Case = std::variant<unsupportedFormat, copyFailed>;

    UserSoundError(Case c) : m_case(std::move(c)) {} // NOLINT: implicit on purpose, as an enum case

    const Case& value() const { return m_case; }
    bool operator==(const UserSoundError&) const = default;

    // Translated into the interface language current at the call.
    QString errorDescription() const;

private:
    Case m_case;
};
