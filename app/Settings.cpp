#include "app/Settings.h"

#include "Version.h"

#include <QSettings>

#include <algorithm>

namespace {

QSettings Profile() {
    return QSettings(QStringLiteral("Brindleware"), QStringLiteral(TAVELIN_NAME_AND_VERSION));
}

QString ReadText(const char* key) {
    return Profile().value(QLatin1String(key)).toString();
}

int ReadInt(const char* key, int fallback) {
    bool ok = false;
    const int value = Profile().value(QLatin1String(key), fallback).toInt(&ok);
    return ok ? value : fallback;
}

void Write(const char* key, const QVariant& value) {
    QSettings profile = Profile();
    profile.setValue(QLatin1String(key), value);
    profile.sync();
}

} // namespace

namespace Settings {

QString ReadPath() {
    return ReadText("Directory/Path");
}
void WritePath(const QString& path) {
    Write("Directory/Path", path);
}
QString ReadItem() {
    return ReadText("Value/Item");
}
void WriteItem(const QString& ids) {
    Write("Value/Item", ids);
}
// A bar stands somewhere across the window: a damaged value cannot put it further out.
int ReadFirst() {
    return std::clamp(ReadInt("Size/First", defaultFirst), 0, 100);
}
int ReadSecond() {
    return std::clamp(ReadInt("Size/Second", defaultSecond), 0, 100);
}
void WriteFirst(int percent) {
    Write("Size/First", percent);
}
void WriteSecond(int percent) {
    Write("Size/Second", percent);
}
QString ReadSyncTool() {
    return ReadText("Sync/Tool");
}

} // namespace Settings
