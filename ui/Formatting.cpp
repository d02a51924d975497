#include "ui/Formatting.h"

#include "ui/DateTimeFormat.h"

#include <QRegularExpression>

QString TimeFormatWithoutSeconds(const QString& shortTimeFormat) {
    // Removes "ss" or "s" with the separator that leads to it, e.g. "HH:mm:ss" -> "HH:mm",
    // "h.mm.ss AP" -> "h.mm AP".
    static const QRegularExpression seconds(QStringLiteral("[^hHmaApPt\\s]?\\s*s{1,2}(\\.z+)?"));
    return shortTimeFormat.trimmed().remove(seconds).trimmed();
}

QString FormatDate(const CDateTime& value) {
    return CDateTimeFormat().Date(value);
}

QString FormatTime(const CDateTime& value) {
    return CDateTimeFormat().Time(value);
}
