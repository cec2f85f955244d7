#pragma once
// A failed system call as one line of text: what was called, and the system's reason.

#include <QString>

#include <cerrno>
#include <cstring>

inline QString systemError(const char* what, int number = errno) {
    return QString::fromLatin1(what) + QStringLiteral(": ") + QString::fromLocal8Bit(std::strerror(number));
}
