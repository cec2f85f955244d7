#pragma once
// What a test needs of the machine (a tool, a bus, a display): missing on a developer's machine, the test
// is skipped with the reason; missing where CI=true, it fails, since there the test command installs and
// starts all of it and a skip would hide a broken set-up.

#include <QByteArray>
#include <QtGlobal>

#include <gtest/gtest.h>

inline bool runsInCI() {
    return qgetenv("CI") == QByteArrayLiteral("true");
}

// Use in a test or its SetUp: returns from it, skipped or failed.
#define TT_SKIP_OR_FAIL(message)                                                                             \
    do {                                                                                                     \
        if (runsInCI()) {                                                                                    \
            FAIL() << message;                                                                               \
        } else {                                                                                             \
            GTEST_SKIP() << message;                                                                         \
        }                                                                                                    \
    } while (false)
