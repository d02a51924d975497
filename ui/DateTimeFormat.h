#pragma once

#include "store/DateTime.h"

#include <QLocale>
#include <QString>

// The locale's short time pattern with its seconds field (and the separator before it) cut.
QString TimeFormatWithoutSeconds(const QString& shortTimeFormat);

// The system locale's short date and its time without seconds, with the patterns looked up
// once: a list that shows many dates makes one of these per fill and formats only the rows
// it paints. A stored date is a calendar date and a wall-clock time, so it is formatted from
// its own components: no time zone takes part, and a time that the local zone skips (a
// daylight-saving gap) is shown as stored.
class CDateTimeFormat {
public:
    CDateTimeFormat();
    explicit CDateTimeFormat(const QLocale& locale);

    // Empty for a value that is not a valid date-time.
    QString Date(const CDateTime& value) const;
    QString Time(const CDateTime& value) const;
    // The date, a blank and the time, as a list row shows them.
    QString DateAndTime(const CDateTime& value) const;

private:
    QLocale m_locale;
    QString m_datePattern;
    QString m_timePattern;
};
