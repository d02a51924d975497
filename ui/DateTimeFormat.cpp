#include "ui/DateTimeFormat.h"

#include "ui/Formatting.h"

#include <QDate>
#include <QTime>

namespace {

QDate DateOf(const CDateTime& value) {
    if (!value.IsValid()) {
        return {};
    }
    const CDateTime::Parts parts = value.GetParts();
    return QDate(parts.year, parts.month, parts.day);
}

QTime TimeOf(const CDateTime& value) {
    if (!value.IsValid()) {
        return {};
    }
    const CDateTime::Parts parts = value.GetParts();
    return QTime(parts.hour, parts.minute, parts.second);
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
