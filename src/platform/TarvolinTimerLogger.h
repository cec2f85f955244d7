#pragma once
// The one logging facility: "[context] message" lines, with a replaceable sink so tests can read them.

#include <QString>

#include <functional>

class TarvolinTimerLogger {
public:
    // Info is kept apart; warnings and errors are written at one level, as the system log has no warning level.
    enum class Level { info, error };
    using Sink = std::function<void(Level level, const QString& line)>;

    static void info(const QString& message, const QString& context);
    static void warning(const QString& message, const QString& context);
    static void error(const QString& message, const QString& context);

    // Replaces where lines go (stderr by default); an empty sink restores stderr. Returns the previous sink.
    static Sink setSink(Sink sink);

    static QString formatLine(const QString& message, const QString& context);

    TarvolinTimerLogger() = delete;
};
