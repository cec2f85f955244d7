#pragma once
// Why a line of typed time did not parse; the entry views show message() for it.

#include <QString>

#include <variant>

class QuickLaunchParseError {
public:
    // Carries the text after full-width folding, trimming and lower-casing, not the raw input.
    struct invalidFormat {
        QString text;
        bool operator==(const invalidFormat&) const = default;
    };
    struct empty {
        bool operator==(const empty&) const = default;
    };
    struct outOfRange {
        bool operator==(const outOfRange&) const = default;
    };
    struct pastTime {
        bool operator==(const pastTime&) const = default;
    };
    struct zeroDuration {
        bool operator==(const zeroDuration&) const = default;
    };

    using Case = std::variant<invalidFormat, empty, outOfRange, pastTime, zeroDuration>;

    QuickLaunchParseError(Case c) : m_case(std::move(c)) {} // NOLINT: implicit on purpose, as an enum case

    const Case& value() const { return m_case; }

    bool operator==(const QuickLaunchParseError&) const = default;

    // The user-facing text, translated into the interface language current at the call.
    QString message() const;

private:
    Case m_case;
};
