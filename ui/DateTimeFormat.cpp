#include "ui/DateTimeFormat.h"

#include "ui/Formatting.h"

#include <QDate>
#include <QTime>

namespace {

QDate DateOf(const CDateTime& value) {
    return value.IsValid() ? QDate(value.GetYear(), value.GetMonth(), value.GetDay()) : QDate();
}

QTime TimeOf(const CDateTime& value) {
    return value.IsValid() ? QTime(value.GetHour(), value.GetMinute(), value.GetSecond()) : QTime();
}

} // namespace

CDateTimeFormat::CDateTimeFormat() : CDateTimeFormat(QLocale::system()) {}

CDateTimeFormat::CDateTimeFormat(const QLocale& locale)
    : m_locale(locale), m_datePattern(locale.dateFormat(QLocale::ShortFormat)),
      m_timePattern(TimeFormatWithoutSeconds(locale.timeFormat(QLocale::ShortFormat))) {}

QString CDateTimeFormat::Date(const CDateTime& value) const {
    const QDate date = DateOf(value);
    return date.isValid() ? m_locale.toString(date, m_datePattern) : QString();
}

QString CDateTimeFormat::Time(const CDateTime& value) const {
    const QTime time = TimeOf(value);
    return time.isValid() ? m_locale.toString(time, m_timePattern) : QString();
}

QString CDateTimeFormat::DateAndTime(const CDateTime& value) const {
    return Date(value) + QLatin1Char(' ') + Time(value);
}
