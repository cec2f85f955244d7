#include "platform/TarvolinTimerLogger.h"

#include <QMutex>
#include <QMutexLocker>

#include <algorithm>
#include <cstdio>

#include <unistd.h>

namespace {

QMutex& sinkMutex() {
    static QMutex mutex;
    return mutex;
}

TarvolinTimerLogger::Sink& currentSink() {
    static TarvolinTimerLogger::Sink sink;
    return sink;
}

void writeToStderr(TarvolinTimerLogger::Level level, const QString& line) {
    // journald reads a priority prefix (3 = error, 6 = info); a person at a terminal does not need it.
    static const bool toTerminal = isatty(fileno(stderr)) != 0;
    const char* prefix = toTerminal ? "" : (level == TarvolinTimerLogger::Level::error ? "<3>" : "<6>");
    const QByteArray bytes = line.toUtf8();
    std::fprintf(stderr, "%s%s\n", prefix, bytes.constData());
    std::fflush(stderr);
}

void write(TarvolinTimerLogger::Level level, const QString& message, const QString& context) {
    const QString line = TarvolinTimerLogger::formatLine(message, context);
    QMutexLocker lock(&sinkMutex());
    if (currentSink()) {
        currentSink()(level, line);
    } else {
        writeToStderr(level, line);
    }
}

} // namespace

namespace {

// One call is one line: messages carry user text (timer titles, chain names, URLs), and a line break in
// one would otherwise split the entry (the rest losing its level) or let it pass for another entry.
QString escapeControls(const QString& text) {
    // A tab keeps the line whole, so it stays.
    const auto isControl = [](QChar c) { return (c.unicode() < 0x20 && c != u'\t') || c.unicode() == 0x7F; };
    if (std::none_of(text.cbegin(), text.cend(), isControl)) {
        return text;
    }
    QString out;
    out.reserve(text.size() + 8);
    for (QChar c : text) {
        if (!isControl(c)) {
            out += c;
        } else if (c == u'\n') {
            out += QLatin1String("\\n");
        } else if (c == u'\r') {
            out += QLatin1String("\\r");
        } else {
            out += QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0'));
        }
    }
    return out;
}

} // namespace

QString TarvolinTimerLogger::formatLine(const QString& message, const QString& context) {
    return QLatin1Char('[') + escapeControls(context) + QLatin1String("] ") + escapeControls(message);
}

const QLoggingCategory& TarvolinTimerLogger::category() {
    // Nothing is logged at debug level, so the category starts at info.
    static const QLoggingCategory instance("com.user.quorvane.app", QtInfoMsg);
    return instance;
}

void TarvolinTimerLogger::info(const QString& message, const QString& context) {
    if (category().isInfoEnabled()) {
        write(Level::info, message, context);
    }
}

void TarvolinTimerLogger::warning(const QString& message, const QString& context) {
    if (category().isWarningEnabled()) {
        write(Level::error, message, context);
    }
}

void TarvolinTimerLogger::error(const QString& message, const QString& context) {
    if (category().isCriticalEnabled()) {
        write(Level::error, message, context);
    }
}

TarvolinTimerLogger::Sink TarvolinTimerLogger::setSink(Sink sink) {
    QMutexLocker lock(&sinkMutex());
    Sink previous = std::move(currentSink());
    currentSink() = std::move(sink);
    return previous;
}
