#pragma once
// The one logging facility: "[context] message" lines, with a replaceable sink so tests can read them.
// Levels are switched through the logging category "com.user.quorvane.app", like any Qt category: by
// QT_LOGGING_RULES (e.g. "com.user.quorvane.app.info=false") or QLoggingCategory::setFilterRules().

#include <QLoggingCategory>
#include <QString>

#include <functional>

class TarvolinTimerLogger {
public:
    // Info is kept apart; warnings and errors are written at one level, as the system log has no warning
    // level.
    enum class Level { info, error };
    using Sink = std::function<void(Level level, const QString& line)>;

    // The category whose enabled levels decide what is written: info, warning (for warning()) and
    // critical (for error()).
    static const QLoggingCategory& category();

    // Each writes one line when its level is enabled. The arguments are built before the call even when
    // it is not; the TT_LOG_ macros below build them only when it is.
    static void info(const QString& message, const QString& context);
    static void warning(const QString& message, const QString& context);
    static void error(const QString& message, const QString& context);

    // Replaces where lines go (stderr by default); an empty sink restores stderr. Returns the previous sink.
    // A sink sees only the lines of enabled levels.
    static Sink setSink(Sink sink);

    static QString formatLine(const QString& message, const QString& context);

    TarvolinTimerLogger() = delete;
};

// TT_LOG_INFO(context, message) and the others log a line; `message` and `context` are evaluated only when
// the level is enabled, so a disabled level costs no formatting. The message may hold unbracketed commas.
#define TT_LOG_INFO(context, ...)                                                                            \
    do {                                                                                                     \
        if (TarvolinTimerLogger::category().isInfoEnabled()) {                                               \
            TarvolinTimerLogger::info((__VA_ARGS__), (context));                                             \
        }                                                                                                    \
    } while (false)
#define TT_LOG_WARNING(context, ...)                                                                         \
    do {                                                                                                     \
        if (TarvolinTimerLogger::category().isWarningEnabled()) {                                            \
            TarvolinTimerLogger::warning((__VA_ARGS__), (context));                                          \
        }                                                                                                    \
    } while (false)
#define TT_LOG_ERROR(context, ...)                                                                           \
    do {                                                                                                     \
        if (TarvolinTimerLogger::category().isCriticalEnabled()) {                                           \
            TarvolinTimerLogger::error((__VA_ARGS__), (context));                                            \
        }                                                                                                    \
    } while (false)
