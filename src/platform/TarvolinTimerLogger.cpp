#include "platform/TarvolinTimerLogger.h"

#include <QMutex>
#include <QMutexLocker>

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

QString TarvolinTimerLogger::formatLine(const QString& message, const QString& context) {
    return QLatin1Char('[') + context + QLatin1String("] ") + message;
}

void TarvolinTimerLogger::info(const QString& message, const QString& context) {
    write(Level::info, message, context);
}

void TarvolinTimerLogger::warning(const QString& message, const QString& context) {
    write(Level::error, message, context);
}

void TarvolinTimerLogger::error(const QString& message, const QString& context) {
    write(Level::error, message, context);
}

TarvolinTimerLogger::Sink TarvolinTimerLogger::setSink(Sink sink) {
    QMutexLocker lock(&sinkMutex());
    Sink previous = std::move(currentSink());
    currentSink() = std::move(sink);
    return previous;
}
