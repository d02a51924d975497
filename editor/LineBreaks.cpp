#include "editor/LineBreaks.h"

#include "ui/TextConversion.h"

QString ToEditText(const QString& stored) {
    QString text = stored;
    return text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

QString FromEditText(const QString& edited) {
    QString text = edited;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
}

std::string KeptOrTyped(const QString& now, const QString& shown, const std::string& stored) {
    return now == shown ? stored : FromQString(now);
}
