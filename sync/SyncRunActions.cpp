#include "share/CalendarObject.h"
#include "share/CalendarParseError.h"
#include "store/FileError.h"
#include "store/TakenIds.h"
#include "sync/DavClient.h"
#include "sync/SyncRun.h"
#include "sync/SyncStoreGate.h"
#include <QCryptographicHash>
#include <QRandomGenerator>

namespace {

// How many meetings one trip to the window's thread adds: small enough to stay within a frame.
constexpr std::size_t addChunk = 16;
// How many changes pass between two saves of the sync state.
constexpr int saveEvery = 200;

QByteArray TextDigest(const QByteArray& text) {
    return QCryptographicHash::hash(text, QCryptographicHash::Sha256);
}

} // namespace

void CSyncRun::Execute() {
    std::vector<std::pair<CItem*, SyncAction>> work;
    std::vector<CItem*> adds;
    for (CItem& item : m_items) {
        const SyncAction action = DecideSync(item.facts);
        if (action == SyncAction::addLocal) {
            adds.push_back(&item);
        } else if (action != SyncAction::none) {
            work.emplace_back(&item, action);
        }
    }
    const int total = int(work.size() + adds.size());
    m_stateChanged = m_stateChanged || total > 0;
    int done = 0;
    for (std::size_t first = 0; first < adds.size() && !Stopped(); first += addChunk) {
        if (m_client.IsCancelled()) {
            return;
        }
        std::vector<CItem*> chunk(adds.begin() + first,
                                  adds.begin() + std::min(adds.size(), first + addChunk));
        AddLocal(chunk);
        done += int(chunk.size());
        if (m_progress) {
            m_progress(done, total);
        }
    }
    for (auto& [item, action] : work) {
        if (Stopped() || m_client.IsCancelled() || !Act(*item, action)) {
            return;
        }
        if (++done % saveEvery == 0) {
            m_state.Save(m_stateFile);
        }
        if (m_progress) {
            m_progress(done, total);
        }
    }
}

// The ids the folder's files have, listed once per sync on this thread: the store would list
// the folder again at every trip to the window's thread, which grows with the folder.
const std::unordered_set<std::string>& CSyncRun::Listed() {
    if (!m_listed) {
        m_listed = TakenMeetingIds(m_folder);
    }
    return *m_listed;
}

bool CSyncRun::Gate(const std::function<void()>& change) {
    QString failure;
    m_onWindowThread([&] {
        try {
            change();
        } catch (const std::exception& error) {
            failure = QString::fromUtf8(error.what());
        }
    });
    if (!failure.isEmpty()) {
        m_summary.failure = failure;
    }
    return failure.isEmpty();
}

// The pair as both sides now are: the meeting's files read back as the store wrote them.
void CSyncRun::Record(const std::string& id, const QString& href, const QString& uid,
                      const QString& etag, const QByteArray& data) {
    CSyncPair pair{href, uid, etag, {}, TextDigest(data), {}};
    if (std::optional<CCalendarMeeting> meeting =
            ReadLocalMeeting(m_folder, id, &pair.localStamp)) {
        meeting->record.id = id;
        pair.localDigest = MeetingDigest(*meeting);
    }
    m_state.pairs[id] = std::move(pair);
}

void CSyncRun::AddLocal(std::vector<CItem*>& items) {
    std::vector<CCalendarMeeting> meetings;
    for (const CItem* item : items) {
        meetings.push_back(*item->serverMeeting);
    }
    std::vector<std::string> ids;
    if (!Gate([&] { ids = m_gate.Add(meetings, Listed()); })) {
        return;
    }
    for (std::size_t i = 0; i < ids.size(); ++i) {
        CItem& item = *items[i];
        if (!item.id.empty()) {
            m_state.pairs.erase(item.id); // deleted here, changed there: it comes back anew
        }
        Record(ids[i], item.href, item.uid, item.etag, item.data);
        ++m_summary.received;
    }
}

bool CSyncRun::Act(CItem& item, SyncAction action) {
    switch (action) {
    case SyncAction::record:
        Record(item.id, item.href, item.uid, item.etag, item.data);
        return true;
    case SyncAction::sendNew:
        return SendMeeting(item, item.uid.isEmpty() ? OwnUid(item.id) : item.uid, {}, true);
    case SyncAction::sendChange:
        return SendMeeting(item, item.uid, item.data, false);
    case SyncAction::deleteServer: {
        const CDavReply reply =
            m_client.Send("DELETE", UrlOf(item.href), {}, {{"If-Match", item.etag.toUtf8()}});
        if (reply.status == 412) {
            ++m_summary.deferred;
            return true;
        }
        if (reply.status != 404 && Failed(reply, QStringLiteral("delete an event"))) {
            return false;
        }
        m_state.pairs.erase(item.id);
        ++m_summary.deletedThere;
        return true;
    }
    case SyncAction::changeLocal: {
        CCalendarMeeting meeting = *item.serverMeeting;
        meeting.record.id = item.id;
        if (!Gate([&] { m_gate.Change(meeting); })) {
            return false;
        }
        Record(item.id, item.href, item.uid, item.etag, item.data);
        ++m_summary.received;
        return true;
    }
    case SyncAction::deleteLocal:
        if (!Gate([&] { m_gate.Delete(item.id); })) {
            return false;
        }
        m_state.pairs.erase(item.id);
        ++m_summary.deletedHere;
        return true;
    case SyncAction::keepBoth:
        return KeepBoth(item);
    case SyncAction::forget:
        m_state.pairs.erase(item.id);
        return true;
    case SyncAction::none:
    case SyncAction::addLocal:
        return true;
    }
    return true;
}

// Writes the meeting here to the server: a new object, or over `base` (the server's object
// as it is now) keeping all of it that the meeting does not map.
bool CSyncRun::SendMeeting(CItem& item, QString uid, const QByteArray& base, bool isNew) {
    QByteArray stamp;
    std::optional<CCalendarMeeting> meeting = ReadLocalMeeting(m_folder, item.id, &stamp);
    if (!meeting) {
        ++m_summary.deferred; // gone or damaged since the folder was read
        return true;
    }
    meeting->record.id = item.id;
    QByteArray object;
    try {
        object = QByteArray::fromStdString(
            BuildMeetingObject(*meeting, uid.toStdString(), base.toStdString()));
    } catch (const CCalendarParseError&) {
        ++m_summary.deferred; // the server's object holds no event to write over
        return true;
    }
    QString path = item.href.isEmpty() ? m_calendar.path() + QString::fromStdString(item.id) +
                                             QStringLiteral(".ics")
                                       : item.href;
    const DavHeaders condition{
        isNew ? std::pair<QByteArray, QByteArray>{"If-None-Match", "*"}
              : std::pair<QByteArray, QByteArray>{"If-Match", item.etag.toUtf8()}};
    CDavReply reply = m_client.Send("PUT", UrlOf(path), object, condition);
    if (isNew && item.href.isEmpty() && (reply.status == 412 || reply.status == 409)) {
        // Another computer's meeting took this id's name or UID (made in the same second):
        // this one goes under a name of its own.
        const QString unique = QString::fromStdString(item.id) + u'-' +
                               QString::number(QRandomGenerator::global()->generate(), 16);
        path = m_calendar.path() + unique + QStringLiteral(".ics");
        uid = OwnUid(unique.toStdString());
        object = QByteArray::fromStdString(
            BuildMeetingObject(*meeting, uid.toStdString(), base.toStdString()));
        reply = m_client.Send("PUT", UrlOf(path), object, condition);
    }
    if (reply.status == 412) {
        ++m_summary.deferred; // changed there meanwhile: never overwritten, compared next time
        return true;
    }
    if (Failed(reply, QStringLiteral("store an event"))) {
        return false;
    }
    m_state.pairs[item.id] = {
        path, uid, QString::fromUtf8(reply.etag), MeetingDigest(*meeting), TextDigest(object),
        stamp};
    item.href = path;
    ++m_summary.sent;
    return true;
}

// Changed on both sides: the meeting here stays and goes to the server; the server's version
// becomes a meeting of its own, titled as the server's copy, and goes there as a new object.
bool CSyncRun::KeepBoth(CItem& item) {
    CCalendarMeeting copy = *item.serverMeeting;
    copy.record.title += " (server's copy)";
    std::vector<std::string> ids;
    if (!Gate([&] { ids = m_gate.Add({copy}, Listed()); }) || ids.empty()) {
        return false;
    }
    const std::string& copyId = ids.front();
    CItem copyItem{copyId, {}, OwnUid(copyId), {}, {}, {}, {}};
    // Should a request below fail, the next sync sends the copy and our version again instead
    // of keeping both a second time: the copy counts as new here, ours as changed here only.
    m_state.pairs[copyId] = {m_calendar.path() + QString::fromStdString(copyId) +
                                 QStringLiteral(".ics"),
                             copyItem.uid,
                             {},
                             {},
                             {},
                             {}};
    CSyncPair& ours = m_state.pairs[item.id];
    ours = {item.href, item.uid, item.etag, {}, TextDigest(item.data), {}};
    const std::optional<CCalendarMeeting> local = ReadLocalMeeting(m_folder, item.id);
    m_summary.conflicts.push_back({local ? local->record.title : copy.record.title,
                                   local ? local->record.date : copy.record.date, item.id, copyId});
    copyItem.href = m_state.pairs[copyId].href;
    return SendMeeting(copyItem, copyItem.uid, item.data, true) &&
           SendMeeting(item, item.uid, item.data, false);
}
