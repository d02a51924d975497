#pragma once

#include <QByteArray>
#include <QtGlobal>

#include <ctime>

// Runs the test in another local time zone until the scope ends, then puts the old one back.
class CTimeZoneScope {
public:
    explicit CTimeZoneScope(const char* zone)
        : m_had(qEnvironmentVariableIsSet("TZ")), m_old(qgetenv("TZ")) {
        qputenv("TZ", zone);
        ::tzset();
    }
    ~CTimeZoneScope() {
        m_had ? qputenv("TZ", m_old) : qunsetenv("TZ");
        ::tzset();
    }
    CTimeZoneScope(const CTimeZoneScope&) = delete;
    CTimeZoneScope& operator=(const CTimeZoneScope&) = delete;

private:
    bool m_had;
    QByteArray m_old;
};
