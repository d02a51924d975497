#include "app/LoadingText.h"

QString LoadingText(std::size_t loaded, std::size_t total, const QLocale& locale) {
    if (total == 0) {
        return QStringLiteral("Loading meetings...");
    }
    return QStringLiteral("Loading meetings... %1 of %2")
        .arg(locale.toString(static_cast<qulonglong>(loaded)),
             locale.toString(static_cast<qulonglong>(total)));
}

QString ImportingText(std::size_t stored, std::size_t total, const QLocale& locale) {
    return QStringLiteral("Importing meetings... %1 of %2")
        .arg(locale.toString(static_cast<qulonglong>(stored)),
             locale.toString(static_cast<qulonglong>(total)));
}
