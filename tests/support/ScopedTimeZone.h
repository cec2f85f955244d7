#pragma once
// Runs a test in another local time zone and puts the previous one back afterwards.

#include <QByteArray>
#include <QtGlobal>

#include <ctime>

class ScopedTimeZone {
public:
    explicit ScopedTimeZone(const char* zone) : m_set(qEnvironmentVariableIsSet("TZ")), m_old(qgetenv("TZ")) {
        qputenv("TZ", zone);
        tzset();
    }
    ~ScopedTimeZone() {
        m_set ? qputenv("TZ", m_old) : qunsetenv("TZ");
        tzset();
    }
    ScopedTimeZone(const ScopedTimeZone&) = delete;
    ScopedTimeZone& operator=(const ScopedTimeZone&) = delete;

private:
    bool m_set;
    QByteArray m_old;
};
