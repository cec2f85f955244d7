#include "core/QuickLaunchParseError.h"

#include <QCoreApplication>

namespace {
template <class... Ts> struct overloaded : Ts... { using Ts::operator()...; };
// clang 14 does not deduce aggregate templates by itself.
template <class... Ts> overloaded(Ts...) -> overloaded<Ts...>;
} // namespace

QString QuickLaunchParseError::message() const {
    return std::visit(
        overloaded{
            [](const invalidFormat&) {
                return QCoreApplication::translate("QuickLaunchParseError",
                                                   "Couldn't read that. Try: 10m · 1d18h · 12:30");
            },
            [](const empty&) { return QCoreApplication::translate("QuickLaunchParseError", "Enter a time"); },
            [](const outOfRange&) {
                return QCoreApplication::translate("QuickLaunchParseError", "That time isn't allowed");
            },
            [](const pastTime&) {
                return QCoreApplication::translate("QuickLaunchParseError", "That time has already passed");
            },
            [](const zeroDuration&) {
                return QCoreApplication::translate("QuickLaunchParseError", "Must be at least 1 second");
            },
        },
        m_case);
}
