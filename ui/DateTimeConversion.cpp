#include "ui/DateTimeConversion.h"

QDateTime ToQDateTime(const CDateTime& value) {
    if (!value.IsValid()) {
        return {};
    }
    return QDateTime(QDate(value.GetYear(), value.GetMonth(), value.GetDay()),
                     QTime(value.GetHour(), value.GetMinute(), value.GetSecond()));
}

CDateTime FromQDateTime(const QDateTime& value) {
    if (!value.isValid()) {
        return CDateTime(0.0, CDateTime::invalid);
    }
    const QDate date = value.date();
    const QTime time = value.time();
    return CDateTime(date.year(), date.month(), date.day(), time.hour(), time.minute(),
                     time.second());
}
