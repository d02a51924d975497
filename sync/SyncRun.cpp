#include "sync/SyncRun.h"

#include "share/CalendarObject.h"
#include "share/CalendarParseError.h"
#include "sync/DavClient.h"
#include "sync/DavXml.h"
#include <QCryptographicHash>
#include <set>

namespace {

// How many objects one calendar-multiget asks for.
constexpr int fetchChunk = 250;

} // namespace

CSyncRun::CSyncRun(CDavClient& client, CSyncStoreGate& gate, OnWindowThread onWindowThread,
                   std::filesystem::path folder, QUrl calendar, QString stateFile,
                   Progress progress, std::optional<std::set<std::string>> changed,
                   CKeptSyncState* kept)
    : m_client(client), m_gate(gate), m_onWindowThread(std::move(onWindowThread)),
      m_folder(std::move(folder)), m_calendar(std::move(calendar)),
      m_stateFile(std::move(stateFile)), m_progress(std::move(progress)),
      m_changed(std::move(changed)), m_kept(kept) {
    if (!m_calendar.path().endsWith(u'/')) {
        m_calendar.setPath(m_calendar.path() + u'/');
    }
}

QString CSyncRun::PathOf(const QString& href) const {
    return m_calendar.resolved(QUrl::fromEncoded(href.toUtf8())).path();
}

QUrl CSyncRun::UrlOf(const QString& path) const {
    QUrl url = m_calendar;
    url.setPath(path);
    return url;
}

CSyncSummary CSyncRun::Run() {
    std::optional<CSyncState> kept = m_kept ? m_kept->TakeFor(m_stateFile) : std::nullopt;
    m_state = kept ? std::move(*kept) : CSyncState::Load(m_stateFile);
    // The file is named after the account's calendar; one whose recorded collection differs
    // was left by another calendar, and nothing of its pairing holds here.
    if (m_state.calendar != m_calendar.path()) {
        m_state = CSyncState{};
        m_state.calendar = m_calendar.path();
        m_stateChanged = true;
    }
    if (ReadServerChanges()) {
        std::atomic<bool> cancelled{false};
        // What was heard counts only against a state that knew the whole folder.
        const bool heard = m_changed && !m_stateChanged && !m_state.syncToken.isEmpty();
        if (!heard || !m_changed->empty() || !m_server.empty()) {
            m_local = heard ? ScanChangedMeetings(m_folder, m_state, *m_changed)
                            : ScanLocalMeetings(m_folder, m_state, cancelled);
            Plan();
        } // else nothing changed on either side since a complete sync: nothing to compare
    }
    if (!Stopped()) {
        Execute();
    }
    m_summary.cancelled = m_client.IsCancelled();
    m_summary.complete = !Stopped() && m_summary.deferred == 0;
    if (m_summary.complete && m_state.syncToken != m_newToken) {
        m_state.syncToken = m_newToken;
        m_stateChanged = true;
    }
    const bool onDisk = !m_stateChanged || m_state.Save(m_stateFile);
    if (!onDisk && !Stopped()) {
        m_summary.failure =
            QStringLiteral("The sync state could not be written to %1.").arg(m_stateFile);
        m_summary.complete = false;
    }
    if (m_kept && onDisk) {
        m_kept->Keep(m_stateFile, std::move(m_state));
    }
    m_summary.requests = m_client.RequestCount();
    return m_summary;
}

bool CSyncRun::Failed(const CDavReply& reply, const QString& what) {
    if (reply.Ok()) {
        return false;
    }
    m_summary.status = reply.status;
    m_summary.refusedCertificate = reply.refusedCertificate;
    if (!reply.failure.isEmpty()) {
        m_summary.failure = reply.failure;
    } else if (reply.status == 401) {
        m_summary.failure = QStringLiteral("The server refused the user name or password.");
    } else if (reply.status == 403) {
        m_summary.failure = QStringLiteral("The server does not let this account %1.").arg(what);
    } else if (reply.status == 404) {
        m_summary.failure =
            QStringLiteral("The calendar is gone from the server; nothing was changed here.");
    } else if (reply.status == 507) {
        m_summary.failure = QStringLiteral("The server has no room left to %1.").arg(what);
    } else {
        m_summary.failure =
            QStringLiteral("The server could not %1 (HTTP %2).").arg(what).arg(reply.status);
    }
    return true;
}

// The objects changed since the last complete sync, or all of them after none.
bool CSyncRun::ReadServerChanges() {
    const DavHeaders depth0{{"Depth", "0"}};
    CDavReply reply =
        m_client.Send("REPORT", m_calendar, DavBody::SyncCollection(m_state.syncToken), depth0);
    if (!m_state.syncToken.isEmpty() && (reply.status == 403 || reply.status == 409 ||
                                         reply.status == 400 || reply.status == 412)) {
        // The server no longer knows the token: compare everything once.
        m_state.syncToken.clear();
        reply = m_client.Send("REPORT", m_calendar, DavBody::SyncCollection({}), depth0);
    }
    if (m_state.syncToken.isEmpty() && reply.failure.isEmpty() &&
        (reply.status == 403 || reply.status == 501 || reply.status == 400)) {
        return ReadWholeCalendar(); // a server without collection sync
    }
    if (Failed(reply, QStringLiteral("list the calendar"))) {
        return false;
    }
    const std::optional<CMultiStatus> answer = ParseMultiStatus(reply.body);
    if (reply.status != 207 || !answer) {
        m_summary.failure = QStringLiteral("The server's answer to the calendar's listing "
                                           "could not be read.");
        return false;
    }
    m_fullListing = m_state.syncToken.isEmpty();
    m_newToken = answer->syncToken;
    const QString own = m_calendar.path();
    for (const CDavEntry& entry : answer->entries) {
        const QString path = PathOf(entry.href);
        if (path != own) {
            m_server[path] = {entry.etag, entry.calendarData, entry.status == 404};
        }
    }
    return true;
}

bool CSyncRun::ReadWholeCalendar() {
    const CDavReply reply =
        m_client.Send("REPORT", m_calendar, DavBody::EventQuery(), {{"Depth", "1"}});
    if (Failed(reply, QStringLiteral("list the calendar"))) {
        return false;
    }
    const std::optional<CMultiStatus> answer = ParseMultiStatus(reply.body);
    if (!answer) {
        m_summary.failure = QStringLiteral("The server's answer to the calendar's listing "
                                           "could not be read.");
        return false;
    }
    m_fullListing = true;
    for (const CDavEntry& entry : answer->entries) {
        if (const QString path = PathOf(entry.href); path != m_calendar.path()) {
            m_server[path] = {entry.etag, {}, entry.status == 404};
        }
    }
    return true;
}

bool CSyncRun::Fetch(const std::vector<QString>& paths) {
    for (std::size_t first = 0; first < paths.size() && !Stopped(); first += fetchChunk) {
        QStringList hrefs;
        for (std::size_t i = first; i < std::min(paths.size(), first + fetchChunk); ++i) {
            hrefs.append(QString::fromLatin1(QUrl::toPercentEncoding(paths[i], "/")));
        }
        const CDavReply reply =
            m_client.Send("REPORT", m_calendar, DavBody::Multiget(hrefs), {{"Depth", "1"}});
        if (Failed(reply, QStringLiteral("send the calendar's events"))) {
            return false;
        }
        const std::optional<CMultiStatus> answer = ParseMultiStatus(reply.body);
        if (!answer) {
            m_summary.failure = QStringLiteral("The server's events could not be read.");
            return false;
        }
        for (const CDavEntry& entry : answer->entries) {
            CServerObject& object = m_server[PathOf(entry.href)];
            object.gone = entry.status == 404 || entry.calendarData.isEmpty();
            object.etag = entry.etag;
            object.data = entry.calendarData;
        }
    }
    return true;
}

// Each pair of the last sync, with what each side of it holds now; `fetch` gains the objects
// to read for it.
void CSyncRun::PlanPairs(std::set<QString>& pairedPaths, std::vector<QString>& fetch) {
    for (const auto& [id, pair] : m_state.pairs) {
        CItem item{id, pair.href, pair.uid, {}, pair.etag, {}, {}};
        item.facts.synced = true;
        const auto local = m_local.find(id);
        item.facts.local = local == m_local.end()                     ? SyncSide::absent
                           : local->second.digest == pair.localDigest ? SyncSide::same
                                                                      : SyncSide::changed;
        const auto server = m_server.find(pair.href);
        if (server == m_server.end()) {
            item.facts.server = m_fullListing ? SyncSide::absent : SyncSide::same;
        } else if (server->second.gone) {
            item.facts.server = SyncSide::absent;
        } else {
            const bool same = !pair.etag.isEmpty() && server->second.etag == pair.etag;
            item.facts.server = same ? SyncSide::same : SyncSide::changed;
            item.etag = server->second.etag;
        }
        pairedPaths.insert(pair.href);
        const bool changed =
            item.facts.server == SyncSide::changed || item.facts.local == SyncSide::changed;
        if (item.facts.server != SyncSide::absent && changed &&
            (server == m_server.end() || server->second.data.isEmpty())) {
            fetch.push_back(pair.href);
        }
        m_items.push_back(std::move(item));
    }
}

void CSyncRun::Plan() {
    std::set<QString> pairedPaths;
    std::vector<QString> fetch;
    PlanPairs(pairedPaths, fetch);
    std::vector<QString> serverOnly;
    for (const auto& [path, object] : m_server) {
        if (!object.gone && !pairedPaths.contains(path)) {
            serverOnly.push_back(path);
            if (object.data.isEmpty()) {
                fetch.push_back(path);
            }
        }
    }
    if (!Fetch(fetch)) {
        return;
    }
    for (CItem& item : m_items) {
        if (const auto server = m_server.find(item.href); server != m_server.end()) {
            item.data = server->second.data;
            item.etag = server->second.etag;
            if (server->second.gone) {
                item.facts.server = SyncSide::absent;
            }
        }
    }
    std::vector<std::string> localOnly;
    for (const auto& [id, meeting] : m_local) {
        if (!m_state.pairs.contains(id)) {
            localOnly.push_back(id);
        }
    }
    std::erase_if(serverOnly, [this](const QString& path) { return m_server[path].gone; });
    PairUnpaired(localOnly, serverOnly);
    for (CItem& item : m_items) {
        Judge(item);
    }
}

// Meetings and objects without a pair: a new one on one side, or both halves of a pair whose
// state was lost. Our UID finds its meeting again; failing that, equal contents do (a sync
// that stopped between adding a meeting here and saving its pair).
void CSyncRun::PairUnpaired(std::vector<std::string>& localOnly, std::vector<QString>& serverOnly) {
    std::map<QString, QString> byUid;
    for (const QString& path : serverOnly) {
        byUid[QString::fromStdString(ObjectUid(m_server[path].data.toStdString()))] = path;
    }
    std::set<QString> taken;
    const auto pairUp = [&](const std::string& id, const QString& path) {
        const CServerObject& object = m_server[path];
        CItem item{id, path, {}, {}, object.etag, object.data, {}};
        item.facts = {false, SyncSide::changed, SyncSide::changed, false};
        m_items.push_back(std::move(item));
        taken.insert(path);
    };
    std::vector<std::string> unmatched;
    for (const std::string& id : localOnly) {
        const auto found = byUid.find(OwnUid(id));
        if (found != byUid.end() && !taken.contains(found->second) &&
            SameAtHeart(id, m_server[found->second].data)) {
            pairUp(id, found->second);
        } else {
            unmatched.push_back(id);
        }
    }
    std::map<QByteArray, QString> byContent;
    for (const QString& path : serverOnly) {
        if (taken.contains(path) || unmatched.empty()) {
            continue;
        }
        try {
            CCalendarMeeting meeting = ParseMeetingObject(m_server[path].data.toStdString());
            byContent.emplace(MeetingDigest(meeting), path);
        } catch (const CCalendarParseError&) {
        }
    }
    for (const std::string& id : unmatched) {
        std::optional<CCalendarMeeting> meeting;
        if (!byContent.empty()) {
            meeting = ReadLocalMeeting(m_folder, id);
        }
        if (meeting) {
            meeting->record.id.clear();
            const auto found = byContent.find(MeetingDigest(*meeting));
            if (found != byContent.end() && !taken.contains(found->second)) {
                pairUp(id, found->second);
                continue;
            }
        }
        CItem item{id, {}, {}, {}, {}, {}, {}};
        item.facts = {false, SyncSide::changed, SyncSide::absent, false};
        m_items.push_back(std::move(item));
    }
    for (const QString& path : serverOnly) {
        if (!taken.contains(path)) {
            const CServerObject& object = m_server[path];
            CItem item{{}, path, {}, {}, object.etag, object.data, {}};
            item.facts = {false, SyncSide::absent, SyncSide::changed, false};
            m_items.push_back(std::move(item));
        }
    }
}

// Whether a meeting here and an object carrying its UID are one meeting: ids count seconds,
// so two computers can give one id to two meetings made in the same second. One meeting
// keeps its title or its date across an edit; two such meetings rarely share either.
bool CSyncRun::SameAtHeart(const std::string& id, const QByteArray& object) const {
    const std::optional<CCalendarMeeting> here = ReadLocalMeeting(m_folder, id);
    try {
        const CCalendarMeeting there = ParseMeetingObject(object.toStdString());
        return here &&
               (here->record.title == there.record.title || here->record.date == there.record.date);
    } catch (const CCalendarParseError&) {
        return false;
    }
}

// Reads the server's side of an item as a meeting and tells whether both sides agree. An
// object that holds no event this program can read (a task, a journal) is left alone.
void CSyncRun::Judge(CItem& item) {
    const bool unchanged = item.facts.synced && item.facts.local == SyncSide::same &&
                           item.facts.server == SyncSide::same;
    if (unchanged || item.facts.server == SyncSide::absent || item.data.isEmpty()) {
        return; // our own writes come back in the next listing: nothing to read in them
    }
    try {
        item.serverMeeting = ParseMeetingObject(item.data.toStdString());
    } catch (const CCalendarParseError&) {
        item.facts = {}; // nothing to do either way
        return;
    }
    if (item.uid.isEmpty()) {
        item.uid = QString::fromStdString(ObjectUid(item.data.toStdString()));
    }
    const auto local = m_local.find(item.id);
    if (item.facts.local != SyncSide::absent && local != m_local.end()) {
        CCalendarMeeting theirs = *item.serverMeeting;
        theirs.record.id = item.id;
        item.facts.equal = MeetingDigest(theirs) == local->second.digest;
    }
}
