#include "app/Formatting.h"

#include "app/DateTimeConversion.h"

#include <QLocale>
#include <QRegularExpression>

QString TimeFormatWithoutSeconds(const QString& shortTimeFormat) {
    // Removes "ss" or "s" with the separator that leads to it, e.g. "HH:mm:ss" -> "HH:mm",
    // "h.mm.ss AP" -> "h.mm AP".
    static const QRegularExpression seconds(QStringLiteral("[^hHmaApPt\\s]?\\s*s{1,2}(\\.z+)?"));
    return shortTimeFormat.trimmed().remove(seconds).trimmed();
}

QString FormatDate(const CDateTime& value) {
    const QDateTime dateTime = ToQDateTime(value);
    if (!dateTime.isValid()) {
        return {};
    }
    const QLocale locale = QLocale::system();
    return locale.toString(dateTime.date(), locale.dateFormat(QLocale::ShortFormat));
}

QString FormatTime(const CDateTime& value) {
    const QDateTime dateTime = ToQDateTime(value);
    if (!dateTime.isValid()) {
        return {};
    }
    const QLocale locale = QLocale::system();
    return locale.toString(dateTime.time(),
                           TimeFormatWithoutSeconds(locale.timeFormat(QLocale::ShortFormat)));
}
