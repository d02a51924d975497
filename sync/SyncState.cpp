#include "sync/SyncState.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <QStandardPaths>

namespace {

constexpr int layout = 1;

QJsonObject PairToJson(const std::string& id, const CSyncPair& pair) {
    return {{"id", QString::fromStdString(id)},
            {"href", pair.href},
            {"uid", pair.uid},
            {"etag", pair.etag},
            {"local", QString::fromLatin1(pair.localDigest.toHex())},
            {"server", QString::fromLatin1(pair.serverDigest.toHex())},
            {"stamp", QString::fromLatin1(pair.localStamp.toBase64())}};
}

CSyncPair PairFromJson(const QJsonObject& object) {
    CSyncPair pair;
    pair.href = object["href"].toString();
    pair.uid = object["uid"].toString();
    pair.etag = object["etag"].toString();
    pair.localDigest = QByteArray::fromHex(object["local"].toString().toLatin1());
    pair.serverDigest = QByteArray::fromHex(object["server"].toString().toLatin1());
    pair.localStamp = QByteArray::fromBase64(object["stamp"].toString().toLatin1());
    return pair;
}

} // namespace

QString CSyncState::FileFor(const QString& folder, const QString& calendar, const QString& user) {
    const QByteArray key =
        (QDir(folder).canonicalPath() + u'\n' + calendar + u'\n' + user).toUtf8();
    const QString name =
        QString::fromLatin1(QCryptographicHash::hash(key, QCryptographicHash::Sha256).toHex());
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/tavelin/sync/") + name + QStringLiteral(".json");
}

CSyncState CSyncState::Load(const QString& file) {
    CSyncState state;
    QFile in(file);
    if (!in.open(QIODevice::ReadOnly)) {
        return state;
    }
    const QJsonDocument document = QJsonDocument::fromJson(in.readAll());
    const QJsonObject root = document.object();
    if (!document.isObject() || root["layout"].toInt() != layout) {
        in.close();
        QFile::remove(file + QStringLiteral(".damaged"));
        QFile::rename(file, file + QStringLiteral(".damaged"));
        return state;
    }
    state.calendar = root["calendar"].toString();
    state.syncToken = root["token"].toString();
    for (const QJsonValue value : root["pairs"].toArray()) {
        const QJsonObject object = value.toObject();
        const std::string id = object["id"].toString().toStdString();
        if (!id.empty()) {
            state.pairs[id] = PairFromJson(object);
        }
    }
    return state;
}

bool CSyncState::Save(const QString& file) const {
    QJsonArray list;
    for (const auto& [id, pair] : pairs) {
        list.append(PairToJson(id, pair));
    }
    const QJsonObject root{
        {"layout", layout}, {"calendar", calendar}, {"token", syncToken}, {"pairs", list}};
    if (!QDir().mkpath(QFileInfo(file).absolutePath())) {
        return false;
    }
    QSaveFile out(file);
    if (!out.open(QIODevice::WriteOnly)) {
        return false;
    }
    out.write(QJsonDocument(root).toJson(QJsonDocument::Compact));
    return out.commit();
}

std::optional<CSyncState> CKeptSyncState::TakeFor(const QString& stateFile) {
    const QFileInfo info(stateFile);
    if (file != stateFile || !info.exists() || info.size() != size ||
        info.lastModified().toMSecsSinceEpoch() != modifiedMs) {
        return std::nullopt;
    }
    file.clear();
    return std::move(state);
}

void CKeptSyncState::Keep(const QString& stateFile, CSyncState kept) {
    const QFileInfo info(stateFile);
    file = info.exists() ? stateFile : QString();
    size = info.size();
    modifiedMs = info.lastModified().toMSecsSinceEpoch();
    state = std::move(kept);
}
