#include "ui/StringTable.h"

#include <QFile>
#include <QHash>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

QHash<int, QString> LoadTable() {
    QHash<int, QString> table;
    QFile file(QStringLiteral(":/strings.json"));
    if (!file.open(QIODevice::ReadOnly)) {
        return table;
    }
    const QJsonObject object = QJsonDocument::fromJson(file.readAll()).object();
    for (auto it = object.begin(); it != object.end(); ++it) {
        table.insert(it.key().toInt(), it.value().toString());
    }
    return table;
}

} // namespace

QString LoadResString(int id) {
    static const QHash<int, QString> table = LoadTable();
    return table.value(id);
}
