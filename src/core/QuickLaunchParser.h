#pragma once
// Turns one line of typed time ("25", "1h30m", "12:30", "9pm", full-width forms too) into a countdown
// length or today's alarm time; pure, with the current time passed in.

#include "core/ParsedQuickLaunch.h"
#include "core/QuickLaunchParseError.h"

#include <QDateTime>
#include <QString>

#include <variant>

using QuickLaunchParseResult = std::variant<ParsedQuickLaunch, QuickLaunchParseError>;

class QuickLaunchParser {
public:
    QuickLaunchParser() = delete;

    static QuickLaunchParseResult parse(const QString& text, const QDateTime& now);
    // Against the wall clock; code that has a clock of its own passes its `now` instead.
    static QuickLaunchParseResult parse(const QString& text);
};
