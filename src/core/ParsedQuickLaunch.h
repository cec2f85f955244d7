#pragma once
// What a line of typed time means when it parses: a countdown length or an alarm at a moment.

#include <QDateTime>

#include <variant>

class ParsedQuickLaunch {
public:
    // Always a whole number of seconds above 0.
    struct duration {
        double seconds = 0;
        bool operator==(const duration&) const = default;
    };
    // Always later than the `now` the parser was given.
    struct alarm {
        QDateTime date;
        bool operator==(const alarm&) const = default;
    };

    using Case = std::variant<duration, alarm>;

    ParsedQuickLaunch(Case c) : m_case(std::move(c)) {} // NOLINT: implicit on purpose, as an enum case

    const Case& value() const { return m_case; }

    bool operator==(const ParsedQuickLaunch&) const = default;

private:
    Case m_case;
};
