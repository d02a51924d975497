#include "ui/DateTimeFormat.h"

#include <QDate>
#include <QRegularExpression>
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

QString TimeFormatWithoutSeconds(const QString& shortTimeFormat) {
    // Removes "ss" or "s" with the separator that leads to it, e.g. "HH:mm:ss" -> "HH:mm",
    // "h.mm.ss AP" -> "h.mm AP".
    static const QRegularExpression seconds(QStringLiteral("[^hHmaApPt\\s]?\\s*s{1,2}(\\.z+)?"));
    return shortTimeFormat.trimmed().remove(seconds).trimmed();
}

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
